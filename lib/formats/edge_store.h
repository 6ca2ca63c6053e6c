// The edges a file reader has read, held as the graph will hold them: one
// 16-byte sunder::Edge each, in the vector the graph then takes over, so a
// file is never held twice. Internal to the library.
//
// Invariants:
// - While unmapped (every id so far below 2^31), an edge's ends are the ids
//   themselves. The first id past that maps every id to a slot, numbered in
//   order of first appearance, and ends are slots from then on (ids_ holds
//   each slot's id, slots_ the reverse).
// - A reader whose ends are already node indices (named nodes) adds them
//   with addIndices and makes its graph with graphOfIndices.
// - The graph functions hand the edges over and leave the store empty.
#ifndef SUNDER_LIB_FORMATS_EDGE_STORE_H
#define SUNDER_LIB_FORMATS_EDGE_STORE_H

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "sunder/graph.h"

namespace sunder {
namespace detail {

class EdgeStore {
 public:
  // Adds the edge {u, v} between ids of 0 or more. Error "more than
  // 1073741823 edges" past the graph's bound.
  void add(NodeId u, NodeId v, Capacity capacity);
  // Adds an edge between node indices, for graphOfIndices; insertFirst
  // puts it before the others.
  void addIndices(int32_t u, int32_t v, Capacity capacity);
  void insertFirst(int32_t u, int32_t v, Capacity capacity);

  size_t size() const { return edges_.size(); }
  bool empty() const { return edges_.empty(); }

  // Every end's id becomes rename(id), a node index: for a reader that
  // turns to named nodes after some numbered edges.
  template <class Rename>
  void renameEnds(Rename &&rename) {
    for (Edge &e : edges_) {
      e.u = rename(idAt(e.u));
      e.v = rename(idAt(e.v));
    }
    unmap();
  }

  // The graph whose nodes are the ids the edges name, in increasing order.
  Graph graphOfIds(CapacityTotal total);
  // The graph of the nodes lowest ... highest, each end's id among them.
  Graph graphOfRange(NodeId lowest, NodeId highest, CapacityTotal total);
  // The graph of the nodes 0 ... nodes - 1 whose edges' ends are indices.
  Graph graphOfIndices(int32_t nodes, CapacityTotal total);

 private:
  NodeId idAt(int32_t end) const { return mapped_ ? ids_[static_cast<size_t>(end)] : end; }
  int32_t endOf(NodeId id);
  void startMapping();
  void push(int32_t u, int32_t v, Capacity capacity);
  void requireRoom() const;
  void unmap();
  // Every end e becomes rank[e - lowest].
  void renumber(const std::vector<int32_t> &rank, int64_t lowest);
  std::vector<NodeId> sortedIds();
  std::vector<NodeId> idRange(NodeId lowest, int64_t count) const;

  std::vector<Edge> edges_;
  bool mapped_ = false;
  int32_t highest_ = -1;  // the highest end while unmapped
  std::vector<NodeId> ids_;
  std::unordered_map<NodeId, int32_t> slots_;
};

}  // namespace detail
}  // namespace sunder

#endif
