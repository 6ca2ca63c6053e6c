#include "instance.h"

#include <algorithm>
#include <limits>
#include <sstream>

namespace sunder::test {

int Instance::lowest() const {
  int lo = std::numeric_limits<int>::max();
  for (const InstanceArc &a : arcs) lo = std::min({lo, a.tail, a.head});
  return lo;
}

int Instance::highest() const {
  int hi = std::numeric_limits<int>::min();
  for (const InstanceArc &a : arcs) hi = std::max({hi, a.tail, a.head});
  return hi;
}

int Instance::nodeCount() const {
  return arcs.empty() ? 0 : highest() - lowest() + 1;
}

std::string Instance::text() const {
  std::ostringstream out;
  if (!note.empty()) out << "c " << note << "\n";
  out << "p cut " << N << " " << arcs.size() << "\n";
  for (const InstanceArc &a : arcs)
    out << "a " << a.tail << " " << a.head << " " << a.cap << "\n";
  return out.str();
}

std::vector<oracle::Edge> idEdges(const Instance &inst) {
  const int lo = inst.lowest();
  std::vector<oracle::Edge> edges;
  edges.reserve(inst.arcs.size());
  for (const InstanceArc &a : inst.arcs)
    edges.push_back({a.tail - lo, a.head - lo, a.cap});
  return edges;
}

}  // namespace sunder::test
