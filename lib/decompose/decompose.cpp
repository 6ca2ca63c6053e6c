#include "lib/decompose/decompose.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

#include "sunder/error.h"
#include <string>

namespace sunder::detail {

namespace {

// Edges as arcs grouped by tail (each edge twice), in input order.
struct Adjacency {
  std::vector<int64_t> start;  // n + 1 offsets into head/edge
  std::vector<int32_t> head;
  std::vector<int32_t> edge;  // index into the input edge list
};

bool carriesFlow(const Edge &e) { return e.capacity > 0 && e.u != e.v; }

void checkEdges(int32_t n, const std::vector<Edge> &edges) {
  if (n < 0) throw Error("negative node count " + std::to_string(n));
  for (const Edge &e : edges) {
    if (e.u < 0 || e.u >= n || e.v < 0 || e.v >= n)
      throw Error("edge {" + std::to_string(e.u) + ", " + std::to_string(e.v) +
                                  "} has an end outside 0 ... " + std::to_string(n - 1));
    if (e.capacity < 0)
      throw Error("edge {" + std::to_string(e.u) + ", " + std::to_string(e.v) +
                                  "} has a negative capacity");
  }
}

// Adjacency of the edges but loops; with `flowOnly`, of those that count in
// some cut (positive capacity) alone.
Adjacency buildAdjacency(int32_t n, const std::vector<Edge> &edges, bool flowOnly) {
  auto kept = [flowOnly](const Edge &e) { return e.u != e.v && (!flowOnly || e.capacity > 0); };
  Adjacency adj;
  adj.start.assign(static_cast<size_t>(n) + 1, 0);
  for (const Edge &e : edges) {
    if (!kept(e)) continue;
    adj.start[static_cast<size_t>(e.u) + 1]++;
    adj.start[static_cast<size_t>(e.v) + 1]++;
  }
  std::partial_sum(adj.start.begin(), adj.start.end(), adj.start.begin());
  adj.head.resize(static_cast<size_t>(adj.start.back()));
  adj.edge.resize(adj.head.size());
  std::vector<int64_t> fill(adj.start.begin(), adj.start.end() - 1);
  for (size_t k = 0; k < edges.size(); k++) {
    const Edge &e = edges[k];
    if (!kept(e)) continue;
    size_t a = static_cast<size_t>(fill[static_cast<size_t>(e.u)]++);
    adj.head[a] = e.v;
    adj.edge[a] = static_cast<int32_t>(k);
    size_t b = static_cast<size_t>(fill[static_cast<size_t>(e.v)]++);
    adj.head[b] = e.u;
    adj.edge[b] = static_cast<int32_t>(k);
  }
  return adj;
}

// What the search learns: every node that is not the first of its component
// belongs, other than as the block's top, to exactly one block (its owner),
// where it has a local index >= 1. The top of a block (local 0) is the node
// the block hangs from.
struct BlockFinding {
  std::vector<int32_t> discovery;  // search order; -1: never reached
  std::vector<int32_t> owner;      // -1: first node of a component
  std::vector<int32_t> local;      // index in the owner block
  std::vector<int32_t> top;        // per block, in closing order
  std::vector<int32_t> firstNode;  // per block: offset into `members`
  std::vector<int32_t> members;    // non-top nodes of the blocks, by block
  int32_t blockSize(size_t b) const {
    int32_t end =
        b + 1 < firstNode.size() ? firstNode[b + 1] : static_cast<int32_t>(members.size());
    return end - firstNode[b] + 1;
  }
};

// Hopcroft and Tarjan's block search with an explicit stack. low[x] is the
// earliest discovery reachable from x's subtree by one back edge; a child c
// of p with low[c] >= discovery[p] closes a block: p and the nodes pushed
// since c.
class BlockSearch {
 public:
  BlockSearch(int32_t n, const Adjacency &adj)
      : adj_(adj),
        low_(static_cast<size_t>(n)),
        cursor_(adj.start.begin(), adj.start.end() - 1),
        parentEdge_(static_cast<size_t>(n), -1) {
    found_.discovery.assign(static_cast<size_t>(n), -1);
    found_.owner.assign(static_cast<size_t>(n), -1);
    found_.local.assign(static_cast<size_t>(n), 0);
  }

  BlockFinding run() {
    for (int32_t root = 0; root < static_cast<int32_t>(low_.size()); root++)
      if (found_.discovery[static_cast<size_t>(root)] < 0) searchFrom(root);
    return std::move(found_);
  }

 private:
  void discover(int32_t x) {
    found_.discovery[static_cast<size_t>(x)] = clock_;
    low_[static_cast<size_t>(x)] = clock_++;
    path_.push_back(x);
  }

