#include "cuttree/answers.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cuttree/options.h"
#include "cuttree/results.h"

extern char **environ;

namespace sunder::cuttree {

namespace {

// Groups in the order of the file's nodes (increasing numbers, or a named
// file's order of first appearance: its ids), each as the file names them.
void writeGroups(FILE *out, const sunder::GraphFile &file,
                 std::vector<std::vector<sunder::NodeId>> groups) {
  for (std::vector<sunder::NodeId> &group : groups) std::sort(group.begin(), group.end());
  std::sort(groups.begin(), groups.end());
  for (const std::vector<sunder::NodeId> &group : groups) {
    fprintf(out, "g %zu", group.size());
    for (sunder::NodeId x : group) fprintf(out, " %s", sunder::nodeName(file, x).c_str());
    fprintf(out, "\n");
  }
}

// The gnuplot script that draws `counts` into `png`: one impulse per value.
std::string plotScript(const AnswerValues &values,
                       const std::vector<sunder::ConnectivityCount> &counts, const std::string &png) {
  std::string quoted;  // gnuplot's single quotes: '' stands for '
  for (char c : png) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  std::string script =
      "set terminal png size 800,500\n"
      "set output '" + quoted + "'\n"
      "set title 'Minimum cut values of the node pairs'\n"
      "set xlabel 'minimum cut value'\n"
      "set ylabel 'node pairs'\n"
      "set yrange [0:*]\n"
      "set offsets graph 0.05, graph 0.05, graph 0.05, 0\n"
      "plot '-' using 1:2 with impulses linewidth 4 notitle\n";
  for (const sunder::ConnectivityCount &c : counts)
    script += values.text(c.value) + " " + std::to_string(c.pairs) + "\n";
  return script + "e\n";
}

// A temporary file holding `text`; its path.
std::string temporaryFile(const std::string &text) {
  const char *dir = getenv("TMPDIR");
  std::string path = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/cuttree-plot-XXXXXX";
  int fd = mkstemp(&path[0]);
  if (fd < 0) throw sunder::Error("--plot: cannot make a temporary file: " + std::string(strerror(errno)));
  bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  int saved = errno;
  if (close(fd) != 0 || !written) {
    unlink(path.c_str());
    throw sunder::Error("--plot: cannot write a temporary file: " + std::string(strerror(saved)));
  }
  return path;
}

// Runs `gnuplot SCRIPT` with its standard output on /dev/null and its
// standard error on ours; its exit status, or an Error when it cannot run.
int runGnuplot(const std::string &script) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char *> argv = {const_cast<char *>("gnuplot"), const_cast<char *>(script.c_str()), nullptr};
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, "gnuplot", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0)
    throw sunder::Error("--plot needs gnuplot (Debian gnuplot-nox), which cannot be run: " +
                        std::string(strerror(rc)));
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) throw sunder::Error("--plot: waiting for gnuplot: " + std::string(strerror(errno)));
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

void plotDistribution(const AnswerValues &values, const std::string &png) {
  const sunder::CutTree &t = values.tree();
  std::vector<sunder::ConnectivityCount> counts = sunder::connectivityDistribution(t);
  if (counts.empty())
    throw sunder::Error("--plot: no pair of nodes to draw (the instance has " +
                        std::to_string(t.nodeCount()) + (t.nodeCount() == 1 ? " node)" : " nodes)"));
  unlink(png.c_str());  // so that a file left from before cannot pass for gnuplot's
  std::string script = temporaryFile(plotScript(values, counts, png));
  int status = 0;
  try {
    status = runGnuplot(script);
  } catch (...) {
    unlink(script.c_str());
    throw;
  }
  unlink(script.c_str());
  struct stat drawn;
  if (status != 0)
    throw sunder::Error("--plot: gnuplot failed (exit status " + std::to_string(status) + ") drawing " + png);
  if (stat(png.c_str(), &drawn) != 0 || drawn.st_size == 0)
    throw sunder::Error("--plot: gnuplot wrote no " + png);
}

}  // namespace

bool answersAsked(const Options &o) {
  return o.kComponents > 0 || o.distribution || o.allPairs || o.minKCut > 0 ||
         o.clusterAlpha > 0 || !o.plot.empty();
}

namespace {

// The most nodes --all-pairs writes the n x n values of.
constexpr int32_t kAllPairsNodes = 10000;

// One line per node: its minimum cut value to every node, row by row, so
// that only one row is held at a time.
void writeAllPairs(FILE *out, const sunder::GraphFile &file, const AnswerValues &values) {
  const sunder::CutTree &t = values.tree();
  int32_t n = t.nodeCount();
  if (n > kAllPairsNodes)
    throw sunder::Error("--all-pairs: the instance has " + std::to_string(n) +
                        " nodes; the values of every pair are written for at most " +
                        std::to_string(kAllPairsNodes));
  for (int32_t u = 0; u < n; u++) {
    fprintf(out, "r %s", sunder::nodeName(file, t.ids()[u]).c_str());
    for (int32_t v = 0; v < n; v++)
      fprintf(out, " %s", u == v ? "0" : values.text(t.minCutValueAt(u, v)).c_str());
    fprintf(out, "\n");
  }
}

}  // namespace

// A whole number of the command line at the scale of the file's capacities
// (the number itself unless they are real); Error when it passes the bound.
sunder::Capacity scaledNumber(const sunder::GraphFile &file, int64_t number, const char *option) {
  sunder::Capacity scaled = file.scale.scaled(sunder::RealValue::parse(std::to_string(number)));
  if (scaled < 0)
    throw sunder::Error(std::string(option) + " " + std::to_string(number) + " passes 4611686018427387903" +
                        (file.realCapacities.empty() ? ", the largest capacity total"
                                                     : " at the scale of the real capacities"));
  return scaled;
}

void writeAnswers(FILE *out, const sunder::GraphFile &file, const AnswerValues &values,
                  const Options &o, const sunder::BuildOptions &build) {
  const sunder::Graph &g = file.graph;
  const sunder::CutTree &t = values.tree();
  if (o.kComponents > 0) {
    std::vector<std::vector<sunder::NodeId>> parts =
        sunder::kEdgeComponents(t, std::max<sunder::Capacity>(1, values.atLeast(o.kComponents)));
    fprintf(out, "k %" PRId64 " %zu\n", o.kComponents, parts.size());
    writeGroups(out, file, parts);
  }
  if (o.distribution)
    for (const sunder::ConnectivityCount &c : sunder::connectivityDistribution(t))
      fprintf(out, "d %s %" PRId64 "\n", values.text(c.value).c_str(), c.pairs);
  if (o.allPairs) writeAllPairs(out, file, values);
  if (o.minKCut > 0) {
    AnswerValues::KCutText cut = values.minKCut(o.minKCut);
    fprintf(out, "x %" PRId64 " %s %s\n", o.minKCut, cut.value.c_str(), cut.bound.c_str());
    writeGroups(out, file, cut.parts);
  }
  if (o.clusterAlpha > 0) {
    sunder::Capacity alpha = scaledNumber(file, o.clusterAlpha, "--cut-clustering");
    std::vector<std::vector<sunder::NodeId>> clusters = sunder::cutClustering(g, alpha, build);
    fprintf(out, "l %" PRId64 " %zu\n", o.clusterAlpha, clusters.size());
    writeGroups(out, file, clusters);
  }
  if (!o.plot.empty()) plotDistribution(values, o.plot);
}

}  // namespace sunder::cuttree
