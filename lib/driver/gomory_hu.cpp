#include "lib/driver/gomory_hu.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <exception>
#include <initializer_list>
#include <mutex>
#include <string>
#include <thread>

#include "lib/driver/draws.h"
#include "lib/driver/parent_tree.h"
#include "sunder/error.h"

namespace sunder::detail {

namespace {

constexpr int32_t kNone = -1;
// Source runs: a side of at most a part's nodes / kSmallSide is small.
constexpr int32_t kSmallSide = 64;

// A cut of a batch: its value and sides over the part's graph.
struct Cut {
  int64_t value = 0;
  std::vector<uint8_t> side;
};

// A part of the partition and its contracted graph, in local numbers.
struct Part {
  int32_t n = 0;  // nodes of the contracted graph
  std::vector<Edge> edges;
  std::vector<int32_t> node;   // by local node: the graph's node when real, else kNone
  std::vector<int32_t> edge;   // by local node: the tree edge a contracted node stands for
  std::vector<uint8_t> slot;   // ... and which end of that edge lies in this part
  std::vector<int32_t> reals;  // the real local nodes
  std::vector<int32_t> realAt;  // by local node: its index in reals
  // By local node: kNone, or the terminal of the group it is hidden in (a
  // half that left during the batch, not yet merged in this graph).
  std::vector<int32_t> rep;
  int32_t hidden = 0;
  std::unique_ptr<CutEngine> engine;  // made at the part's first cut
  // What the engine of the graph this part was cut from had learned, for
  // the part's run engines to start from (CutEngine::learn).
  std::vector<double> lessons;
  // Source runs: the second run's engine, and the real nodes but the
  // source in the order sinks are taken, the first run's from the front,
  // the second's from the back.
  std::unique_ptr<CutEngine> engine2;
  std::vector<int32_t> order;
  size_t front = 0, back = 0;
  int32_t lastLeft = 0;  // the nodes shown on the side the last cut took off
  bool twoRuns = false;  // the second run has begun
  int32_t stepCuts = 1;    // each run's cuts in the next step, at most
  // The real node of most arcs after the source, found with it; kNone
  // when there is none.
  int32_t second = kNone;
  bool ordered = false;  // the source (`from`, when set before) and order are fixed
  // A first cut handed down by the part this one was cut from, from `from`
  // to handedSink on this part's graph; kNone when there is none.
  int32_t handedSink = kNone;
  Cut handed;
  // The part is the half a cut took off as the larger side, its cluster
  // round the source left behind: its own cut likely does the same.
  bool chained = false;
  int32_t smallSteps = 0;  // steps in a row whose cuts all took off small sides
  int64_t secondRunScans = -1;  // the second run's arc looks in its last step; -1 before
  uint64_t seed = 0;
  // Spread pairs: distances in arcs from `from` within this graph; source
  // runs: their source.
  int32_t from = kNone;
  std::vector<int32_t> distance;

  void addReal(int32_t local) {
    realAt[local] = static_cast<int32_t>(reals.size());
    reals.push_back(local);
  }
  // A real node becomes the contracted node of tree edge e, whose end `end`
  // lies in this part.
  void contract(int32_t local, int32_t e, uint8_t end) {
    int32_t at = realAt[local];
    reals[at] = reals.back();
    realAt[reals[at]] = at;
    reals.pop_back();
    node[local] = kNone;
    edge[local] = e;
    slot[local] = end;
  }
};

// Source runs: the cuts a run makes in one step, at most, on a graph of
// kStepNodes nodes or more.
constexpr int32_t kRunStepCuts = 8;
constexpr int32_t kStepNodes = 2048;
// Source runs: a part of this many nodes or more may hand the half a
// one-run cut takes off its first cut (see Handing).
constexpr int32_t kHandingNodes = 512;
// Source runs: the second run's step goes to another thread only where it
// is worth the handing over (see Build::worthPosting).
constexpr int64_t kPostScans = 20000;
constexpr int32_t kPostNodes = 256;

// A run's cuts of one step (Build::cutRun): its sinks, taken from the
// stretch [begin, end) of its part's order (from the back when fromBack),
// and their cuts.
struct RunStep {
  bool fromBack = false;
  size_t begin = 0, end = 0;
  int32_t most = 0;  // cuts
  bool big = false;  // its last cut took off more than a small side
  std::vector<int32_t> sinks;
  std::vector<Cut> cuts;
};

// A cut job is waiting for a thread, taken by one, done, or taken back by
// the part's owner, who computes it itself.
enum JobState { kWaiting, kTaken, kDone, kTakenBack };

// Work another thread may take: one cut of a batch, on the graph of a
// part whose owner waits for it before it changes that graph.
struct CutJob {
  const Part *part = nullptr;
  CutEngine *engine = nullptr;  // the part's, else one of the job's own
  int32_t s = kNone, t = kNone;
  Cut *out = nullptr;
  RunStep *step = nullptr;  // a run's cuts of a step from s, instead of one cut
  // A cut to hand down (Handing): by a run engine the job makes, kept here.
  bool makesRunEngine = false;
  std::unique_ptr<CutEngine> made;
  int state = kWaiting;
  std::exception_ptr error;
};

// Handing a cut down. Where a one-run cut of a large part takes off the
// sink's side as the larger half (ringforge: a cluster round the source
// stays, the rest leaves), that half's source is the part's second (the
// real node of most arcs after the source) when the half holds it, and
// the half's first cut, from there to the same sink, is made on the
// part's graph: beside the part's own cut, on another thread, where the
// part is itself such a half (Build::handingOf), else after it. Without
// it, the halves of such a chain of cuts are cut one after another on one
// thread. Made so, it is a minimum cut of the half's graph too, uncrossed
// with the groups hidden in the part and with the part's side of the cut
// (Gomory and Hu's lemma, see Build::uncrossed): the half does not
// compute it again. A thread that made it for a cut that does not hand it
// down drops it with its engine, which no other cut had used, so that the
// tree and the counters are those of one thread, which makes it only when
// it is handed down.
struct Handing {
  int32_t source = kNone, sink = kNone;  // kNone: the step hands nothing down
  std::shared_ptr<CutJob> job;  // the cut on another thread, else null
  Cut cut;
};

// A graph by node: node v's arcs are first[v] ... first[v + 1] - 1, each
// with its head and capacity, in the edges' order.
struct Adjacency {
  std::vector<int32_t> first, head;
  std::vector<int64_t> capacity;
};

Adjacency adjacencyOf(int32_t n, const std::vector<Edge> &edges) {
  Adjacency g;
  g.first.assign(n + 1, 0);
  g.head.resize(2 * edges.size());
  g.capacity.resize(2 * edges.size());
  for (const Edge &e : edges) {
    g.first[e.u + 1]++;
    g.first[e.v + 1]++;
  }
  for (int32_t v = 0; v < n; v++) g.first[v + 1] += g.first[v];
  std::vector<int32_t> at(g.first.begin(), g.first.end() - 1);
  for (const Edge &e : edges) {
    int32_t a = at[e.u]++, b = at[e.v]++;
    g.head[a] = e.v, g.head[b] = e.u;
    g.capacity[a] = g.capacity[b] = e.capacity;
  }
  return g;
}

// Distances in arcs from `from` over the graph of n nodes and these edges.
std::vector<int32_t> distancesFrom(int32_t n, const std::vector<Edge> &edges, int32_t from) {
  Adjacency g = adjacencyOf(n, edges);
  std::vector<int32_t> distance(n, INT32_MAX), queue(1, from);
  distance[from] = 0;
  for (size_t q = 0; q < queue.size(); q++)
    for (int32_t a = g.first[queue[q]]; a < g.first[queue[q] + 1]; a++)
      if (distance[g.head[a]] == INT32_MAX) {
        distance[g.head[a]] = distance[queue[q]] + 1;
        queue.push_back(g.head[a]);
      }
  return distance;
}

// Whether half the consecutive nodes of `order` or more are joined by an
// edge of g: a numbering that follows the graph's structure.
bool followsEdges(const Adjacency &g, const std::vector<int32_t> &order) {
  std::vector<uint8_t> near(g.first.size() - 1, 0);
  size_t joined = 0;
  for (size_t k = 0; k + 1 < order.size(); k++) {
    int32_t v = order[k];
    for (int32_t a = g.first[v]; a < g.first[v + 1]; a++) near[g.head[a]] = 1;
    joined += near[order[k + 1]];
    for (int32_t a = g.first[v]; a < g.first[v + 1]; a++) near[g.head[a]] = 0;
  }
  return 2 * joined >= order.size();
}

// The nodes of `nodes` in the order a depth-first search of g from s
// reaches them, each node's heaviest edges first (ties to the lower head),
// and those it does not reach after them in their order; s left out.
std::vector<int32_t> heaviestFirstOrder(Adjacency g, int32_t s, const std::vector<int32_t> &nodes) {
  int32_t n = static_cast<int32_t>(g.first.size()) - 1;
  std::vector<std::pair<int64_t, int32_t>> arcs(g.head.size());  // (-capacity, head)
  for (size_t a = 0; a < arcs.size(); a++) arcs[a] = {-g.capacity[a], g.head[a]};
  for (int32_t v = 0; v < n; v++) std::sort(arcs.begin() + g.first[v], arcs.begin() + g.first[v + 1]);
  for (size_t a = 0; a < arcs.size(); a++) g.head[a] = arcs[a].second;
  std::vector<uint8_t> listed(n, 0), seen(n, 0);
  for (int32_t v : nodes) listed[v] = 1;
  std::vector<int32_t> order, at(g.first.begin(), g.first.end() - 1), stack(1, s);
  seen[s] = 1;
  while (!stack.empty()) {
    int32_t v = stack.back();
    if (at[v] == g.first[v + 1]) {
      stack.pop_back();
      continue;
    }
    int32_t w = g.head[at[v]++];
    if (seen[w]) continue;
    seen[w] = 1;
    if (listed[w]) order.push_back(w);
    stack.push_back(w);
  }
  for (int32_t v : nodes)
    if (!seen[v]) order.push_back(v);
  return order;
}

class Build {
 public:
  Build(int32_t n, const std::vector<Edge> &edges, const GomoryHuOptions &options)
      : n_(n), options_(options), localOf_(n), degree_(n, 0) {
    for (int k = 0; k < 2; k++) end_[k].assign(n > 1 ? n - 1 : 0, 0);
    weight_.assign(n > 1 ? n - 1 : 0, 0);
    for (const Edge &e : edges)
      if (e.u != e.v) {
        degree_[e.u] += e.capacity;
        degree_[e.v] += e.capacity;
      }
    if (n >= 2) stack_.push_back(wholeGraph(edges));
    flowWork_ = flowWorkOn(options.threads, runs());
    workTotal_ = workOf(n) - n * workOf(1);
    workScale_ = workTotal_ > 0 ? 0x1p40 / workTotal_ : 1;  // units fine enough for any n
  }