  void searchFrom(int32_t root) {
    discover(root);
    while (!path_.empty()) {
      int32_t x = path_.back();
      if (cursor_[static_cast<size_t>(x)] < adj_.start[static_cast<size_t>(x) + 1])
        followArc(x);
      else
        retreat(x);
    }
  }

  void followArc(int32_t x) {
    size_t a = static_cast<size_t>(cursor_[static_cast<size_t>(x)]++);
    if (adj_.edge[a] == parentEdge_[static_cast<size_t>(x)]) return;  // the tree edge back
    int32_t y = adj_.head[a];
    if (found_.discovery[static_cast<size_t>(y)] < 0) {
      parentEdge_[static_cast<size_t>(y)] = adj_.edge[a];
      discover(y);
      pending_.push_back(y);
    } else {
      low_[static_cast<size_t>(x)] =
          std::min(low_[static_cast<size_t>(x)], found_.discovery[static_cast<size_t>(y)]);
    }
  }

  void retreat(int32_t x) {
    path_.pop_back();
    if (path_.empty()) return;
    int32_t p = path_.back();
    low_[static_cast<size_t>(p)] =
        std::min(low_[static_cast<size_t>(p)], low_[static_cast<size_t>(x)]);
    if (low_[static_cast<size_t>(x)] >= found_.discovery[static_cast<size_t>(p)]) closeBlock(p, x);
  }

  // The nodes pushed since `child` (it included) are the block's non-top
  // nodes, already in discovery order.
  void closeBlock(int32_t top, int32_t child) {
    int32_t block = static_cast<int32_t>(found_.top.size());
    size_t from = pending_.size();
    do from--;
    while (pending_[from] != child);
    found_.top.push_back(top);
    found_.firstNode.push_back(static_cast<int32_t>(found_.members.size()));
    for (size_t k = from; k < pending_.size(); k++) {
      int32_t x = pending_[k];
      found_.owner[static_cast<size_t>(x)] = block;
      found_.local[static_cast<size_t>(x)] = static_cast<int32_t>(k - from) + 1;
      found_.members.push_back(x);
    }
    pending_.resize(from);
  }

