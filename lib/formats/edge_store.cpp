#include "edge_store.h"

#include <algorithm>
#include <cassert>
#include <limits>
#include <string>

#include "lib/driver/memory.h"
#include "sunder/error.h"

namespace sunder {
namespace detail {

namespace {

constexpr NodeId kHighestEnd = std::numeric_limits<int32_t>::max();

}  // namespace

void EdgeStore::add(NodeId u, NodeId v, Capacity capacity) {
  assert(u >= 0 && v >= 0);
  if (!mapped_ && (u > kHighestEnd || v > kHighestEnd)) startMapping();
  int32_t a = endOf(u);
  push(a, endOf(v), capacity);
}

void EdgeStore::addIndices(int32_t u, int32_t v, Capacity capacity) { push(u, v, capacity); }

void EdgeStore::insertFirst(int32_t u, int32_t v, Capacity capacity) {
  requireRoom();
  edges_.insert(edges_.begin(), Edge{u, v, capacity});
}

void EdgeStore::push(int32_t u, int32_t v, Capacity capacity) {
  requireRoom();
  edges_.push_back({u, v, capacity});
}

void EdgeStore::requireRoom() const {
  if (static_cast<int64_t>(edges_.size()) >= Graph::kMaxEdges)
    throw Error("more than " + std::to_string(Graph::kMaxEdges) + " edges");
}

int32_t EdgeStore::endOf(NodeId id) {
  if (!mapped_) {
    highest_ = std::max(highest_, static_cast<int32_t>(id));
    return static_cast<int32_t>(id);
  }
  auto [slot, added] = slots_.try_emplace(id, static_cast<int32_t>(ids_.size()));
  if (added) ids_.push_back(id);
  return slot->second;
}

// The ids read so far get their slots in order of first appearance.
void EdgeStore::startMapping() {
  mapped_ = true;
  for (Edge &e : edges_) {
    e.u = endOf(e.u);
    e.v = endOf(e.v);
  }
}

void EdgeStore::unmap() {
  mapped_ = false;
  highest_ = -1;
  std::vector<NodeId>().swap(ids_);
  std::unordered_map<NodeId, int32_t>().swap(slots_);
}

void EdgeStore::renumber(const std::vector<int32_t> &rank, int64_t lowest) {
  for (Edge &e : edges_) {
    e.u = rank[static_cast<size_t>(e.u - lowest)];
    e.v = rank[static_cast<size_t>(e.v - lowest)];
  }
}

// The distinct ids in increasing order, every end renumbered to its id's
// place among them: by a table over the ids' range when they are dense, by
// sorting otherwise.
std::vector<NodeId> EdgeStore::sortedIds() {
  std::vector<NodeId> ids;
  if (edges_.empty()) return ids;
  if (mapped_) {
    std::vector<int32_t> order(ids_.size());
    for (size_t k = 0; k < order.size(); k++) order[k] = static_cast<int32_t>(k);
    std::sort(order.begin(), order.end(), [&](int32_t a, int32_t b) { return ids_[a] < ids_[b]; });
    std::vector<int32_t> rank(order.size());
    ids.reserve(order.size());
    for (size_t k = 0; k < order.size(); k++) {
      rank[order[k]] = static_cast<int32_t>(k);
      ids.push_back(ids_[order[k]]);
    }
    renumber(rank, 0);
    return ids;
  }
  int32_t lowest = highest_;
  for (const Edge &e : edges_) lowest = std::min({lowest, e.u, e.v});
  uint64_t range = static_cast<uint64_t>(highest_ - lowest) + 1;
  if (range <= 4 * edges_.size() + 64) {
    std::vector<int32_t> rank(range, -1);
    for (const Edge &e : edges_) rank[e.u - lowest] = rank[e.v - lowest] = 0;
    for (uint64_t k = 0; k < range; k++)
      if (rank[k] == 0) {
        rank[k] = static_cast<int32_t>(ids.size());
        ids.push_back(lowest + static_cast<NodeId>(k));
      }
    if (lowest != 0 || ids.size() != range) renumber(rank, lowest);
    return ids;
  }
  std::vector<int32_t> ends;
  ends.reserve(2 * edges_.size());
  for (const Edge &e : edges_) {
    ends.push_back(e.u);
    ends.push_back(e.v);
  }
  std::sort(ends.begin(), ends.end());
  ends.erase(std::unique(ends.begin(), ends.end()), ends.end());
  auto place = [&](int32_t id) {
    return static_cast<int32_t>(std::lower_bound(ends.begin(), ends.end(), id) - ends.begin());
  };
  for (Edge &e : edges_) {
    e.u = place(e.u);
    e.v = place(e.v);
  }
  ids.assign(ends.begin(), ends.end());
  return ids;
}

// The ids lowest ... lowest + count - 1; Error "not enough memory for a
// graph of N nodes and M edges" when they do not fit.
std::vector<NodeId> EdgeStore::idRange(NodeId lowest, int64_t count) const {
  std::vector<NodeId> ids;
  withMemory([&] { ids.resize(static_cast<size_t>(count)); },
             [&] { return graphSize(count, static_cast<int64_t>(edges_.size())); });
  for (size_t k = 0; k < ids.size(); k++) ids[k] = lowest + static_cast<NodeId>(k);
  return ids;
}

Graph EdgeStore::graphOfIds(CapacityTotal total) {
  std::vector<NodeId> ids = sortedIds();
  unmap();
  return graphOf(std::move(ids), std::move(edges_), total);
}

Graph EdgeStore::graphOfRange(NodeId lowest, NodeId highest, CapacityTotal total) {
  assert(!mapped_ && lowest >= 0 && highest <= kHighestEnd);
  std::vector<NodeId> ids = idRange(lowest, highest >= lowest ? highest - lowest + 1 : 0);
  if (lowest != 0)
    for (Edge &e : edges_) {
      e.u -= static_cast<int32_t>(lowest);
      e.v -= static_cast<int32_t>(lowest);
    }
  unmap();
  return graphOf(std::move(ids), std::move(edges_), total);
}

Graph EdgeStore::graphOfIndices(int32_t nodes, CapacityTotal total) {
  std::vector<NodeId> ids = idRange(0, nodes);
  unmap();
  return graphOf(std::move(ids), std::move(edges_), total);
}

}  // namespace detail
}  // namespace sunder
