// The sunder library: Gomory-Hu cut trees of undirected graphs with integer
// capacities. Build a Graph (in memory, or from a file with formats.h),
// call buildCutTree, and ask the CutTree for minimum cuts.
//
//   sunder::Graph g;
//   g.addEdge(10, 20, 3);
//   g.addEdge(20, 30, 1);
//   sunder::CutTree t = sunder::buildCutTree(g);
//   t.minCutValue(10, 30);  // 1
#ifndef SUNDER_SUNDER_H
#define SUNDER_SUNDER_H

#include "sunder/build.h"
#include "sunder/cut_tree.h"
#include "sunder/error.h"
#include "sunder/formats.h"
#include "sunder/graph.h"
#include "sunder/progress.h"
#include "sunder/real_capacities.h"
#include "sunder/report.h"

#define SUNDER_VERSION "1.1.0"

#endif
