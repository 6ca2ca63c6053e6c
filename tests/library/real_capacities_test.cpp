// Real-valued capacities: the values read, the scale chosen for a graph,
// and a tree's weights in the original values, against sums worked by hand
// and against the crossing sums of every tree edge's cut counted edge by
// edge.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "oracle_edges.h"
#include "sunder/sunder.h"
#include "verify/certificate.h"

namespace {

using sunder::RealScale;
using sunder::RealValue;

struct Exact {
  uint64_t numerator;
  int32_t twos, fives;
};

void expectExact(const std::string &text, Exact want) {
  RealValue v = RealValue::parse(text);
  ASSERT_TRUE(v.exact()) << text;
  EXPECT_EQ(v.numerator(), want.numerator) << text;
  EXPECT_EQ(v.twos(), want.twos) << text;
  EXPECT_EQ(v.fives(), want.fives) << text;
}

void expectError(const std::string &text, const std::string &message) {
  try {
    RealValue::parse(text);
    ADD_FAILURE() << text << " was accepted";
  } catch (const sunder::Error &e) {
    EXPECT_EQ(std::string(e.what()), message);
  }
}

TEST(RealValue, DecimalsAndFractionsReduceToNumeratorsOverTwosAndFives) {
  expectExact("2.5", {5, 1, 0});       // 25 / 10 = 5 / 2
  expectExact("1.50", {3, 1, 0});      // 3 / 2
  expectExact("1e-3", {1, 3, 3});
  expectExact("0.05", {1, 2, 1});      // 5 / 100 = 1 / 20
  expectExact("1E2", {100, 0, 0});
  expectExact(".5", {1, 1, 0});
  expectExact("5.", {5, 0, 0});
  expectExact("+3", {3, 0, 0});
  expectExact("3/8", {3, 3, 0});
  expectExact("6/40", {3, 2, 1});      // 3 / 20
  expectExact("96/3", {32, 0, 0});     // in lowest terms, a whole number
  expectExact("21/60", {7, 2, 1});     // 7 / 20
  expectExact("-0", {0, 0, 0});
  expectExact("0.000", {0, 0, 0});
}

TEST(RealValue, WhatCannotBeKeptExactlyKeepsItsNearestValue) {
  RealValue third = RealValue::parse("1/3");
  EXPECT_FALSE(third.exact());
  EXPECT_FALSE(RealValue::parse("7/21").exact());  // 1 / 3
  EXPECT_NEAR(static_cast<double>(third.approx()), 1.0 / 3, 1e-18);
  RealValue wide = RealValue::parse("1.00000000000000000001");  // 21 digits
  EXPECT_FALSE(wide.exact());
  EXPECT_FALSE(RealValue::parse("1e-500").exact());
  // A whole number past 64 bits.
  RealValue huge = RealValue::parse("120000000000000000000000");
  EXPECT_FALSE(huge.exact());
  EXPECT_NEAR(static_cast<double>(huge.approx()), 1.2e23, 1e8);
}

TEST(RealValue, DoublesAreTheirShortestDecimals) {
  RealValue tenth = RealValue::of(0.1);
  EXPECT_TRUE(tenth.exact());
  EXPECT_EQ(tenth.numerator(), 1u);
  EXPECT_EQ(tenth.twos(), 1);
  EXPECT_EQ(tenth.fives(), 1);
  RealValue third = RealValue::of(1.0 / 3);  // 0.3333333333333333: 16 places
  EXPECT_TRUE(third.exact());
  EXPECT_EQ(third.numerator(), 3333333333333333u);
  EXPECT_EQ(third.twos(), 16);
}

TEST(RealValue, BadTextIsAnErrorNamingIt) {
  expectError("abc", "capacity abc is not a number");
  expectError("", "capacity  is not a number");
  expectError("1/0", "capacity 1/0 is not a number");
  expectError("1.5.2", "capacity 1.5.2 is not a number");
  expectError("2e", "capacity 2e is not a number");
  expectError("-2.5", "capacity -2.5 is negative");
  expectError("inf", "capacity inf is not finite");
  expectError("NaN", "capacity NaN is not finite");
  expectError("1e99999", "capacity 1e99999 is too large");
  EXPECT_THROW(RealValue::of(-1.0), sunder::Error);
  EXPECT_THROW(RealValue::of(std::nan("")), sunder::Error);
}

std::vector<RealValue> valuesOf(const std::vector<std::string> &texts) {
  std::vector<RealValue> values;
  for (const std::string &t : texts) values.push_back(RealValue::parse(t));
  return values;
}

TEST(RealScale, DecimalsScaleByTheirLeastCommonDenominator) {
  std::vector<RealValue> v = valuesOf({"2.5", "0.125", "3", "0", "0.2"});
  RealScale scale(v);  // 5/2, 1/8, 3, 0, 1/5: S = 40
  ASSERT_TRUE(scale.exact());
  EXPECT_EQ(scale.describe(), "exact, scale 2^3 5^1");
  EXPECT_EQ(scale.scaled(v[0]), 100);
  EXPECT_EQ(scale.scaled(v[1]), 5);
  EXPECT_EQ(scale.scaled(v[2]), 120);
  EXPECT_EQ(scale.scaled(v[3]), 0);
  EXPECT_EQ(scale.scaled(v[4]), 8);
  EXPECT_EQ(scale.text(105), "2.625");
  EXPECT_EQ(scale.text(120), "3");
  EXPECT_EQ(scale.text(1), "0.025");
  EXPECT_EQ(scale.value(105), 2.625);
  EXPECT_EQ(scale.errorBound(1000), 0);
  // Thresholds: the least scaled capacity at or above a value.
  EXPECT_EQ(scale.atLeast(RealValue::parse("2.5")), 100);
  EXPECT_EQ(scale.atLeast(RealValue::parse("2.501")), 101);  // 100.04 up
  EXPECT_EQ(scale.atLeast(RealValue::parse("1/3")), 14);     // 13.33 up
  EXPECT_EQ(scale.atLeast(RealValue::parse("0")), 0);
  EXPECT_EQ(scale.atLeast(RealValue::parse("1e30")), INT64_MAX);
  EXPECT_EQ(RealScale().text(7), "7");
}

TEST(RealScale, FractionsAndOversizedSumsGoToFixedPoint) {
  std::vector<RealValue> thirds = valuesOf({"1/3", "2/3"});
  RealScale scale(thirds);
  ASSERT_FALSE(scale.exact());
  sunder::Capacity sum = scale.scaled(thirds[0]) + scale.scaled(thirds[1]);
  EXPECT_LE(sum, sunder::kMaxTotalCapacity);
  EXPECT_GT(sum, sunder::kMaxTotalCapacity / 4);  // the largest power of two that fits
  EXPECT_NEAR(std::stod(scale.text(scale.scaled(thirds[0]))), 1.0 / 3, 1e-15);
  EXPECT_GT(scale.errorBound(2), 0);
  EXPECT_LT(scale.errorBound(2), 1e-17);

  // Scaled by 2 they add up to the bound exactly: still exact; half more
  // passes it.
  std::vector<RealValue> full = valuesOf({"2305843009213693951", "0.5"});
  RealScale atBound(full);
  EXPECT_TRUE(atBound.exact());
  EXPECT_EQ(atBound.scaled(full[0]) + atBound.scaled(full[1]), sunder::kMaxTotalCapacity);
  EXPECT_FALSE(RealScale(valuesOf({"2305843009213693951", "0.5", "0.5"})).exact());

  // Whole at scale 2 but adding up past the bound.
  std::vector<RealValue> big = valuesOf({"4611686018427387903", "0.5"});
  RealScale wide(big);
  EXPECT_FALSE(wide.exact());
  EXPECT_LE(wide.scaled(big[0]) + wide.scaled(big[1]), sunder::kMaxTotalCapacity);
}

sunder::CutTree buildScaled(sunder::Graph &g, const std::vector<std::pair<int, int>> &ends,
                            const std::vector<RealValue> &values, const RealScale &scale) {
  for (size_t k = 0; k < ends.size(); ++k)
    g.addEdge(ends[k].first, ends[k].second, scale.scaled(values[k]));
  return sunder::buildCutTree(g);
}

TEST(RealCutWeights, ATriangleOfTenthsGivesItsCutsExactly) {
  // {b} cuts 0.1 + 0.2 = 0.3, {a} 0.1 + 0.3 = 0.4, {c} 0.2 + 0.3 = 0.5:
  // lambda(a, b) = lambda(b, c) = 0.3, lambda(a, c) = 0.4.
  std::vector<RealValue> values = {RealValue::of(0.1), RealValue::of(0.2), RealValue::of(0.3)};
  RealScale scale(values);
  sunder::Graph g(3);
  sunder::CutTree tree = buildScaled(g, {{0, 1}, {1, 2}, {0, 2}}, values, scale);
  std::vector<std::string> w = sunder::realCutWeights(tree, g, values, scale);
  std::sort(w.begin() + 1, w.end());
  EXPECT_EQ(w, (std::vector<std::string>{"0", "0.3", "0.4"}));
}

// The values of the edges that cross each tree edge's cut, one cut at a
// time by the verification library (a build's tree is indexed as its graph).
std::vector<long double> crossingByBruteForce(const sunder::CutTree &t, const sunder::Graph &g,
                                              const std::vector<RealValue> &values) {
  const oracle::RootedTree rooted = rootedTree(t);
  const std::vector<oracle::Edge> edges = oracleEdges(g);
  auto valueOf = [&values](size_t k) { return values[k].approx(); };
  std::vector<long double> sums(t.nodeCount(), 0);
  for (int32_t c = 1; c < t.nodeCount(); ++c)
    sums[c] = oracle::sumAcross<long double>(edges, oracle::subtreeSide(rooted, c), valueOf);
  return sums;
}

TEST(RealCutWeights, FixedPointWeightsAreTheCrossingSumsOfTheFoundCuts) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    const int n = 2 + static_cast<int>(rng() % 30);
    std::vector<std::pair<int, int>> ends;
    std::vector<RealValue> values;
    for (int k = 0; k < 3 * n; ++k) {
      ends.push_back({static_cast<int>(rng() % n), static_cast<int>(rng() % n)});  // loops too
      values.push_back(RealValue::parse(std::to_string(1 + rng() % 50) + "/" +
                                        std::to_string(1 + rng() % 12)));
    }
    RealScale scale(values);
    sunder::Graph g(n);
    sunder::CutTree tree = buildScaled(g, ends, values, scale);
    std::vector<std::string> w = sunder::realCutWeights(tree, g, values, scale);
    std::vector<long double> want = crossingByBruteForce(tree, g, values);
    for (int c = 1; c < n; ++c)
      ASSERT_NEAR(std::stold(w[c]), want[c], 1e-12L * (1 + want[c])) << round << " " << c;
  }
}