  // The build's first options.stopAfter cuts, silently, and what they say
  // (GomoryHuProbe). The parts are cut on the calling thread, in the order
  // of one thread, so that the probe ends at the same cut on every thread
  // count; the other threads, when `helped`, only compute the cuts its
  // parts post (a second run's, a batch's second pair). The part being
  // cut when the probe ends finishes its step and goes back on the stack
  // with its engines, so that run() goes on from there as if the build had
  // never stopped.
  GomoryHuProbe probe(bool helped = true) {
    stop_ = false;
    probed_ = GomoryHuProbe();
    silent_ = true;
    {
      Helpers helpers(*this, helped ? options_.threads - 1 : 0);
      work(true);
    }
    silent_ = false;
    if (error_) std::rethrow_exception(error_);
    if (probed_.cuts > 0) return probed_;
    GomoryHuProbe r;  // the build ended before the probe's limits
    r.shaved = shaved_;
    r.cuts = static_cast<int32_t>(done_.load());
    r.scans = counters_.scans;
    return r;
  }

  // The rest of a build whose probe ended (the options' limits then off).
  GusfieldRun resume() {
    stop_ = false;
    return run();
  }

  GusfieldRun run() {
    double start = now();
    if (options_.cancel && options_.cancel()) throw Cancelled();
    std::vector<std::thread> workers;
    for (int k = 1; k < options_.threads; k++) workers.emplace_back([this] { work(false); });
    work(true);
    for (std::thread &w : workers) w.join();
    if (error_) std::rethrow_exception(error_);
    // Each cut is one tree edge; a part lost on the way would leave its
    // nodes joined to node 0 at weight 0 (rootForest), a wrong tree.
    if (n_ > 1 && edges_ != n_ - 1)
      throw Error("gomory-hu: the build ended with " + std::to_string(edges_.load()) + " of its " +
                  std::to_string(n_ - 1) + " tree edges");
    report();
    GusfieldRun r = rooted();
    r.counters = counters_;
    r.computations = r.cutsRecorded = n_ > 1 ? n_ - 1 : 0;
    r.seconds = r.lastCutSeconds = now() - start;
    r.calcSeconds = calcSeconds_;
    r.manipSeconds = std::max(0.0, r.seconds - calcSeconds_);
    return r;
  }

 private:
  double now() const { return options_.clock ? options_.clock() : steadySeconds(); }
  bool runs() const { return static_cast<bool>(options_.makeRunEngine); }

  std::unique_ptr<Part> wholeGraph(const std::vector<Edge> &edges) {
    auto p = std::make_unique<Part>();
    p->n = n_;
    for (const Edge &e : edges)
      if (e.u != e.v && e.capacity > 0) p->edges.push_back(e);
    p->node.resize(n_);
    p->edge.assign(n_, kNone);
    p->slot.assign(n_, 0);
    p->realAt.resize(n_);
    p->rep.assign(n_, kNone);
    for (int32_t v = 0; v < n_; v++) {
      p->node[v] = v;
      localOf_[v] = v;
      p->addReal(v);
    }
    p->seed = splitmix64(static_cast<uint64_t>(n_));
    return p;
  }

  // One thread's loop: cuts of other threads' batches, and parts from the
  // stack, until none is left.
  void work(bool caller) {
    for (;;) {
      std::shared_ptr<CutJob> job;
      std::unique_ptr<Part> part = take(caller, job);
      if (job != nullptr) {
        run(*job);
        continue;
      }
      if (part == nullptr) return;
      try {
        solve(std::move(part), caller);
      } catch (...) {
        fail(std::current_exception());
      }
      std::lock_guard<std::mutex> lock(mu_);
      active_--;
      cv_.notify_all();
    }
  }

  // The probe's other threads (see probe): each computes posted cuts until
  // the probe is over.
  class Helpers {
   public:
    Helpers(Build &build, int count) : build_(build) {
      try {
        for (int k = 0; k < count; k++) threads_.emplace_back([this] { build_.helpWithJobs(); });
      } catch (...) {  // a thread that could not be started: the others stop
        stop();
        throw;
      }
    }
    ~Helpers() { stop(); }

