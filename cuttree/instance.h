// An instance as cuttree holds it: the whole text (every solver worker
// parses its own graph from it), the problem line's N, the edges in the
// instance's own node numbers, and the range of numbers that are nodes.
//
// The graph's nodes are the numbers from the smallest to the largest used by
// an arc (unused numbers in between are nodes without edges); node id k is
// number k + lowest.
#ifndef CUTTREE_INSTANCE_H
#define CUTTREE_INSTANCE_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cuttree/oracle.h"
#include "graph/graph.h"

namespace cuttree {

struct Instance {
  std::string text;
  int32_t N = 0;        // node count of the problem line
  int32_t lowest = 0;   // smallest node number used
  int32_t highest = 0;  // largest node number used
  std::vector<oracle::Edge> edges;  // as read, in node ids
  // The graph the check parsed, until a solver takes it.
  std::unique_ptr<graph, void (*)(graph *)> parsed{nullptr, freeGraph};

  int32_t nodeCount() const { return highest - lowest + 1; }
  bool hasNumber(int64_t number) const { return number >= lowest && number <= highest; }
};

// Reads the whole of a file, or standard input for "-". False (with errno
// set) when the file cannot be opened or read.
bool readAll(const std::string &path, std::string &text);

// Checks the text with the solver's reader, then rejects negative
// capacities; both end the process with "line K of input - ..." on standard
// error and status 1, K counted as the reader counts lines.
Instance loadInstance(std::string text);

// A graph of the instance from the solver's reader (the one loadInstance
// parsed, the first time; then a fresh one), prepared for cut
// computations (arcs copied, spare pools linked, working storage allocated).
graph *makeSolverGraph(Instance &inst);

}  // namespace cuttree

#endif
