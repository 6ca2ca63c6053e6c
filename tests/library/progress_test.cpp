// The time-left estimate of sunder/progress.h: recorded builds replayed
// through it, judged against the time each build really had left, and the
// edges of its evidence (none yet, all done, clocks that step back, a new
// build).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "lib/api/work.h"
#include "sunder/progress.h"

namespace {

struct Sample {
  double seconds;
  int64_t done, total;
  int64_t work, workTotal;  // the predicted work; the cuts in older traces
};

// A trace of tests/data/progress: "SECONDS DONE TOTAL WORK WORK_TOTAL" per
// line, from bench/progress_trace ("SECONDS DONE TOTAL" in the older ones),
// '#' lines describing the graph.
std::vector<Sample> readTrace(const std::string &name) {
  std::ifstream in(std::string(PROGRESS_TRACES) + "/" + name + ".trace");
  EXPECT_TRUE(in) << name;
  std::vector<Sample> trace;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    Sample s;
    fields >> s.seconds >> s.done >> s.total;
    EXPECT_TRUE(fields) << name << ": " << line;
    if (!(fields >> s.work >> s.workTotal)) {
      s.work = s.done;
      s.workTotal = s.total;
    }
    trace.push_back(s);
  }
  EXPECT_GE(trace.size(), 80u) << name;
  return trace;
}

// How a replay went from `from` (10 %) of the build's time on, while the
// true time left was 5 % of the whole at least (at the very end a few milliseconds
// more or less make any ratio): the worst ratio of estimate to truth, the
// larger of ratio and its inverse, and the share of the build's time until
// which the estimate was unknown.
struct Replay {
  double worst = 1;
  double unknownUntil = 0;
  int judged = 0;
};

// Counts a judged sample at `share` of the build's time: its estimate
// `left` against the `truth`.
void judge(Replay &r, std::optional<double> left, double truth, double share) {
  r.judged++;
  if (!left) {
    r.unknownUntil = share;
    return;
  }
  double ratio = *left / truth;
  r.worst = std::max(r.worst, ratio > 0 ? std::max(ratio, 1 / ratio) : HUGE_VAL);
}

template <class Estimate>
Replay replay(const std::vector<Sample> &trace, Estimate estimate, double from = 0.1,
              double until = 1) {
  double end = trace.back().seconds;
  Replay r;
  for (const Sample &s : trace) {
    std::optional<double> left = estimate(s);
    double truth = end - s.seconds;
    if (s.seconds < from * end || s.seconds > until * end || truth < 0.05 * end) continue;
    judge(r, left, truth, s.seconds / end);
  }
  return r;
}

Replay replayTimeLeft(const std::vector<Sample> &trace) {
  sunder::TimeLeft left;
  return replay(trace, [&left](const Sample &s) {
    left.update(s.seconds, s.done, s.total);
    return left.secondsLeft();
  });
}

// The estimate fed with the predicted work (BuildOptions::progressWork), as
// cuttree and Python's progress bar feed it.
// Judged from `from` to `until` of the build's time.
Replay replayWork(const std::vector<Sample> &trace, double from = 0.1, double until = 1) {
  sunder::TimeLeft left;
  return replay(
      trace,
      [&left](const Sample &s) {
        left.update(s.seconds, s.work, s.workTotal);
        return left.secondsLeft();
      },
      from, until);
}

// What cuttree said before: the cuts left at the average rate since the
// build started.
Replay replaySinceStart(const std::vector<Sample> &trace) {
  return replay(trace, [](const Sample &s) -> std::optional<double> {
    if (s.done <= 0 || s.seconds <= 0) return std::nullopt;
    return (s.total - s.done) * s.seconds / s.done;
  });
}

