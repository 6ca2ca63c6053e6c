// The sunder program on damaged instances: whatever the bytes, it either
// reports on an accepted instance or rejects it with exactly one numbered
// message (or, for a node count beyond memory, the memory message), and
// never crashes or hangs. Under the
// sanitizers this also checks that no damaged input reads or writes out of
// bounds.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "run_program.h"

namespace {

// A small valid instance to damage.
std::string baseInstance(std::mt19937 &rng) {
  std::uniform_int_distribution<int> nodes(2, 8), cap(-3, 20);
  int n = nodes(rng), m = n + 2;
  std::uniform_int_distribution<int> end(1, n);
  std::string text = "c damaged instance\np cut " + std::to_string(n) + " " + std::to_string(m) + "\n";
  for (int i = 0; i < m; i++)
    text += "a " + std::to_string(end(rng)) + " " + std::to_string(end(rng)) + " " +
            std::to_string(cap(rng)) + "\n";
  return text;
}

// Pieces that stress the reader: extreme numbers, line kinds, long runs.
const std::vector<std::string> kPieces = {
    "2147483647", "2147483648", "-2147483648", "4294967297", "99999999999999999999",
    "-", "+", "p cut ", "a ", "\n", std::string(1, '\0'), "\r\n", "\t", "c",
    std::string(120, '7'), std::string(99, ' '), "n 1\n", "p cut 3 1\n", "a 1 2 3\n",
    "1073741824", "0", " 0 0 0"};

std::string damage(std::string text, std::mt19937 &rng) {
  std::uniform_int_distribution<int> edits(1, 4), kind(0, 3), byte(0, 255);
  std::uniform_int_distribution<size_t> piece(0, kPieces.size() - 1);
  for (int e = edits(rng); e > 0; e--) {
    std::uniform_int_distribution<size_t> at(0, text.size());
    size_t p = at(rng);
    switch (kind(rng)) {
      case 0: text.insert(p, kPieces[piece(rng)]); break;
      case 1: if (p < text.size()) text[p] = static_cast<char>(byte(rng)); break;
      case 2: text.erase(p, std::min<size_t>(text.size() - p, 1 + p % 7)); break;
      default: text.insert(p, 1, "0123456789 -\n"[p % 13]); break;
    }
  }
  return text;
}

bool isReaderMessage(const std::string &out) {
  static const char *const messages[] = {
      "more than one problem line.", "wrong number of parameters in the problem line.",
      "it is not a Max Flow problem line.", "bad value of a parameter in the problem line.",
      "can't read problem name.", "too many arcs in the input.",
      "wrong number of parameters in the arc line.",
      "wrong value of parameters in the arc line.", "unknown line type in the input.",
      "not enough arcs in the input.", "can't read anything from the input file."};
  if (out.compare(0, 6, "\nline ") != 0) return false;
  size_t dash = out.find(" of input - ");
  if (dash == std::string::npos || dash == 6) return false;
  for (size_t i = 6; i < dash; i++)
    if (out[i] < '0' || out[i] > '9') return false;
  for (const char *message : messages)
    if (out.substr(dash + 12) == std::string(message) + "\n") return true;
  return false;
}

TEST(ReaderFuzz, DamagedInstancesAreReportedOrRejectedCleanly) {
  std::mt19937 rng(20261208);
  int accepted = 0, rejected = 0;
  for (int round = 0; round < 300; round++) {
    std::string input = damage(baseInstance(rng), rng);
    ProgramResult r = runProgram(SUNDER_PATH, {}, input);
    SCOPED_TRACE("round " + std::to_string(round) + ", input: [" + input + "]");
    if (!r.err.empty()) {
      // A problem line may announce more nodes than memory can hold.
      EXPECT_NE(r.err.find("Memory exhausted at graph:"), std::string::npos) << r.err;
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.status, 1);
    } else if (r.status == 0) {
      accepted++;
      EXPECT_EQ(r.out.compare(0, 9, "c nodes: "), 0) << r.out;
      EXPECT_EQ(r.out.substr(r.out.size() - 2), "\n\n");
    } else {
      rejected++;
      EXPECT_EQ(r.status, 1);
      EXPECT_TRUE(isReaderMessage(r.out)) << r.out;
    }
  }
  // The damage must leave both outcomes common, or the test proves little.
  EXPECT_GT(accepted, 20);
  EXPECT_GT(rejected, 100);
}

}  // namespace
