#include "outside/outside.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

float timer() {
  timespec ts;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<float>(static_cast<double>(ts.tv_sec) +
                            static_cast<double>(ts.tv_nsec) * 1e-9);
}

tree *createTree(int32_t n) {
  tree *t = static_cast<tree *>(calloc(n > 0 ? n : 1, sizeof(tree)));
  if (t == nullptr) {
    fprintf(stderr, "Memory exhausted at sunder:%d cutTree = (tree*) calloc ( n, sizeof ( tree ) )\n", 1012);
    exit(1);
  }
  for (int32_t p = 0; p < n; p++) {
    t[p].id = p;
    t[p].pos = p;
  }
  return t;
}