   private:
    void stop() {
      {
        std::lock_guard<std::mutex> lock(build_.mu_);
        build_.helpersDone_ = true;
        build_.cv_.notify_all();
      }
      for (std::thread &t : threads_) t.join();
      build_.helpersDone_ = false;
    }

    Build &build_;
    std::vector<std::thread> threads_;
  };

  void helpWithJobs() {
    std::unique_lock<std::mutex> lock(mu_);
    for (;;) {
      std::shared_ptr<CutJob> job = postedJob();
      if (job != nullptr) {
        lock.unlock();
        run(*job);
        lock.lock();
        continue;
      }
      if (helpersDone_) return;
      cv_.wait(lock);
    }
  }

  // The first posted job no thread has taken, now taken; null when there is
  // none. Called with mu_ held.
  std::shared_ptr<CutJob> postedJob() {
    while (!jobs_.empty() && jobs_.front()->state != kWaiting) jobs_.pop_front();
    if (jobs_.empty()) return nullptr;
    std::shared_ptr<CutJob> job = std::move(jobs_.front());
    jobs_.pop_front();
    job->state = kTaken;
    return job;
  }

  // A cut job another thread posted (in `job`), else the next part to
  // split, or null when all are done or the build stopped. The calling
  // thread reports progress while it waits.
  std::unique_ptr<Part> take(bool caller, std::shared_ptr<CutJob> &job) {
    std::unique_lock<std::mutex> lock(mu_);
    for (;;) {
      job = postedJob();
      if (job != nullptr) return nullptr;
      if (stop_) return nullptr;
      if (!stack_.empty()) {
        std::unique_ptr<Part> p = std::move(stack_.back());
        stack_.pop_back();
        active_++;
        return p;
      }
      if (active_ == 0) return nullptr;
      if (!caller) {
        cv_.wait(lock);
        continue;
      }
      cv_.wait_for(lock, std::chrono::milliseconds(50));
      lock.unlock();
      try {
        between();
      } catch (...) {
        fail(std::current_exception());
      }
      lock.lock();
    }
  }

  void fail(std::exception_ptr e) {
    std::lock_guard<std::mutex> lock(mu_);
    if (!error_) error_ = e;
    stop_ = true;
    cv_.notify_all();
  }

  bool stopped() {
    std::lock_guard<std::mutex> lock(mu_);
    return stop_;
  }

  void give(std::unique_ptr<Part> p) {
    std::lock_guard<std::mutex> lock(mu_);
    stack_.push_back(std::move(p));
    cv_.notify_one();
  }

  // Progress and cancellation, on the calling thread.
  void between() {
    report();
    if (options_.cancel && options_.cancel()) throw Cancelled();
  }

  void report() {
    if (silent_) return;
    int64_t done = done_.load();
    if (done == reported_) return;
    reported_ = done;
    if (options_.progress) options_.progress(done, n_ - 1);
    if (options_.progressWork) {
      double work;
      {
        std::lock_guard<std::mutex> lock(mu_);
        work = workDone_;
      }
      int64_t total = static_cast<int64_t>(workScale_ * workTotal_);
      int64_t at = done == n_ - 1 ? total : static_cast<int64_t>(workScale_ * work);
      options_.progressWork(std::max(std::min(at, total), workReported_), total);
      workReported_ = std::max(std::min(at, total), workReported_);
    }
  }

  // The predicted work of a part of p real nodes, until it is cut down to
  // single nodes: p - 1 cuts, each costing a unit (the graphs of halves, an
  // engine, the bookkeeping), and a flow on each graph the part is cut in.
  // Its minimum cuts mostly take off a few nodes at a time, so its cuts run
  // on graphs of about p, p - k, ... nodes. Flows from nothing cost about
  // the square of the size each on the wheels and rings of the families,
  // and add up to about p^3 / 3k; a source run's flow starts from the last
  // and costs about the size of its graph (a few passes over its arcs), so
  // its flows would add up to about p^2 / 2k, but a cut that halves a part
  // costs one such flow, not the half of the part's work that the square
  // credits it with: its work is weighed by p^1.5. A split takes off the
  // work of the whole and adds that of its halves (less: the power grows
  // faster than the sum), so the work done only grows and ends at the
  // total fixed at the start.
  double workOf(int32_t p) const {
    double x = static_cast<double>(p);
    return x - 1 + flowWork_ * (runs() ? x * std::sqrt(x) : x * x * x);
  }
  // The weight of the flows, fitted on recorded builds of the families. On
  // one thread the large parts come first and the small parts' cuts,
  // nearly free, at the end (ringforge: 3,700 of its 4,000 cuts in its
  // last 2 %); on several threads they run beside the large parts and take
  // their share of the time. Flows from nothing: at 5e-8 on one thread the
  // estimate of ringforge's time left was 35 times high near its end; at
  // 2e-7 on two, 2.8 times low; at 5e-8 on two and 1e-6 on one every
  // family was within 2.7 (4e-7 on one: 6.6, 2e-6: 3.0). Source runs: with
  // the cube (1e-9 on two threads, 1e-7 on one) recorded builds of
  // ringforge at 4,000 and 8,000 nodes on one thread were 2.6 and 3.1
  // times off, spokerim at 16,000 5.4 (the cube put most of the work in
  // the first cuts, where the flows of a large part cost about its size
  // each); with the square at 1e-3 on one thread 1.7, 2.1 and 2.8, and on
  // two threads at 5e-5 ringforge at 4,000, 8,000 and 16,000 and spokerim
  // at 8,000 and 16,000 within 2.1 (2.0 to 2.5 with the cube). At 3e-4 on
  // one thread the small parts' cuts at the end weighed too much
  // (spokerim 3.9), at 1e-4 on two the first (spokerim 2.3). On two
  // recordings each of ringforge at 8,000 and 16,000 nodes and spokerim at
  // 16,000 (the builds of a second and more), the square at 1e-3 on one
  // thread was up to 2.9 times off, p^1.5 at 0.15 2.1 (at 0.05 3.5, at 0.4
  // 2.4); on two threads p^1.5 at 2e-2 as the square at 5e-5 (1.8 to 2.0).
  static double flowWorkOn(int threads, bool runs) {
    if (runs) return threads > 1 ? 2e-2 : 0.15;
    return threads > 1 ? 5e-8 : 1e-6;
  }

  // Splits the part until it is done, batch by batch, handing the halves
  // that leave it to other threads. A batch is two cuts (pairsOf), both on
  // the part's graph as it is when the batch starts: the second is
  // uncrossed with the half the first took off (see uncrossed), and dropped
  // when the first split its pair. Another thread computes it meanwhile, so
  // the long run of cuts that shave a few nodes at a time off one large
  // part goes on two threads; the batch is the same for every thread count,
  // and so is the tree.
  void solve(std::unique_ptr<Part> part, bool caller) {
    if (options_.makeRunEngine) return solveInRuns(std::move(part), caller);
    std::vector<Cut> cuts;
    bool ended = false;  // the probe, with this batch
    while (part->reals.size() >= 2 && !stopped()) {
      std::vector<std::pair<int32_t, int32_t>> pairs = pairsOf(*part);
      computeCuts(*part, pairs, cuts);
      for (size_t j = 0; j < pairs.size() && part->reals.size() >= 2; j++) {
        auto [s, t] = pairs[j];
        if (part->node[s] == kNone || part->node[t] == kNone) continue;  // split apart
        std::unique_ptr<Part> half = apply(*part, s, t, cuts[j]);
        if (half != nullptr) give(std::move(half));
        if (caller) between();
        ended = ended || probed(*part);
      }
      if (part->hidden > 0 && part->reals.size() >= 2) {
        std::unique_ptr<Part> rest = compacted(*part);
        retire(*part);
        part = std::move(rest);
      }
      if (ended) return park(std::move(part));
    }
    retire(*part);
  }

