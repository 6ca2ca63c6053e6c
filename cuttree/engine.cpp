#include "cuttree/engine.h"

#include "cuttree/paths.h"
#include "cuttree/trees.h"
#include "solver/solver.h"

namespace cuttree {

namespace {

// The solver's push-relabel computation, exactly as sunder runs it.
class ExactEngine : public CutEngine {
 public:
  explicit ExactEngine(Instance &inst) : g_(makeSolverGraph(inst)) {}
  ~ExactEngine() override {
    releaseStorage(g_);
    freeGraph(g_);
  }

  int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side) override {
    int64_t value = minimumCut(g_, s, t);
    side.resize(g_->n);
    for (int32_t k = 0; k < g_->n; k++) side[k] = static_cast<uint8_t>(g_->nodes[k].side);
    return value;
  }
  Counters counters() const override {
    return {g_->relabels, g_->pushes, totalEdgeScans(g_)};
  }

 private:
  graph *g_;
};

class PathsEngine : public CutEngine {
 public:
  explicit PathsEngine(Instance &inst) : graph_(inst.nodeCount(), inst.edges), paths_(graph_) {}
  int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side) override {
    return paths_.cut(s, t, side);
  }
  Counters counters() const override {
    return {paths_.phases(), paths_.augmentations(), paths_.scans()};
  }

 private:
  CompactGraph graph_;
  AugmentingPaths paths_;
};

class TreesEngine : public CutEngine {
 public:
  explicit TreesEngine(Instance &inst) : graph_(inst.nodeCount(), inst.edges), trees_(graph_) {}
  int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side) override {
    return trees_.cut(s, t, side);
  }
  Counters counters() const override {
    return {trees_.augmentations(), trees_.adoptions(), trees_.scans()};
  }

 private:
  CompactGraph graph_;
  SearchTrees trees_;
};

// Augmenting paths while they finish in a few phases (long cycles, sparse
// graphs with small cuts), push-relabel for the computations that would
// take many phases. The limit counts phases, not time, so the engine's
// choice, and with it the tree, is the same on every run.
class AutoEngine : public CutEngine {
 public:
  static constexpr int64_t kPhaseLimit = 16;
  explicit AutoEngine(Instance &inst)
      : exact_(inst), graph_(inst.nodeCount(), inst.edges), paths_(graph_) {}
  int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side) override {
    int64_t value = paths_.cut(s, t, side, kPhaseLimit);
    if (value >= 0) return value;
    fallbacks_++;
    return exact_.cut(s, t, side);
  }
  Counters counters() const override {
    Counters exact = exact_.counters();
    return {paths_.phases(), fallbacks_, paths_.scans() + exact.scans};
  }

 private:
  ExactEngine exact_;
  CompactGraph graph_;
  AugmentingPaths paths_;
  int64_t fallbacks_ = 0;
};

}  // namespace

const std::vector<EngineInfo> &engines() {
  static const std::vector<EngineInfo> all{
      {"exact", "relabels pushes", "push-relabel as sunder runs it (sunder's counters)"},
      {"paths", "phases augmentations", "blocking flows along shortest augmenting paths"},
      {"trees", "augmentations adoptions",
       "two search trees kept between augmentations"},
      {"auto", "phases fallbacks",
       "augmenting paths up to 16 phases, then push-relabel for that cut"},
  };
  return all;
}

const EngineInfo *findEngine(const std::string &name) {
  for (const EngineInfo &e : engines())
    if (e.name == name) return &e;
  return nullptr;
}

std::unique_ptr<CutEngine> makeEngine(const std::string &name, Instance &inst) {
  if (name == "paths") return std::make_unique<PathsEngine>(inst);
  if (name == "trees") return std::make_unique<TreesEngine>(inst);
  if (name == "auto") return std::make_unique<AutoEngine>(inst);
  return std::make_unique<ExactEngine>(inst);
}

}  // namespace cuttree
