#include "sunder/graph.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "lib/driver/memory.h"
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
  detail::withMemory([&] { ids_.resize(static_cast<size_t>(nodes)); },
                     [&] { return detail::graphSize(nodes, 0); });
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

NodeId Graph::idOf(int32_t index) const {
  if (index < 0 || index >= nodeCount())
    throw std::out_of_range("node index " + std::to_string(index) + " is outside 0 ... " +
                            std::to_string(static_cast<int64_t>(nodeCount()) - 1));
  return ids_[static_cast<size_t>(index)];
}

void detail::releaseEdges(Graph &graph) {
  std::vector<Edge>().swap(graph.edges_);
  graph.total_ = CapacityTotal();
}

Graph detail::graphOf(std::vector<NodeId> &&ids, std::vector<Edge> &&edges, CapacityTotal total) {
  if (static_cast<int64_t>(ids.size()) > Graph::kMaxNodes)
    throw Error("more than " + std::to_string(Graph::kMaxNodes) + " nodes");
  Graph graph;
  for (size_t k = 0; k < ids.size() && graph.identity_; k++)
    graph.identity_ = ids[k] == static_cast<NodeId>(k);
  if (!graph.identity_) {
    graph.index_.reserve(ids.size());
    for (size_t k = 0; k < ids.size(); k++) graph.index_.emplace(ids[k], static_cast<int32_t>(k));
  }
  graph.ids_ = std::move(ids);
  graph.edges_ = std::move(edges);
  graph.total_ = total;
  return graph;
}

void CapacityTotal::add(Capacity capacity) {
  if (capacity > kMaxTotalCapacity - sum_)
    throw Error("the capacities add up to more than " + std::to_string(kMaxTotalCapacity));
  sum_ += capacity;
}

int32_t Graph::addNode(NodeId id) {
  return detail::withMemory([&] { return addNewNode(id); }, [&] { return sizeName(1, 0); });
}

std::string Graph::sizeName(int64_t moreNodes, int64_t moreEdges) const {
  return detail::graphSize(nodeCount() + moreNodes, edgeCount() + moreEdges);
}

int32_t Graph::addNewNode(NodeId id) {
  int32_t next = static_cast<int32_t>(ids_.size());
  if (identity_) {
    if (id >= 0 && id < next) return static_cast<int32_t>(id);
    if (id != next) {
      // The first id that differs from its index: from now on ids go
      // through the map (filled before the switch, so a failed allocation
      // leaves the graph as it was).
      std::unordered_map<NodeId, int32_t> index;
      index.reserve(ids_.size() * 2 + 16);
      for (int32_t k = 0; k < next; k++) index.emplace(ids_[static_cast<size_t>(k)], k);
      index_ = std::move(index);
      identity_ = false;
    }
  }
  if (!identity_) {
    // Most calls name a node already there: look before inserting, which
    // would allocate a map entry every time.
    auto it = index_.find(id);
    if (it != index_.end()) return it->second;
  }
  if (next >= kMaxNodes) throw Error("more than " + std::to_string(kMaxNodes) + " nodes");
  ids_.push_back(id);
  if (!identity_) {
    try {
      index_.emplace(id, next);
    } catch (...) {
      ids_.pop_back();
      throw;
    }
  }
  return next;
}

void Graph::addEdge(NodeId u, NodeId v, Capacity capacity) {
  auto name = [&] { return "edge {" + std::to_string(u) + ", " + std::to_string(v) + "}"; };
  if (capacity < 0)
    throw Error(name() + " has a negative capacity (" + std::to_string(capacity) + ")");
  if (edgeCount() >= kMaxEdges) throw Error("more than " + std::to_string(kMaxEdges) + " edges");
  CapacityTotal total = total_;
  try {
    total.add(capacity);
  } catch (const Error &e) {
    throw Error(name() + ": " + e.message());
  }
  // Room for the edge first: push_back below then cannot fail, so a failed
  // allocation never leaves new nodes without their edge.
  if (edges_.size() == edges_.capacity()) {
    size_t room = std::min<size_t>(std::max<size_t>(16, 2 * edges_.size()), kMaxEdges);
    detail::withMemory([&] { edges_.reserve(room); }, [&] { return sizeName(0, 1); });
  }
  int32_t a = addNode(u);
  int32_t b = addNode(v);
  edges_.push_back({a, b, capacity});
  total_ = total;
}

void Graph::reserve(int64_t nodes, int64_t edges) {
  detail::withMemory(
      [&] {
        if (nodes > 0 && nodes <= kMaxNodes) ids_.reserve(static_cast<size_t>(nodes));
        if (edges > 0 && edges <= kMaxEdges) edges_.reserve(static_cast<size_t>(edges));
      },
      [&] { return detail::graphSize(nodes, edges); });
}

}  // namespace sunder
