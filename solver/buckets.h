// Bucket-list operations shared by the solver's sources. The containers are
// plain records; these are the in-place steps their users would otherwise
// repeat: front insertion and removal of the doubly linked node lists, and
// front insertion into the singly linked active lists.
#ifndef SOLVER_BUCKETS_H
#define SOLVER_BUCKETS_H

#include "solver/solver.h"

// Puts w at the front of the active list of bucket `label`; raises aMax.
inline void activate(graph *g, node *w, int32_t label) {
  bucket *b = g->buckets + label;
  w->aNext = b->firstActive;
  b->firstActive = w;
  if (g->aMax < label) g->aMax = label;
}

// Puts v at the front of the node list of bucket v->d; raises dMax.
// v's bPrev is left as it is: a list's first node has none.
inline void linkIntoBucket(graph *g, node *v) {
  bucket *b = g->buckets + v->d;
  v->bNext = b->firstAll;
  if (b->firstAll != nullptr) b->firstAll->bPrev = v;
  b->firstAll = v;
  if (g->dMax < v->d) g->dMax = v->d;
}

// Removes v from the node list of bucket v->d, recognising the first node
// by comparison with firstAll.
inline void unlinkFromBucket(graph *g, node *v) {
  bucket *b = g->buckets + v->d;
  if (b->firstAll == v) {
    b->firstAll = v->bNext;
    if (v->bNext != nullptr) v->bNext->bPrev = nullptr;
  } else {
    v->bPrev->bNext = v->bNext;
    if (v->bNext != nullptr) v->bNext->bPrev = v->bPrev;
  }
}

#endif
