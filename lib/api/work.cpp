#include "lib/api/work.h"

#include <algorithm>
#include <cmath>

namespace sunder::detail {

namespace {

// A flow towards a far hub costs about this many times its distance to it
// (its paths run there, looking at the arcs along them; fitted on a mesh).
constexpr int32_t kFarReach = 3;
// At most this much a cut (before the scale), so that the work of 2^31
// cuts fits 63 bits.
constexpr double kMostWork = 1e8;

// The flow of a source with `arcs` arcs whose paths run `reach` arcs: the
// arcs to the power 1.3, a third of that in kWorkUnit (a cut proven
// without a flow, its commit and tree update, costs about what the flow of
// a node of 2 or 3 arcs does), and kWorkUnit on top (fitted on real
// networks).
int64_t flowWork(int64_t arcs, int64_t reach) {
  double w = std::pow(static_cast<double>(arcs), 1.3) *
             static_cast<double>(std::max<int64_t>(reach, 1));
  return kWorkUnit + static_cast<int64_t>(std::llround(kWorkUnit * std::min(w, kMostWork) / 3));
}

// Whether s has a neighbour at an earlier position (the root included) at
// least as heavy: the heaviest-first order's mark of a neighbour proof.
bool heavierBefore(const CompactGraph &g, int32_t s, const std::vector<int32_t> &position) {
  for (int32_t a = g.first[s]; a < g.first[s + 1]; a++) {
    int32_t y = g.head[a];
    if (position[y] < position[s] && g.degree[y] >= g.degree[s]) return true;
  }
  return false;
}

int64_t cutWork(int32_t s, const HubRun &run, const std::vector<int32_t> &position) {
  const CompactGraph &g = *run.graph;
  if ((run.aloneToRoot != nullptr && (*run.aloneToRoot)[s]) || g.degree[s] <= run.provenDegree)
    return kWorkUnit;
  int64_t arcs = g.first[s + 1] - g.first[s];
  bool tried = run.neighbourProofs && triesNeighbourProof(run.steerDistance, s);
  if (tried && heavierBefore(g, s, position)) return flowWork(arcs, 1);
  int64_t reach = run.farDistance != nullptr ? kFarReach * int64_t{(*run.farDistance)[s]} : 1;
  return flowWork(arcs, reach);
}

}  // namespace

std::vector<int64_t> workUpTo(const std::vector<int32_t> &sources, const HubRun &run) {
  size_t n = sources.size();
  std::vector<int64_t> upTo(n, 0);
  std::vector<int32_t> position;
  if (run.graph != nullptr) {
    position.assign(n, 0);
    for (size_t i = 0; i < n; i++) position[sources[i]] = static_cast<int32_t>(i);
  }
  for (size_t i = 1; i < n; i++)
    upTo[i] = upTo[i - 1] + (run.graph != nullptr ? cutWork(sources[i], run, position) : kWorkUnit);
  return upTo;
}

int64_t blockWork(int32_t size, const std::vector<Edge> &edges, bool dense) {
  if (size < 2 || dense) return 0;
  std::vector<int64_t> arcs(size, 0);
  for (const Edge &e : edges)
    if (e.u != e.v) arcs[e.u]++, arcs[e.v]++;
  std::sort(arcs.begin(), arcs.end());
  int64_t work = 0;
  for (int32_t k = 0; k + 1 < size; k++) work += flowWork(arcs[k], 1);
  return work;
}

}  // namespace sunder::detail
