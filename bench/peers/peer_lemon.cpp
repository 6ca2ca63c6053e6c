// peer_lemon: the Gomory-Hu tree of one instance file by LEMON's GomoryHu on
// a SmartGraph with 64-bit capacities. Times the tree computation alone
// (steady clock around run()) and prints the time and the sorted tree
// weights (see instance_text.h).
#include <chrono>
#include <cstdint>
#include <vector>

#include <lemon/gomory_hu.h>
#include <lemon/smart_graph.h>

#include "instance_text.h"

namespace {

using Capacities = lemon::SmartGraph::EdgeMap<int64_t>;

void buildGraph(const PeerInstance &instance, lemon::SmartGraph &g, Capacities &cap) {
  g.reserveNode(instance.nodeCount);
  g.reserveEdge(static_cast<int>(instance.edges.size()));
  std::vector<lemon::SmartGraph::Node> nodes;
  nodes.reserve(static_cast<size_t>(instance.nodeCount));
  for (int32_t k = 0; k < instance.nodeCount; k++) nodes.push_back(g.addNode());
  for (const PeerEdge &e : instance.edges) {
    lemon::SmartGraph::Edge edge = g.addEdge(nodes[e.u], nodes[e.v]);
    cap.set(edge, e.cap);
  }
}

}  // namespace

int main(int argc, char **argv) {
  PeerInstance instance = readInstance("peer_lemon", instancePathArgument(argc, argv));
  lemon::SmartGraph g;
  Capacities cap(g);
  buildGraph(instance, g, cap);

  lemon::GomoryHu<lemon::SmartGraph, Capacities> tree(g, cap);
  auto start = std::chrono::steady_clock::now();
  tree.run();
  std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;

  std::vector<int64_t> weights;
  for (lemon::SmartGraph::NodeIt v(g); v != lemon::INVALID; ++v)
    if (tree.predNode(v) != lemon::INVALID) weights.push_back(tree.predValue(v));
  printTreeWeights(seconds.count(), weights);
  return 0;
}
