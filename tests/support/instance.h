// A cut instance as the sunder program reads it, for tests that write
// instances as text and judge the trees with verify/.
#ifndef TESTS_SUPPORT_INSTANCE_H
#define TESTS_SUPPORT_INSTANCE_H

#include <string>
#include <vector>

#include "verify/oracle.h"

namespace sunder::test {

// One arc line of an instance, in the instance's node numbers.
struct InstanceArc {
  int tail;
  int head;
  int64_t cap;
};

// The graph's nodes are the numbers from the smallest to the largest used
// by an arc; node id k is number k + lowest().
struct Instance {
  int N = 0;  // node count of the problem line: numbers 0 ... N are legal
  std::vector<InstanceArc> arcs;
  std::string note;  // written as a comment line at the top of text()

  int lowest() const;
  int highest() const;
  int nodeCount() const;  // highest() - lowest() + 1
  std::string text() const;
};

// The arcs as undirected edges between node ids (self loops as read).
std::vector<oracle::Edge> idEdges(const Instance &inst);

}  // namespace sunder::test

#endif