  // Splits the part until it is done by runs of cuts from one source
  // (runSource; GomoryHuOptions::makeRunEngine): the half with the source stays in the
  // graph, the other is hidden there and leaves with a graph of its own
  // when it holds two real nodes or more.
  //
  // Two runs share the part's graph, each with an engine of its own: the
  // first takes its sinks from the front half of what is left of the
  // part's order, the second from the back half, so that they rarely meet.
  // Each step makes a few cuts of each run (cutRun; the second run's on
  // another thread when there is one) on the graph as the step starts, and
  // then applies them in turn, first run first, each uncrossed with the
  // halves hidden before it (see uncrossed) and dropped when an earlier one
  // took its sink off. A step of several cuts a run evens out the two
  // threads' work, which varies from cut to cut far more than over a few.
  // The steps are part of the method, so the tree is the same for every
  // thread count.
  void solveInRuns(std::unique_ptr<Part> part, bool caller) {
    bool ended = false;  // the probe, with this step
    while (part->reals.size() >= 2 && !stopped()) {
      Part &p = *part;
      int32_t s = runSource(p);
      if (p.handedSink != kNone) {
        int32_t t = p.handedSink;
        p.handedSink = kNone;
        Cut cut = std::move(p.handed);
        applyRunCut(p, s, t, cut, caller, ended);
      } else {
        runStep(p, s, caller, ended);
      }
      if (part->reals.size() >= 2 && 2 * part->hidden >= part->n) {
        std::unique_ptr<Part> rest = compactedRuns(*part);
        retire(*part);
        part = std::move(rest);
      }
      if (ended) return park(std::move(part));
    }
    retire(*part);
  }

  // One step of p's runs from s (see solveInRuns).
  void runStep(Part &p, int32_t s, bool caller, bool &ended) {
    // The second run begins once a cut takes off a side of a few nodes:
    // where cuts halve the part, its graph is rebuilt after a few cuts
    // and a second engine would cost a cold start for little.
    if (p.lastLeft > 0 && p.lastLeft <= smallSide(p)) p.twoRuns = true;
    RunStep steps[2];
    stretchesOf(p, steps);
    Handing handing = handingOf(p, steps);
    // No job may outlive the step, whose cut it writes to.
    try {
      computeRunSteps(p, s, steps);
      applyRunSteps(p, s, steps, handing, caller, ended);
    } catch (...) {
      if (handing.job != nullptr) settled(*handing.job);
      throw;
    }
    if (handing.job != nullptr) settled(*handing.job);
    passTakenOff(p);
    // A step of several cuts a run pays where cuts take off small sides
    // one after another; a large side a run takes off drops the other
    // run's later cuts whose sinks went with it. So steps start at one
    // cut a run and grow only after a few steps of small sides: on
    // ringforge at 8,000 nodes, doubling after each such step dropped
    // cuts that had looked at 11 % of the arcs, waiting four steps 2 %.
    // On a graph of fewer than kStepNodes nodes a step stays at one cut a
    // run: its cuts are cheap, and steps of several, which rebuild the graph
    // a few cuts later, cost hubspin at 2,000 nodes 9 % more arc looks.
    p.smallSteps = steps[0].big || steps[1].big ? 0 : p.smallSteps + 1;
    if (p.n >= kStepNodes) p.stepCuts = std::min(kRunStepCuts, 1 << std::min(3, p.smallSteps / 4));
  }

  // The step's cuts applied in turn, first run first (see solveInRuns),
  // the first handing its cut down where it does.
  void applyRunSteps(Part &p, int32_t s, RunStep steps[2], Handing &handing, bool caller,
                     bool &ended) {
    for (int32_t j = 0; j < kRunStepCuts && p.reals.size() >= 2; j++)
      for (int k = 0; k < 2 && p.reals.size() >= 2; k++) {
        if (j >= static_cast<int32_t>(steps[k].sinks.size()) || p.node[steps[k].sinks[j]] == kNone) continue;
        if (j == 0 && k == 0 && handing.source != kNone) {
          applyHanding(p, s, steps[0].cuts[0], handing, caller, ended);
          continue;
        }
        applyRunCut(p, s, steps[k].sinks[j], steps[k].cuts[j], caller, ended);
      }
  }

  // A run's cut from s to t applied to p: its half, when it leaves with a
  // graph of its own, goes to the stack.
  void applyRunCut(Part &p, int32_t s, int32_t t, Cut &cut, bool caller, bool &ended,
                   std::vector<int32_t> *halfLocal = nullptr, std::unique_ptr<Part> *kept = nullptr) {
    std::unique_ptr<Part> half = apply(p, s, t, cut, 1, halfLocal);
    if (half != nullptr) {
      if (kept != nullptr) *kept = std::move(half);
      else give(std::move(half));
    }
    if (caller) between();
    ended = ended || probed(p);
  }

  // What p's step may hand down: for a one-run step of a part of
  // kHandingNodes or more whose second engine has not been made, from p's
  // second to the step's sink; the job posted when there are threads.
  Handing handingOf(Part &p, const RunStep steps[2]) {
    Handing h;
    if (steps[1].most > 0 || p.n < kHandingNodes || p.engine2 != nullptr || p.second == kNone ||
        p.node[p.second] == kNone)
      return h;
    RunStep peek = steps[0];
    int32_t t = nextSink(p, peek);
    if (t == kNone || t == p.second) return h;
    h.source = p.second;
    h.sink = t;
    // Made beside the part's own cut only in a chain: elsewhere the cut is
    // seldom handed down, and the thread that made it would keep the part
    // waiting for a flow from nothing.
    if (options_.threads > 1 && p.chained) {
      h.job = jobOf(p, {h.source, h.sink}, h.cut);
      h.job->makesRunEngine = true;
      post(h.job);
    }
    return h;
  }

  // Applies the step's first cut, handing the cut of `h` down to the half
  // it takes off when it is a chain's (see Handing), else dropping it.
  void applyHanding(Part &p, int32_t s, Cut &cut, Handing &h, bool caller, bool &ended) {
    if (!handsDown(p, cut, h)) {
      if (h.job != nullptr) settled(*h.job);  // its engine and counters dropped with it
      applyRunCut(p, s, h.sink, cut, caller, ended);
      return;
    }
    if (h.job != nullptr && awaited(*h.job)) {
      p.engine2 = std::move(h.job->made);
    } else {
      p.engine2 = options_.makeRunEngine(p.n, p.edges);
      p.engine2->learn(p.lessons);
      cutBy(*p.engine2, {h.source, h.sink}, h.cut);
    }
    uncrossed(p, h.cut.side);  // with the groups hidden before this cut
    std::vector<int32_t> local;
    std::unique_ptr<Part> half;
    applyRunCut(p, s, h.sink, cut, caller, ended, &local, &half);
    half->from = local[h.source];
    half->handedSink = local[h.sink];
    half->handed.value = h.cut.value;
    half->handed.side.assign(half->n, 0);
    for (int32_t v = 0; v < p.n; v++)
      if (local[v] != kNone) half->handed.side[local[v]] = h.cut.side[v];
    half->handed.side[half->n - 1] = h.cut.side[s];  // the part's side, merged
    give(std::move(half));
  }

