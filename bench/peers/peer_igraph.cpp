// peer_igraph: the Gomory-Hu tree of one instance file by igraph's
// igraph_gomory_hu_tree. igraph holds capacities as doubles, exact for the
// integers below 2^53 that every instance of the suite stays under. Times
// the tree computation alone (steady clock around the call) and prints the
// time and the sorted tree weights (see instance_text.h).
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <igraph.h>

#include "instance_text.h"

namespace {

void checkCall(igraph_error_t status, const char *what) {
  if (status == IGRAPH_SUCCESS) return;
  std::fprintf(stderr, "peer_igraph: %s failed: %s\n", what, igraph_strerror(status));
  std::exit(1);
}

void buildGraph(const PeerInstance &instance, igraph_t *g, igraph_vector_t *capacity) {
  igraph_vector_int_t ends;
  auto edgeCount = static_cast<igraph_integer_t>(instance.edges.size());
  checkCall(igraph_vector_int_init(&ends, 2 * edgeCount), "igraph_vector_int_init");
  checkCall(igraph_vector_init(capacity, edgeCount), "igraph_vector_init");
  for (igraph_integer_t i = 0; i < edgeCount; i++) {
    const PeerEdge &e = instance.edges[static_cast<size_t>(i)];
    VECTOR(ends)[2 * i] = e.u;
    VECTOR(ends)[2 * i + 1] = e.v;
    VECTOR(*capacity)[i] = static_cast<igraph_real_t>(e.cap);
  }
  checkCall(igraph_create(g, &ends, instance.nodeCount, IGRAPH_UNDIRECTED), "igraph_create");
  igraph_vector_int_destroy(&ends);
}

}  // namespace

int main(int argc, char **argv) {
  PeerInstance instance = readInstance("peer_igraph", instancePathArgument(argc, argv));
  igraph_set_error_handler(igraph_error_handler_printignore);
  igraph_t g, tree;
  igraph_vector_t capacity, flows;
  buildGraph(instance, &g, &capacity);
  checkCall(igraph_vector_init(&flows, 0), "igraph_vector_init");

  auto start = std::chrono::steady_clock::now();
  checkCall(igraph_gomory_hu_tree(&g, &tree, &flows, &capacity), "igraph_gomory_hu_tree");
  std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;

  std::vector<int64_t> weights;
  for (igraph_integer_t i = 0; i < igraph_vector_size(&flows); i++)
    weights.push_back(std::llround(VECTOR(flows)[i]));
  printTreeWeights(seconds.count(), weights);
  igraph_vector_destroy(&flows);
  igraph_vector_destroy(&capacity);
  igraph_destroy(&tree);
  igraph_destroy(&g);
  return 0;
}
