// sunder: reads one cut instance from standard input, builds its Gomory-Hu
// cut tree, and reports counts, operation counters and times. A report
// that cannot be written ends it with status 74 (see write_check.h).
#include <cstdio>

#include "graph/graph.h"
#include "outside/outside.h"
#include "lib/engines/solver_engine.h"
#include "write_check/write_check.h"

int main() {
  sunder::watchOutput();
  graph *g = dimacsParse(stdin);
  copyArcs(g);
  initContracted(g);
  printNodesLine(stdout, g->n, g->m);

  float start = timer();
  computeCuts(g);
  // With no cut recorded (a single node) there is no moment to report.
  g->dtime = g->cutCount > 0 ? g->dtime - start : 0.0f;
  float total = timer() - start;

  printCounterLines(stdout, g->relabels, g->pushes, total, g->dtime);
  return 0;
}
