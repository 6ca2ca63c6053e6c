#include "lib/driver/gusfield.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "lib/driver/draws.h"
#include "lib/driver/parent_tree.h"
#include "sunder/error.h"

namespace sunder::detail {

namespace {

// How far ahead of the commits the threads may compute, per thread. The
// sinks of most positions stay the same over such a stretch (on real
// networks a block's hub is the sink of nearly every cut), and a wide window
// keeps every thread busy while one computes a long cut.
constexpr int32_t kWindowPerThread = 256;

// The lag of the known cuts (DriverOptions::knownLag) at the first
// positions, and the positions per step of its growth to knownLag.
constexpr int32_t kEarlyLag = 16;
constexpr int32_t kLagGrowth = 8;

// A thread takes several positions at once where cuts are quick, about this
// many seconds of them by the run's average so far, up to kMostTaken: on
// real networks most cuts take microseconds, no more than a take and its
// filing under the lock and the wake-ups that follow, and one position at
// a time made two threads slower than one.
constexpr double kTakeSeconds = 50e-6;
constexpr int32_t kMostTaken = 32;


// What one s-t computation found, kept until it is committed.
struct Outcome {
  int32_t sink = -1;
  int64_t cut = 0;
  CutSides sides;
  Counters counters;          // the engine's counts of this computation alone
  double seconds = 0;
  bool ready = false;
  std::exception_ptr failure;  // what the computation threw, if anything
};

// Exchanges the records at positions i and j, then fixes `pos`.
void exchange(std::vector<tree> &t, int32_t i, int32_t j) {
  std::swap(t[i].id, t[j].id);
  std::swap(t[i].parent, t[j].parent);
  std::swap(t[i].weight, t[j].weight);
  t[t[i].id].pos = i;
  t[t[j].id].pos = j;
}

// The ids by position at the start of a run rooted at `root`.
std::vector<int32_t> startingIds(int32_t n, int32_t root) {
  std::vector<int32_t> id(n);
  for (int32_t k = 0; k < n; k++) id[k] = k;
  if (n > 0) std::swap(id[0], id[root]);
  return id;
}

// The exchanges that bring `sources` (by position from 1 on) into place,
// from the start of a run rooted at `root`.
std::vector<int32_t> exchangesFor(const std::vector<int32_t> &sources, int32_t n, int32_t root) {
  if (static_cast<int32_t>(sources.size()) != n - 1)
    throw Error("a source order names " + std::to_string(sources.size()) + " nodes, not " +
                std::to_string(n - 1));
  std::vector<int32_t> id = startingIds(n, root), pos(n), j(n, 0);
  for (int32_t k = 0; k < n; k++) pos[id[k]] = k;
  for (int32_t i = 1; i < n; i++) {
    int32_t v = sources[i - 1];
    if (v < 0 || v >= n || v == root || pos[v] < i)
      throw Error("a source order must name every node but the root once");
    j[i] = pos[v];
    std::swap(id[i], id[j[i]]);
    pos[id[i]] = i;
    pos[id[j[i]]] = j[i];
  }
  return j;
}

// Sources by position, from the start of the run and the exchanges alone.
std::vector<int32_t> sourcesByPosition(const std::vector<int32_t> &j, int32_t root) {
  int32_t n = static_cast<int32_t>(j.size());
  std::vector<int32_t> id = startingIds(n, root);
  for (int32_t i = 1; i < n; i++) std::swap(id[i], id[j[i]]);
  return id;
}

// The run's tree by node id with every node's children in a doubly linked
// list, so that a tree update costs what the cut's listed side or the sink's
// children take rather than a pass over all nodes. Invariant: every node but
// the root is in the list of the parent its record names. It is the tree
// that gusfieldUpdate (parent_tree.h) works on; the root's record names the
// root as its parent.
class ChildLists {
 public:
  explicit ChildLists(std::vector<tree> &records);
  int32_t parentOf(int32_t k) const { return t_[t_[k].pos].parent; }
  void setParent(int32_t k, int32_t p);
  Capacity weightOf(int32_t k) const { return t_[t_[k].pos].weight; }
  void setWeight(int32_t k, Capacity w) { t_[t_[k].pos].weight = w; }
  // The children of p, copied into `out`.
  void children(int32_t p, std::vector<int32_t> &out) const;