  // Whether p's cut from s to h.sink hands h's cut down: the side it takes
  // off, the sink's, shows more nodes than the source's, holds h's source
  // and two real nodes or more (so that it leaves as a half).
  static bool handsDown(const Part &p, const Cut &cut, const Handing &h) {
    int32_t shown[2] = {0, 0}, reals = 0;
    for (int32_t v = 0; v < p.n; v++) {
      if (p.rep[v] != kNone) continue;
      shown[cut.side[v]]++;
      reals += cut.side[v] == 1 && p.node[v] != kNone;
    }
    return shown[1] > shown[0] && cut.side[h.source] == 1 && reals >= 2;
  }

  // The most nodes shown on a side of a cut that is small for p.
  static int32_t smallSide(const Part &p) { return std::max(2, p.n / kSmallSide); }

  // The stretches of p's order the step's runs take their sinks from: the
  // first run's the front half of what is left (all of it when the second
  // run has not begun, or fewer than four real nodes are left), the
  // second's the back half, which it takes from the back. With one run a
  // step is one cut, as the rebuild of the graph and the second run's start
  // go by the cut before.
  static void stretchesOf(const Part &p, RunStep steps[2]) {
    bool two = p.twoRuns && p.reals.size() >= 4;
    size_t mid = two ? p.front + (p.back - p.front + 1) / 2 : p.back;
    steps[0] = {false, p.front, mid, two ? p.stepCuts : 1, false, {}, {}};
    steps[1] = {true, mid, p.back, two ? p.stepCuts : 0, false, {}, {}};
  }

  // The step's cuts of both runs, each by its run's engine.
  void computeRunSteps(Part &p, int32_t s, RunStep steps[2]) {
    for (int k = 0; k < 2; k++) {
      std::unique_ptr<CutEngine> &engine = k == 0 ? p.engine : p.engine2;
      if (steps[k].most > 0 && engine == nullptr) {
        engine = options_.makeRunEngine(p.n, p.edges);
        engine->learn(p.lessons);
      }
    }
    std::shared_ptr<CutJob> job;
    int64_t before = steps[1].most > 0 ? p.engine2->counters().scans : 0;
    if (steps[1].most > 0 && options_.threads > 1 && worthPosting(p)) {
      job = std::make_shared<CutJob>();
      job->part = &p;
      job->engine = p.engine2.get();
      job->s = s;
      job->step = &steps[1];
      post(job);
    }
    try {
      cutRun(p, s, *p.engine, steps[0]);
      if (steps[1].most > 0 && (job == nullptr || !awaited(*job))) cutRun(p, s, *p.engine2, steps[1]);
    } catch (...) {
      if (job != nullptr) settled(*job);
      throw;
    }
    if (steps[1].most > 0) p.secondRunScans = p.engine2->counters().scans - before;
    // Every real node but the source is in the order until a cut takes it
    // off; a step without a sink would leave the part half cut.
    if (steps[0].sinks.empty() && steps[1].sinks.empty())
      throw Error("gomory-hu: a source run found no sink in a part of two real nodes or more");
  }

  // Whether the second run's step goes to another thread: where its last
  // step looked at fewer than kPostScans arcs, handing it over and waiting
  // for it cost more than its cuts (twinloop at 16,000 nodes, a cut a few
  // hundred arc looks: 1.3 times the time); its first step, a flow from
  // nothing, goes where the part has kPostNodes nodes or more.
  static bool worthPosting(const Part &p) {
    return p.secondRunScans < 0 ? p.n >= kPostNodes : p.secondRunScans >= kPostScans;
  }

  // A run's cuts of a step, from s to one sink after another of its
  // stretch, on p's graph as the step starts (which nothing changes
  // meanwhile: the other run only reads it). A sink is a real node that
  // none of the run's cuts before it in the step took off; the run ends its
  // step after `most` cuts, or after a cut that takes off more than a small
  // side, whose half leaves with the rest of the run's stretch.
  void cutRun(const Part &p, int32_t s, CutEngine &engine, RunStep &step) {
    while (static_cast<int32_t>(step.sinks.size()) < step.most) {
      int32_t t = nextSink(p, step);
      if (t == kNone) return;
      step.sinks.push_back(t);
      step.cuts.emplace_back();
      cutBy(engine, {s, t}, step.cuts.back());
      if (takesOffMuch(p, step.cuts.back())) {
        step.big = true;
        return;
      }
    }
  }

  // Whether the cut takes off more than a small side of p, judged by the
  // real nodes of p on its sink's side, up to 256 of them looked at (all
  // of them cost as much as the cut on graphs of cheap cuts: twinloop at
  // 8,000 nodes 1.3 times the time).
  static bool takesOffMuch(const Part &p, const Cut &cut) {
    size_t stride = std::max<size_t>(1, p.reals.size() / 256), off = 0;
    for (size_t k = 0; k < p.reals.size(); k += stride) off += cut.side[p.reals[k]];
    return static_cast<int64_t>(off * stride) > smallSide(p);
  }

  // The next sink of the run's stretch (see cutRun), kNone when none is
  // left.
  static int32_t nextSink(const Part &p, RunStep &step) {
    while (step.begin < step.end) {
      int32_t v = step.fromBack ? p.order[--step.end] : p.order[step.begin++];
      if (p.node[v] == kNone) continue;
      bool off = false;
      for (const Cut &c : step.cuts) off = off || c.side[v] == 1;
      if (!off) return v;
    }
    return kNone;
  }

  // After a step, the ends of p's order move past the nodes taken off; a
  // node a run passed over for a cut that was then dropped stays between
  // them, for a later step.
  static void passTakenOff(Part &p) {
    while (p.front < p.back && p.node[p.order[p.front]] == kNone) p.front++;
    while (p.back > p.front && p.node[p.order[p.back - 1]] == kNone) p.back--;
  }

  // A probe (GomoryHuOptions::stopAfter) ends at p, the part being cut,
  // once its cuts are made, its arc looks are past its budget or its cuts
  // have shaved enough nodes (true): what they say is fixed there, and the
  // build stops once p's step is over.
  bool probed(Part &p) {
    if (options_.stopAfter <= 0) return false;
    int64_t scans = counters_.scans;  // the parts retired, and p's engines
    for (const std::unique_ptr<CutEngine> *engine : {&p.engine, &p.engine2})
      if (*engine != nullptr) scans += (*engine)->counters().scans;
    if (done_ == 1) firstCutScans_ = scans;
    bool over = options_.scansPerFirstCut > 0 &&
                static_cast<double>(scans) > options_.scansPerFirstCut * static_cast<double>(firstCutScans_);
    bool enough = options_.shavedEnough > 0 && shaved_ >= options_.shavedEnough;
    bool spent = options_.scanBudget > 0 && scans > options_.scanBudget;
    bool paused = options_.pause != nullptr && options_.pause->load();
    if (done_ < options_.stopAfter && !over && !enough && !spent && !paused) return false;
    probed_.shaved = shaved_;
    probed_.cuts = static_cast<int32_t>(done_.load());
    probed_.scans = scans;
    std::lock_guard<std::mutex> lock(mu_);
    stop_ = true;
    cv_.notify_all();
    return true;
  }