// What a progress line shows of the estimate fed with the work, written
// at a call `interval` seconds or more after the line last written
// (cuttree: half a second, Python's bar: a fifth), judged from a tenth of
// the build's time on while a second or more is left: the line shows whole
// seconds, and a build's last second shows as 0 or 1 s, whatever the ratio.
Replay replayShown(const std::vector<Sample> &trace, double interval) {
  sunder::TimeLeft left;
  double end = trace.back().seconds, last = 0;
  Replay r;
  for (const Sample &s : trace) {
    left.update(s.seconds, s.work, s.workTotal);
    if (s.seconds - last < interval || s.done >= s.total) continue;
    last = s.seconds;
    double truth = end - s.seconds;
    if (s.seconds < 0.1 * end || truth < 1) continue;
    judge(r, left.secondsLeft(), truth, s.seconds / end);
  }
  return r;
}

// Every named trace, replayed by replayOf, judges more than `judged`
// samples, is at worst `bound` times off, and has its first estimate by
// `known` of its time.
template <class ReplayOf>
void expectTraces(std::initializer_list<const char *> names, ReplayOf replayOf, int judged,
                  double bound, double known) {
  for (const char *name : names) {
    Replay r = replayOf(readTrace(name));
    EXPECT_GT(r.judged, judged) << name;
    EXPECT_LE(r.worst, bound) << name;
    EXPECT_LE(r.unknownUntil, known) << name;
  }
}

// The builds whose rate of cuts the estimate follows within a factor 2:
// a preferential-attachment network, whose first cut comes after a tenth
// of the build and whose cuts slow down, and a generator family.
TEST(TimeLeftTraces, WithinAFactorTwoAfterTheFirstTenth) {
  expectTraces({"pa100000", "spokerim5000"}, replayTimeLeft, 100, 2.0, 0.15);
}

// A mesh's cuts get 4 times quicker over the build: a rate of the recent
// past overstates the time left by up to 2.5 times in the second half. The
// average since the start said up to 3.4 times.
TEST(TimeLeftTraces, MeshWithinTheSpeedUpOfItsCuts) {
  std::vector<Sample> trace = readTrace("mesh20000");
  Replay r = replayTimeLeft(trace), old = replaySinceStart(trace);
  EXPECT_EQ(r.unknownUntil, 0);
  EXPECT_LE(r.worst, 2.5);
  EXPECT_LT(r.worst, old.worst);
}

// One large block and many tiny ones: the tiny blocks' cuts, a third of the
// total, come at once after the large block, which no rate foresees; but
// the estimate follows the large block's rate where the average since the
// start, dragged by its first slow cuts, says 15 times the truth.
TEST(TimeLeftTraces, DecomposedNetworkBeatsTheAverageSinceTheStart) {
  std::vector<Sample> trace = readTrace("pamix200000");
  Replay r = replayTimeLeft(trace), old = replaySinceStart(trace);
  EXPECT_EQ(r.unknownUntil, 0);
  EXPECT_LE(r.worst, old.worst / 1.5);
}

// Builds recorded on two threads, fed with their predicted work: four
// generator families at 4,000 nodes (their runs from node 0 in a drawn
// order count every cut alike), two real networks, a preferential-
// attachment network and a mesh, rooted at their hub with the sources
// heaviest first. as-22july06, a build of 0.08 s, commits its first heavy
// cuts in bursts after pauses of a few milliseconds; read as a rate they
// made the estimate 5.3 times off. Fed with the cuts instead, the last
// four were 15 to 165 times off.
TEST(TimeLeftTraces, WorkWithinAFactorTwoAfterTheFirstTenth) {
  auto work = [](const std::vector<Sample> &t) { return replayWork(t); };
  expectTraces({"ringforge4000", "tanglenet4000", "spokerim4000", "twinloop4000", "pgp-strong-2009",
                "as-22july06", "price-100000", "delaunay-100000"},
               work, 50, 2.0, 0.4);
  for (const char *name : {"pgp-strong-2009", "as-22july06", "price-100000", "delaunay-100000"})
    EXPECT_GT(replayTimeLeft(readTrace(name)).worst, 10) << name;
}

