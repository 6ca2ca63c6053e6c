// What cuttree writes: the tree as text, DOT or CSV, min-cut answers, and
// the check against an independent max flow. Nodes are printed as the
// file has them (sunder::nodeName: its numbers, or its names); the tree's
// node order is the file's (increasing numbers, or the names' order).
#ifndef CUTTREE_RESULTS_H
#define CUTTREE_RESULTS_H

#include <cstdint>
#include <cstdio>
#include <functional>

#include "cuttree/values.h"
#include "sunder/sunder.h"

namespace sunder::cuttree {

// A value the tree answered as output writes it: the whole number, or with
// real capacities the real number it stands for (exact for decimals).
std::string valueText(const sunder::GraphFile &file, sunder::Capacity value);

void writeTreeText(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t);
void writeDot(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t);
void writeCsv(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t);

// 'q U V VALUE'.
void writeQuery(FILE *out, const sunder::GraphFile &file, const AnswerValues &values, int64_t u,
                int64_t v);

// 's U V VALUE COUNT', then 'n X' for each node on u's side.
void writeSide(FILE *out, const sunder::GraphFile &file, const AnswerValues &values, int64_t u,
               int64_t v);

// 'm VALUE COUNT', then 'n X' for each node of the smaller side.
void writeMinCut(FILE *out, const sunder::GraphFile &file, const AnswerValues &values);

// Called as progress(done, total) after each max flow of checkTree.
using CheckProgress = std::function<void(int64_t done, int64_t total)>;

// First the cut of every tree edge (the child's subtree against the rest)
// must be crossed by exactly the edge's weight (verify/certificate.h); then
// every tree edge, and `pairs` random pairs (every pair once when the
// graph has at most 60 nodes or `pairs` reaches their number), are
// compared with the oracle's max flow. Writes what
// was checked as 'c check' lines; on the first fault writes the tree edge
// with its weight and crossing capacity, or the pair and both values (also
// on standard error), and returns false.
bool checkTree(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t, int64_t pairs,
               const CheckProgress &progress = CheckProgress());

}  // namespace sunder::cuttree

#endif
