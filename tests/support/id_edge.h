// An edge by its end ids, comparable and printable, for tests that compare
// the graphs readers give.
#ifndef TESTS_SUPPORT_ID_EDGE_H
#define TESTS_SUPPORT_ID_EDGE_H

#include <cstdint>
#include <ostream>
#include <tuple>

struct IdEdge {
  int64_t u;
  int64_t v;
  int64_t capacity;
  bool operator==(const IdEdge &o) const { return u == o.u && v == o.v && capacity == o.capacity; }
  bool operator<(const IdEdge &o) const {
    return std::tie(u, v, capacity) < std::tie(o.u, o.v, o.capacity);
  }
};

inline std::ostream &operator<<(std::ostream &out, const IdEdge &e) {
  return out << "{" << e.u << ", " << e.v << ", " << e.capacity << "}";
}

#endif