// Short builds on a busy machine: other builds took the cores for a few
// milliseconds now and then, a tenth of the build and more, and the
// threads' commits came in bursts after. Read against the rate around
// them the stalls keep the estimate within 2, where as rates of their own
// they made it 4.4 and 6.9 times off; the first estimate waits for three
// times the longest stall, until 43 % of as-22july06's time.
TEST(TimeLeftTraces, StallsOfABusyMachineWithinAFactorTwo) {
  auto work = [](const std::vector<Sample> &t) { return replayWork(t); };
  expectTraces({"motley4000-busy", "as-22july06-busy"}, work, 50, 2.0, 0.5);
}

// Builds of 0.03 and 0.35 s whose rate of work changes: motley's first
// cuts go at half the later rate, its first estimate 2.3 times the truth
// and within 2 from 40 % of its time on; email-Enron's heaviest cuts cost more than their predicted work
// says (its rate of work doubles over the build), and the estimate stays
// 1.6 to 2.2 times the truth until three quarters of its time. Before
// pauses were read they were 2.1 and 3.1 times off; the cuts said 2.5
// and 70 times.
TEST(TimeLeftTraces, ShortBuildsWhoseRateOfWorkChanges) {
  for (const char *name : {"motley4000", "email-Enron"}) {
    std::vector<Sample> trace = readTrace(name);
    Replay r = replayWork(trace);
    EXPECT_GT(r.judged, 30) << name;
    EXPECT_LE(r.worst, 2.5) << name;
  }
  EXPECT_LE(replayWork(readTrace("motley4000"), 0.4).worst, 2.0);
}

// hubspin's cuts, in a drawn order where the work counts every cut alike,
// get 5 times quicker over the first half of its time, and nothing in the
// rate at a tenth of the build says they will: a rate of the past says up
// to 4.3 times the time left then, within 2 from 60 % on.
TEST(TimeLeftTraces, HubspinWithinTwoOnceItsCutsSettle) {
  std::vector<Sample> trace = readTrace("hubspin4000");
  EXPECT_LE(replayWork(trace).worst, 4.5);
  EXPECT_LE(replayWork(trace, 0.6).worst, 2.0);
}

// Builds by Gomory and Hu's method with contraction, the families'
// default where its parts shrink: their first cuts run on graphs of nearly
// every node and each takes off a few, the last ones on graphs of a few
// nodes. The predicted work of their build weighed a part by its size
// cubed: hubspin and spokerim within 2, where the cuts counted alike say
// 3.3 and 2.4 times the time left. On ringforge, whose parts split into halves of several nodes
// more often, the weights misjudge it: 3.2 times off, the cuts alike 2.4.
TEST(TimeLeftTraces, ContractedBuildsByTheirPredictedWork) {
  auto work = [](const std::vector<Sample> &t) { return replayWork(t); };
  expectTraces({"hubspin4000-contracted", "spokerim4000-contracted"}, work, 50, 2.0, 0.4);
  expectTraces({"ringforge4000-contracted"}, work, 50, 3.5, 0.4);
  EXPECT_GT(replayTimeLeft(readTrace("hubspin4000-contracted")).worst, 3.0);
  EXPECT_GT(replayTimeLeft(readTrace("spokerim4000-contracted")).worst, 2.2);
}