  const Adjacency &adj_;
  BlockFinding found_;
  std::vector<int32_t> low_;
  std::vector<int64_t> cursor_;      // next arc to follow, per node
  std::vector<int32_t> parentEdge_;  // edge to the search parent; -1 at roots
  std::vector<int32_t> path_;        // the search path, root first
  std::vector<int32_t> pending_;     // discovered nodes not yet in a block
  int32_t clock_ = 0;
};

// The block of an edge: the owner of its later-discovered end (the other end
// is an ancestor, in that block or its top).
int32_t blockOfEdge(const BlockFinding &found, const Edge &e) {
  size_t u = static_cast<size_t>(e.u), v = static_cast<size_t>(e.v);
  return found.owner[found.discovery[u] > found.discovery[v] ? u : v];
}

int32_t localIndex(const BlockFinding &found, int32_t block, int32_t x) {
  return found.owner[static_cast<size_t>(x)] == block ? found.local[static_cast<size_t>(x)] : 0;
}

std::vector<int32_t> countBlockEdges(const BlockFinding &found, const std::vector<Edge> &edges) {
  std::vector<int32_t> count(found.top.size(), 0);
  for (const Edge &e : edges)
    if (carriesFlow(e)) count[static_cast<size_t>(blockOfEdge(found, e))]++;
  return count;
}

// Where each found block goes: index into plan.blocks (>= 0) or into
// plan.bridges (-1 - index). Sizes the plan's vectors and fills node lists.
std::vector<int32_t> placeBlocks(const BlockFinding &found, const std::vector<int32_t> &edgeCount,
                                 BlockPlan &plan) {
  std::vector<int32_t> flowBlocks;
  std::vector<int32_t> slot(found.top.size());
  for (size_t b = 0; b < found.top.size(); b++) {
    if (found.blockSize(b) > 2) {
      flowBlocks.push_back(static_cast<int32_t>(b));
      continue;
    }
    slot[b] = -1 - static_cast<int32_t>(plan.bridges.size());
    plan.bridges.push_back(
        {found.top[b], found.members[static_cast<size_t>(found.firstNode[b])], 0});
  }
  std::stable_sort(flowBlocks.begin(), flowBlocks.end(), [&](int32_t a, int32_t b) {
    int32_t sa = found.blockSize(static_cast<size_t>(a)),
            sb = found.blockSize(static_cast<size_t>(b));
    if (sa != sb) return sa > sb;
    return edgeCount[static_cast<size_t>(a)] > edgeCount[static_cast<size_t>(b)];
  });
  plan.blocks.resize(flowBlocks.size());
  for (size_t k = 0; k < flowBlocks.size(); k++) {
    size_t b = static_cast<size_t>(flowBlocks[k]);
    slot[b] = static_cast<int32_t>(k);
    Block &block = plan.blocks[k];
    block.nodes.push_back(found.top[b]);
    auto first = found.members.begin() + found.firstNode[b];
    block.nodes.insert(block.nodes.end(), first, first + (found.blockSize(b) - 1));
    block.edges.reserve(static_cast<size_t>(edgeCount[b]));
  }
  return slot;
}

void distributeEdges(const BlockFinding &found, const std::vector<int32_t> &slot,
                     const std::vector<Edge> &edges, BlockPlan &plan) {
  for (const Edge &e : edges) {
    if (!carriesFlow(e)) continue;
    int32_t b = blockOfEdge(found, e);
    int32_t s = slot[static_cast<size_t>(b)];
    if (s < 0) {
      plan.bridges[static_cast<size_t>(-1 - s)].capacity += e.capacity;
      continue;
    }
    plan.blocks[static_cast<size_t>(s)].edges.push_back(
        {localIndex(found, b, e.u), localIndex(found, b, e.v), e.capacity});
  }
}

void checkBlockTree(const ParentTree &tree, size_t nodes, size_t block) {
  std::string which = "cut tree of block " + std::to_string(block);
  if (tree.parent.size() != nodes || tree.weight.size() != nodes)
    throw Error(which + ": " + std::to_string(nodes) + " nodes expected");
  size_t roots = 0;
  for (size_t k = 0; k < nodes; k++) {
    int32_t p = tree.parent[k];
    if (p == -1)
      roots++;
    else if (p < 0 || static_cast<size_t>(p) >= nodes || static_cast<size_t>(p) == k)
      throw Error(which + ": node " + std::to_string(k) + " has parent " +
                                  std::to_string(p));
  }
  if (roots != 1) throw Error(which + ": " + std::to_string(roots) + " roots");
}

// The union of the blocks' and bridges' tree edges, in graph indices.
std::vector<Edge> unionOfTrees(const BlockPlan &plan, const std::vector<ParentTree> &blockTrees) {
  std::vector<Edge> tree;
  for (size_t b = 0; b < plan.blocks.size(); b++) {
    const std::vector<int32_t> &nodes = plan.blocks[b].nodes;
    const ParentTree &local = blockTrees[b];
    checkBlockTree(local, nodes.size(), b);
    for (size_t k = 0; k < nodes.size(); k++) {
      int32_t p = local.parent[k];
      if (p >= 0) tree.push_back({nodes[k], nodes[static_cast<size_t>(p)], local.weight[k]});
    }
  }
  for (const Bridge &bridge : plan.bridges) tree.push_back({bridge.u, bridge.v, bridge.capacity});
  return tree;
}

}  // namespace

bool isWholeBlock(const BlockPlan &plan) {
  return plan.bridges.empty() && plan.blocks.size() == 1 &&
         static_cast<int32_t>(plan.blocks[0].nodes.size()) == plan.nodeCount;
}

BlockPlan decompose(int32_t n, const std::vector<Edge> &edges, bool wholeBlockEdges) {
  checkEdges(n, edges);
  BlockPlan plan;
  plan.nodeCount = n;
  BlockFinding found;
  {
    // The adjacency goes before the blocks' edges are made.
    Adjacency adj = buildAdjacency(n, edges, true);
    found = BlockSearch(n, adj).run();
  }
  std::vector<int32_t> edgeCount = countBlockEdges(found, edges);
  std::vector<int32_t> slot = placeBlocks(found, edgeCount, plan);
  if (!wholeBlockEdges && isWholeBlock(plan)) {
    std::vector<Edge>().swap(plan.blocks[0].edges);  // its reserved room too
    return plan;
  }
  distributeEdges(found, slot, edges, plan);
  return plan;
}

ParentTree assembleTree(const BlockPlan &plan, const std::vector<ParentTree> &blockTrees) {
  if (blockTrees.size() != plan.blocks.size())
    throw Error(std::to_string(plan.blocks.size()) +
                                " block cut trees expected, got " +
                                std::to_string(blockTrees.size()));
  return rootForest(plan.nodeCount, unionOfTrees(plan, blockTrees));
}

ParentTree buildByBlocks(int32_t n, const std::vector<Edge> &edges, const BlockSolver &solveBlock) {
  BlockPlan plan = decompose(n, edges);
  std::vector<ParentTree> trees;
  trees.reserve(plan.blocks.size());
  for (const Block &block : plan.blocks)
    trees.push_back(solveBlock(static_cast<int32_t>(block.nodes.size()), block.edges));
  return assembleTree(plan, trees);
}

}  // namespace sunder::detail
