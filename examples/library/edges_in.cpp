// The README's example: a graph from edges, its cut tree, one query.
#include <sunder/sunder.h>

#include <cstdio>

int main() {
  sunder::Graph g;  // node ids of your choosing
  g.addEdge(10, 20, 3);
  g.addEdge(20, 30, 2);
  g.addEdge(10, 30, 4);
  g.addEdge(30, 40, 5);
  sunder::CutTree tree = sunder::buildCutTree(g);
  for (const sunder::TreeEdge &e : tree.edges())
    std::printf("%lld - %lld: %lld\n", static_cast<long long>(e.child),
                static_cast<long long>(e.parent), static_cast<long long>(e.weight));
  std::printf("min cut between 10 and 40: %lld\n",
              static_cast<long long>(tree.minCutValue(10, 40)));
}
