// The graph module: one undirected, capacitated graph held in three fixed
// blocks, the reader of cut instances, arc compaction, and cut output.
//
// Representation
//   Every undirected edge is two `arc` records, one in each end node's
//   adjacency list; each is the other's `rev`. The tail of an arc is not
//   stored: it is the node in whose list the arc stands. Nodes live in one
//   block (`vertexalloc`), arcs in one array (`arcs`), and `origarcs` is a
//   second arc array of the same size. Node id k is the record `nodes` + k.
//   The blocks never move or grow; beyond the instance's nodes and arcs each
//   holds spare room that the solver links into pools.
//
// Invariants after reading
//   - node ids run from 0 to n - 1 at `nodes` ... `nodes` + n - 1, and
//     `endNode` is `nodes` + n (the solver later moves it past the spares);
//   - every arc of the instance stands in exactly one node's list, and each
//     list runs over one contiguous stretch of `arcs` in increasing order;
//   - a->rev->rev == a, and an arc and its reverse have equal `cap`;
//   - a null `head` marks an arc that compaction dropped; no list reaches it.
//
// Build variants
//   The module is compiled twice from the same sources: the solver build,
//   and a statistics build (GRAPH_STATISTICS defined) whose `graph` and
//   `node` records carry further members and whose `saveTrivialCut` also
//   records statistics. Everything else behaves the same in both builds.
//
// Failures end the process: exhausted memory prints one line on standard
// error ("Memory exhausted at graph:<number> <allocation>") and exits with
// status 1; instance errors print "\nline %d of input - %s\n" on standard
// output and exit with status 1. The exceptions are makeGraphOrNull and
// graphFromEdges, which return null on exhausted memory, for callers that
// report failures themselves.
#ifndef GRAPH_GRAPH_H
#define GRAPH_GRAPH_H

#include <cstdint>
#include <cstdio>

struct node;
struct bucket;
struct stack;
struct queue;

// One direction of an undirected edge.
struct arc {
  int64_t cap;     // capacity; merged parallel arcs carry the sum
  int64_t resCap;  // residual capacity; the arc is residual when > 0
  node *head;      // node the arc points to; null once compaction dropped it
  arc *rev;        // the other direction of the same edge
  arc *next;       // next arc of the tail's list; null ends the list
};

// Node status: the top two bits of the node's flag word.
enum : uint32_t { DORMANT = 0, AWAKE = 1, SOURCE_SIDE = 2 };

struct node {
  arc *first;      // first arc of the adjacency list; null when it has none
  arc *origFirst;  // the arc of `origarcs` at the index of `first`
  node *next;      // next live node (the list ends at `endNode`); pool link
#ifdef GRAPH_STATISTICS
  int32_t degree;  // statistics build only; no operation of the module uses it
#endif
  arc *current;    // where a discharge resumes its scan; scratch of compact
  int64_t excess;  // excess of the preflow
  int32_t d;       // distance label, also the index of the node's bucket
  node *bNext;     // next node of the bucket's list of all nodes at label d
  node *bPrev;     // previous node of that list (not kept for its first node)
  node *aNext;     // next node of the bucket's active list
  uint32_t flags : 30;  // unused bits; every write of `status` keeps them
  uint32_t status : 2;  // DORMANT, AWAKE or SOURCE_SIDE; 3 never occurs
  int32_t side;    // side of the last recorded cut: 1 sink side, 0 other side
#ifdef GRAPH_STATISTICS
  int64_t trivialHits;  // statistics build only; no operation uses them
  int32_t layerCount;
#endif
};

