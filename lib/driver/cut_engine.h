// What the Gusfield driver asks of a way to find minimum s-t cuts. Each
// worker thread owns one engine and with it every piece of state a
// computation changes, so engines never share anything mutable.
#ifndef SUNDER_DRIVER_CUT_ENGINE_H
#define SUNDER_DRIVER_CUT_ENGINE_H

#include <cstdint>
#include <vector>

namespace sunder::detail {

// Operation counters of an engine, run-long; what the first two count
// depends on the engine (push-relabel: relabels and pushes; augmenting
// paths: phases and augmentations; search trees: augmentations and
// adoptions).
struct Counters {
  int64_t first = 0;
  int64_t second = 0;
  int64_t scans = 0;  // arcs looked at, the engines' common measure of work
};

class CutEngine {
 public:
  virtual ~CutEngine() = default;
  // A minimum cut between node indices s and t (s != t): returns its value
  // and sets side[k] to 1 for the nodes on t's side, 0 for those on s's.
  // Depends on the graph, s and t alone, never on earlier computations. An
  // engine may give up (returning -1, side untouched) once it has looked at
  // more than scanLimit arcs; the push-relabel engines never do.
  virtual int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side,
                      int64_t scanLimit = INT64_MAX) = 0;
  virtual Counters counters() const = 0;
};

}  // namespace sunder::detail

#endif
