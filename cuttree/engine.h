// The ways cuttree finds one minimum s-t cut. Each worker thread owns one
// engine and with it every piece of state a computation changes, so engines
// never share anything mutable.
#ifndef CUTTREE_ENGINE_H
#define CUTTREE_ENGINE_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cuttree/instance.h"

namespace cuttree {

// Operation counters of an engine, run-long; what they count depends on the
// engine (push-relabel: relabels and pushes; augmenting paths: breadth-first
// phases and augmentations).
struct Counters {
  int64_t first = 0;
  int64_t second = 0;
  int64_t scans = 0;  // arcs looked at, the engines' common measure of work
};

class CutEngine {
 public:
  virtual ~CutEngine() = default;
  // A minimum cut between node ids s and t (s != t): returns its value and
  // sets side[k] to 1 for the nodes on t's side, 0 for those on s's. Depends
  // on the instance, s and t alone, never on earlier computations. An engine
  // may give up (returning -1, side untouched) once it has looked at more
  // than scanLimit arcs; the push-relabel engines never do.
  virtual int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side,
                      int64_t scanLimit = INT64_MAX) = 0;
  virtual Counters counters() const = 0;
};

struct EngineInfo {
  std::string name;
  std::string counterNames;  // the report's names of the two counters
  std::string description;
};

const std::vector<EngineInfo> &engines();
const EngineInfo *findEngine(const std::string &name);

// Settings of the engines that take any.
struct EngineSettings {
  // relabel: a global update follows the relabel that makes the relabels
  // since the last one exceed this many times the awake nodes.
  double updateFactor = 2.0;
};

// A new engine of the given kind on its own copy of the instance's graph.
std::unique_ptr<CutEngine> makeEngine(const std::string &name, Instance &inst,
                                      const EngineSettings &settings = EngineSettings());

}  // namespace cuttree

#endif