// Builds of the current engines, recorded on two threads and fed with
// their predicted work (2026-12/). Those of about a second and more, which
// are the ones a progress line shows: the families whose trees Gomory and
// Hu's method builds, twinloop (shortest paths in a drawn order), a
// preferential-attachment network of 10^6 nodes and a mesh; and price
// 10^5. The price networks report the work of their setup (the packing,
// the probe: half of their time) before the first cut, and their estimate
// comes at 29 % of their time, where it came at 57 % from the first cut
// on. Counting the cuts alike, they were 60 to 400 times off.
TEST(TimeLeftTraces, CurrentBuildsWithinAFactorTwoAfterTheFirstTenth) {
  auto work = [](const std::vector<Sample> &t) { return replayWork(t); };
  expectTraces({"2026-12/spokerim-4000", "2026-12/hubspin-4000", "2026-12/twinloop-4000",
                "2026-12/delaunay-100000"},
               work, 60, 2.0, 0.6);
  expectTraces({"2026-12/price-1000000", "2026-12/price-100000"}, work, 60, 2.0, 0.35);
  for (const char *name : {"2026-12/price-1000000", "2026-12/price-100000"})
    EXPECT_GT(replayTimeLeft(readTrace(name)).worst, 40) << name;
}

// The builds of Gomory and Hu's method with source runs (ringforge at
// 4,000, 8,000 and 16,000 nodes, 0.6, 2 and 9 s on two threads; spokerim
// at 16,000, 2.5 s), whose flows on a large part cost about its size each:
// their predicted work weighs a part of p nodes by p^1.5 (2e-2 on two
// threads, 0.15 on one), and their estimates stay within 2.1 from a tenth
// of the build on, on one thread too. ringforge at 4,000 nodes is over in
// 0.6 s, before cuttree shows a time left, its first cuts slower than the
// rest (2.9 times off). By the square of a part (5e-5 on two threads, 1e-3
// on one) fresh recordings of spokerim at 16,000 on one thread were up to
// 2.9 times off, the square crediting the cuts that halve its wheels with
// half the work; with the cube (1e-9 on two threads, 1e-7 on one) ringforge
// at 4,000 and 8,000 on one thread was 2.6 and 3.1 times off and spokerim
// at 16,000 5.4, the cube putting most of the work in the first cuts.
TEST(TimeLeftTraces, SourceRunBuildsWithinAFactorTwo) {
  auto work = [](const std::vector<Sample> &t) { return replayWork(t); };
  expectTraces({"2026-12/ringforge-8000", "2026-12/ringforge-16000", "2026-12/spokerim-16000",
                "2026-12/ringforge-8000-j1", "2026-12/spokerim-16000-j1"},
               work, 60, 2.11, 0.6);
  expectTraces({"2026-12/ringforge-4000"}, work, 60, 2.9, 0.45);
}

// What cuttree's line and Python's bar show, on every build of the families
// (at 1,000 to 16,000 nodes) that takes a second or more, on one thread and
// two, and on the large graphs: within a factor 2 while a second or more is
// left, from a tenth of the build on. ringforge at 8,000 and spokerim at
// 16,000 nodes come in two and three recordings; one of them (spokerim on
// one thread, the first) shows 2.01 on the bar's fifths of a second, where
// the others show 1.77 to 1.94. The real networks of graph-tool's
// collection take 0.3 s and less: no line shows them a time left.
TEST(TimeLeftTraces, WhatTheProgressLinesShowWithinAFactorTwo) {
  for (double interval : {0.5, 0.2}) {
    auto shown = [interval](const std::vector<Sample> &t) { return replayShown(t, interval); };
    expectTraces({"2026-12/ringforge-8000", "2026-12/ringforge-8000-b", "2026-12/ringforge-8000-j1",
                  "2026-12/ringforge-16000", "2026-12/ringforge-16000-j1",
                  "2026-12/spokerim-16000", "2026-12/spokerim-16000-b",
                  "2026-12/spokerim-16000-j1-b", "2026-12/spokerim-16000-j1-c",
                  "2026-12/tanglenet-16000", "2026-12/tanglenet-16000-j1",
                  "2026-12/delaunay-100000", "2026-12/price-1000000"},
                 shown, 0, 2.0, 0.45);
    expectTraces({"2026-12/spokerim-16000-j1"}, shown, 0, interval > 0.3 ? 2.0 : 2.02, 0.3);
  }
}