 private:
  void link(int32_t k, int32_t p);
  void unlink(int32_t k, int32_t p);
  std::vector<tree> &t_;
  std::vector<int32_t> first_, next_, prev_;  // by id; -1: none
};

ChildLists::ChildLists(std::vector<tree> &records)
    : t_(records), first_(records.size(), -1), next_(records.size(), -1),
      prev_(records.size(), -1) {
  for (size_t p = 1; p < records.size(); p++) link(records[p].id, records[p].parent);
}

void ChildLists::link(int32_t k, int32_t p) {
  prev_[k] = -1;
  next_[k] = first_[p];
  if (first_[p] >= 0) prev_[first_[p]] = k;
  first_[p] = k;
}

void ChildLists::unlink(int32_t k, int32_t p) {
  if (prev_[k] >= 0) next_[prev_[k]] = next_[k];
  else first_[p] = next_[k];
  if (next_[k] >= 0) prev_[next_[k]] = prev_[k];
}

void ChildLists::setParent(int32_t k, int32_t p) {
  unlink(k, parentOf(k));
  link(k, p);
  t_[t_[k].pos].parent = p;
}

void ChildLists::children(int32_t p, std::vector<int32_t> &out) const {
  out.clear();
  for (int32_t k = first_[p]; k >= 0; k = next_[k]) out.push_back(k);
}

class Driver {
 public:
  Driver(GusfieldRun &run, const DriverOptions &options);
  void run();

 private:
  double now() const { return clock_(); }
  int32_t lag() const { return std::max(1, options_.knownLag); }
  int32_t lagAt(int32_t k) const { return std::min(lag(), std::max(kEarlyLag, k / kLagGrowth)); }
  Outcome computeOn(CutEngine &engine, int32_t k, int32_t s, int32_t t, int32_t committed,
                    double start, int64_t scanLimit = INT64_MAX);
  int64_t scanLimit(int32_t i) const;
  void runInSequence(CutEngine &engine, int32_t from, int32_t last);
  void runSpeculatively(int threads, int32_t from);
  void work(CutEngine &engine, std::vector<Outcome> &room);
  int32_t aheadAt(int32_t k) const;
  bool mayTake() const;
  void take(CutEngine &engine, std::unique_lock<std::mutex> &lock, std::vector<Outcome> &outcomes);
  int32_t takeCount() const;
  double commit(int32_t i, const Outcome &o, double start);
  void updateTree(int32_t s, int32_t sink, const Outcome &o);
  void commitReady(int32_t i, CutEngine &own, std::unique_lock<std::mutex> &lock);
  void stopWorkers();
  void checkCancel() const;

  GusfieldRun &r_;
  const DriverOptions &options_;
  std::function<double()> clock_;
  double start_ = 0;
  std::vector<int32_t> exchanges_, sourceAt_;
  std::vector<int32_t> sourcePosition_;  // by id: the position where it is the source
  std::vector<int32_t> knownSink_;       // by id: the sink of its committed computation
  std::vector<int64_t> knownValue_;      // by id: that computation's cut value
  std::unique_ptr<ChildLists> lists_;
  std::vector<int32_t> mark_;  // by id: the commit that last listed the node
  std::vector<int32_t> kids_;  // children of the sink being looked at

