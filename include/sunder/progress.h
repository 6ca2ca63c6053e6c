// The time a build has left, estimated from its progress callbacks.
//
//   sunder::TimeLeft left;
//   options.progress = [&](int64_t done, int64_t total) {
//     left.update(secondsSinceTheBuildStarted(), done, total);
//     if (std::optional<double> s = left.secondsLeft()) show(*s);
//   };
//
// How fast cuts are committed changes a lot within one build: the first
// progress call comes only after the decomposition and the engine's probe,
// which may take a good part of a short build; the first cuts (of the
// heaviest nodes) are often the slowest; on meshes the cuts get quicker
// towards the end, on large preferential-attachment networks slower. So
// the estimate
//   - starts its clock at the first call: neither the time before it nor
//     the cuts it reports say how fast cuts go;
//   - waits for evidence: 1 % of the cuts left at the first call, and a
//     fifth of the time since the start spent after the first call;
//   - takes the rate of cuts over the last 1/16, 1/8, 1/4, 1/2 and all of
//     the time since the first call (each window stretched to hold 1 % of
//     the cuts at least, so that a pause between bursts of commits is not
//     taken for the rate) and assumes their geometric mean for the cuts
//     left: the short windows follow a rate that changes, the long ones keep
//     a burst from swinging the estimate.
// A rate of the past cannot foresee how the rate will change. On recorded
// builds (tests/data/progress and larger ones) the estimate was within a
// factor 2 of the true time left from a tenth of the build on for
// preferential-attachment networks of 50,000 and 100,000 nodes and the
// spokerim, ringforge, motley and powerlaw families; at most 2.2 times too
// little on one of 1,000,000 nodes, whose cuts slow down 3.5 times; up to
// 2.4 and 3.7 times too much on meshes of 20,000 and 100,000 points, whose
// cuts get 4 to 6 times quicker in the second half; on hubspin, whose first
// cuts are 7 times slower than the rest, 5.8 times at a tenth, within 2
// from 60 % on. A graph that splits into one large block and many tiny
// ones builds the large block first; the tiny blocks' cuts, counted in the
// total, then come nearly at once; until then the time left is overstated,
// the more the nearer the large block's end (9 times at its end on a
// network where they hold a third of the cuts).
#ifndef SUNDER_PROGRESS_H
#define SUNDER_PROGRESS_H

#include <cstdint>
#include <optional>
#include <vector>

namespace sunder {

class TimeLeft {
 public:
  // The state of a build `seconds` after it started: `done` of `total`
  // cuts committed. A time earlier than the last one counts as the last
  // (clocks that step back add no time); fewer cuts done than before or
  // another total start a new build; done is taken as at most total.
  void update(double seconds, int64_t done, int64_t total);

  // Estimated seconds until the last cut; 0 when every cut is done;
  // nothing before the first update and while the evidence is short.
  std::optional<double> secondsLeft() const;

  // The rate of cuts per second that the estimate assumes; 0 when there is
  // no estimate yet.
  double cutsPerSecond() const;

  // Forgets every update.
  void reset();

 private:
  struct Point {
    double seconds;
    int64_t done;
  };
  // Cuts done at `seconds` and the time `done` was reached, interpolated
  // between the points kept (the latest sample included).
  double doneAt(double seconds) const;
  double secondsAt(double done) const;
  double secondsPerCut() const;  // 0 while the evidence is short
  const Point &point(size_t k) const;
  size_t pointCount() const { return kept_.size() + 1; }

  // The first sample, then samples at least 1/256 of the time since the
  // first apart, thinned to every other one when 1024 are kept: memory
  // and time per update stay bounded over millions of cuts.
  std::vector<Point> kept_;
  Point latest_{0, 0};
  int64_t total_ = -1;
};

}  // namespace sunder

#endif