// A trace fed with its work, judged from a tenth of its time to `until`,
// more than 60 samples: at worst `bound` times off, known by `known`; fed
// with the cuts, more than `cutsWorse` times off over the whole build.
void expectUntil(const std::vector<Sample> &trace, double until, double bound, double known,
                 double cutsWorse) {
  Replay r = replayWork(trace, 0.1, until);
  EXPECT_GT(r.judged, 60);
  EXPECT_LE(r.worst, bound);
  EXPECT_LE(r.unknownUntil, known);
  EXPECT_GT(replayTimeLeft(trace).worst, cutsWorse);
}

// Preferential attachment of 10^7 edges (3.34 million nodes, 26 s): known
// from 27 % of its time and at most 2.01 times off until 85 % (2.01 once,
// in the probe at 41 %); then its heaviest cuts, which come last, make it
// 2.3 times low at 90 %. The cuts alike said up to 2,600 times the time
// left.
TEST(TimeLeftTraces, TenMillionEdgesWithinAFactorTwoUntilItsLastCuts) {
  std::vector<Sample> trace = readTrace("2026-12/price-3340000");
  expectUntil(trace, 0.85, 2.02, 0.3, 1000);
  EXPECT_LE(replayWork(trace).worst, 2.5);
}

// ringforge on one thread, where Gomory and Hu's method cuts its large parts
// first and most of its cuts, on small parts, come at its end: the square
// of a part's size weighs more than on several threads. The cuts alike were
// 6 times off.
TEST(TimeLeftTraces, ContractedBuildOnOneThread) {
  expectUntil(readTrace("2026-12/ringforge-4000-j1"), 1, 2.0, 0.4, 5);
}

// Where the predicted work misjudges the cuts. tanglenet's cuts, by weighted
// degree lightest first, cost 3,000 times more at the end than at the
// start. The work weighs a node by its summed capacity in arcs of the
// median capacity: the estimate is low, within 4.5 until 80 % of its time,
// where the mean capacity (pulled up by a few edges of up to 5,000) left
// it 10 times low; its last cuts, a few of 10 to 20 ms each, come 4 to 30
// times later than estimated from one recording to the next (this one:
// 4.0; the cuts alike: 48). pgp's nodes of 8 arcs take longer than those of
// 16, and the estimate is high, 7.7 times at 67 %; astro-ph weighted,
// email-Enron and cond-mat-2005 stay within 2.0, 2.3 and 3.7.
TEST(TimeLeftTraces, CurrentBuildsWhoseCutsCostOtherThanPredicted) {
  auto work = [](const std::vector<Sample> &t) { return replayWork(t); };
  expectTraces({"2026-12/astro-ph-weighted"}, work, 60, 2.0, 0.65);
  expectTraces({"2026-12/email-Enron"}, work, 60, 2.6, 0.65);
  expectTraces({"2026-12/cond-mat-2005"}, work, 60, 4.0, 0.65);
  expectTraces({"2026-12/pgp-strong-2009"}, work, 60, 8.0, 0.4);
  expectUntil(readTrace("2026-12/tanglenet-4000"), 0.8, 4.5, 0.25, 20);
}

// A block's predicted work weighs each node but the heaviest by a flow of
// a arcs, 16 + 16 a (1 + a / 96) rounded, where a weighted node counts its
// summed capacity in arcs of the median capacity. A ring of five nodes
// whose edge 4-0 weighs 100, the others 1 (median 1): nodes 1, 2 and 3
// count 2 arcs each (16 + 33), node 0 or 4 counts 101 (16 + 3,316). By the
// arcs alone it would be 4 * 49; by the mean capacity (20.8) node 0 would
// count 4 arcs.
TEST(PredictedWork, AWeightedNodeCountsItsCapacityInMedianArcs) {
  std::vector<sunder::Edge> ring{{0, 1, 1}, {1, 2, 1}, {2, 3, 1}, {3, 4, 1}, {4, 0, 100}};
  EXPECT_EQ(sunder::detail::blockWork(5, ring, false), 3 * (16 + 33) + 16 + 3316);
  EXPECT_EQ(sunder::detail::blockWork(5, ring, true), 0);
}

