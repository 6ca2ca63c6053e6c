// The instance reader and the result printer shared by the peer programs of
// the benchmark. Each peer links this and one outside cut-tree library.
//
// Instance text: lines "c ..." (comments) and empty lines are ignored; one
// problem line "p cut N M", then M arc lines "a T H U", each an undirected
// edge between node numbers T and H (0 ... N) of capacity U >= 0. The nodes
// are the numbers from the smallest to the largest used in an arc line, so
// the peers see the same node set as the suite's own reader. Self loops are
// dropped (they cross no cut); parallel edges are kept as given, each
// library handles them itself.
#ifndef BENCH_PEERS_INSTANCE_TEXT_H
#define BENCH_PEERS_INSTANCE_TEXT_H

#include <cstdint>
#include <string>
#include <vector>

struct PeerEdge {
  int32_t u, v;  // node ids 0 ... nodeCount - 1
  int64_t cap;
};

struct PeerInstance {
  int32_t nodeCount = 0;
  std::vector<PeerEdge> edges;
};

// Reads the instance in `path`. On an unreadable file or a line it does not
// accept it prints "<program>: <path>:<line>: <what>" on standard error and
// exits with status 1.
PeerInstance readInstance(const char *program, const std::string &path);

// Prints "time=<seconds>", "weights=<count>" and one line "w <weight>" per
// tree edge, weights in increasing order, on standard output.
void printTreeWeights(double seconds, std::vector<int64_t> weights);

// The usage check shared by the peers: exactly one argument, the instance
// file. Otherwise prints "usage: <program> INSTANCE" on standard error and
// exits with status 2.
std::string instancePathArgument(int argc, char **argv);

#endif
