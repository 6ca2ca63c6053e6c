// The reader of cut instances.
//
// Lines are read 99 characters at a time; each piece of a longer line counts
// and is classified as a line of its own by its first character: 'c' comment,
// newline or NUL empty, 'p' problem line, 'a' arc line, anything else an
// error. The problem line is scanned like "%*c %3s %d %d" and an arc line like
// "%*c %d %d %ld" (with a 32-bit long); numbers outside the 32-bit range are
// rejected instead of wrapping. Arcs are stored in input order at positions
// 2i and 2i + 1, then sorted into per-tail blocks in place, and the lists are
// built so that each node's list runs over its block in increasing order.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "graph/graph.h"

#ifdef GRAPH_STATISTICS
#define READER_MEMORY_ARC_TAIL 309
#define READER_MEMORY_ARC_FIRST 310
#else
#define READER_MEMORY_ARC_TAIL 296
#define READER_MEMORY_ARC_FIRST 297
#endif

namespace {

const char *const err_message[] = {
    /* 0*/ "more than one problem line.",
    /* 1*/ "wrong number of parameters in the problem line.",
    /* 2*/ "it is not a Max Flow problem line.",
    /* 3*/ "bad value of a parameter in the problem line.",
    /* 4*/ "can't obtain enough memory to solve this problem.",
    /* 5*/ "more than one line with the problem name.",
    /* 6*/ "can't read problem name.",
    /* 7*/ "problem description must be before arc description.",
    /* 8*/ "this parser doesn't support multiply sources and sinks.",
    /* 9*/ "wrong number of parameters in the node line.",
    /*10*/ "wrong value of parameters in the node line.",
    /*11*/ " ",
    /*12*/ "source and sink descriptions must be before arc descriptions.",
    /*13*/ "too many arcs in the input.",
    /*14*/ "wrong number of parameters in the arc line.",
    /*15*/ "wrong value of parameters in the arc line.",
    /*16*/ "unknown line type in the input.",
    /*17*/ "reading error.",
    /*18*/ "not enough arcs in the input.",
    /*19*/ "source or sink doesn't have incident arcs.",
    /*20*/ "can't read anything from the input file.",
};

enum {
  EXTRA_PROBLEM = 0, PROBLEM_FIELDS = 1, PROBLEM_WORD = 2, PROBLEM_VALUE = 3,
  NO_PROBLEM = 6, TOO_MANY_ARCS = 13, ARC_FIELDS = 14, ARC_VALUE = 15,
  UNKNOWN_LINE = 16, READ_ERROR = 17, TOO_FEW_ARCS = 18, NOTHING_READ = 20
};

[[noreturn]] void parseError(int lineCount, int number) {
  printf("\nline %d of input - %s\n", lineCount, err_message[number]);
  exit(1);
}

void *allocateInts(int64_t count, int number, const char *what) {
  void *p = calloc(static_cast<size_t>(count), sizeof(int32_t));
  if (p == nullptr) {
    fprintf(stderr, "Memory exhausted at graph:%d %s\n", number, what);
    exit(1);
  }
  return p;
}

void skipSpace(const char *&p) {
  while (isspace(static_cast<unsigned char>(*p))) p++;
}

// Scans one signed decimal integer the way %d does: white space, an optional
// sign, at least one digit. Values far beyond 32 bits saturate, so that a
// caller's range test still sees them out of range. False when no digit.
bool scanInteger(const char *&p, int64_t &value) {
  skipSpace(p);
  const char *q = p;
  bool negative = *q == '-';
  if (*q == '-' || *q == '+') q++;
  if (!isdigit(static_cast<unsigned char>(*q))) return false;
  int64_t x = 0;
  for (; isdigit(static_cast<unsigned char>(*q)); q++)
    if (x < INT64_C(1000000000000)) x = 10 * x + (*q - '0');
  value = negative ? -x : x;
  p = q;
  return true;
}

bool fitsInt32(int64_t x) { return x >= INT32_MIN && x <= INT32_MAX; }

// "%*c %3s %d %d": returns the number of items scanned.
int scanProblemLine(const char *line, char word[4], int64_t &nodeCount, int64_t &edgeCount) {
  const char *p = line + 1;
  skipSpace(p);
  if (*p == '\0') return 0;
  int k = 0;
  while (k < 3 && *p != '\0' && !isspace(static_cast<unsigned char>(*p))) word[k++] = *p++;
  word[k] = '\0';
  if (!scanInteger(p, nodeCount)) return 1;
  if (!scanInteger(p, edgeCount)) return 2;
  return 3;
}

// "%*c %d %d %ld": returns the number of items scanned.
int scanArcLine(const char *line, int64_t &tail, int64_t &head, int64_t &capacity) {
  const char *p = line + 1;
  if (!scanInteger(p, tail)) return 0;
  if (!scanInteger(p, head)) return 1;
  if (!scanInteger(p, capacity)) return 2;
  return 3;
}

// What the reader knows between lines.
struct readerState {
  graph *g = nullptr;
  int32_t N = 0;           // largest node number the problem line allows
  int32_t arcsRead = 0;
  int32_t lo = 0, hi = 0;  // smallest and largest used node numbers
  int32_t *arc_tail = nullptr;
  int32_t *arc_first = nullptr;
};

// Stores the edge {t, h} of the next arc line as the arcs at 2i and 2i + 1.
void storeArc(readerState &s, int32_t t, int32_t h, int64_t capacity) {
  node *number = s.g->vertexalloc;
  int64_t i = s.arcsRead;
  arc *forward = s.g->arcs + 2 * i, *backward = forward + 1;
  forward->head = number + h;
  backward->head = number + t;
  forward->cap = forward->resCap = backward->cap = backward->resCap = capacity;
  forward->rev = backward;
  backward->rev = forward;
  s.arc_tail[2 * i] = t;
  s.arc_tail[2 * i + 1] = h;
  s.arc_first[t + 1]++;
  s.arc_first[h + 1]++;
  if (t < s.lo) s.lo = t;
  if (h < s.lo) s.lo = h;
  if (t > s.hi) s.hi = t;
  if (h > s.hi) s.hi = h;
  s.arcsRead++;
}

void readProblemLine(readerState &s, const char *line, int lineCount) {
  if (s.g != nullptr) parseError(lineCount, EXTRA_PROBLEM);
  char word[4] = "";
  int64_t nodeCount = 0, edgeCount = 0;
  if (scanProblemLine(line, word, nodeCount, edgeCount) < 3) parseError(lineCount, PROBLEM_FIELDS);
  if (strcmp(word, "cut") != 0) parseError(lineCount, PROBLEM_WORD);
  // N + 1 node numbers and 2M arc positions must fit in 32 bits as well.
  if (nodeCount <= 0 || edgeCount <= 0 || nodeCount >= INT32_MAX || edgeCount > INT32_MAX / 2)
    parseError(lineCount, PROBLEM_VALUE);
  s.N = static_cast<int32_t>(nodeCount);
  s.g = makeGraph(s.N + 1, static_cast<int32_t>(edgeCount));
  s.arc_tail = static_cast<int32_t *>(allocateInts(
      2 * edgeCount, READER_MEMORY_ARC_TAIL,
      "arc_tail = (int*) calloc ( 2*g->m, sizeof(int) )"));
  s.arc_first = static_cast<int32_t *>(allocateInts(
      nodeCount + 2, READER_MEMORY_ARC_FIRST,
      "arc_first= (int*) calloc ( g->n+1, sizeof(int) )"));
  s.lo = s.N + 1;
  s.hi = 0;
  s.arcsRead = 0;
}

void readArcLine(readerState &s, const char *line, int lineCount) {
  if (s.g == nullptr) parseError(lineCount, NO_PROBLEM);
  if (s.arcsRead == s.g->m) parseError(lineCount, TOO_MANY_ARCS);
  int64_t t64 = 0, h64 = 0, u64 = 0;
  if (scanArcLine(line, t64, h64, u64) < 3) parseError(lineCount, ARC_FIELDS);
  if (t64 < 0 || t64 > s.N || h64 < 0 || h64 > s.N || !fitsInt32(u64))
    parseError(lineCount, ARC_VALUE);
  storeArc(s, static_cast<int32_t>(t64), static_cast<int32_t>(h64), u64);
}

// Exchanges the arcs at a and b, keeping every arc and its reverse linked.
void exchangeArcs(arc *a, arc *b) {
  node *head = a->head; a->head = b->head; b->head = head;
  int64_t cap = a->cap; a->cap = b->cap; b->cap = cap;
  int64_t resCap = a->resCap; a->resCap = b->resCap; b->resCap = resCap;
  if (a->rev == b) return;  // each other's reverse: they stay so
  arc *ra = a->rev, *rb = b->rev;
  a->rev = rb; rb->rev = a;
  b->rev = ra; ra->rev = b;
}

// Prefix sums, then a counting sort by tail that moves arcs in cycles, so
// that each node's arcs occupy one contiguous block of `arcs`.
void placeArcsByTail(readerState &s) {
  node *number = s.g->vertexalloc;
  arc *arcs = s.g->arcs;
  int32_t *arc_first = s.arc_first, *arc_tail = s.arc_tail;
  number[s.lo].first = arcs;
  for (int32_t t = s.lo + 1; t <= s.hi + 1; t++) {
    arc_first[t] += arc_first[t - 1];
    number[t].first = arcs + arc_first[t];
  }
  for (int32_t k = s.lo; k < s.hi; k++) {
    int64_t end = number[k + 1].first - arcs;
    for (int64_t p = arc_first[k]; p < end; p++) {
      int32_t t;
      while ((t = arc_tail[p]) != k) {
        int32_t q = arc_first[t];
        exchangeArcs(arcs + p, arcs + q);
        arc_tail[p] = arc_tail[q];
        arc_tail[q] = t;
        arc_first[t]++;
      }
    }
  }
}

// Links each node's list in increasing position order.
void buildLists(readerState &s) {
  node *number = s.g->vertexalloc;
  // Node hi + 1 is not a node of the graph; its block start is cleared too.
  for (int32_t k = s.lo; k <= s.hi + 1; k++) number[k].first = nullptr;
  for (int64_t pos = 2 * static_cast<int64_t>(s.g->m) - 1; pos >= 0; pos--) {
    arc *a = s.g->arcs + pos;
    node *tail = number + s.arc_tail[pos];
    a->next = tail->first;
    tail->first = a;
  }
}

// Sorts the stored arcs into lists and fixes the node range: the graph's
// node ids are the numbers lo ... hi, shifted down to start at 0.
graph *finishGraph(readerState &s) {
  placeArcsByTail(s);
  buildLists(s);
  graph *g = s.g;
  g->n = g->curN = s.hi - s.lo + 1;
  g->minCut = INT64_MAX;
  g->nodes = g->vertexalloc + s.lo;
  g->endNode = g->nodes + g->n;
  free(s.arc_first);
  free(s.arc_tail);
  return g;
}

}  // namespace

