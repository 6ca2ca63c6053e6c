// Gusfield's tree update, shared by every loop that builds a cut tree from
// s-t cuts: after the cut of value `cut` between source s and its current
// parent `sink`, given side(k) for every node id k (the same value for s's
// side, another for the sink's), it sets s's weight and moves the nodes that
// hang from the sink but lie on s's side under s; when the sink's own parent
// lies on s's side, s takes the sink's place in the tree.
#ifndef SUNDER_DRIVER_GUSFIELD_STEP_H
#define SUNDER_DRIVER_GUSFIELD_STEP_H

#include <cstdint>

#include "outside/outside.h"

template <class SideOf>
void gusfieldStep(tree *t, int32_t n, SideOf side, int32_t s, int32_t sink, int64_t cut) {
  int32_t sSide = side(s);
  t[t[s].pos].weight = cut;
  for (int32_t k = 1; k < n; k++) {
    if (k == s) continue;
    if (side(k) == sSide && t[t[k].pos].parent == sink) t[t[k].pos].parent = s;
  }
  int32_t p = t[t[sink].pos].parent;
  if (side(p) == sSide) {
    t[t[s].pos].parent = p;
    t[t[sink].pos].parent = s;
    t[t[s].pos].weight = t[t[sink].pos].weight;
    t[t[sink].pos].weight = cut;
  }
}

#endif
