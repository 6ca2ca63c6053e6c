// progress_trace: records how a build's committed cuts advance in time, for
// designing and testing the time-left estimate of sunder/progress.h.
//
//   progress_trace GRAPH_FILE TRACE_FILE [THREADS]
//
// Builds the cut tree of GRAPH_FILE (format from its extension, as cuttree
// reads it) with the progress callbacks and writes one line per cut
// reported, "SECONDS DONE TOTAL WORK WORK_TOTAL": seconds since the build
// was called, the cuts (progress) and the predicted work (progressWork,
// called right after), after a '#' line naming the graph. Cuts reported
// within 1/512 of the build's time of the last line written are left out
// (the first and last are kept), so that a trace of a million cuts stays
// a few hundred lines; a pause of the build stays as it was. A graph file
// of "-" is read from standard input.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sunder/sunder.h"

namespace {

struct Sample {
  double seconds;
  int64_t done, total, work, workTotal;
};

// The samples written: see the header.
std::vector<Sample> thinned(const std::vector<Sample> &samples) {
  std::vector<Sample> kept;
  if (samples.empty()) return kept;
  double spacing = samples.back().seconds / 512;
  for (size_t k = 0; k < samples.size(); k++)
    if (kept.empty() || k + 1 == samples.size() ||
        samples[k].seconds - kept.back().seconds >= spacing)
      kept.push_back(samples[k]);
  return kept;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 3 || argc > 4) {
    fprintf(stderr, "usage: progress_trace GRAPH_FILE TRACE_FILE [THREADS]\n");
    return 2;
  }
  try {
    std::string path = argv[1];
    sunder::Format format = path == "-" ? sunder::Format::Dimacs : sunder::formatFromPath(path);
    sunder::GraphFile file = sunder::readGraphFile(path, format);
    sunder::BuildOptions options;
    options.threads = argc == 4 ? atoi(argv[3]) : 0;
    std::vector<Sample> samples;
    samples.reserve(static_cast<size_t>(file.graph.nodeCount()) + 1);
    auto start = std::chrono::steady_clock::now();
    options.progress = [&](int64_t done, int64_t total) {
      double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      samples.push_back({t, done, total, 0, 0});
    };
    options.progressWork = [&](int64_t done, int64_t total) {
      samples.back().work = done;
      samples.back().workTotal = total;
    };
    sunder::CutTree tree = sunder::buildCutTree(file.graph, options);
    FILE *out = fopen(argv[2], "w");
    if (out == nullptr) {
      perror(argv[2]);
      return 1;
    }
    fprintf(out,
            "# %s, %d threads: seconds since the build started, cuts done, total, "
            "predicted work done, total\n",
            argv[1], options.threads);
    for (const Sample &s : thinned(samples))
      fprintf(out, "%.6f %lld %lld %lld %lld\n", s.seconds, static_cast<long long>(s.done),
              static_cast<long long>(s.total), static_cast<long long>(s.work),
              static_cast<long long>(s.workTotal));
    if (fclose(out) != 0) {
      perror(argv[2]);
      return 1;
    }
    fprintf(stderr, "%s: %d nodes, %zu samples, %.3f s, engine %s\n", argv[1],
            file.graph.nodeCount(), samples.size(), tree.stats().seconds,
            sunder::engineName(tree.stats().engine));
  } catch (const sunder::Error &e) {
    fprintf(stderr, "progress_trace: %s\n", e.what());
    return 1;
  }
  return 0;
}
