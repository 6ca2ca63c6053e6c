// A build's report in the layout of the program sunder's: the nodes line,
// the seven summary lines and the counter lines, which hold the two
// counters the build's engine keeps where sunder's hold relabels and
// pushes.
//
//   sunder::CutTree t = sunder::buildCutTree(g, options);
//   std::fputs(sunder::solverReport(t.nodeCount(), arcs, t.stats()).c_str(), out);
//
// With Engine::PushRelabel on one thread and a graph that is one block (or
// decompose off), the counters and the layout are sunder's own.
#ifndef SUNDER_REPORT_H
#define SUNDER_REPORT_H

#include <cstdint>
#include <string>

#include "sunder/build.h"
#include "sunder/export.h"

namespace sunder {

// The two counters a build's engine keeps, and their names: relabels and
// pushes (the push-relabel engines), phases and augmentations
// (ShortestPaths), augmentations and adoptions (SearchTrees); GomoryHu's
// are those of the engine of its flows.
struct ReportCounters {
  const char *names;  // "relabels pushes", "phases augmentations", ...
  int64_t first = 0;
  int64_t second = 0;
};
SUNDER_API ReportCounters reportCounters(const BuildStats &stats);

// The report's lines for a graph of `nodes` nodes and `arcs` arcs (the
// count its file declared), times in seconds from `stats`.
SUNDER_API std::string solverReport(int32_t nodes, int32_t arcs, const BuildStats &stats);

}  // namespace sunder

#endif
