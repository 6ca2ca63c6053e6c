#include "lib/driver/gomory_hu.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "sunder/error.h"

namespace sunder::detail {

namespace {

constexpr int32_t kNone = -1;

// A part of the partition and its contracted graph, in local numbers.
struct Part {
  int32_t n = 0;  // nodes of the contracted graph
  std::vector<Edge> edges;
  std::vector<int32_t> node;   // by local node: the graph's node when real, else kNone
  std::vector<int32_t> edge;   // by local node: the tree edge a contracted node stands for
  std::vector<uint8_t> slot;   // ... and which end of that edge lies in this part
  std::vector<int32_t> reals;  // the real local nodes
  std::vector<int32_t> realAt;  // by local node: its index in reals
  std::unique_ptr<CutEngine> engine;  // made at the part's first cut
  uint64_t seed = 0;
  // Spread pairs: distances in arcs from `from` within this graph.
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

uint64_t mixed(uint64_t x) {
  x += 0x9e3779b97f4a7c15ULL;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

// Distances in arcs from `from` over the graph of n nodes and these edges.
std::vector<int32_t> distancesFrom(int32_t n, const std::vector<Edge> &edges, int32_t from) {
  std::vector<int32_t> first(n + 1, 0), head(2 * edges.size());
  for (const Edge &e : edges) {
    first[e.u + 1]++;
    first[e.v + 1]++;
  }
  for (int32_t v = 0; v < n; v++) first[v + 1] += first[v];
  std::vector<int32_t> at(first.begin(), first.end() - 1);
  for (const Edge &e : edges) {
    head[at[e.u]++] = e.v;
    head[at[e.v]++] = e.u;
  }
  std::vector<int32_t> distance(n, INT32_MAX), queue(1, from);
  distance[from] = 0;
  for (size_t q = 0; q < queue.size(); q++)
    for (int32_t a = first[queue[q]]; a < first[queue[q] + 1]; a++)
      if (distance[head[a]] == INT32_MAX) {
        distance[head[a]] = distance[queue[q]] + 1;
        queue.push_back(head[a]);
      }
  return distance;
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
    workTotal_ = workOf(n) - n * workOf(1);
    workScale_ = workTotal_ > 0 ? 0x1p40 / workTotal_ : 1;  // units fine enough for any n
  }

  GusfieldRun run() {
    double start = now();
    if (options_.cancel && options_.cancel()) throw Cancelled();
    std::vector<std::thread> workers;
    for (int k = 1; k < options_.threads; k++) workers.emplace_back([this] { work(false); });
    work(true);
    for (std::thread &w : workers) w.join();
    if (error_) std::rethrow_exception(error_);
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

  std::unique_ptr<Part> wholeGraph(const std::vector<Edge> &edges) {
    auto p = std::make_unique<Part>();
    p->n = n_;
    for (const Edge &e : edges)
      if (e.u != e.v && e.capacity > 0) p->edges.push_back(e);
    p->node.resize(n_);
    p->edge.assign(n_, kNone);
    p->slot.assign(n_, 0);
    p->realAt.resize(n_);
    for (int32_t v = 0; v < n_; v++) {
      p->node[v] = v;
      localOf_[v] = v;
      p->addReal(v);
    }
    p->seed = mixed(static_cast<uint64_t>(n_));
    return p;
  }

  // One thread's loop: parts from the stack until none is left.
  void work(bool caller) {
    std::vector<uint8_t> side;  // the last cut's sides, by local node
    for (;;) {
      std::unique_ptr<Part> part = take(caller);
      if (part == nullptr) return;
      try {
        solve(std::move(part), caller, side);
      } catch (...) {
        fail(std::current_exception());
      }
      std::lock_guard<std::mutex> lock(mu_);
      active_--;
      cv_.notify_all();
    }
  }

  // The next part to split, or null when all are done or the build stopped.
  // The calling thread reports progress while it waits.
  std::unique_ptr<Part> take(bool caller) {
    std::unique_lock<std::mutex> lock(mu_);
    for (;;) {
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
  // on graphs of about p, p - k, ... nodes, and the flows (about the square
  // of the size each, on the wheels and rings of the families) add up to
  // about p^3 / 3k. A split takes off the work of the whole and adds that
  // of its halves (less: the cube grows faster than the sum), so the work
  // done only grows and ends at the total fixed at the start. The weight
  // of the cube was fitted on recorded builds of the families at 4,000
  // nodes.
  static double workOf(int32_t p) {
    double x = static_cast<double>(p);
    return x - 1 + kFlowWork * x * x * x;
  }
  static constexpr double kFlowWork = 2e-7;

  // Splits the part until its halves are done, handing halves of several
  // nodes to other threads and keeping the smaller.
  void solve(std::unique_ptr<Part> part, bool caller, std::vector<uint8_t> &side) {
    while (part != nullptr && part->reals.size() >= 2 && !stopped()) {
      std::unique_ptr<Part> other = split(*part, side);
      if (caller) between();
      if (other == nullptr) continue;
      if (part->reals.size() < 2) {
        retire(*part);
        part = std::move(other);
      } else if (other->reals.size() >= 2) {
        if (other->n < part->n) std::swap(part, other);
        give(std::move(other));
      }
    }
    if (part != nullptr) retire(*part);
  }

  // Adds a part's engine counters to the build's once it is done with.
  void retire(Part &p) {
    if (p.engine == nullptr) return;
    Counters c = p.engine->counters();
    p.engine.reset();
    std::lock_guard<std::mutex> lock(mu_);
    counters_ += c;
  }

  std::pair<int32_t, int32_t> pairOf(Part &p) {
    if (options_.pairs == PairChoice::Random) {
      p.seed = mixed(p.seed);
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
    int32_t t = kNone;
    for (int32_t v : p.reals)
      if (v != s && (t == kNone || p.distance[v] > p.distance[t] ||
                     (p.distance[v] == p.distance[t] && p.node[v] < p.node[t])))
        t = v;
    return {s, t};
  }

  // One cut of part p: the tree edge it gives, the components moved to their
  // halves, and the halves. Returns the half that needs a graph of its own
  // (null when p itself goes on as the half of several nodes, or when both
  // halves are single nodes); p is left as the other half, done when its
  // reals are fewer than 2.
  std::unique_ptr<Part> split(Part &p, std::vector<uint8_t> &side) {
    auto [s, t] = pairOf(p);
    if (p.engine == nullptr) p.engine = options_.makeEngine(p.n, p.edges);
    double start = now();
    int64_t value = p.engine->cut(s, t, side);
    double took = now() - start;
    int32_t e = edges_++;
    end_[0][e] = p.node[s];
    end_[1][e] = p.node[t];
    weight_[e] = value;
    int32_t size[2] = {0, 0}, reals[2] = {0, 0};
    for (int32_t v = 0; v < p.n; v++) {
      size[side[v]]++;
      if (p.node[v] != kNone) {
        reals[side[v]]++;
      } else {
        int32_t &end = end_[p.slot[v]][p.edge[v]];
        if (side[localOf_[end]] != side[v]) end = side[v] ? p.node[t] : p.node[s];
      }
    }
    done_++;
    {
      std::lock_guard<std::mutex> lock(mu_);
      calcSeconds_ += took;
      workDone_ += workOf(reals[0] + reals[1]) - workOf(reals[0]) - workOf(reals[1]);
    }
    cv_.notify_all();  // the calling thread reports the cut
    // A half that is its terminal alone: the other half keeps p's graph.
    if (size[1] == 1 || size[0] == 1) {
      int32_t alone = size[1] == 1 ? t : s;
      p.contract(alone, e, size[1] == 1 ? 0 : 1);
      return nullptr;
    }
    std::unique_ptr<Part> half[2];
    for (uint8_t k = 0; k < 2; k++)
      if (reals[k] >= 2) half[k] = halfOf(p, k, e, side);
    retire(p);
    // p goes on as the s half (or is done), the t half is returned.
    if (half[0] != nullptr) {
      p = std::move(*half[0]);
    } else {
      p.reals.clear();
    }
    if (half[1] == nullptr) half[1] = std::make_unique<Part>();
    return std::move(half[1]);
  }

  // The half of p on side k of the last cut, with the other half merged
  // into one contracted node that stands for tree edge e.
  std::unique_ptr<Part> halfOf(const Part &p, uint8_t k, int32_t e,
                               const std::vector<uint8_t> &side) {
    auto h = std::make_unique<Part>();
    std::vector<int32_t> local(p.n, kNone);
    int32_t count = 0;
    for (int32_t v = 0; v < p.n; v++)
      if (side[v] == k) local[v] = count++;
    int32_t merged = count;
    h->n = count + 1;
    h->node.assign(h->n, kNone);
    h->edge.assign(h->n, kNone);
    h->slot.assign(h->n, 0);
    h->realAt.assign(h->n, kNone);
    for (int32_t v = 0; v < p.n; v++) {
      if (local[v] == kNone) continue;
      h->node[local[v]] = p.node[v];
      h->edge[local[v]] = p.edge[v];
      h->slot[local[v]] = p.slot[v];
      if (p.node[v] != kNone) {
        localOf_[p.node[v]] = local[v];
        h->addReal(local[v]);
      }
    }
    h->edge[merged] = e;
    h->slot[merged] = k;
    std::vector<int64_t> toMerged(count, 0);
    for (const Edge &x : p.edges) {
      int32_t a = local[x.u], b = local[x.v];
      if (a == kNone && b == kNone) continue;
      if (a == kNone || b == kNone)
        toMerged[a == kNone ? b : a] += x.capacity;
      else
        h->edges.push_back({a, b, x.capacity});
    }
    for (int32_t v = 0; v < count; v++)
      if (toMerged[v] > 0) h->edges.push_back({v, merged, toMerged[v]});
    h->seed = mixed(p.seed ^ (k + 1));
    return h;
  }

  // The found edges as records of a run rooted at node 0, in breadth-first
  // order from it.
  GusfieldRun rooted() const {
    GusfieldRun r = startRun(n_, 0);
    if (n_ < 2) return r;
    std::vector<int32_t> first(n_ + 1, 0), other(2 * (n_ - 1)), edgeAt(2 * (n_ - 1));
    for (int32_t e = 0; e < n_ - 1; e++) {
      first[end_[0][e] + 1]++;
      first[end_[1][e] + 1]++;
    }
    for (int32_t v = 0; v < n_; v++) first[v + 1] += first[v];
    std::vector<int32_t> at(first.begin(), first.end() - 1);
    for (int32_t e = 0; e < n_ - 1; e++)
      for (int k = 0; k < 2; k++) {
        other[at[end_[k][e]]] = end_[1 - k][e];
        edgeAt[at[end_[k][e]]++] = e;
      }
    std::vector<uint8_t> seen(n_, 0);
    seen[0] = 1;
    int32_t placed = 1;
    for (int32_t q = 0; q < placed; q++) {
      int32_t u = r.records[q].id;
      for (int32_t a = first[u]; a < first[u + 1]; a++) {
        int32_t v = other[a];
        if (seen[v]) continue;
        seen[v] = 1;
        r.records[placed] = {v, 0, u, weight_[edgeAt[a]]};
        placed++;
      }
    }
    if (placed != n_) throw Error("internal: the Gomory-Hu edges do not make a tree");
    for (int32_t p = 0; p < n_; p++) r.records[r.records[p].id].pos = p;
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
  int64_t workReported_ = 0;

  std::mutex mu_;
  std::condition_variable cv_;
  std::vector<std::unique_ptr<Part>> stack_;
  int active_ = 0;
  bool stop_ = false;
  std::exception_ptr error_;
  Counters counters_;
  double calcSeconds_ = 0;
};

}  // namespace

GusfieldRun runGomoryHu(int32_t n, const std::vector<Edge> &edges, const GomoryHuOptions &options) {
  Build build(n, edges, options);
  return build.run();
}

}  // namespace sunder::detail
