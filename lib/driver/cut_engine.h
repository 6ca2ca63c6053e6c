// What the Gusfield driver asks of a way to find minimum s-t cuts. Each
// worker thread owns one engine and with it every piece of state a
// computation changes, so engines never share anything mutable.
#ifndef SUNDER_DRIVER_CUT_ENGINE_H
#define SUNDER_DRIVER_CUT_ENGINE_H

#include <cstdint>
#include <vector>

namespace sunder::detail {

// Operation counters of an engine, run-long. Each engine counts its own
// operations and leaves the others 0: push-relabel its relabels and pushes,
// the augmenting paths their phases and augmentations, the search trees
// their augmentations and adoptions; every engine its scans.
struct Counters {
  int64_t relabels = 0;
  int64_t pushes = 0;
  int64_t phases = 0;
  int64_t augmentations = 0;
  int64_t adoptions = 0;
  int64_t scans = 0;  // arcs looked at, the engines' common measure of work

  Counters &operator+=(const Counters &more) {
    relabels += more.relabels;
    pushes += more.pushes;
    phases += more.phases;
    augmentations += more.augmentations;
    adoptions += more.adoptions;
    scans += more.scans;
    return *this;
  }
  Counters operator-(const Counters &less) const {
    Counters d;
    d.relabels = relabels - less.relabels;
    d.pushes = pushes - less.pushes;
    d.phases = phases - less.phases;
    d.augmentations = augmentations - less.augmentations;
    d.adoptions = adoptions - less.adoptions;
    d.scans = scans - less.scans;
    return d;
  }
};

// The two sides of a cut: by node (side[k] = 1 on t's side, 0 on s's) when
// byNode, else by the nodes of one side alone (`nodes`, the side `listed`:
// 0 for s's, 1 for t's), every other node lying on the other side. Listing
// the smaller side lets a cut that touched little cost little.
struct CutSides {
  bool byNode = true;
  std::vector<uint8_t> side;
  std::vector<int32_t> nodes;
  uint8_t listed = 0;
};

// Cut values the driver committed well before the computation at hand,
// for an engine that can use them (see CompactEngine in engines.cpp): node
// x's computation, as source, found value[x] between x and sink[x]. Only
// the nodes whose source position (position[x], fixed for the run) lies
// below `before` count; the driver sets `before` so that, for every thread
// count, those computations are committed and the same. The computation is
// that of position `at`, started when positions 1 ... `committed` were
// committed; the driver keeps at - committed within its lag (gusfield.h)
// and sets before = at - lag.
struct KnownCuts {
  const std::vector<int32_t> *position = nullptr;
  const std::vector<int32_t> *sink = nullptr;
  const std::vector<int64_t> *value = nullptr;
  int32_t before = 0;
  int32_t at = 0;
  int32_t committed = 0;
  bool has(int32_t x) const { return (*position)[x] < before; }
};

class CutEngine {
 public:
  virtual ~CutEngine() = default;
  // A minimum cut between node indices s and t (s != t): returns its value
  // and sets side[k] to 1 for the nodes on t's side, 0 for those on s's.
  // Depends on the graph, s and t alone, never on earlier computations, and
  // so does its work: the counters grow by the same for the same s and t
  // whatever the engine computed before. An
  // engine may give up (returning -1, side untouched) once it has looked at
  // more than scanLimit arcs.
  virtual int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side,
                      int64_t scanLimit = INT64_MAX) = 0;
  // The same cut with its sides in `out`; by node unless the engine lists
  // one side. `known`, when given, may spare work but never changes the
  // value or the sides.
  virtual int64_t cutSides(int32_t s, int32_t t, CutSides &out, int64_t scanLimit = INT64_MAX,
                           const KnownCuts *known = nullptr) {
    (void)known;
    out.byNode = true;
    return cut(s, t, out.side, scanLimit);
  }
  virtual Counters counters() const = 0;
  // What the engine has learned of the graph's cuts, in a form of its own,
  // for the engine of a part cut from this graph to start from (learn);
  // empty when nothing.
  virtual std::vector<double> lessons() const { return {}; }
  virtual void learn(const std::vector<double> &lessons) { (void)lessons; }
};

}  // namespace sunder::detail

#endif
