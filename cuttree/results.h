// What cuttree writes: the tree as text, DOT or CSV, min-cut answers, and
// the check against an independent max flow. Nodes are printed as the
// file has them (sunder::nodeName: its numbers, or its names); the tree's
// node order is the file's (increasing numbers, or the names' order).
#ifndef CUTTREE_RESULTS_H
#define CUTTREE_RESULTS_H

#include <cstdint>
#include <cstdio>
#include <functional>

#include "sunder/sunder.h"

namespace cuttree {

void writeTreeText(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t);
void writeDot(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t);
void writeCsv(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t);

// 'q U V VALUE'.
void writeQuery(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t, int64_t u,
                int64_t v);

// 's U V VALUE COUNT', then 'n X' for each node on u's side.
void writeSide(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t, int64_t u,
               int64_t v);

// 'm VALUE COUNT', then 'n X' for each node of the smaller side.
void writeMinCut(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t);

// Called as progress(done, total) after each max flow of checkTree.
using CheckProgress = std::function<void(int64_t done, int64_t total)>;

// Compares every tree edge, and `pairs` random pairs (every pair when the
// graph has at most 60 nodes), with the oracle's max flow. Writes what was
// checked as 'c check' lines; on the first mismatch writes the pair and both
// values (also on standard error) and returns false.
bool checkTree(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t, int64_t pairs,
               const CheckProgress &progress = CheckProgress());

}  // namespace cuttree

#endif
