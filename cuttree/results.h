// What cuttree writes: the tree as text or DOT, min-cut answers, and the
// check against an independent max flow. Node numbers are the instance's.
#ifndef CUTTREE_RESULTS_H
#define CUTTREE_RESULTS_H

#include <cstdio>
#include <random>

#include "cuttree/instance.h"
#include "cuttree/tree.h"

namespace cuttree {

void writeTreeText(FILE *out, const Instance &inst, const CutTree &t);
void writeDot(FILE *out, const Instance &inst, const CutTree &t);

// 'q U V VALUE' for nodes u and v given as instance numbers.
void writeQuery(FILE *out, const Instance &inst, const CutTree &t, int64_t u, int64_t v);

// 's U V VALUE COUNT', then 'n X' for each node on u's side.
void writeSide(FILE *out, const Instance &inst, const CutTree &t, int64_t u, int64_t v);

// 'm VALUE COUNT', then 'n X' for each node of the smaller side.
void writeMinCut(FILE *out, const Instance &inst, const CutTree &t);

// Compares every tree edge, and `pairs` random pairs (every pair when the
// graph has at most 60 nodes), with the oracle's max flow. Writes what was
// checked as 'c check' lines; on the first mismatch writes the pair and both
// values (also on standard error) and returns false.
bool checkTree(FILE *out, const Instance &inst, const CutTree &t, int64_t pairs);

}  // namespace cuttree

#endif
