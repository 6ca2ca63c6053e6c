// tree_of FILE: reads a graph file (format by its extension; the instance
// text otherwise) and prints its Gomory-Hu cut tree as lines
// "t CHILD PARENT WEIGHT".
#include <cinttypes>
#include <cstdio>

#include <sunder/sunder.h>

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: tree_of FILE\n");
    return 2;
  }
  try {
    sunder::GraphFile file = sunder::readGraphFile(argv[1]);
    sunder::CutTree tree = sunder::buildCutTree(file.graph);
    for (const sunder::TreeEdge &e : tree.edges())
      printf("t %" PRId64 " %" PRId64 " %" PRId64 "\n", e.child, e.parent, e.weight);
  } catch (const sunder::Error &e) {
    fprintf(stderr, "tree_of: %s\n", e.what());
    return 1;
  }
  return 0;
}