TEST(RealCutWeights, ASmallValueBesideLargeOnesIsNotLost) {
  // Fixed point (the values span 20 orders of magnitude): the path's light
  // end weighs 1e-10, summed beside 1e10 added and taken off again.
  std::vector<RealValue> values = {RealValue::parse("1e-10"), RealValue::parse("1e10"),
                                   RealValue::parse("1e10")};
  RealScale scale(values);
  ASSERT_FALSE(scale.exact());
  sunder::Graph g(4);
  sunder::CutTree tree = buildScaled(g, {{0, 1}, {1, 2}, {2, 3}}, values, scale);
  std::vector<std::string> w = sunder::realCutWeights(tree, g, values, scale);
  std::vector<long double> want = crossingByBruteForce(tree, g, values);
  for (int c = 1; c < 4; ++c) EXPECT_EQ(std::stold(w[c]), want[c]) << c;
}

TEST(RealCutWeights, ExactWeightsAreTheScaledTreeWeights) {
  std::mt19937 rng(11);
  for (int round = 0; round < 20; ++round) {
    const int n = 2 + static_cast<int>(rng() % 25);
    std::vector<std::pair<int, int>> ends;
    std::vector<RealValue> values;
    std::vector<long long> cents;
    for (int k = 0; k < 3 * n; ++k) {
      ends.push_back({static_cast<int>(rng() % n), static_cast<int>(rng() % n)});
      cents.push_back(static_cast<long long>(rng() % 1000));
      values.push_back(RealValue::parse(std::to_string(cents.back() / 100) + "." +
                                        std::to_string(cents.back() / 10 % 10) +
                                        std::to_string(cents.back() % 10)));
    }
    RealScale scale(values);
    ASSERT_TRUE(scale.exact());
    sunder::Graph g(n);
    sunder::CutTree tree = buildScaled(g, ends, values, scale);
    std::vector<std::string> w = sunder::realCutWeights(tree, g, values, scale);
    std::vector<long double> want = crossingByBruteForce(tree, g, values);
    for (int c = 1; c < n; ++c) {
      long long wantCents = std::llround(want[c] * 100);
      ASSERT_EQ(std::llround(std::stold(w[c]) * 100), wantCents) << round << " " << c;
      ASSERT_EQ(RealValue::parse(w[c]).exact(), true);
    }
  }
}

}  // namespace

