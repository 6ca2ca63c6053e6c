// An undirected graph with integer capacities, built in memory from an edge
// list. Nodes carry ids of the caller's choosing (any 64-bit integers,
// sparse and large allowed); the library numbers them 0 ... n - 1 in the
// order they were first added (their index), and answers in the caller's
// ids. A graph made with Graph(n) has the nodes 0 ... n - 1, id = index.
//
// Parallel edges are allowed (their capacities add up in every cut) and so
// are self loops (no cut ever crosses one). Capacities are 0 or more, and
// all of a graph's capacities, self loops included, add up to at most
// kMaxTotalCapacity (2^62 - 1): every cut value, every flow and every
// residual capacity of the cut computations then fits 64 bits with room to
// spare, so no value can wrap.
#ifndef SUNDER_GRAPH_H
#define SUNDER_GRAPH_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "sunder/export.h"

namespace sunder {

using NodeId = int64_t;
using Capacity = int64_t;

// The bound on a graph's summed capacities (see above).
constexpr Capacity kMaxTotalCapacity = INT64_MAX / 2;

// A running sum of capacities that never passes kMaxTotalCapacity: the one
// place the bound is enforced, by Graph and by the file readers (which add
// each line's capacity as they read it, so their error names the line).
class SUNDER_API CapacityTotal {
 public:
  // Adds `capacity` (0 or more). Error "the capacities add up to more than
  // 4611686018427387903", leaving the sum as it was, when it would pass.
  void add(Capacity capacity);
  Capacity value() const { return sum_; }

 private:
  Capacity sum_ = 0;
};

// An edge between two node indices.
struct Edge {
  int32_t u;
  int32_t v;
  Capacity capacity;
};

class Graph;

namespace detail {
// Frees the graph's edges and keeps its nodes: for a build that owns the
// graph (buildCutTree(Graph &&)) once it has the edges in arrays of its own.
void releaseEdges(Graph &graph);
// The graph of the nodes `ids` (distinct; node k has id ids[k]) and the
// edges `edges` (ends below ids.size(), capacities adding up to `total`),
// taken over without a copy: for the file readers, which hold their edges
// as the graph does. Error "more than 1000000000 nodes" past the bound.
Graph graphOf(std::vector<NodeId> &&ids, std::vector<Edge> &&edges, CapacityTotal total);
}  // namespace detail

class SUNDER_API Graph {
 public:
  // The largest node and edge counts a graph may have: every index and arc
  // position of the cut computations is a 32-bit integer.
  static constexpr int64_t kMaxNodes = 1000000000;
  static constexpr int64_t kMaxEdges = 1073741823;

  Graph() = default;
  // The nodes 0 ... nodes - 1, no edges. Error when nodes < 0 or too many.
  explicit Graph(int64_t nodes);

  // Adds node `id` unless it is a node already; returns its index.
  int32_t addNode(NodeId id);
  // Adds the edge {u, v}; ends that are not nodes yet are added, u first.
  // Error on a negative capacity, a total past kMaxTotalCapacity or too
  // many edges; the graph is then as it was.
  void addEdge(NodeId u, NodeId v, Capacity capacity = 1);
  // Room for this many nodes and edges, to spare reallocations. Every call
  // that allocates throws Error "not enough memory for ..." when it cannot.
  void reserve(int64_t nodes, int64_t edges);

  int32_t nodeCount() const { return static_cast<int32_t>(ids_.size()); }
  int64_t edgeCount() const { return static_cast<int64_t>(edges_.size()); }
  Capacity totalCapacity() const { return total_.value(); }
  bool contains(NodeId id) const;
  // The index of node `id`; Error when it is not a node.
  int32_t indexOf(NodeId id) const;
  // The id of the node at `index`; std::out_of_range outside 0 ... n - 1.
  NodeId idOf(int32_t index) const;
  const std::vector<NodeId> &ids() const { return ids_; }
  const std::vector<Edge> &edges() const { return edges_; }

 private:
  friend void detail::releaseEdges(Graph &graph);
  friend Graph detail::graphOf(std::vector<NodeId> &&ids, std::vector<Edge> &&edges,
                               CapacityTotal total);
  int32_t addNewNode(NodeId id);
  // "a graph of N nodes and M edges" with this many more than now.
  std::string sizeName(int64_t moreNodes, int64_t moreEdges) const;

  // While every id equals its index the map stays empty and unused.
  bool identity_ = true;
  std::vector<NodeId> ids_;
  std::unordered_map<NodeId, int32_t> index_;
  std::vector<Edge> edges_;
  CapacityTotal total_;
};

}  // namespace sunder

#endif
