#include "lib/api/work.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace sunder::detail {

namespace {

// A flow towards a far hub costs about this many times its distance to it
// (its paths run there, looking at the arcs along them; fitted on a mesh).
constexpr int32_t kFarReach = 3;
// At most this much a cut (before the scale), so that the work of 2^31
// cuts fits 63 bits.
constexpr double kMostWork = 1e8;
// A flow's work per arc doubles at this many arcs: a heavy node's cut to
// the hub pushes as many paths as it has arcs, and each runs further.
constexpr double kArcsDoubling = 96;

// The flow of a source with `arcs` arcs whose paths run `reach` arcs, its
// commit aside: arcs * (1 + arcs / kArcsDoubling) * reach in kWorkUnit (a
// cut proven without a flow, its commit and tree update, costs about what
// a flow along one arc does at one thread; fitted on recorded builds of
// real networks: a node of 16 arcs costs 20 to 25 proven cuts, one of
// 1,000 about 10,000).
int64_t flowWork(int64_t arcs, int64_t reach) {
  double a = static_cast<double>(arcs);
  double w = a * (1 + a / kArcsDoubling) * static_cast<double>(std::max<int64_t>(reach, 1));
  return static_cast<int64_t>(std::llround(kWorkUnit * std::min(w, kMostWork)));
}

// The median capacity of `count` arcs (`capacityOf(k)` the k-th), from
// evenly spaced samples of at most kCapacitySamples; 1 without arcs. Not
// the mean: capacities are often heavy-tailed (tanglenet's run from 12 to
// 5,000 around a median of 56), and a path carries what its lightest arc
// does.
constexpr size_t kCapacitySamples = 4096;

template <class CapacityOf>
double typicalCapacity(size_t count, CapacityOf capacityOf) {
  if (count == 0) return 1;
  std::vector<int64_t> sample;
  size_t step = std::max<size_t>(count / kCapacitySamples, 1);
  for (size_t k = 0; k < count; k += step) sample.push_back(capacityOf(k));
  std::nth_element(sample.begin(), sample.begin() + sample.size() / 2, sample.end());
  return std::max<double>(1, static_cast<double>(sample[sample.size() / 2]));
}

// The arcs a flow from a node is weighed by: its own, or its summed
// capacity in arcs of the typical capacity where that is more. On weighted
// graphs a heavy node's cut is the larger and takes the more paths
// (tanglenet's heaviest nodes, of no more arcs than the rest, cost a
// thousand times the lightest).
int64_t weighedArcs(int64_t arcs, int64_t degree, double typical) {
  return std::max(arcs, static_cast<int64_t>(std::min(static_cast<double>(degree) / typical, 1e15)));
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

// A dense graph's flow from a source none of whose neighbours came before
// it costs kUnboundFlow times as much again, falling e-fold with every
// kBoundShare of them that did. On tanglenet at 16,000 nodes the first 7 %
// of the cuts (the heaviest sources, a few of whose 80 neighbours came
// before them) took 85 % of the time; the time left from the work so far
// was then at most 2.0 times off after the first tenth (12.6 counted
// without this), at 6,000 nodes 25 (166), at 8,000 25 (4.7): builds of a
// second, whose late cuts cost more than this says.
constexpr double kUnboundFlow = 30;
constexpr double kBoundShare = 1.0 / 32;

double unboundFactor(const CompactGraph &g, int32_t s, const std::vector<int32_t> &position) {
  int64_t before = 0, arcs = g.first[s + 1] - g.first[s];
  for (int32_t a = g.first[s]; a < g.first[s + 1]; a++) before += position[g.head[a]] < position[s];
  double share = arcs == 0 ? 1 : static_cast<double>(before) / static_cast<double>(arcs);
  return 1 + kUnboundFlow * std::exp(-share / kBoundShare);
}

int64_t cutWork(int32_t s, const HubRun &run, const std::vector<int32_t> &position,
                double typical) {
  const CompactGraph &g = *run.graph;
  if ((run.aloneToRoot != nullptr && (*run.aloneToRoot)[s]) || g.degree[s] <= run.provenDegree)
    return run.commitWork;
  int64_t arcs = weighedArcs(g.first[s + 1] - g.first[s], g.degree[s], typical);
  if (run.denseSinkSets)
    return run.commitWork + static_cast<int64_t>(static_cast<double>(flowWork(arcs, 1)) *
                                                 unboundFactor(g, s, position));
  bool tried = run.neighbourProofs && triesNeighbourProof(run.steerDistance, s);
  if (tried && heavierBefore(g, s, position)) return run.commitWork + flowWork(arcs, 1);
  int64_t reach = run.farDistance != nullptr ? kFarReach * int64_t{(*run.farDistance)[s]} : 1;
  return run.commitWork + flowWork(arcs, reach);
}

}  // namespace

int64_t commitWorkOn(int threads) { return threads > 1 ? kWorkUnit * 5 / 2 : kWorkUnit; }

std::vector<int64_t> workUpTo(const std::vector<int32_t> &sources, const HubRun &run) {
  size_t n = sources.size();
  std::vector<int64_t> upTo(n, 0);
  std::vector<int32_t> position;
  double typical = 1;
  if (run.graph != nullptr) {
    const CompactGraph &g = *run.graph;
    typical = typicalCapacity(g.cap.size(), [&g](size_t a) { return g.cap[a]; });
    position.assign(n, 0);
    for (size_t i = 0; i < n; i++) position[sources[i]] = static_cast<int32_t>(i);
  }
  for (size_t i = 1; i < n; i++)
    upTo[i] = upTo[i - 1] +
              (run.graph != nullptr ? cutWork(sources[i], run, position, typical) : kWorkUnit);
  return upTo;
}

int64_t blockWork(int32_t size, const std::vector<Edge> &edges, bool dense) {
  if (size < 2 || dense) return 0;
  std::vector<int64_t> arcs(size, 0), degree(size, 0);
  for (const Edge &e : edges)
    if (e.u != e.v) {
      arcs[e.u]++, arcs[e.v]++;
      degree[e.u] += e.capacity, degree[e.v] += e.capacity;
    }
  double typical = typicalCapacity(edges.size(), [&edges](size_t k) { return edges[k].capacity; });
  for (int32_t v = 0; v < size; v++) arcs[v] = weighedArcs(arcs[v], degree[v], typical);
  std::sort(arcs.begin(), arcs.end());
  int64_t work = 0;
  for (int32_t k = 0; k + 1 < size; k++) work += kWorkUnit + flowWork(arcs[k], 1);
  return work;
}

int64_t partOf(int64_t share, int64_t done, int64_t all) {
  if (all <= 0 || done >= all) return share;
  long double part = static_cast<long double>(share) * done / all;
  return std::min(share, static_cast<int64_t>(part));
}

StagedWork::StagedWork(std::function<void(int64_t, int64_t)> progress,
                       std::function<void(int64_t, int64_t)> progressWork, int32_t nodes,
                       int64_t edges)
    : progress_(std::move(progress)), progressWork_(std::move(progressWork)), nodes_(nodes),
      edges_(edges) {}

void StagedWork::fix(bool packs, bool probes, int64_t cutBound) {
  packingFrom_ = kWorkBeforeTotal * edges_;
  packingWork_ = packs ? kPackingWork * edges_ : 0;
  probeWork_ = probes ? cutBound / kProbeShare : 0;
  cutsFrom_ = packingFrom_ + packingWork_ + probeWork_;
  total_ = cutsFrom_ + std::max<int64_t>(cutBound, 1);
  report(packingFrom_);
}

void StagedWork::reportSetup(int64_t from, int64_t work, double share) {
  if (!fixed()) return;
  report(from + static_cast<int64_t>(static_cast<double>(work) * std::min(std::max(share, 0.0), 1.0)));
}

void StagedWork::cuts(int64_t done, int64_t all) const {
  reportWork(cutsFrom_ + partOf(total_ - cutsFrom_, done, all));
}

void StagedWork::report(int64_t done) const {
  if (progress_) progress_(0, int64_t{nodes_} - 1);
  reportWork(done);
}

void StagedWork::reportWork(int64_t done) const {
  if (!progressWork_) return;
  reported_ = std::max(reported_, std::min(done, total_));
  progressWork_(reported_, total_);
}

}  // namespace sunder::detail