  // A part whose probe ended goes back on the stack, its engines kept.
  void park(std::unique_ptr<Part> part) {
    std::lock_guard<std::mutex> lock(mu_);
    stack_.push_back(std::move(part));
  }

  // The cuts of the batch's pairs, all on p's graph: the first by p's
  // engine, the others by other threads when there are, else in turn.
  void computeCuts(Part &p, const std::vector<std::pair<int32_t, int32_t>> &pairs,
                   std::vector<Cut> &cuts) {
    if (p.engine == nullptr) p.engine = options_.makeEngine(p.n, p.edges);
    cuts.resize(pairs.size());
    std::vector<std::shared_ptr<CutJob>> jobs;
    for (size_t j = 1; j < pairs.size() && options_.threads > 1; j++)
      jobs.push_back(jobOf(p, pairs[j], cuts[j]));
    try {
      for (const std::shared_ptr<CutJob> &job : jobs) post(job);
      cutBy(*p.engine, pairs[0], cuts[0]);
      for (size_t j = 1; j < pairs.size(); j++)
        if (jobs.empty() || !awaited(*jobs[j - 1])) cutBy(*p.engine, pairs[j], cuts[j]);
    } catch (...) {
      // No job may outlive the part and the cuts it writes to.
      for (const std::shared_ptr<CutJob> &job : jobs) settled(*job);
      throw;
    }
  }

  // The job taken back when no thread took it, else finished.
  void settled(CutJob &job) {
    std::unique_lock<std::mutex> lock(mu_);
    if (job.state == kWaiting) job.state = kTakenBack;
    cv_.wait(lock, [&job] { return job.state != kTaken; });
  }

  void cutBy(CutEngine &engine, std::pair<int32_t, int32_t> pair, Cut &out) {
    double start = now();
    out.value = engine.cut(pair.first, pair.second, out.side);
    double took = now() - start;
    std::lock_guard<std::mutex> lock(mu_);
    calcSeconds_ += took;
  }

  static std::shared_ptr<CutJob> jobOf(const Part &p, std::pair<int32_t, int32_t> pair,
                                       Cut &out) {
    auto job = std::make_shared<CutJob>();
    job->part = &p;
    job->s = pair.first;
    job->t = pair.second;
    job->out = &out;
    return job;
  }

  void post(const std::shared_ptr<CutJob> &job) {
    std::lock_guard<std::mutex> lock(mu_);
    jobs_.push_back(job);
    cv_.notify_one();
  }

  // Whether another thread computed the job (after waiting for it); false
  // when none had taken it, which the caller then computes itself.
  bool awaited(CutJob &job) {
    std::unique_lock<std::mutex> lock(mu_);
    if (job.state == kWaiting) {
      job.state = kTakenBack;
      return false;
    }
    cv_.wait(lock, [&job] { return job.state == kDone; });
    if (job.error) std::rethrow_exception(job.error);
    return true;
  }

  // A job on another thread, with an engine of its own on the part's graph.
  // A job that brings the part's engine (a source run's) uses it, its
  // counters going with the part's.
  void run(CutJob &job) {
    try {
      if (job.step != nullptr) {
        cutRun(*job.part, job.s, *job.engine, *job.step);
      } else if (job.makesRunEngine) {
        job.made = options_.makeRunEngine(job.part->n, job.part->edges);
        job.made->learn(job.part->lessons);
        cutBy(*job.made, {job.s, job.t}, *job.out);
      } else if (job.engine != nullptr) {
        cutBy(*job.engine, {job.s, job.t}, *job.out);
      } else {
        std::unique_ptr<CutEngine> engine = options_.makeEngine(job.part->n, job.part->edges);
        // The cut's own work: an engine may count some setting up of its
        // own, which the part's engine counts once.
        Counters before = engine->counters();
        cutBy(*engine, {job.s, job.t}, *job.out);
        Counters c = engine->counters() - before;
        std::lock_guard<std::mutex> lock(mu_);
        counters_ += c;
      }
    } catch (...) {
      job.error = std::current_exception();
    }
    std::lock_guard<std::mutex> lock(mu_);
    job.state = kDone;
    cv_.notify_all();
  }

  // Adds a part's engine counters to the build's once it is done with.
  void retire(Part &p) {
    Counters c;
    for (std::unique_ptr<CutEngine> *engine : {&p.engine, &p.engine2})
      if (*engine != nullptr) {
        c += (*engine)->counters();
        engine->reset();
      }
    std::lock_guard<std::mutex> lock(mu_);
    counters_ += c;
  }

  // The pairs of a batch: the first that of pairOf, the second (parts of
  // four real nodes or more) one that the first cut most likely leaves
  // together, whichever end of the first pair it takes off: with spread
  // pairs, the node a farthest from both ends of the first, and the node
  // farthest from all three.
  std::vector<std::pair<int32_t, int32_t>> pairsOf(Part &p) {
    std::vector<std::pair<int32_t, int32_t>> pairs{pairOf(p)};
    if (p.reals.size() < 4) return pairs;
    auto [s, t] = pairs[0];
    if (options_.pairs == PairChoice::Random) {
      std::pair<int32_t, int32_t> next;
      do next = pairOf(p);
      while (next == pairs[0] || next == std::make_pair(t, s));
      pairs.push_back(next);
      return pairs;
    }
    std::vector<int32_t> nearest = p.distance, fromT = distancesFrom(p.n, p.edges, t);
    for (int32_t v = 0; v < p.n; v++) nearest[v] = std::min(nearest[v], fromT[v]);
    int32_t a = farthest(p, nearest, {s, t});
    if (a == kNone) return pairs;
    std::vector<int32_t> fromA = distancesFrom(p.n, p.edges, a);
    for (int32_t v = 0; v < p.n; v++) nearest[v] = std::min(nearest[v], fromA[v]);
    int32_t b = farthest(p, nearest, {s, t, a});
    if (b != kNone) pairs.push_back({a, b});
    return pairs;
  }

  // The real node of p, none of `not`, at the largest distance; kNone when
  // there is none. Ties go by a hash of the node and the part's seed: on a
  // graph whose hubs put nearly every node at the same distance, the first
  // by number would take neighbours on a ring, which one cut takes off
  // together.
  static int32_t farthest(const Part &p, const std::vector<int32_t> &distance,
                          std::initializer_list<int32_t> not_) {
    int32_t far = kNone;
    uint64_t farHash = 0;
    for (int32_t v : p.reals) {
      if (std::find(not_.begin(), not_.end(), v) != not_.end()) continue;
      uint64_t hash = splitmix64(p.seed ^ static_cast<uint64_t>(p.node[v]));
      if (far == kNone || distance[v] > distance[far] ||
          (distance[v] == distance[far] && hash < farHash)) {
        far = v;
        farHash = hash;
      }
    }
    return far;
  }

