// cuttree's command line.
#ifndef CUTTREE_OPTIONS_H
#define CUTTREE_OPTIONS_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace cuttree {

struct Options {
  std::string input = "-";   // graph file; "-" is standard input
  std::string format;        // --format; empty: by the file's extension
  std::string output;        // -o: results file; empty is standard output
  std::vector<std::pair<int64_t, int64_t>> queries;  // --query and --pairs
  std::vector<std::pair<int64_t, int64_t>> sides;    // --side
  bool mincut = false;
  bool dot = false;
  bool csv = false;          // --csv: the tree as CSV
  bool treeText = false;     // --tree: the tree text besides other results
  bool report = false;
  int progress = -1;         // -1: when standard error is a terminal
  int threads = 0;           // 0: every core
  std::string engine = "auto";
  double updateFactor = 2.0; // --update-factor, for the relabel engine
  bool decompose = true;     // --no-decompose: the whole graph at once
  bool degreeBound = true;   // --no-degree-bound
  bool provenCuts = true;    // --no-proven-cuts
  bool localReset = true;    // --no-local-reset
  bool check = false;
  int64_t checkPairs = 100;  // random pairs of --check (all when n <= 60)
  bool help = false;
  bool version = false;
};

// Parses argv; on a bad argument returns false with a one-line reason.
// --pairs files are read here, so a missing one is a bad argument too.
bool parseOptions(int argc, char **argv, Options &o, std::string &error);

extern const char *const usageText;

}  // namespace cuttree

#endif
