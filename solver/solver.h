// The minimum-cut solver: a Gomory-Hu cut tree by Gusfield's method, each
// s-t cut found by push-relabel with highest-label selection, exact global
// relabelling and dormant layers.
//
// Terms
//   preflow   residual capacities on the arcs with every node but the source
//             holding an excess >= 0 (the source's goes negative);
//   residual  an arc whose resCap is > 0;
//   labelling valid when d(sink) = 0 and d(u) <= d(w) + 1 for every residual
//             arc u->w between awake nodes;
//   admissible a residual arc u->w with w awake and d(w) = d(u) - 1;
//   active    an awake node other than the sink that holds positive excess;
//   gap       a label b whose only node must be relabelled: nothing at or
//             above b can reach the sink any more.
//
// Node sets of one s-t computation, by `status`:
//   AWAKE        the sink and the nodes that may still reach it; processed;
//   DORMANT      members of a dormant layer, pushed on the `freezer` as a null
//                marker followed by the layer's nodes (two or more); they keep
//                their label and excess and are never woken again;
//   SOURCE_SIDE  the source and every one-node layer; label topLabel.
// When STCut returns, the sink's excess is the cut value and the awake nodes
// form the sink side.
//
// Invariants during an s-t computation
//   - every awake node other than the one being worked on lies in exactly
//     the bucket node list of its own label; source-side and dormant nodes
//     lie in none. A list's first node has no maintained bPrev: removal
//     compares with firstAll;
//   - active lists are stacks through aNext and may hold stale entries
//     (nodes no longer awake), which their readers drop;
//   - awake labels fill an unbroken range from dMin (the sink's 0) upwards,
//     all below topLabel = 2n - 1; buckets cover 0 ... bucketTop = 2n;
//   - dMax >= the highest label with a non-empty node list, aMax >= the
//     highest label with a non-empty active list;
//   - awakeCount counts the awake nodes, the sink included.
//
// No function here allocates or prints, except allocateStorage (exhausted
// memory: a message on standard error naming the container, status 1;
// allocateStorageOrFail returns false instead) and printSummary, which
// prints the summary lines. The cut-tree loop over all sources,
// runCutLoop and computeCuts, runs the generic driver and lives above it
// (lib/engines/solver_engine.h).
#ifndef SOLVER_SOLVER_H
#define SOLVER_SOLVER_H

#include <cstdint>
#include <cstdio>

#include "graph/graph.h"
#include "outside/outside.h"

// Fixed-capacity stack of nodes; empty when top == storage.
struct stack {
  node **storage;
  node **top;  // next free slot
};

// Circular queue of nodes; empty when head == tail.
struct queue {
  node **storage;
  node **head;  // next node to remove
  node **tail;  // slot for the next node stored
  node **last;  // last slot of storage; head and tail wrap from it
};

// One bucket per distance label.
struct bucket {
  node *firstAll;     // all nodes with this label, doubly linked by bNext/bPrev
  node *firstActive;  // nodes with this label that may hold excess, by aNext
};

// How one s-t computation runs. The defaults are the computation of the
// cut-tree loop, with its counters; other values change the work done and
// the counters but never the cut value, which is always a minimum s-t cut.
struct cutSettings {
  // A global update right after the set-up, so the first discharges work on
  // exact distances instead of the set-up's labels 0 and 1.
  bool startWithGlobalUpdate = false;
  // A global update follows the relabel that makes the relabels since the
  // last one exceed updateFactor times the awake nodes.
  double updateFactor = 2.0;
  // The caller's promise that an earlier computation on this graph has
  // compacted its lists already. The reset then skips compaction, which
  // would find nothing to merge or drop, and adds the arc count it would
  // have counted: the work is less, the counters stay the same.
  bool listsCompacted = false;
  // The arc scans the s-t cut step may make (global updates included);
  // past them it stops with the cut unfinished, and minimumCutWith returns
  // -1. A caller that weighs computations against a budget stops one
  // that has spent it at once, instead of at its end.
  int64_t scanLimit = INT64_MAX;
};

// Push-relabel operations.
void relabel(graph *g, node *v);
int discharge(graph *g, node *v);
void saturateOutgoing(graph *g, node *v);
void oneNodeLayer(graph *g, node *v);
void globalUpdate(graph *g);
void STCut(graph *g);
// STCut under the given settings; STCut(g) is STCutWith(g, cutSettings()).
// Returns false where it stopped at settings->scanLimit, true when done.
bool STCutWith(graph *g, const cutSettings *settings);

// Set-up.
void copyArcs(graph *g);
void initContracted(graph *g);
void initCutComp(graph *g, node *source, node *sink);

// Allocates the queue, the three stacks and the buckets for g->n nodes.
void allocateStorage(graph *g);

// allocateStorage that returns false, with nothing allocated, when memory
// runs out, for callers that report failures themselves.
bool allocateStorageOrFail(graph *g);

// Releases what allocateStorage allocated, for callers that solve many
// graphs in one process.
void releaseStorage(graph *g);

// Resets the containers and label bounds for one computation on all n nodes.
void resetStorage(graph *g);

// One computation of the loop on its own: the reset, compaction, the s-t
// cut step between node ids s and t (s != t) and the recording, with no
// draw, no tree update and no times. Returns the cut value; afterwards every
// live node's `side` is 1 on t's side of the cut and 0 on s's. The storage
// must have been allocated (allocateStorage). Depends on g, s and t alone.
int64_t minimumCut(graph *g, int32_t s, int32_t t);

// minimumCut with its s-t cut step run under `settings`. With the default
// settings it does exactly what minimumCut does, counters included. Returns
// -1, with no cut recorded, where the step passed settings->scanLimit.
int64_t minimumCutWith(graph *g, int32_t s, int32_t t, const cutSettings *settings);

// The seven summary lines of a finished loop, on standard output.
void printSummary(graph *g);

// The report's lines: the nodes line; the seven summary lines; the relabels
// and pushes line with the total and last-cut times and a closing empty line.
void printNodesLine(FILE *out, int32_t n, int32_t m);
void printSummaryLines(FILE *out, int32_t n, int32_t m, float calcTime, float manipTime);
void printCounterLines(FILE *out, int64_t relabels, int64_t pushes, float total, float dtime);

#endif