  // A run's source: the real node of most arcs in p's graph (ties to the
  // heavier, then the lower number), found at p's first step with p's
  // order of sinks. A hub as the source spreads its excess over its
  // neighbours at once; a heavy node on a ring instead leaves the hub
  // holding the excess of every spoke, which each later cut then moves
  // round the ring again (hubspin: 100 times the work). The sinks go in
  // the order of their numbers in the graph, or in an order drawn at
  // random: files number their nodes along their structure more often than
  // not (every generator of the suite does, round its rings), so that
  // consecutive sinks lie close and each flow starts next to the excess
  // the last one left. Where the numbers do not follow the edges (fewer
  // than half the consecutive nodes joined), the sinks go depth first from
  // the source along the heaviest edges first, which run round the rings
  // as the numbers did: with the nodes numbered at random, hubspin 8,000
  // took more than 60 s by number and 0.17 s so, spokerim 4,000 11 s and
  // 0.24 s, twinloop 4,000 0.43 s and 0.11 s, ringforge 4,000 2.5 s and 1.6 s
  // (in the generators' numbering ringforge is quicker by number still,
  // 0.74 s). Against the order farthest from the source first,
  // ringforge at 4,000 and 8,000 nodes looked at 0.62 and 0.48 times the
  // arcs, spokerim at 1.03 and 0.98; a depth-first order from the source,
  // 1.35 and 1.33 on ringforge (its chords lead the search astray).
  int32_t runSource(Part &p) {
    if (p.ordered) return p.from;
    std::vector<int32_t> arcs(p.n, 0);
    for (const Edge &e : p.edges) arcs[e.u]++, arcs[e.v]++;
    auto before = [&](int32_t v, int32_t w) {  // v is the better source
      int64_t dv = degree_[p.node[v]], dw = degree_[p.node[w]];
      return arcs[v] > arcs[w] || (arcs[v] == arcs[w] && (dv > dw || (dv == dw && p.node[v] < p.node[w])));
    };
    int32_t s = p.from, second = kNone;
    for (int32_t v : p.reals) {
      if (v == p.from) continue;
      if (s == kNone || (p.from == kNone && before(v, s))) {
        if (s != kNone && p.from == kNone) second = s;
        s = v;
      } else if (second == kNone || before(v, second)) {
        second = v;
      }
    }
    p.from = s;
    p.second = second;
    p.ordered = true;
    for (int32_t v : p.reals)
      if (v != s) p.order.push_back(v);
    if (options_.pairs == PairChoice::Random) {
      for (size_t k = p.order.size(); k > 1; k--) {
        p.seed = splitmix64(p.seed);
        std::swap(p.order[k - 1], p.order[p.seed % k]);
      }
    } else {
      std::sort(p.order.begin(), p.order.end(),
                [&p](int32_t a, int32_t b) { return p.node[a] < p.node[b]; });
      Adjacency g = adjacencyOf(p.n, p.edges);
      if (!followsEdges(g, p.order))
        p.order = heaviestFirstOrder(std::move(g), s, p.order);
    }
    p.front = 0;
    p.back = p.order.size();
    return s;
  }

  // The real node of p other than s farthest from it by p.distance, ties to
  // the lower number.
  static int32_t farthestFrom(const Part &p, int32_t s) {
    int32_t t = kNone;
    for (int32_t v : p.reals)
      if (v != s && (t == kNone || p.distance[v] > p.distance[t] ||
                     (p.distance[v] == p.distance[t] && p.node[v] < p.node[t])))
        t = v;
    return t;
  }

  std::pair<int32_t, int32_t> pairOf(Part &p) {
    if (options_.pairs == PairChoice::Random) {
      p.seed = splitmix64(p.seed);
      size_t size = p.reals.size();
      size_t i = p.seed % size, j = (p.seed >> 32) % (size - 1);
      return {p.reals[i], p.reals[j >= i ? j + 1 : j]};
    }
    int32_t s = p.reals[0];
    for (int32_t v : p.reals)
      if (degree_[p.node[v]] > degree_[p.node[s]] ||
          (degree_[p.node[v]] == degree_[p.node[s]] && p.node[v] < p.node[s]))
        s = v;
    if (p.from != s) {
      p.from = s;
      p.distance = distancesFrom(p.n, p.edges, s);
    }
    return {s, farthestFrom(p, s)};
  }

  // The cut between real nodes s and t of p, found on p's graph, as a step
  // of the method: the tree edge it gives and the components moved to
  // their halves. The half with fewer nodes shown leaves: it gets a graph
  // of its own (returned) when it holds two real nodes or more, and within
  // p's graph it becomes one group hidden behind its terminal, which stands
  // for the new tree edge; `leaving`, when 0 or 1, names the side that
  // leaves instead. p goes on as the other half, done when fewer than two
  // real nodes are left.
  std::unique_ptr<Part> apply(Part &p, int32_t s, int32_t t, Cut &cut, int leaving = -1,
                              std::vector<int32_t> *halfLocal = nullptr) {
    // A local vector: the loops below then keep its data in a register
    // (through the cut's, held in a run's step, they reloaded it at every
    // node: twinloop at 8,000 nodes 1.2 times the time).
    std::vector<uint8_t> side = std::move(cut.side);
    int32_t e = edges_++;
    end_[0][e] = p.node[s];
    end_[1][e] = p.node[t];
    weight_[e] = cut.value;
    uncrossed(p, side);
    int32_t shown[2] = {0, 0}, reals[2] = {0, 0};
    for (int32_t v = 0; v < p.n; v++) {
      if (p.rep[v] != kNone) continue;
      shown[side[v]]++;
      if (p.node[v] != kNone) {
        reals[side[v]]++;
      } else {
        int32_t &end = end_[p.slot[v]][p.edge[v]];
        if (side[localOf_[end]] != side[v]) end = side[v] ? p.node[t] : p.node[s];
      }
    }
    done_++;
    if (options_.stopAfter > 0 && done_ > options_.stopAfter / 2)
      shaved_ += std::min(shown[0], shown[1]) - 1;
    {
      std::lock_guard<std::mutex> lock(mu_);
      workDone_ += workOf(reals[0] + reals[1]) - workOf(reals[0]) - workOf(reals[1]);
    }
    cv_.notify_all();  // the calling thread reports the cut
    uint8_t leaves = leaving >= 0 ? static_cast<uint8_t>(leaving) : shown[1] <= shown[0] ? 1 : 0;
    p.lastLeft = shown[leaves];
    std::unique_ptr<Part> half;
    if (reals[leaves] >= 2) {
      half = halfOf(p, side, leaves, e, halfLocal);
      half->chained = shown[leaves] > shown[1 - leaves];
    }
    if (reals[1 - leaves] < 2) p.reals.clear();
    else hide(p, leaves, leaves ? t : s, e, side);
    cut.side = std::move(side);
    return half;
  }

  // Lemma of Gomory and Hu: if (A, B) is a minimum cut between a in A and b
  // in B, and X a minimum cut between u and v of A (u in X), then X with B
  // added (when b lies in X) or taken out (when it does not) is a minimum
  // u-v cut too, and leaves B whole. Every group of p is such a B, found
  // on p's graph, with its terminal as b, and the groups are disjoint: so
  // every hidden node takes its terminal's side, and the cut is one of the
  // graph with each group merged, of the same value.
  static void uncrossed(const Part &p, std::vector<uint8_t> &side) {
    if (p.hidden == 0) return;
    for (int32_t v = 0; v < p.n; v++)
      if (p.rep[v] != kNone) side[v] = side[p.rep[v]];
  }

  // Side k of the last cut leaves p's graph as one group behind its
  // terminal `rep`, which becomes the contracted node of tree edge e; the
  // nodes of earlier groups on that side join it. A side of the terminal
  // alone just turns it into that contracted node.
  static void hide(Part &p, uint8_t k, int32_t rep, int32_t e, const std::vector<uint8_t> &side) {
    for (int32_t v = 0; v < p.n; v++) {
      if (side[v] != k || v == rep) continue;
      if (p.rep[v] == kNone) {
        if (p.node[v] != kNone) p.contract(v, kNone, 0);
        p.hidden++;
      }
      p.rep[v] = rep;
    }
    p.contract(rep, e, 1 - k);
  }

