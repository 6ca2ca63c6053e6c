// The time a build has left, estimated from its progress callbacks, best
// from the build's predicted work (BuildOptions::progressWork), for cuts
// cost very different amounts:
//
//   sunder::TimeLeft left;
//   options.progress = [&](int64_t done, int64_t total) { show(done, total); };
//   options.progressWork = [&](int64_t done, int64_t total) {
//     left.update(secondsSinceTheBuildStarted(), done, total);
//     if (std::optional<double> s = left.secondsLeft()) showSeconds(*s);
//   };
//
// The units (cuts or work, below "units") advance at a rate that changes
// within one build: the first call comes only after the decomposition and
// the engine's probe, which may take a good part of a short build; a graph
// that split reports its tiny blocks' cuts (no work) at once, then waits
// for the large block's setup; the rate of work still drifts over a build;
// and on a busy machine the build stalls now and then, its threads' cuts
// then committed in a burst. So the estimate
//   - starts its clock at the first call with something done: neither the
//     time before it nor the units it reports say how fast they go;
//   - waits for evidence: 1 % of the units left at the first call, a fifth
//     of the time since the start spent after the first call, and three
//     times the longest pause (the time between two calls that brought
//     units) since the first call, for until then the pause would be most
//     of every window; an estimate once given stays;
//   - takes the rate of units over the last 1/16, 1/8, 1/4, 1/2 and all of
//     the time since the first call, each window stretched to hold 1 % of
//     the units and three times the longest pause at least (so that a
//     pause, or the burst after it, is read against the rate around it,
//     not taken for the rate), and assumes their geometric mean for the
//     units left: the short windows follow a rate that changes, the long
//     ones keep a burst from swinging the estimate;
//   - moves, beyond the time that passed, by at most a factor e over 1/16
//     of the time since the first call: units committed at one instant
//     leave it about where it was, a rate that holds for a while is
//     followed;
//   - rises above its last value by at most the factor that the time since
//     the first call grew by meanwhile, but at a pause longer than any
//     before (which the stretched windows read already): a stretch of slow
//     units, which in recorded builds the units after it mostly make up
//     for, holds the estimate instead of raising it to the stretch's rate,
//     and a rate that stays slow raises it over the time it lasts.
// The estimate is as good as the units are even in time: fed with the
// work, it follows builds whose cuts cost what their predicted work says;
// it is off by the factor that the rate of units changes by when cuts
// cost more (or less) than predicted, or when the first cuts go at a rate
// of their own, until the later rate has been seen. How far off it is on
// recorded builds is pinned by tests/library/progress_test.cpp, with the
// builds in tests/data/progress.
//
// Invariants: the kept samples' times and units only grow and are at most
// 1024 (memory and time per update stay bounded over millions of calls);
// there is no estimate before the first call with something done and
// while the evidence is short, 0 once every unit is done, and else one
// that is positive and finite; once given, it is at most its last value
// times the growth of the time since the first call, unless a longer
// pause than any before came or the time it said has passed.
#ifndef SUNDER_PROGRESS_H
#define SUNDER_PROGRESS_H

#include <cstdint>
#include <optional>
#include <vector>

#include "sunder/export.h"

namespace sunder {

class SUNDER_API TimeLeft {
 public:
  // The state of a build `seconds` after it started: `done` of `total`
  // units. A time earlier than the last one counts as the last (clocks
  // that step back add no time); fewer units done than before or another
  // total start a new build; done is taken as at most total. Before the
  // first call with something done (or all of it), calls are ignored.
  void update(double seconds, int64_t done, int64_t total);

  // Estimated seconds until the last unit; 0 when every unit is done;
  // nothing before the first update and while the evidence is short.
  std::optional<double> secondsLeft() const;

  // The rate of units per second that the windows give now; 0 when there
  // is no estimate yet. secondsLeft holds its estimate to the last one, so
  // it may differ from the units left at this rate for a while.
  double cutsPerSecond() const;

  // Forgets every update.
  void reset();

 private:
  struct Point {
    double seconds;
    int64_t done;
  };
  void start(double seconds, int64_t done, int64_t total);
  bool advance(double seconds, int64_t done);  // whether the sample is kept
  std::optional<double> fresh() const;  // the estimate of the windows alone
  double settled(double fresh) const;   // held to the last kept estimate
  double highest() const;  // the most it may rise to (see progress.cpp)
  void settle();  // keeps the estimate at the latest sample
  // Units done at `seconds` and the time `done` was reached, interpolated
  // between the points kept (the latest sample included).
  double doneAt(double seconds) const;
  double secondsAt(double done) const;
  bool hasEvidence() const;
  double minUnits() const;
  double windowSecondsPerUnit(double share) const;
  double secondsPerCut() const;  // 0 while the evidence is short
  const Point &point(size_t k) const;
  size_t pointCount() const { return kept_.size() + 1; }

  // The first sample, then samples at least 1/256 of the time since the
  // first apart, thinned to every other one when 1024 are kept: memory
  // and time per update stay bounded over millions of cuts.
  std::vector<Point> kept_;
  Point latest_{0, 0};
  int64_t total_ = -1;
  double lastAdvance_ = 0;   // the time of the last sample with more done
  double longestPause_ = 0;  // the longest time between two such samples
  bool evidenced_ = false;  // the evidence was there at a sample kept
  std::optional<double> estimate_;  // the estimate at the last sample kept
  double estimateAt_ = 0;           // the time of that sample
  double pauseAtEstimate_ = 0;      // the longest pause at that sample
};

}  // namespace sunder

#endif