  // Shared between the committing thread and the workers.
  std::mutex mu_;
  std::condition_variable cv_;
  // The outcomes of the positions in flight, position k in slot k mod
  // window: the positions taken and not committed lie within `window` of
  // one another, so no two share a slot.
  std::vector<Outcome> outcomes_;
  Outcome &outcomeOf(int32_t k) { return outcomes_[static_cast<size_t>(k) % outcomes_.size()]; }
  int32_t next_ = 1;       // next position handed to a worker
  int32_t committed_ = 0;  // positions committed so far
  int32_t window_ = 1;     // how far ahead of the commits workers may run
  double cutSeconds_ = 0;  // the computations filed so far, their seconds
  int32_t cutsFiled_ = 0;  // and their number
  bool stopping_ = false;  // the build ends early: workers take nothing more
  std::exception_ptr failure_;  // the first computation that threw, if any
  std::vector<std::thread> threads_;
};

Driver::Driver(GusfieldRun &run, const DriverOptions &options)
    : r_(run), options_(options), clock_(options.clock ? options.clock : steadySeconds) {}

// The computation of position k, between s and t, started with positions
// 1 ... committed committed. It may use the cuts of positions more than the
// lag before k: those are committed by then with every thread count (the
// window is no wider), so the outcome and the counters are the sequential
// loop's. Its seconds run from `start`, the clock's reading when it began
// (a reading per step, not two: on real networks most computations take
// microseconds, and the clock's readings were a twentieth of the build).
Outcome Driver::computeOn(CutEngine &engine, int32_t k, int32_t s, int32_t t, int32_t committed,
                          double start, int64_t limit) {
  Outcome o;
  Counters before = engine.counters();
  KnownCuts known{&sourcePosition_, &knownSink_, &knownValue_, k - lagAt(k), k, committed};
  o.cut = engine.cutSides(s, t, o.sides, limit, &known);
  o.seconds = now() - start;
  o.sink = t;
  Counters after = engine.counters();
  o.counters = after - before;
  return o;
}

void Driver::checkCancel() const {
  if (options_.cancel && options_.cancel()) throw Cancelled();
}

// Commits position i's outcome from `start`, the clock's reading when the
// commit began; returns the reading at its end.
double Driver::commit(int32_t i, const Outcome &o, double start) {
  int32_t s = r_.records[i].id, sink = r_.records[i].parent;
  updateTree(s, sink, o);
  knownSink_[s] = sink;
  knownValue_[s] = o.cut;
  r_.counters += o.counters;
  if (options_.stopAfter > 0) r_.scansAfter.push_back(r_.counters.scans);
  r_.calcSeconds += o.seconds;
  r_.computations++;
  double end = now();
  // A cut of the largest 64-bit value is never recorded as found.
  if (o.cut < INT64_MAX) {
    r_.cutsRecorded++;
    r_.lastCutSeconds = end - start_;
  }
  r_.manipSeconds += end - start;
  if (options_.progress) options_.progress(i, r_.n - 1);
  return end;
}

// Gusfield's tree update after the cut of value o.cut between source s and
// its parent `sink` (gusfieldUpdate). A listed side of s is walked itself
// for the sink's children on it; otherwise the sink's children are.
void Driver::updateTree(int32_t s, int32_t sink, const Outcome &o) {
  const CutSides &c = o.sides;
  int32_t stamp = r_.computations + 1;
  if (!c.byNode)
    for (int32_t k : c.nodes) mark_[k] = stamp;
  auto onSourceSide = [&](int32_t k) {
    if (c.byNode) return c.side[k] == c.side[s];
    return (mark_[k] == stamp) == (c.listed == 0);
  };
  auto forCandidates = [&](const auto &visit) {
    if (!c.byNode && c.listed == 0) {
      for (int32_t k : c.nodes) visit(k);
      return;
    }
    lists_->children(sink, kids_);  // a copy: the visits move children
    for (int32_t k : kids_) visit(k);
  };
  gusfieldUpdate(*lists_, s, o.cut, onSourceSide, forCandidates);
}

// The arcs computation i may look at before a probe falls too far behind its
// pace; no limit without one. Negative when it is behind already.
int64_t Driver::scanLimit(int32_t i) const {
  if (options_.pace == nullptr) return INT64_MAX;
  double allowed = (*options_.pace)[i] * kPaceSlack / options_.costPerScan;
  return static_cast<int64_t>(allowed) - r_.counters.scans;
}

void Driver::runInSequence(CutEngine &engine, int32_t from, int32_t last) {
  double mark = now();  // the end of the last step
  for (int32_t i = from; i <= last; i++) {
    checkCancel();
    int64_t limit = scanLimit(i);
    if (limit < 0) return;
    exchange(r_.records, i, exchanges_[i]);  // counted with the computation
    Outcome o = computeOn(engine, i, r_.records[i].id, r_.records[i].parent, i - 1, mark, limit);
    if (o.cut < 0) {  // the engine gave up: the probe ends here
      exchange(r_.records, i, exchanges_[i]);
      return;
    }
    mark = commit(i, o, mark + o.seconds);
  }
}

// Positions at most the window and their lag ahead of the commits; the lag
// only grows with the position, so a take's later positions keep theirs.
int32_t Driver::aheadAt(int32_t k) const { return std::min(window_, lagAt(k)); }

bool Driver::mayTake() const { return next_ < r_.n && next_ <= committed_ + aheadAt(next_); }

// How many positions a take gets (see kTakeSeconds), within the window.
int32_t Driver::takeCount() const {
  int32_t room = std::min(r_.n - next_, committed_ + aheadAt(next_) + 1 - next_);
  int32_t count = kMostTaken;  // cuts quicker than the clock tells
  if (cutsFiled_ == 0) {
    count = 1;  // nothing known yet
  } else if (cutSeconds_ > 0) {
    double perCut = cutSeconds_ / cutsFiled_;
    count = static_cast<int32_t>(std::clamp(kTakeSeconds / perCut, 1.0, double{kMostTaken}));
  }
  return std::max(1, std::min(count, room));
}

// Takes the next positions (takeCount), computes their cuts with the sinks
// their sources have now and files the outcomes. Called and returns with
// `lock` held; `outcomes` is the caller's room for them, kMostTaken reserved
// (a worker thread allocates nothing outside its computations, whose
// failures reach the committing thread).
void Driver::take(CutEngine &engine, std::unique_lock<std::mutex> &lock,
                  std::vector<Outcome> &outcomes) {
  int32_t first = next_, count = takeCount();
  next_ += count;
  outcomes.resize(static_cast<size_t>(count));
  for (int32_t j = 0; j < count; j++) {
    int32_t s = sourceAt_[first + j];
    outcomes[j].sink = r_.records[r_.records[s].pos].parent;
  }
  int32_t committed = committed_;
  lock.unlock();
  double mark = now();
  for (int32_t j = 0; j < count; j++) {
    Outcome &o = outcomes[j];
    int32_t sink = o.sink;
    try {
      o = computeOn(engine, first + j, sourceAt_[first + j], sink, committed, mark);
      mark += o.seconds;
    } catch (...) {
      // The engine may be in any state: the positions after this one are
      // filed uncomputed, and the commits stop at this one before them.
      o.failure = std::current_exception();
      break;
    }
  }
  lock.lock();
  for (int32_t j = 0; j < count; j++) {
    Outcome &o = outcomes[j];
    if (o.failure && !failure_) {
      // An engine that threw may be in any state: no thread computes on
      // after it, and the committing thread rethrows at once.
      failure_ = o.failure;
      stopping_ = true;
    }
    cutSeconds_ += o.seconds;
    cutsFiled_++;
    Outcome &slot = outcomeOf(first + j);
    slot = std::move(o);
    slot.ready = true;
  }
}

void Driver::work(CutEngine &engine, std::vector<Outcome> &room) {
  std::unique_lock<std::mutex> lock(mu_);
  for (;;) {
    cv_.wait(lock, [this] { return stopping_ || next_ >= r_.n || mayTake(); });
    if (stopping_ || next_ >= r_.n) return;
    take(engine, lock, room);
    cv_.notify_all();
  }
}

// Commits position i, whose outcome is ready, with `lock` held; computes it
// again first, the lock released meanwhile, when its source's sink changed
// after it was taken.
void Driver::commitReady(int32_t i, CutEngine &own, std::unique_lock<std::mutex> &lock) {
  Outcome o = std::move(outcomeOf(i));
  outcomeOf(i) = Outcome();  // free for position i + window
  if (o.failure) std::rethrow_exception(o.failure);
  exchange(r_.records, i, exchanges_[i]);  // under the lock: workers read the records
  int32_t sink = r_.records[i].parent;
  if (o.sink != sink) {
    lock.unlock();  // only this thread writes the records
    o = computeOn(own, i, r_.records[i].id, sink, i - 1, now());
    r_.recomputed++;
    lock.lock();
  }
  commit(i, o, now());
  committed_ = i;
}

void Driver::stopWorkers() {
  {
    std::lock_guard<std::mutex> lock(mu_);
    stopping_ = true;
  }
  cv_.notify_all();
  for (std::thread &t : threads_) t.join();
  threads_.clear();
}

// The committing thread computes too: while the position to commit is not
// ready it takes the next ones as a worker would, so `threads` - 1 workers
// and it share the cuts.
void Driver::runSpeculatively(int threads, int32_t from) {
  std::unique_ptr<CutEngine> own = options_.makeEngine();
  std::vector<std::unique_ptr<CutEngine>> workers;
  for (int k = 1; k < threads; k++) workers.push_back(options_.makeEngine());
  next_ = from;
  committed_ = from - 1;
  window_ = std::min(kWindowPerThread * threads, lag());
  outcomes_.resize(static_cast<size_t>(window_));
  // Each thread's room for the outcomes it takes, this one's last.
  std::vector<std::vector<Outcome>> rooms(static_cast<size_t>(threads));
  for (std::vector<Outcome> &room : rooms) room.reserve(kMostTaken);
  std::vector<Outcome> &taken = rooms.back();
  // `own` computes ahead while this thread waits, and again the cuts whose
  // sink changed meanwhile.
  try {
    for (size_t k = 0; k < workers.size(); k++)
      threads_.emplace_back([this, &engine = *workers[k], &room = rooms[k]] { work(engine, room); });
    for (int32_t i = from; i < r_.n;) {
      std::unique_lock<std::mutex> lock(mu_);
      double start = now();
      // While position i is not ready this thread computes ahead as well.
      while (!outcomeOf(i).ready) {
        if (failure_) std::rethrow_exception(failure_);
        if (mayTake()) take(*own, lock, taken);
        else cv_.wait(lock);
      }
      r_.manipSeconds += now() - start;
      // Position i and the ready ones after it, in one hold of the lock (but
      // for recomputations) and one wake-up: most cuts of real networks take
      // microseconds, no more than a commit's locking and waking. Cancel is
      // asked before each, as in a run on one thread.
      do {
        checkCancel();
        commitReady(i++, *own, lock);
      } while (i < r_.n && outcomeOf(i).ready);
      lock.unlock();
      cv_.notify_all();
    }
  } catch (...) {
    stopWorkers();
    throw;
  }
  stopWorkers();
}

void Driver::run() {
  start_ = now() - r_.seconds;
  int32_t from = r_.computations + 1;
  exchanges_ = options_.sources ? exchangesFor(*options_.sources, r_.n, r_.root)
                                : drawExchanges(r_.n);
  sourceAt_ = sourcesByPosition(exchanges_, r_.root);
  sourcePosition_.assign(r_.n, 0);
  for (int32_t k = 0; k < r_.n; k++) sourcePosition_[sourceAt_[k]] = k;
  knownSink_.assign(r_.n, -1);
  knownValue_.assign(r_.n, 0);
  lists_ = std::make_unique<ChildLists>(r_.records);
  mark_.assign(r_.n, 0);
  int threads = std::min(options_.threads, r_.n - 1);
  if (threads <= 1 || options_.stopAfter > 0 || options_.pace != nullptr) {
    std::unique_ptr<CutEngine> made;
    CutEngine *engine = options_.engine;
    // A run that is complete already (the probe of a small graph) needs
    // no engine at all.
    if (engine == nullptr && from < r_.n) engine = (made = options_.makeEngine()).get();
    int32_t last = options_.stopAfter > 0 ? std::min(options_.stopAfter, r_.n - 1) : r_.n - 1;
    if (engine != nullptr) runInSequence(*engine, from, last);
  } else if (from < r_.n) {
    runSpeculatively(threads, from);
  }
  r_.seconds = now() - start_;
}

}  // namespace

double steadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

GusfieldRun startRun(int32_t n, int32_t root) {
  GusfieldRun run;
  run.n = n;
  run.root = root;
  run.records.resize(n > 0 ? n : 0);
  for (int32_t k = 0; k < n; k++) run.records[k] = {k, k, root, 0};
  if (n > 0) {
    std::swap(run.records[0].id, run.records[root].id);
    std::swap(run.records[0].pos, run.records[root].pos);
  }
  run.scansAfter = {0};
  return run;
}

std::vector<int32_t> drawnSources(int32_t n, int32_t root, int32_t count) {
  std::vector<int32_t> id = sourcesByPosition(drawExchanges(n), root);
  int32_t last = std::min(count, n - 1);
  return std::vector<int32_t>(id.begin() + 1, id.begin() + 1 + std::max(last, 0));
}

void runGusfield(GusfieldRun &run, const DriverOptions &options) { Driver(run, options).run(); }

}  // namespace sunder::detail