  // p on a graph of its own with each group merged into its terminal.
  std::unique_ptr<Part> compacted(const Part &p) {
    std::vector<uint8_t> all(p.n, 0);
    return halfOf(p, all, 0, kNone);
  }

  // p compacted for its runs: where both ran, both start again at once,
  // so that their flows from nothing on the new graph run side by side
  // (one after the other, the second thread had waited for each: spokerim
  // at 16,000 nodes idled 0.25 s of a 1.6 s build so).
  std::unique_ptr<Part> compactedRuns(const Part &p) {
    std::unique_ptr<Part> rest = compacted(p);
    rest->twoRuns = p.twoRuns;
    return rest;
  }

  // The nodes of p on side k, each group of p merged into its terminal and,
  // unless e is kNone, the other side merged into one contracted node that
  // stands for tree edge e.
  std::unique_ptr<Part> halfOf(const Part &p, const std::vector<uint8_t> &side, uint8_t k,
                               int32_t e, std::vector<int32_t> *localOut = nullptr) {
    auto h = std::make_unique<Part>();
    std::vector<int32_t> local(p.n, kNone);
    int32_t count = 0;
    for (int32_t v = 0; v < p.n; v++)
      if (side[v] == k && p.rep[v] == kNone) local[v] = count++;
    for (int32_t v = 0; v < p.n; v++)
      if (side[v] == k && p.rep[v] != kNone) local[v] = local[p.rep[v]];
    int32_t merged = e == kNone ? kNone : count;
    h->n = count + (e == kNone ? 0 : 1);
    h->node.assign(h->n, kNone);
    h->edge.assign(h->n, kNone);
    h->slot.assign(h->n, 0);
    h->realAt.assign(h->n, kNone);
    h->rep.assign(h->n, kNone);
    for (int32_t v = 0; v < p.n; v++) {
      if (local[v] == kNone || p.rep[v] != kNone) continue;
      h->node[local[v]] = p.node[v];
      h->edge[local[v]] = p.edge[v];
      h->slot[local[v]] = p.slot[v];
      if (p.node[v] != kNone) {
        localOf_[p.node[v]] = local[v];
        h->addReal(local[v]);
      }
    }
    std::vector<int64_t> toMerged(count, 0);
    for (const Edge &x : p.edges) {
      int32_t a = local[x.u], b = local[x.v];
      if (a == kNone && b == kNone) continue;
      if (a == kNone || b == kNone)
        toMerged[a == kNone ? b : a] += x.capacity;
      else if (a != b)
        h->edges.push_back({a, b, x.capacity});
    }
    if (merged != kNone) {
      h->edge[merged] = e;
      h->slot[merged] = k;
      for (int32_t v = 0; v < count; v++)
        if (toMerged[v] > 0) h->edges.push_back({v, merged, toMerged[v]});
    }
    h->seed = splitmix64(p.seed ^ (k + 1 + (e == kNone ? 2 : 0)));
    if (localOut != nullptr) *localOut = std::move(local);
    h->lessons = p.engine != nullptr ? p.engine->lessons() : p.lessons;
    return h;
  }

  // The found edges as records of a run rooted at node 0: position p holds
  // node p.
  GusfieldRun rooted() const {
    GusfieldRun r = startRun(n_, 0);
    std::vector<Edge> edges;
    edges.reserve(weight_.size());
    for (size_t e = 0; e < weight_.size(); e++) edges.push_back({end_[0][e], end_[1][e], weight_[e]});
    ParentTree tree = rootForest(n_, edges);
    for (int32_t v = 1; v < n_; v++) r.records[v] = {v, v, tree.parent[v], tree.weight[v]};
    return r;
  }

  int32_t n_;
  const GomoryHuOptions &options_;
  std::vector<int32_t> localOf_;  // by node: its local number in the part that holds it
  std::vector<int64_t> degree_;   // by node: weighted degree in the graph
  std::vector<int32_t> end_[2];   // tree edge e joins end_[0][e] and end_[1][e]
  std::vector<int64_t> weight_;
  std::atomic<int32_t> edges_{0};
  std::atomic<int64_t> done_{0};
  int64_t reported_ = 0;
  double workDone_ = 0, workTotal_ = 0, workScale_ = 1;
  double flowWork_ = 0;  // see flowWorkOn
  int64_t workReported_ = 0;

  std::mutex mu_;
  std::condition_variable cv_;
  std::vector<std::unique_ptr<Part>> stack_;
  std::deque<std::shared_ptr<CutJob>> jobs_;
  int active_ = 0;
  bool stop_ = false;
  std::exception_ptr error_;
  Counters counters_;
  double calcSeconds_ = 0;
  int64_t shaved_ = 0;  // probes: see GomoryHuProbe
  int64_t firstCutScans_ = 0;
  GomoryHuProbe probed_;  // what the probe said where it ended
  bool silent_ = false;   // no progress: probing
  bool helpersDone_ = false;  // the probe is over (see Helpers)
};

}  // namespace

GomoryHuProbe probeGomoryHu(int32_t n, const std::vector<Edge> &edges,
                            const GomoryHuOptions &options) {
  GomoryHuOptions one = options;
  one.threads = 1;
  one.progress = nullptr;
  one.progressWork = nullptr;
  Build build(n, edges, one);
  return build.probe();
}

GusfieldRun runGomoryHu(int32_t n, const std::vector<Edge> &edges, const GomoryHuOptions &options) {
  Build build(n, edges, options);
  return build.run();
}

class GomoryHuBuild::Impl {
 public:
  Impl(int32_t n, const std::vector<Edge> &edges, GomoryHuOptions options)
      : options_(std::move(options)), build_(n, edges, options_) {}

  GomoryHuProbe probe() { return build_.probe(); }

  GomoryHuProbe probeFurther(int32_t stopAfter, int64_t scanBudget) {
    options_.stopAfter = stopAfter;
    options_.scansPerFirstCut = 0;
    options_.scanBudget = scanBudget;
    return build_.probe();
  }

  void goOnUntil(const std::atomic<bool> &pause) {
    dropLimits(INT32_MAX);  // a probe that ends only at the pause
    options_.pause = &pause;
    try {
      build_.probe(false);
    } catch (...) {
      options_.pause = nullptr;
      throw;
    }
    options_.pause = nullptr;
  }

  GusfieldRun finish() {
    dropLimits(0);
    return build_.resume();
  }

 private:
  // The probe's limits off, but for its cut count.
  void dropLimits(int32_t stopAfter) {
    options_.stopAfter = stopAfter;
    options_.scansPerFirstCut = 0;
    options_.shavedEnough = 0;
    options_.scanBudget = 0;
  }

  GomoryHuOptions options_;  // read by build_ through its reference
  Build build_;
};

GomoryHuBuild::GomoryHuBuild(int32_t n, const std::vector<Edge> &edges, GomoryHuOptions options)
    : impl_(std::make_unique<Impl>(n, edges, std::move(options))) {}

GomoryHuBuild::~GomoryHuBuild() = default;

GomoryHuProbe GomoryHuBuild::probe() { return impl_->probe(); }

GomoryHuProbe GomoryHuBuild::probeFurther(int32_t stopAfter, int64_t scanBudget) {
  return impl_->probeFurther(stopAfter, scanBudget);
}

void GomoryHuBuild::goOnUntil(const std::atomic<bool> &pause) { impl_->goOnUntil(pause); }

GusfieldRun GomoryHuBuild::finish() { return impl_->finish(); }

}  // namespace sunder::detail