struct graph {
  int32_t n;        // number of nodes
  int32_t m;        // number of edges announced by the problem line
  int32_t curN;     // number of nodes of the current computation
  node *vertexalloc;  // the node block: 10 * N + 1 records
  node *nodes;      // node id 0
  node *endNode;    // sentinel ending every walk over the node list or block
  arc *arcs;        // the arc array: 2 * m + 8 * N records
  arc *realArcsEnd; // arcs + 2 * m
  arc *origarcs;    // index-preserving copy of `arcs`, same size
  arc *freeArcs;    // spare-arc pool in `arcs`
  arc *arcsEnd;     // terminator of that pool
  arc *freeOrigArcs;  // spare-arc pool in `origarcs`
  arc *origArcsEnd;   // terminator of that pool
  node *nodeList;   // first live node
  node *freeNodes;  // spare-node pool
  node *lastFreeNode;
  node *reservedNode;
  int64_t minCut;   // value of the last recorded cut; INT64_MAX means none
#ifdef GRAPH_STATISTICS
  int64_t savedCut;      // value of the last cut saveTrivialCut recorded
  float savedWeight;     // 1 / (k - 1) for the k live nodes at that recording
  int32_t trivialCuts;   // recordings by saveTrivialCut
  int32_t savedCount;    // recordings by saveTrivialCut
#endif
  int32_t cutCount;   // number of cuts recorded
  float dtime;        // timer reading when the last cut was recorded
  int32_t scanPhase;  // index of the edgeScans counter arc scans go to (4)
  int64_t edgeScans[7];  // arc-scan counters

  // Solver state; the solver's header states the invariants they keep.
  float calcTime;     // accumulated time of the s-t computations proper
  float calcStart;    // timer reading at the start of the current one
  float manipTime;    // accumulated time of resets, draws and tree updates
  float manipStart;   // timer reading at the start of the current stretch
  int32_t awakeCount; // awake nodes of the computation, the sink included
  int32_t topLabel;   // 2n - 1: the source's label, ceiling of awake labels
  int32_t dMin;       // lowest awake label: the sink's, 0
  int32_t bucketTop;  // 2n: last bucket; the global update's unvisited shift
  int32_t dMax;       // >= the highest label with a non-empty node list
  int32_t aMax;       // >= the highest label with a non-empty active list
  bucket *buckets;    // one per label 0 ... 2n
  node *source, *sink;  // ends of the current s-t computation
  queue *BFSqueue;    // breadth-first order of the global update (n slots)
  stack *freezer;     // dormant layers, each a null marker and its nodes (2n)
  stack *regNodes;    // nodes whose labels the global update shifted (n)
  stack *exStack;     // emptied every computation; nothing pushes onto it (n)
  int64_t pushes;     // pushes over the whole run
  int64_t relabels;   // relabels over the whole run
  int32_t relabelsSinceUpdate;  // relabels since the last global update
};

// Creates a zeroed graph with room for node numbers 0 ... n - 1 and m edges:
// a node block of 10n + 1 records and two arc arrays of 2m + 8n records.
// minCut is INT64_MAX, cutCount 0, scanPhase 4. Never returns null.
graph *makeGraph(int32_t n, int32_t m);

// makeGraph that returns null, with nothing allocated, when memory runs out.
graph *makeGraphOrNull(int32_t n, int32_t m);

// The bytes of the node block and the two arc arrays makeGraph(n, m)
// allocates.
int64_t graphBlockBytes(int32_t n, int32_t m);

// The graph of node ids 0 ... n - 1 and the m edges {tails[i], heads[i]} of
// capacity caps[i] (0 <= ids < n, caps >= 0), laid out exactly as
// dimacsParse lays out the same arc lines read in this order, as if the
// instance used every number from 0 to n - 1. Null, with nothing allocated,
// when memory runs out. Prints nothing and never ends the process.
graph *graphFromEdges(int32_t n, int32_t m, const int32_t *tails, const int32_t *heads,
                      const int64_t *caps);

// Releases the blocks makeGraph allocated, then the record.
void freeGraph(graph *g);

// Reads one cut instance from `input` to its end and returns the filled
// graph. Any grammar error ends the process with the numbered message.
graph *dimacsParse(FILE *input);

// Drops self loops and merges parallel arcs of every live node's list into
// the first of them; counts every arc the scan meets in edgeScans[scanPhase].
void compact(graph *g);

// Writes the smaller-looking side of the last recorded cut as "n %d" lines.
void printCut(graph *g);

// Records the cut that separates v from all other live nodes.
void saveTrivialCut(graph *g, node *v, int64_t value);

// Sum of the seven edgeScans counters.
int64_t totalEdgeScans(graph *g);

#endif
