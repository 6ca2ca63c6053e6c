#include "lib/engines/trees.h"

#include <algorithm>

namespace sunder::detail {

SearchTrees::SearchTrees(const CompactGraph &g)
    : n_(g.n), first_(g.first), head_(g.head), twin_(g.twin), cap_(g.cap), res_(g.cap),
      tree_(g.n), parent_(g.n), active_(g.n), scan_(g.n), stamp_(g.n), dist_(g.n) {}

void SearchTrees::reset(int32_t s, int32_t t) {
  res_ = cap_;
  std::fill(tree_.begin(), tree_.end(), FREE);
  std::fill(parent_.begin(), parent_.end(), kNone);
  std::fill(active_.begin(), active_.end(), 0);
  std::fill(stamp_.begin(), stamp_.end(), 0);
  activeQueue_.clear();
  orphans_.clear();
  pass_ = 1;
  for (int32_t root : {s, t}) {
    tree_[root] = root == s ? SOURCE : SINK;
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
          tree_[q] = tree;
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
  res_[bridge] -= bottleneck;
  res_[twin_[bridge]] += bottleneck;
  for (int32_t v = u; parent_[v] != kRoot;) {
    int32_t a = parent_[v], next = head_[a];
    res_[twin_[a]] -= bottleneck;
    res_[a] += bottleneck;
    if (res_[twin_[a]] == 0) {
      parent_[v] = kNone;
      orphans_.push_back(v);
    }
    v = next;
  }
  for (int32_t v = w; parent_[v] != kRoot;) {
    int32_t a = parent_[v], next = head_[a];
    res_[a] -= bottleneck;
    res_[twin_[a]] += bottleneck;
    if (res_[a] == 0) {
      parent_[v] = kNone;
      orphans_.push_back(v);
    }
    v = next;
  }
  augmentations_++;
  return bottleneck;
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
  pass_++;
  while (!orphans_.empty()) {
    int32_t v = orphans_.back();
    orphans_.pop_back();
    adopt(v);
  }
}

int64_t SearchTrees::cut(int32_t s, int32_t t, std::vector<uint8_t> &side, int64_t scanLimit) {
  reset(s, t);
  int64_t flow = 0, startScans = scans_;
  for (int32_t bridge; (bridge = grow()) != kNone;) {
    flow += augment(bridge);
    adoptOrphans();
    if (scans_ - startScans > scanLimit) return -1;
  }
  side.resize(n_);
  for (int32_t k = 0; k < n_; k++) side[k] = tree_[k] == SOURCE ? 0 : 1;
  return flow;
}

}  // namespace sunder::detail
