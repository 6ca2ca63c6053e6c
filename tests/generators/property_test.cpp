// For many random command lines of the seven generators: the output is read
// by the solver without complaint, the problem line's m equals the number of
// arc lines, every end point lies in 1..n, no self loop is written, and the
// same command line gives the same bytes twice.
#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "run_program.h"

namespace {

typedef std::vector<std::string> Args;

// Checks the comment, the problem line and exactly m canonical arc lines
// between distinct nodes of 1..n.
void checkInstance(const std::string &text, const std::string &comment) {
  std::istringstream in(text);
  std::string line;
  char expected[64], extra;
  int n = 0, m = 0, tail, head, cap, arcCount = 0;
  ASSERT_TRUE(std::getline(in, line) && line == comment) << line;
  ASSERT_TRUE(std::getline(in, line));
  ASSERT_EQ(sscanf(line.c_str(), "p cut %d %d%c", &n, &m, &extra), 2) << line;
  snprintf(expected, sizeof expected, "p cut %8d %8d", n, m);
  EXPECT_EQ(line, expected);
  while (std::getline(in, line)) {
    ASSERT_EQ(sscanf(line.c_str(), "a %d %d %d%c", &tail, &head, &cap, &extra), 3);
    snprintf(expected, sizeof expected, "a %d %d %d", tail, head, cap);
    EXPECT_EQ(line, expected);
    EXPECT_TRUE(tail >= 1 && tail <= n && head >= 1 && head <= n) << line;
    EXPECT_NE(tail, head) << "self loop: " << line;
    arcCount++;
  }
  EXPECT_EQ(arcCount, m);
  EXPECT_EQ(text.back(), '\n');
}

void checkCommandLines(const std::string &path, const std::string &comment,
                       unsigned seed, const std::function<Args(std::mt19937 &)> &draw) {
  std::mt19937 engine(seed);
  for (int run = 0; run < 12; run++) {
    Args args = draw(engine);
    std::string trace = path.substr(path.rfind('/') + 1);
    for (const std::string &arg : args) trace += " " + arg;
    SCOPED_TRACE(trace);
    ProgramResult first = runProgram(path, args);
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.err, "");
    checkInstance(first.out, comment);
    EXPECT_EQ(runProgram(path, args).out, first.out);
    // The solver keeps its storage until it exits, which the leak checker of
    // a sanitizer build would report; it is switched off for this run.
    ProgramResult solved = runProgram(
        "/usr/bin/env", {"ASAN_OPTIONS=detect_leaks=0", SUNDER_PATH}, first.out);
    EXPECT_EQ(solved.status, 0) << solved.out << solved.err;
    EXPECT_EQ(solved.out.find(" of input - "), std::string::npos) << solved.out;
  }
}

int uniform(std::mt19937 &engine, int lo, int hi) {
  return std::uniform_int_distribution<int>(lo, hi)(engine);
}
std::string opt(const char *prefix, int value) { return prefix + std::to_string(value); }

TEST(GeneratorProperty, Ringforge) {
  checkCommandLines(RINGFORGE_PATH, "c \"ringforge\" min-cut problem", 1,
                    [](std::mt19937 &e) {
    int n = uniform(e, 3, 40), l = uniform(e, 0, 5), L = uniform(e, 0, 50);
    return Args{std::to_string(n), opt("-s", uniform(e, 1, 2000000000)),
                opt("-m", n + uniform(e, 0, 2 * n)), opt("-l", l),
                opt("-u", l + uniform(e, 0, 20)), opt("-L", L),
                opt("-U", L + uniform(e, 0, 20000))};
  });
}

TEST(GeneratorProperty, Motley) {
  checkCommandLines(MOTLEY_PATH, "c EVENWEAVE min-cut problem", 2,
                    [](std::mt19937 &e) {
    bool fMatchings = uniform(e, 0, 1);
    int n = uniform(e, 2, 30);
    if (fMatchings && n % 2) n++;
    // At least one edge: m = 0 is no instance the solver reads.
    int k = uniform(e, 0, 4), part = uniform(e, k == 0 ? 1 : 0, n);
    if (part % 2 && part == n) part--;
    Args args = {std::to_string(n), std::to_string(k), std::to_string(part),
                 opt("-s", uniform(e, 1, 2000000000)), opt("-w", uniform(e, 1, 100))};
    if (fMatchings) args.push_back("-m");
    return args;
  });
}

TEST(GeneratorProperty, Tanglenet) {
  checkCommandLines(TANGLENET_PATH, "c TANGLENET min-cut problem", 3,
                    [](std::mt19937 &e) {
    int n = uniform(e, 5, 40);
    int m = uniform(e, n + 1, n * (n - 1) / 2);
    double d = std::min(100.0, (m + 0.5) * 200.0 / (n * (n - 1.0)));
    return Args{std::to_string(n), std::to_string(d), std::to_string(uniform(e, 1, n)),
                std::to_string(uniform(e, 1, 50)), opt("-s", uniform(e, 1, 2000000000))};
  });
}

TEST(GeneratorProperty, Spokerim) {
  checkCommandLines(SPOKERIM_PATH, "c \"hubspin\" min-cut problem", 4,
                    [](std::mt19937 &e) {
    int n = 2 * uniform(e, 3, 30);
    return Args{std::to_string(n), opt("-r", uniform(e, 0, n - 3)),
                opt("-s", uniform(e, 1, 2000000000))};
  });
}

TEST(GeneratorProperty, Hubspin) {
  checkCommandLines(HUBSPIN_PATH, "c \"hubspin\" min-cut problem", 5,
                    [](std::mt19937 &e) {
    int n = uniform(e, 3, 60);
    return Args{std::to_string(n), opt("-r", uniform(e, 0, n - 3)),
                opt("-s", uniform(e, 1, 2000000000))};
  });
}

TEST(GeneratorProperty, Twinloop) {
  checkCommandLines(TWINLOOP_PATH, "c \"twinloop\" min-cut problem", 6,
                    [](std::mt19937 &e) {
    int n = uniform(e, 0, 3) == 0 ? uniform(e, 102, 140) : uniform(e, 6, 60);
    return Args{std::to_string(n), opt("-U", uniform(e, 3, 5000))};
  });
}

TEST(GeneratorProperty, Powerlaw) {
  checkCommandLines(POWERLAW_PATH, "c \"powerlaw\" min-cut problem: preferential attachment", 7,
                    [](std::mt19937 &e) {
    int n = uniform(e, 2, 80), k = uniform(e, 1, std::min(n - 1, 6));
    return Args{std::to_string(n), opt("-k", k), opt("-c", uniform(e, 1, 100)),
                opt("-s", uniform(e, 1, 2000000000))};
  });
}

}  // namespace
