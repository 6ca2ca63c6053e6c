// The two routines the solver calls that stand outside the push-relabel
// code: a clock and the supplier of the cut-tree array.
#ifndef OUTSIDE_OUTSIDE_H
#define OUTSIDE_OUTSIDE_H

#include <cstdint>

// One record of the Gomory-Hu cut tree. The array carries two mappings:
// `id`, `parent` and `weight` are read at a position of the processing
// order, `pos` at a node id. Position 0 is the root.
struct tree {
  int32_t id;      // node id placed at this position
  int32_t pos;     // position of the node whose id is this record's index
  int32_t parent;  // node id of the tree parent of the node at this position
  int64_t weight;  // cut value between that node and its parent
};

// CPU time of the process in seconds since it started. Readings grow with
// elapsed time; only differences of readings are meaningful.
float timer();

// An array of n tree records with id = pos = index, parent = 0, weight = 0.
// On exhausted memory it ends the process with a message and status 1.
tree *createTree(int32_t n);

#endif