// A dense graph's run with sink sets, heaviest first: a source whose
// neighbours nearly all come after it counts its flow many times over, one
// whose neighbours all came before it about once (the complete graph on 40
// nodes, in order: source 1 has only the root before it, source 39 all).
TEST(PredictedWork, ADenseSourceCountsItsFlowByTheNeighboursBeforeIt) {
  std::vector<sunder::Edge> edges;
  for (int32_t u = 0; u < 40; u++)
    for (int32_t v = u + 1; v < 40; v++) edges.push_back({u, v, 1});
  sunder::detail::CompactGraph g(40, edges);
  std::vector<int32_t> sources(40);
  for (int32_t k = 0; k < 40; k++) sources[k] = k;
  sunder::detail::HubRun plain;
  plain.graph = &g;
  sunder::detail::HubRun dense = plain;
  dense.denseSinkSets = true;
  std::vector<int64_t> a = sunder::detail::workUpTo(sources, plain);
  std::vector<int64_t> b = sunder::detail::workUpTo(sources, dense);
  auto cut = [](const std::vector<int64_t> &w, size_t k) { return w[k] - w[k - 1]; };
  EXPECT_GT(cut(b, 1), 10 * cut(a, 1));
  EXPECT_NEAR(static_cast<double>(cut(b, 39)), static_cast<double>(cut(a, 39)), 0.01 * cut(a, 39));
  for (size_t k = 2; k < 40; k++) EXPECT_LE(cut(b, k), cut(b, k - 1)) << k;
}

// A build that commits `rate` cuts a second from `start` on, with `first`
// cuts done at its first call.
void steady(sunder::TimeLeft &left, double start, int64_t first, double rate, int64_t upTo,
            int64_t total) {
  for (int64_t done = first; done <= upTo; done++)
    left.update(start + (done - first) / rate, done, total);
}

TEST(TimeLeft, NothingBeforeTheEvidence) {
  sunder::TimeLeft left;
  EXPECT_FALSE(left.secondsLeft());
  EXPECT_EQ(left.cutsPerSecond(), 0);
  left.update(0.5, 16, 10000);
  EXPECT_FALSE(left.secondsLeft());
  // 1 % of the 9,984 cuts left at the first call: 99 cuts are short of it.
  steady(left, 0.5, 16, 100, 16 + 99, 10000);
  EXPECT_FALSE(left.secondsLeft());
  left.update(0.5 + 100 / 100.0, 116, 10000);
  ASSERT_TRUE(left.secondsLeft());
  EXPECT_NEAR(*left.secondsLeft(), (10000 - 116) / 100.0, 1e-6);
  EXPECT_NEAR(left.cutsPerSecond(), 100, 1e-6);
}

// Ten seconds of decomposition and probe before the first call: a rate
// since the start would say 5 times the truth. The evidence asks for a
// fifth of the elapsed time to be spent after the first call.
TEST(TimeLeft, TheTimeBeforeTheFirstCallIsNotTheRate) {
  sunder::TimeLeft left;
  steady(left, 10, 0, 1000, 2000, 100000);  // 2 s of 12 after the first call
  EXPECT_FALSE(left.secondsLeft());
  steady(left, 12.001, 2001, 1000, 2600, 100000);  // 2.6 s of 12.6
  ASSERT_TRUE(left.secondsLeft());
  EXPECT_NEAR(*left.secondsLeft(), (100000 - 2600) / 1000.0, 1e-6);
}

