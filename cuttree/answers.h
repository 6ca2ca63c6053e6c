// What cuttree answers from a tree beyond single cuts, each line a letter
// and fields like its other outputs; groups of nodes follow their header as
// 'g SIZE X1 ... XSIZE' lines, nodes in the file's order (increasing
// numbers), groups in the order of their first node.
//   --k-components K   'k K COUNT', then a 'g' line per component
//   --distribution     'd VALUE PAIRS' per minimum cut value, increasing
//   --min-k-cut K      'x K VALUE BOUND', then a 'g' line per part
//   --cut-clustering A 'l A COUNT', then a 'g' line per cluster
//   --plot FILE        the distribution drawn by gnuplot into FILE (PNG)
// Each is one library call (include/sunder/cut_tree.h, build.h) printed.
#ifndef CUTTREE_ANSWERS_H
#define CUTTREE_ANSWERS_H

#include <cstdint>
#include <cstdio>
#include <string>

#include "cuttree/values.h"
#include "sunder/sunder.h"

namespace sunder::cuttree {

struct Options;

// Whether any of the answers above is asked for.
bool answersAsked(const Options &o);

// Writes every answer asked for, in the order of the list above; `build`
// is how the tree was built, for the clustering's own build. sunder::Error
// when the library refuses (alpha past the capacity bound), gnuplot cannot
// run or fails, or there is nothing to plot.
void writeAnswers(FILE *out, const sunder::GraphFile &file, const AnswerValues &values,
                  const Options &o, const sunder::BuildOptions &build);

}  // namespace sunder::cuttree

#endif
