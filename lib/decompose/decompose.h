// Splitting a graph into its biconnected blocks before any flow, and gluing
// the blocks' cut trees back into one cut tree of the whole graph.
//
// Blocks. A block is a maximal set of edges in which every two edges lie on
// a common simple cycle, or a single edge that lies on none (a bridge). Two
// blocks share at most one node; a node shared by several blocks is an
// articulation node: removing it disconnects the graph. Blocks and
// articulation nodes form a forest (one tree per connected component), so
// between two blocks there is exactly one chain of blocks, joined at
// articulation nodes.
//
// Why gluing is valid. Take u and v in one block B. Any other block hangs
// off B through a single articulation node, so no flow path can leave B and
// come back elsewhere: the u-v max flow of the graph is that of B alone, and
// a minimum cut of B extends to the graph by putting each hanging part on
// the side of the node it hangs from (it adds no crossing edge). Now take u
// and v in different blocks, with u = a0, a1, ..., ak = v the articulation
// nodes along the chain of blocks between them (consecutive ones share a
// block). Every u-v cut separates some consecutive pair, so the u-v minimum
// cut is the smallest of the pairs' minimum cuts, each one within its block.
// The union of the blocks' cut trees is a forest whose path from u to v runs
// through a1, ..., ak-1, block by block, so its lightest edge is exactly
// that smallest value; and each tree edge's fundamental cut is its block's
// cut extended as above, of the same value. Different components are joined
// by edges of weight 0: no edge crosses between them.
//
// Decisions.
//   - Self loops are ignored: no cut ever crosses one.
//   - Edges of capacity 0 are dropped before decomposing: they count in no
//     cut, and dropping them only splits blocks further (less flow work).
//     Two nodes joined only by such edges are in different components, and
//     the tree joins them with weight 0, their true minimum cut.
//   - Parallel edges between one pair stay in one block: a pair joined by
//     several edges and nothing else is a 2-node block, not a bridge of each.
//   - A 2-node block never needs a flow: all its edges join its two nodes,
//     so its tree is the single edge weighted by their summed capacity. It
//     is kept as a Bridge. Blocks of 3 or more nodes are handed to a solver.
//
// Invariants of a BlockPlan.
//   - Every node of a block appears once in its node list; local index k of
//     the block is node `nodes[k]` of the graph. Local 0 is the block's node
//     nearest to the search root (the articulation node it hangs from, or
//     the root), the others follow in search discovery order.
//   - Every edge of positive capacity between two distinct nodes is in
//     exactly one block (renumbered locally, input order kept) or is summed
//     into exactly one bridge.
//   - Blocks are ordered largest first (nodes, then edges, both decreasing),
//     ties in the order the search closed them; bridges in closing order.
//     The search starts from node 0, 1, ... and follows edges in input
//     order, so the plan depends on the input alone.
//
// Cost: O(n + m) time and memory; the depth-first search keeps its own stack
// (no recursion), so paths of millions of nodes are fine.
//
// Misuse (an endpoint outside 0 ... n - 1, a negative capacity, a block tree
// of the wrong size or shape) throws sunder::Error: the library's
// public layer validates graphs before they get here.
#ifndef SUNDER_LIB_DECOMPOSE_DECOMPOSE_H
#define SUNDER_LIB_DECOMPOSE_DECOMPOSE_H

#include <cstdint>
#include <functional>
#include <vector>

#include "lib/driver/parent_tree.h"
#include "sunder/graph.h"

namespace sunder::detail {

// A block of 3 or more nodes: its nodes (graph indices, by local index) and
// its edges between local indices.
struct Block {
  std::vector<int32_t> nodes;
  std::vector<Edge> edges;
};

// A 2-node block: the nodes (u nearest to the search root) and the summed
// capacity of the edges between them.
struct Bridge {
  int32_t u;
  int32_t v;
  Capacity capacity;
};

struct BlockPlan {
  int32_t nodeCount = 0;
  std::vector<Block> blocks;    // the ones that need flows, largest first
  std::vector<Bridge> bridges;  // the ones that need none
};

// Whether the plan is one block of all its nodes: the graph does not split.
bool isWholeBlock(const BlockPlan &plan);

// The blocks of the graph on nodes 0 ... n - 1 with these edges. Without
// `wholeBlockEdges`, a graph that is one block of all n nodes gets a plan of
// that block's nodes alone, no copy of its edges: a caller that builds such
// a graph as it is spares the copy's memory.
BlockPlan decompose(int32_t n, const std::vector<Edge> &edges, bool wholeBlockEdges = true);

// The cut tree of the whole graph from the cut trees of the plan's blocks
// (blockTrees[b] for plan.blocks[b], in its local numbering, any root):
// parent/weight over all n nodes, rooted at node 0. Its edges are the
// blocks' tree edges and the bridges, each oriented toward node 0; the
// smallest node of every other component hangs from node 0 by an edge of
// weight 0.
ParentTree assembleTree(const BlockPlan &plan, const std::vector<ParentTree> &blockTrees);

// Computes the cut tree of a block: (local node count, local edges) to its
// tree in local numbering.
using BlockSolver = std::function<ParentTree(int32_t localN, const std::vector<Edge> &localEdges)>;

// decompose, then solveBlock once per block of 3 or more nodes in plan order
// (largest first), then assembleTree. To solve blocks in parallel, call
// decompose and assembleTree directly.
ParentTree buildByBlocks(int32_t n, const std::vector<Edge> &edges, const BlockSolver &solveBlock);

}  // namespace sunder::detail

#endif