// Calls with nothing done (a graph that split reports its tiny blocks, no
// work, at once and then sets up its large block) start no clock: the
// estimate is the steady rate after them, the pause not counted.
TEST(TimeLeft, CallsWithNothingDoneStartNoClock) {
  sunder::TimeLeft left;
  left.update(0.1, 0, 10000);
  left.update(5, 0, 10000);
  EXPECT_FALSE(left.secondsLeft());
  steady(left, 5, 100, 100, 2000, 10000);
  ASSERT_TRUE(left.secondsLeft());
  EXPECT_NEAR(*left.secondsLeft(), (10000 - 2000) / 100.0, 1e-6);
}

TEST(TimeLeft, AllDoneIsNothingLeft) {
  sunder::TimeLeft left;
  left.update(3, 7, 7);
  EXPECT_EQ(left.secondsLeft(), 0.0);
  sunder::TimeLeft none;
  none.update(0, 0, 0);
  EXPECT_EQ(none.secondsLeft(), 0.0);
  sunder::TimeLeft built;
  steady(built, 1, 0, 50, 500, 500);
  EXPECT_EQ(built.secondsLeft(), 0.0);
  built.update(20, 900, 500);  // more than the total: all done
  EXPECT_EQ(built.secondsLeft(), 0.0);
}

// A clock that steps back (or says NaN) adds no time: the estimate is the
// one of the same samples at the last time, and later samples go on from
// there.
TEST(TimeLeft, TimeThatStepsBackAddsNoTime) {
  sunder::TimeLeft stepped, held;
  steady(stepped, 0, 0, 100, 2000, 10000);
  steady(held, 0, 0, 100, 2000, 10000);
  stepped.update(5, 2001, 10000);
  held.update(20, 2001, 10000);
  stepped.update(std::nan(""), 2002, 10000);
  held.update(20, 2002, 10000);
  ASSERT_TRUE(stepped.secondsLeft());
  EXPECT_EQ(*stepped.secondsLeft(), *held.secondsLeft());
  EXPECT_GT(*stepped.secondsLeft(), 0);
  stepped.update(20.5, 2050, 10000);
  held.update(20.5, 2050, 10000);
  EXPECT_EQ(*stepped.secondsLeft(), *held.secondsLeft());
}

// Fewer cuts than before or another total: a new build, with no evidence.
TEST(TimeLeft, ANewBuildStartsAfresh) {
  sunder::TimeLeft left;
  steady(left, 0, 0, 100, 5000, 10000);
  ASSERT_TRUE(left.secondsLeft());
  left.update(0.1, 10, 10000);
  EXPECT_FALSE(left.secondsLeft());
  steady(left, 0.1, 10, 400, 2000, 10000);
  ASSERT_TRUE(left.secondsLeft());
  EXPECT_NEAR(*left.secondsLeft(), (10000 - 2000) / 400.0, 1e-6);
  left.update(6, 2001, 3000);
  EXPECT_FALSE(left.secondsLeft());
}

// A stall of 2 s in a steady build of 1,000 units a second (the machine
// busy with something else, say): the windows span three times the stall
// at least, so the rate after it is read over 6 s and more, where the
// last 1/16 and 1/8 of the time alone held little but the stall and said
// 2.2 times the time left at the steady rate.
TEST(TimeLeft, AStallIsReadAgainstTheRateAroundIt) {
  sunder::TimeLeft left;
  steady(left, 0, 1, 1000, 10001, 100000);
  steady(left, 12, 10002, 1000, 10201, 100000);
  double atSteadyRate = (100000 - 10201) / 1000.0;
  ASSERT_TRUE(left.secondsLeft());
  EXPECT_GT(*left.secondsLeft(), atSteadyRate);
  EXPECT_LT(*left.secondsLeft(), 1.6 * atSteadyRate);
}

