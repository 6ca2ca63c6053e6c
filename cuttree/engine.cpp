#include "cuttree/engine.h"

#include "cuttree/paths.h"
#include "cuttree/trees.h"
#include "solver/solver.h"

namespace cuttree {

namespace {

// The solver's push-relabel computation: exactly as sunder runs it, or under
// other settings (which change the work, never the cut value).
class ExactEngine : public CutEngine {
 public:
  explicit ExactEngine(Instance &inst, const cutSettings &settings = cutSettings())
      : g_(makeSolverGraph(inst)), settings_(settings) {}
  ~ExactEngine() override {
    releaseStorage(g_);
    freeGraph(g_);
  }

  int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side, int64_t) override {
    int64_t value = minimumCutWith(g_, s, t, &settings_);
    // The first computation compacted the lists; later ones need not.
    settings_.listsCompacted = true;
    side.resize(g_->n);
    for (int32_t k = 0; k < g_->n; k++) side[k] = static_cast<uint8_t>(g_->nodes[k].side);
    return value;
  }
  Counters counters() const override {
    return {g_->relabels, g_->pushes, totalEdgeScans(g_)};
  }

 private:
  graph *g_;
  cutSettings settings_;
};

cutSettings relabelSettings(const EngineSettings &settings) {
  cutSettings c;
  c.startWithGlobalUpdate = true;
  c.updateFactor = settings.updateFactor;
  return c;
}

// An engine on the compact graph: `Method` finds the cut (paths.h, trees.h).
template <class Method>
class CompactEngine : public CutEngine {
 public:
  explicit CompactEngine(Instance &inst) : graph_(inst.nodeCount(), inst.edges), method_(graph_) {}
  int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side, int64_t scanLimit) override {
    return method_.cut(s, t, side, scanLimit);
  }
  Counters counters() const override { return method_.counters(); }

 private:
  CompactGraph graph_;
  Method method_;
};

}  // namespace

const std::vector<EngineInfo> &engines() {
  static const std::vector<EngineInfo> all{
      {"exact", "relabels pushes", "push-relabel as sunder runs it (sunder's counters)"},
      {"relabel", "relabels pushes",
       "push-relabel with a global update at the start (--update-factor)"},
      {"paths", "phases augmentations", "blocking flows along shortest augmenting paths"},
      {"trees", "augmentations adoptions",
       "two search trees kept between augmentations"},
      {"auto", "", "the engine that does least on the first computations"},
  };
  return all;
}

const EngineInfo *findEngine(const std::string &name) {
  for (const EngineInfo &e : engines())
    if (e.name == name) return &e;
  return nullptr;
}

std::unique_ptr<CutEngine> makeEngine(const std::string &name, Instance &inst,
                                      const EngineSettings &settings) {
  if (name == "relabel") return std::make_unique<ExactEngine>(inst, relabelSettings(settings));
  if (name == "paths") return std::make_unique<CompactEngine<AugmentingPaths>>(inst);
  if (name == "trees") return std::make_unique<CompactEngine<SearchTrees>>(inst);
  return std::make_unique<ExactEngine>(inst);
}

}  // namespace cuttree
