#include "sunder/graph.h"

#include <string>

#include "sunder/error.h"

namespace sunder {

Error::Error(const std::string &message, std::string file, int64_t line)
    : std::runtime_error((file.empty() ? std::string() : file + ":") +
                         (line > 0 ? std::to_string(line) + ": " : file.empty() ? "" : " ") +
                         message),
      message_(message),
      file_(std::move(file)),
      line_(line) {}

Graph::Graph(int64_t nodes) {
  if (nodes < 0 || nodes > kMaxNodes)
    throw Error("a graph has 0 to " + std::to_string(kMaxNodes) + " nodes, not " +
                std::to_string(nodes));
  ids_.resize(static_cast<size_t>(nodes));
  for (int64_t k = 0; k < nodes; k++) ids_[static_cast<size_t>(k)] = k;
}

bool Graph::contains(NodeId id) const {
  if (identity_) return id >= 0 && id < static_cast<NodeId>(ids_.size());
  return index_.count(id) > 0;
}

int32_t Graph::indexOf(NodeId id) const {
  if (identity_) {
    if (id >= 0 && id < static_cast<NodeId>(ids_.size())) return static_cast<int32_t>(id);
  } else {
    auto it = index_.find(id);
    if (it != index_.end()) return it->second;
  }
  throw Error("node " + std::to_string(id) + " is not in the graph");
}

int32_t Graph::addNode(NodeId id) {
  int32_t next = static_cast<int32_t>(ids_.size());
  if (identity_) {
    if (id >= 0 && id < next) return static_cast<int32_t>(id);
    if (id != next) {
      // The first id that differs from its index: from now on ids go
      // through the map.
      identity_ = false;
      index_.reserve(ids_.size() * 2 + 16);
      for (int32_t k = 0; k < next; k++) index_.emplace(ids_[static_cast<size_t>(k)], k);
    }
  }
  if (!identity_) {
    // Most calls name a node already there: look before inserting, which
    // would allocate a map entry every time.
    auto it = index_.find(id);
    if (it != index_.end()) return it->second;
    index_.emplace(id, next);
  }
  if (next >= kMaxNodes) throw Error("more than " + std::to_string(kMaxNodes) + " nodes");
  ids_.push_back(id);
  return next;
}

void Graph::addEdge(NodeId u, NodeId v, Capacity capacity) {
  if (capacity < 0)
    throw Error("edge {" + std::to_string(u) + ", " + std::to_string(v) +
                "} has a negative capacity (" + std::to_string(capacity) + ")");
  if (edgeCount() >= kMaxEdges) throw Error("more than " + std::to_string(kMaxEdges) + " edges");
  int32_t a = addNode(u);
  int32_t b = addNode(v);
  edges_.push_back({a, b, capacity});
}

void Graph::reserve(int64_t nodes, int64_t edges) {
  if (nodes > 0 && nodes <= kMaxNodes) ids_.reserve(static_cast<size_t>(nodes));
  if (edges > 0 && edges <= kMaxEdges) edges_.reserve(static_cast<size_t>(edges));
}

}  // namespace sunder