namespace {

sunder::GraphFile readReal(const std::string &text, sunder::Format format) {
  sunder::ReadOptions options;
  options.realCapacities = true;
  return sunder::readGraphText(text, format, "t", options);
}

// Each edge's value stays with its edge: a first line kept back as a
// possible header and then read as the first edge, a header row, a dict,
// an edge without a capacity.
TEST(RealRead, EveryEdgeKeepsItsOwnValue) {
  // "alice bob" may be a header until the next line shows names.
  sunder::GraphFile f = readReal("alice bob\ncarol dave 0.25\ndave erin 0.5\n",
                                 sunder::Format::EdgeList);
  ASSERT_EQ(f.graph.edgeCount(), 3);
  EXPECT_EQ(f.scale.describe(), "exact, scale 2^2 5^0");
  EXPECT_EQ(f.graph.edges()[0].capacity, 4);  // alice bob: 1 x 4
  EXPECT_EQ(f.graph.edges()[1].capacity, 1);  // carol dave
  EXPECT_EQ(f.graph.edges()[2].capacity, 2);  // dave erin
  EXPECT_EQ(f.names, (std::vector<std::string>{"alice", "bob", "carol", "dave", "erin"}));

  f = readReal("weight,source,target\n0.2,1,2\n3,2,7\n", sunder::Format::EdgeList);
  ASSERT_EQ(f.graph.edgeCount(), 2);
  EXPECT_EQ(f.graph.edges()[0].capacity, 1);   // 0.2 x 5
  EXPECT_EQ(f.graph.edges()[1].capacity, 15);
  EXPECT_EQ(f.graph.ids(), (std::vector<sunder::NodeId>{1, 2, 7}));

  f = readReal("1 2 {'weight': 0.75}\n2 3 {}\n", sunder::Format::EdgeList);
  EXPECT_EQ(f.graph.edges()[0].capacity, 3);
  EXPECT_EQ(f.graph.edges()[1].capacity, 4);

  f = readReal("p cut 3 2\na 1 2 1/3\na 2 3 2/3\n", sunder::Format::Dimacs);
  EXPECT_FALSE(f.scale.exact());
  EXPECT_NEAR(static_cast<double>(f.graph.edges()[1].capacity),  // each rounded alone
              2.0 * static_cast<double>(f.graph.edges()[0].capacity), 2.0);
}

TEST(RealRead, FaultsNameTheirLine) {
  try {
    readReal("1 2 0.5\n2 3 1.2.3\n", sunder::Format::EdgeList);
    ADD_FAILURE();
  } catch (const sunder::Error &e) {
    EXPECT_EQ(std::string(e.what()), "t:2: capacity 1.2.3 is not a number");
  }
  EXPECT_THROW(readReal("2 1\n2\n1\n", sunder::Format::Metis), sunder::Error);
}

}  // namespace
