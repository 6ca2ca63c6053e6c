#include "lib/engines/trees.h"

#include <algorithm>

namespace sunder::detail {

SearchTrees::SearchTrees(const CompactGraph &g, const CompactSettings &settings)
    : g_(g), settings_(settings), first_(g.first), head_(g.head), twin_(g.twin), res_(g.cap),
      tree_(g.n, FREE), parent_(g.n, kNone), active_(g.n, 0), scan_(g.n), stamp_(g.n, 0),
      dist_(g.n) {}

// Residuals and node states back to the start: those the last computation
// changed, or all of them without local resets.
void SearchTrees::restore() {
  if (!settings_.localReset) {
    res_ = g_.cap;
    std::fill(tree_.begin(), tree_.end(), FREE);
    std::fill(parent_.begin(), parent_.end(), kNone);
    std::fill(active_.begin(), active_.end(), 0);
    std::fill(stamp_.begin(), stamp_.end(), 0);
    pass_ = 0;
  } else {
    for (int32_t a : touchedArcs_) {
      res_[a] = g_.cap[a];
      res_[twin_[a]] = g_.cap[twin_[a]];
    }
    for (int32_t v : touchedNodes_) {
      tree_[v] = FREE;
      parent_[v] = kNone;
      active_[v] = 0;
    }
  }
  touchedArcs_.clear();
  touchedNodes_.clear();
  activeQueue_.clear();
  orphans_.clear();
}

// A pass number no stamp carries yet.
void SearchTrees::nextPass() {
  if (pass_ == INT32_MAX) {
    std::fill(stamp_.begin(), stamp_.end(), 0);
    pass_ = 0;
  }
  pass_++;
}

void SearchTrees::join(int32_t v, uint8_t tree) {
  tree_[v] = tree;
  touchedNodes_.push_back(v);
}

void SearchTrees::reset(int32_t s, int32_t t) {
  restore();
  nextPass();
  for (int32_t root : {s, t}) {
    join(root, root == s ? SOURCE : SINK);
    parent_[root] = kRoot;
    dist_[root] = 0;
    stamp_[root] = pass_;
    activate(root);
  }
}

// Queues v, or makes it look at all its arcs again if it is queued already.
void SearchTrees::activate(int32_t v) {
  scan_[v] = first_[v];
  if (active_[v]) return;
  active_[v] = 1;
  activeQueue_.push_back(v);
}

// Grows the trees from their active nodes, oldest first, until an arc joins
// the source tree to the sink tree (returned, pointing from the source
// tree) or no node is active any more. A node resumes where it found the
// last joining arc: the arcs before it cannot have become useful since, for
// a push changes only arcs between tree nodes, and a neighbour that leaves
// its tree makes the node look at all its arcs again.
int32_t SearchTrees::grow() {
  while (!activeQueue_.empty()) {
    int32_t p = activeQueue_.front();
    uint8_t tree = tree_[p];
    if (tree != FREE) {
      scans_ += first_[p + 1] - scan_[p];
      for (int32_t &a = scan_[p]; a < first_[p + 1]; a++) {
        int32_t q = head_[a];
        // Flow leaves a source-tree node along a, enters a sink-tree node
        // along the twin.
        if ((tree == SOURCE ? res_[a] : res_[twin_[a]]) == 0) continue;
        if (tree_[q] == FREE) {
          join(q, tree);
          parent_[q] = twin_[a];
          dist_[q] = dist_[p] + 1;
          stamp_[q] = stamp_[p];
          activate(q);
        } else if (tree_[q] != tree) {
          return tree == SOURCE ? a : twin_[a];
        }
      }
    }
    activeQueue_.pop_front();
    active_[p] = 0;
  }
  return kNone;
}

// Pushes the bottleneck along root s ... u -> w ... root t, with u -> w the
// bridge; the nodes whose tree links the push saturates become orphans.
int64_t SearchTrees::augment(int32_t bridge) {
  int32_t u = head_[twin_[bridge]], w = head_[bridge];
  int64_t bottleneck = res_[bridge];
  for (int32_t v = u; parent_[v] != kRoot; v = head_[parent_[v]])
    bottleneck = std::min(bottleneck, linkResidual(parent_[v], SOURCE));
  for (int32_t v = w; parent_[v] != kRoot; v = head_[parent_[v]])
    bottleneck = std::min(bottleneck, linkResidual(parent_[v], SINK));
  moveAlong(bridge, bottleneck);
  for (int32_t v = u; parent_[v] != kRoot;) {
    int32_t a = parent_[v], next = head_[a];
    moveAlong(twin_[a], bottleneck);
    if (res_[twin_[a]] == 0) {
      parent_[v] = kNone;
      orphans_.push_back(v);
    }
    v = next;
  }
  for (int32_t v = w; parent_[v] != kRoot;) {
    int32_t a = parent_[v], next = head_[a];
    moveAlong(a, bottleneck);
    if (res_[a] == 0) {
      parent_[v] = kNone;
      orphans_.push_back(v);
    }
    v = next;
  }
  augmentations_++;
  return bottleneck;
}

// Pushes `amount` along arc a.
void SearchTrees::moveAlong(int32_t a, int64_t amount) {
  res_[a] -= amount;
  res_[twin_[a]] += amount;
  touchedArcs_.push_back(a);
}

// Whether v's chain of parents still reaches its tree's root; on the way up
// it confirms the distances of the chain for this pass.
bool SearchTrees::rootedAt(int32_t v) {
  int32_t d = 0, u = v;
  for (;;) {
    if (stamp_[u] == pass_) {
      d += dist_[u];
      break;
    }
    int32_t a = parent_[u];
    if (a == kRoot) {
      stamp_[u] = pass_;
      dist_[u] = 0;
      break;
    }
    if (a == kNone) return false;
    u = head_[a];
    d++;
    scans_++;
  }
  for (u = v; stamp_[u] != pass_; u = head_[parent_[u]]) {
    stamp_[u] = pass_;
    dist_[u] = d--;
  }
  return true;
}

// Gives orphan v the nearest neighbour of its tree that still reaches the
// root as parent, or frees it and orphans its own children.
void SearchTrees::adopt(int32_t v) {
  uint8_t tree = tree_[v];
  int32_t best = kNone, bestDist = INT32_MAX;
  for (int32_t a = first_[v]; a < first_[v + 1]; a++) {
    int32_t q = head_[a];
    if (tree_[q] != tree || linkResidual(a, tree) == 0) continue;
    if (rootedAt(q) && dist_[q] < bestDist) {
      best = a;
      bestDist = dist_[q];
    }
  }
  adoptions_++;
  scans_ += first_[v + 1] - first_[v];
  if (best != kNone) {
    parent_[v] = best;
    dist_[v] = bestDist + 1;
    stamp_[v] = pass_;
    return;
  }
  tree_[v] = FREE;
  scans_ += first_[v + 1] - first_[v];
  for (int32_t a = first_[v]; a < first_[v + 1]; a++) {
    int32_t q = head_[a];
    if (tree_[q] != tree) continue;
    // q may grow into v again, across the arc that now joins them.
    if ((tree == SOURCE ? res_[twin_[a]] : res_[a]) > 0) activate(q);
    int32_t pa = parent_[q];
    if (pa >= 0 && head_[pa] == v) {
      parent_[q] = kNone;
      orphans_.push_back(q);
    }
  }
}

void SearchTrees::adoptOrphans() {
  nextPass();
  while (!orphans_.empty()) {
    int32_t v = orphans_.back();
    orphans_.pop_back();
    adopt(v);
  }
}

// side: 0 for the source tree's nodes, 1 for the others.
void SearchTrees::sourceTreeSide(std::vector<uint8_t> &side) const {
  side.assign(g_.n, 1);
  for (int32_t v : touchedNodes_)
    if (tree_[v] == SOURCE) side[v] = 0;
}

int64_t SearchTrees::cut(int32_t s, int32_t t, std::vector<uint8_t> &side, int64_t scanLimit) {
  reset(s, t);
  int64_t bound = settings_.degreeBound ? std::min(g_.degree[s], g_.degree[t]) : INT64_MAX;
  int64_t flow = 0, startScans = scans_;
  for (int32_t bridge; flow < bound && (bridge = grow()) != kNone;) {
    flow += augment(bridge);
    if (flow >= bound) break;  // orphans are left to the next restore
    adoptOrphans();
    if (scans_ - startScans > scanLimit) return -1;
  }
  if (flow < bound || bound == INT64_MAX) {
    sourceTreeSide(side);
  } else {  // the flow saturates the lighter terminal's arcs
    bool sourceAlone = g_.degree[s] <= g_.degree[t];
    side.assign(g_.n, sourceAlone ? 1 : 0);
    side[sourceAlone ? s : t] = sourceAlone ? 0 : 1;
  }
  return flow;
}

}  // namespace sunder::detail