// A stall right after the first call: no estimate until the time since
// the first call holds three times the stall, for until then every window
// would be the stall for the most part. Once given, an estimate stays
// through a later stall, which the windows then read over all the time.
TEST(TimeLeft, AnEarlyStallDelaysTheEvidence) {
  sunder::TimeLeft left;
  steady(left, 0, 1, 1000, 51, 10000);  // short of 1 % of the units
  steady(left, 1.05, 52, 1000, 1001, 10000);  // 1 s of stall, 2 s since the first call
  EXPECT_FALSE(left.secondsLeft());
  steady(left, 2.0, 1001, 1000, 2100, 10000);
  ASSERT_TRUE(left.secondsLeft());
  left.update(9.1, 2101, 10000);  // a stall of 6 s, 9.1 s since the first call
  ASSERT_TRUE(left.secondsLeft());
  EXPECT_NEAR(*left.secondsLeft(), (10000 - 2101) * 9.1 / 2100, 1e-6);
}

// Units committed at one instant (a thread's cuts computed ahead, waiting
// for a slow one before them) leave the estimate where it was: it moves
// by a factor e over 1/16 of the time since the first call at most, where
// the windows' rate alone fell to a tenth; time that then passes at the
// steady rate brings it back to that rate.
TEST(TimeLeft, ABurstOfUnitsAtOneInstantMovesTheEstimateByLittle) {
  sunder::TimeLeft left;
  steady(left, 0, 1, 1000, 10001, 100000);
  ASSERT_TRUE(left.secondsLeft());
  double before = *left.secondsLeft();
  for (int64_t done = 11001; done <= 30001; done += 1000) left.update(10, done, 100000);
  ASSERT_TRUE(left.secondsLeft());
  EXPECT_GT(*left.secondsLeft(), 0.9 * before);
  EXPECT_LT(*left.secondsLeft(), before);
  steady(left, 10.001, 30002, 1000, 80001, 100000);
  ASSERT_TRUE(left.secondsLeft());
  EXPECT_NEAR(*left.secondsLeft(), (100000 - 80001) / 1000.0, 2);
}

// A stretch of slow cuts: 10 s at 1,000 units a second, then 2 s at 250,
// called every unit, no pause longer than the first one's 50 ms. Risen to
// the windows' rate the estimate would say 161 s, where the build that goes
// on at 1,000 has 89.5 s left; held, it grows by the time since the first
// call (12 s of 10) at most. A rate that stays slow raises it: after 20 s
// more at 250 it is above three times the estimate at 10 s.
TEST(TimeLeft, ASlowStretchHoldsTheEstimate) {
  sunder::TimeLeft left;
  left.update(0, 1, 100000);
  steady(left, 0.05, 2, 1000, 10001, 100000);
  ASSERT_TRUE(left.secondsLeft());
  double before = *left.secondsLeft();
  steady(left, 10.05, 10002, 250, 10501, 100000);
  ASSERT_TRUE(left.secondsLeft());
  EXPECT_GT(*left.secondsLeft(), before);
  EXPECT_LT(*left.secondsLeft(), 1.21 * before);
  steady(left, 12.05, 10502, 250, 15501, 100000);
  ASSERT_TRUE(left.secondsLeft());
  EXPECT_GT(*left.secondsLeft(), 3 * before);
}

// Millions of calls, the kept samples thinned again and again: a steady
// rate is still read exactly, and a rate that quadruples is followed: 100 s
// at 20,000 cuts/s, then 20 s at 80,000/s, 400,000 cuts left. The short
// windows hold the new rate only, the long ones the old one too; the
// average since the start would say 13 s.
TEST(TimeLeft, LongBuildsKeepTheirRate) {
  sunder::TimeLeft left;
  steady(left, 2, 0, 20000, 2000000, 4000000);
  ASSERT_TRUE(left.secondsLeft());
  EXPECT_NEAR(*left.secondsLeft(), 2000000 / 20000.0, 1e-6);
  steady(left, 102, 2000000, 80000, 3600000, 4000000);
  ASSERT_TRUE(left.secondsLeft());
  EXPECT_GT(*left.secondsLeft(), 400000 / 80000.0);
  EXPECT_LT(*left.secondsLeft(), 2 * 400000 / 80000.0);
}

}  // namespace