graph *dimacsParse(FILE *input) {
  readerState s;
  char line[100];
  int lineCount = 0;
  while (fgets(line, sizeof line, input) != nullptr) {
    lineCount++;
    switch (line[0]) {
      case 'c': case '\n': case '\0': break;
      case 'p': readProblemLine(s, line, lineCount); break;
      case 'a': readArcLine(s, line, lineCount); break;
      default: parseError(lineCount, UNKNOWN_LINE);
    }
  }
  if (ferror(input)) parseError(lineCount, READ_ERROR);
  if (lineCount == 0) parseError(lineCount, NOTHING_READ);
  if (s.g == nullptr) parseError(lineCount, NO_PROBLEM);
  if (s.arcsRead < s.g->m) parseError(lineCount, TOO_FEW_ARCS);

  return finishGraph(s);
}

graph *graphFromEdges(int32_t n, int32_t m, const int32_t *tails, const int32_t *heads,
                      const int64_t *caps) {
  readerState s;
  s.g = makeGraphOrNull(n, m);
  s.arc_tail = static_cast<int32_t *>(calloc(2 * static_cast<size_t>(m) + 1, sizeof(int32_t)));
  s.arc_first = static_cast<int32_t *>(calloc(static_cast<size_t>(n) + 2, sizeof(int32_t)));
  if (s.g == nullptr || s.arc_tail == nullptr || s.arc_first == nullptr) {
    if (s.g != nullptr) freeGraph(s.g);
    free(s.arc_tail);
    free(s.arc_first);
    return nullptr;
  }
  s.N = n;
  for (int32_t i = 0; i < m; i++) storeArc(s, tails[i], heads[i], caps[i]);
  // Every id is a node, used by an edge or not.
  s.lo = 0;
  s.hi = n - 1;
  return finishGraph(s);
}
