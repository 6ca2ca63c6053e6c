// cuttree's command line.
#ifndef CUTTREE_OPTIONS_H
#define CUTTREE_OPTIONS_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "sunder/build.h"

namespace sunder::cuttree {

inline sunder::BuildOptions everyCore() {
  sunder::BuildOptions build;
  build.threads = 0;
  return build;
}

// Two nodes a --query, --side or pairs file line names: their texts as
// given (ids, or names of a named file), and their ids, set from the texts
// once the graph is read (until then the texts' numbers, when they are);
// `where` is the pairs file's "FILE:LINE", empty for the command line.
struct NodePair {
  std::string uText;
  std::string vText;
  int64_t u = 0;
  int64_t v = 0;
  std::string where;
};

struct Options {
  std::string input = "-";   // graph file; "-" is standard input
  std::string format;        // --format; empty: by the file's extension
  std::string output;        // -o: results file; empty is standard output
  std::vector<NodePair> queries;  // --query and --pairs, in order
  bool pairsFile = false;  // --pairs: its answers asked for, even where it has no pair
  std::vector<NodePair> sides;    // --side
  bool mincut = false;
  bool dot = false;
  bool csv = false;          // --csv: the tree as CSV
  bool treeText = false;     // --tree: the tree text besides other results
  bool report = false;
  int progress = -1;         // -1: when standard error is a terminal
  std::string engine = "auto";  // --engine, checked and set in `build` by main
  // The build as -j, --update-factor and the --no-... switches set it
  // (threads 0, the default: every core); main adds the engine and progress.
  sunder::BuildOptions build = everyCore();
  bool real = false;         // --real: capacities may be real numbers
  int64_t kComponents = 0;   // --k-components K; 0: not asked
  bool distribution = false; // --distribution
  bool allPairs = false;     // --all-pairs
  int64_t minKCut = 0;       // --min-k-cut K; 0: not asked
  int64_t clusterAlpha = 0;  // --cut-clustering ALPHA; 0: not asked
  std::string plot;          // --plot FILE.png; empty: not asked
  bool check = false;
  int64_t checkPairs = 100;  // random pairs of --check (all when n <= 60)
  bool help = false;
  bool version = false;
};

// Parses argv; on a bad argument returns false with a one-line reason.
// --pairs files are read here: one that cannot be read or has a fault
// throws sunder::Error (with the file and line), a bad argument too.
bool parseOptions(int argc, char **argv, Options &o, std::string &error);

// A node number as the command line and pairs files write it: any 64-bit
// integer in decimal.
bool parseNodeNumber(const std::string &text, int64_t &value);

extern const char *const usageText;

}  // namespace sunder::cuttree

#endif
