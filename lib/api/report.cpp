// The report's lines, written by the solver's own printers into a string,
// so that programs above the library print them without the solver.
#include "sunder/report.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

#include "solver/solver.h"

namespace sunder {

namespace {

// GomoryHu counts what its flows' engine counts: each engine keeps only its
// own counters, so the pair that is not all 0 names that engine.
Engine countingEngine(const BuildStats &stats) {
  if (stats.engine != Engine::GomoryHu) return stats.engine;
  if (stats.phases > 0) return Engine::ShortestPaths;
  if (stats.adoptions > 0 || stats.augmentations > 0) return Engine::SearchTrees;
  return Engine::PushRelabel;
}

}  // namespace

ReportCounters reportCounters(const BuildStats &stats) {
  switch (countingEngine(stats)) {
    case Engine::ShortestPaths:
      return {"phases augmentations", stats.phases, stats.augmentations};
    case Engine::SearchTrees:
      return {"augmentations adoptions", stats.augmentations, stats.adoptions};
    default: return {"relabels pushes", stats.relabels, stats.pushes};
  }
}

std::string solverReport(int32_t nodes, int32_t arcs, const BuildStats &stats) {
  char *text = nullptr;
  size_t size = 0;
  FILE *out = open_memstream(&text, &size);
  if (out == nullptr) throw std::bad_alloc();
  printNodesLine(out, nodes, arcs);
  printSummaryLines(out, nodes, arcs, static_cast<float>(stats.calcSeconds),
                    static_cast<float>(stats.manipSeconds));
  ReportCounters counters = reportCounters(stats);
  printCounterLines(out, counters.first, counters.second, static_cast<float>(stats.seconds),
                    static_cast<float>(stats.lastCutSeconds));
  bool written = fclose(out) == 0 && text != nullptr;
  std::unique_ptr<char, decltype(&free)> owned(text, &free);
  if (!written) throw std::bad_alloc();
  return std::string(text, size);
}

}  // namespace sunder
