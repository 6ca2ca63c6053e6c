// The lines of the solver's report, for every program that prints one.
#include <cinttypes>

#include "solver/solver.h"

void printNodesLine(FILE *out, int32_t n, int32_t m) {
  fprintf(out, "c nodes: %14d    arcs: %15d\n", n, m);
}

void printSummaryLines(FILE *out, int32_t n, int32_t m, float calcTime, float manipTime) {
  fprintf(out, "AverageNodes = %f\n", static_cast<double>(static_cast<float>(n)));
  fprintf(out, "AverageEdges = %f\n", static_cast<double>(static_cast<float>(m)));
  fprintf(out, "Hao-Orlin comp. = 0\n");
  fprintf(out, "AverageHaoOrlinNodes = 0.0\n");
  fprintf(out, "AverageHaoOrlinEdges = 0.0\n");
  fprintf(out, "Time for calculating the cuts: %f\n", static_cast<double>(calcTime));
  fprintf(out, "Time for manipulating the cuts: %f\n", static_cast<double>(manipTime));
}

void printCounterLines(FILE *out, int64_t relabels, int64_t pushes, float total, float dtime) {
  fprintf(out, "c relabels:  %10" PRId64 "    pushes:   %15" PRId64 "\n", relabels, pushes);
  fprintf(out, "c ttime: %16.2f", static_cast<double>(total));
  fprintf(out, "\nc dtime: %16.2f\n", static_cast<double>(dtime));
  fprintf(out, "\n");
}
