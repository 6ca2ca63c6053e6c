#include "cuttree/builder.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "solver/gusfield.h"

namespace cuttree {

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// What one s-t computation found, kept until it is committed.
struct Outcome {
  int32_t sink = -1;
  int64_t cut = 0;
  bool recorded = false;
  std::vector<uint8_t> side;  // by node id: 1 on the sink's side
  Counters counters;  // the engine's counts of this computation alone
  double seconds = 0;
  bool ready = false;
};

Outcome computeOn(CutEngine &engine, int32_t s, int32_t t, int64_t scanLimit = INT64_MAX) {
  Outcome o;
  Counters before = engine.counters();
  Clock::time_point start = Clock::now();
  o.cut = engine.cut(s, t, o.side, scanLimit);
  o.seconds = secondsSince(start);
  o.sink = t;
  // A cut of the largest 64-bit value is never recorded as found.
  o.recorded = o.cut < INT64_MAX;
  Counters after = engine.counters();
  o.counters = {after.first - before.first, after.second - before.second,
                after.scans - before.scans};
  return o;
}

// The position each step i exchanges with, j = i + rand() mod (n - i), drawn
// up front in the order the sequential loop draws them. The generator starts
// afresh as an unseeded one does (seed 1), so every build in a process draws
// what sunder draws.
std::vector<int32_t> drawExchanges(int32_t n) {
  srand(1);
  std::vector<int32_t> j(n, 0);
  for (int32_t i = 1; i < n; i++) j[i] = i + rand() % (n - i);
  return j;
}

std::vector<tree> initialRecords(int32_t n) {
  std::vector<tree> t(n);
  for (int32_t k = 0; k < n; k++) t[k] = {k, k, 0, 0};
  return t;
}

// Exchanges the records at positions i and j, then fixes `pos`.
void exchange(std::vector<tree> &t, int32_t i, int32_t j) {
  std::swap(t[i].id, t[j].id);
  std::swap(t[i].parent, t[j].parent);
  std::swap(t[i].weight, t[j].weight);
  t[t[i].id].pos = i;
  t[t[j].id].pos = j;
}

// Sources by position, from the exchanges alone.
std::vector<int32_t> sourcesByPosition(const std::vector<int32_t> &j) {
  int32_t n = static_cast<int32_t>(j.size());
  std::vector<int32_t> id(n);
  for (int32_t k = 0; k < n; k++) id[k] = k;
  for (int32_t i = 1; i < n; i++) std::swap(id[i], id[j[i]]);
  return id;
}

class Builder {
 public:
  Builder(Instance &inst, const BuildOptions &options) : inst_(inst), options_(options) {}

  BuildResult run();

 private:
  void runInSequence(CutEngine &engine, int32_t from);
  int64_t scanLimit(int32_t i) const;
  void runSpeculatively(std::vector<std::unique_ptr<CutEngine>> &workers, int32_t from);
  void work(CutEngine &engine);
  void commit(int32_t i, const Outcome &o);

  Instance &inst_;
  const BuildOptions &options_;
  BuildResult r_;
  std::vector<int32_t> exchanges_, sourceAt_;
  Clock::time_point start_;

  // Shared between the committing thread and the workers.
  std::mutex mu_;
  std::condition_variable cv_;
  std::vector<Outcome> outcomes_;
  int32_t next_ = 1;       // next position handed to a worker
  int32_t committed_ = 0;  // positions committed so far
  int32_t window_ = 1;     // how far ahead of the commits workers may run
};

void Builder::commit(int32_t i, const Outcome &o) {
  Clock::time_point start = Clock::now();
  int32_t s = r_.records[i].id, sink = r_.records[i].parent;
  gusfieldStep(r_.records.data(), r_.n, [&o](int32_t k) { return o.side[k]; }, s, sink, o.cut);
  r_.counters.first += o.counters.first;
  r_.counters.second += o.counters.second;
  r_.counters.scans += o.counters.scans;
  r_.scansAfter.push_back(r_.counters.scans);
  r_.calcSeconds += o.seconds;
  r_.computations++;
  if (o.recorded) {
    r_.cutsRecorded++;
    r_.lastCutSeconds = secondsSince(start_);
  }
  r_.manipSeconds += secondsSince(start);
  if (options_.progress) options_.progress(i, r_.n - 1);
}

// The arcs computation i may look at before a probe falls too far behind its
// pace; no limit without one. Negative when it is behind already.
int64_t Builder::scanLimit(int32_t i) const {
  if (options_.pace == nullptr) return INT64_MAX;
  double allowed = (*options_.pace)[i] * kPaceSlack / options_.costPerScan;
  return static_cast<int64_t>(allowed) - r_.counters.scans;
}

void Builder::runInSequence(CutEngine &engine, int32_t from) {
  int32_t last = options_.stopAfter > 0 ? std::min(options_.stopAfter, r_.n - 1) : r_.n - 1;
  for (int32_t i = from; i <= last; i++) {
    int64_t limit = scanLimit(i);
    if (limit < 0) return;
    exchange(r_.records, i, exchanges_[i]);
    Outcome o = computeOn(engine, r_.records[i].id, r_.records[i].parent, limit);
    if (o.cut < 0) return;  // the engine gave up: the probe ends here
    commit(i, o);
  }
}

void Builder::work(CutEngine &engine) {
  std::unique_lock<std::mutex> lock(mu_);
  for (;;) {
    cv_.wait(lock, [this] { return next_ >= r_.n || next_ <= committed_ + window_; });
    if (next_ >= r_.n) return;
    int32_t k = next_++;
    int32_t s = sourceAt_[k];
    int32_t sink = r_.records[r_.records[s].pos].parent;
    lock.unlock();
    Outcome o = computeOn(engine, s, sink);
    lock.lock();
    outcomes_[k] = std::move(o);
    outcomes_[k].ready = true;
    cv_.notify_all();
  }
}

void Builder::runSpeculatively(std::vector<std::unique_ptr<CutEngine>> &workers, int32_t from) {
  outcomes_.resize(r_.n);
  next_ = from;
  committed_ = from - 1;
  window_ = 2 * static_cast<int32_t>(workers.size());
  std::vector<std::thread> threads;
  for (auto &engine : workers) threads.emplace_back([this, &engine] { work(*engine); });
  std::unique_ptr<CutEngine> own;  // for the computations that must be repeated
  for (int32_t i = from; i < r_.n; i++) {
    std::unique_lock<std::mutex> lock(mu_);
    cv_.wait(lock, [this, i] { return outcomes_[i].ready; });
    Outcome o = std::move(outcomes_[i]);
    exchange(r_.records, i, exchanges_[i]);
    int32_t sink = r_.records[i].parent;
    if (o.sink != sink) {
      lock.unlock();
      if (own == nullptr) own = makeEngine(options_.engine, inst_, options_.settings);
      o = computeOn(*own, r_.records[i].id, sink);
      r_.recomputed++;
      lock.lock();
    }
    commit(i, o);
    committed_ = i;
    cv_.notify_all();
  }
  for (std::thread &t : threads) t.join();
}

BuildResult Builder::run() {
  start_ = Clock::now();
  if (options_.resume != nullptr) {
    r_ = *options_.resume;
  } else {
    r_.n = inst_.nodeCount();
    r_.m = static_cast<int32_t>(inst_.edges.size());
    r_.records = initialRecords(r_.n);
    r_.scansAfter = {0};
  }
  r_.engine = options_.engine;
  int32_t from = r_.computations + 1;
  exchanges_ = drawExchanges(r_.n);
  int threads = options_.threads;
  if (threads > r_.n - 1) threads = r_.n - 1;
  std::vector<std::unique_ptr<CutEngine>> workers;
  for (int k = 0; k < std::max(threads, 1); k++) workers.push_back(makeEngine(options_.engine, inst_, options_.settings));
  if (threads <= 1) {
    runInSequence(*workers[0], from);
  } else {
    sourceAt_ = sourcesByPosition(exchanges_);
    runSpeculatively(workers, from);
  }
  r_.seconds = secondsSince(start_);
  return r_;
}

}  // namespace

// The engine whose first computations look at the fewest arcs, weighed by
// what an arc look costs it, with its build of those computations. Each
// candidate builds the start of the tree on its own and is stopped as soon
// as it falls well behind the best so far, so a poor candidate costs little.
// Arc counts, not times, decide: the choice is the same on every run and for
// every thread count.
BuildResult probeEngines(Instance &inst, const BuildOptions &options) {
  struct Candidate {
    const char *name;
    double costPerScan;  // time per arc look, relative, measured on the six families
  };
  const Candidate candidates[] = {{"relabel", 1.0}, {"paths", 1.0}, {"trees", 2.0}};
  BuildResult best;
  double bestCost = 0;
  std::vector<double> pace;
  for (const Candidate &c : candidates) {
    BuildOptions probe = options;
    probe.engine = c.name;
    probe.threads = 1;
    probe.progress = nullptr;
    probe.stopAfter = kProbeComputations;
    probe.costPerScan = c.costPerScan;
    if (!best.engine.empty()) probe.pace = &pace;
    BuildResult r = Builder(inst, probe).run();
    double cost = static_cast<double>(r.counters.scans) * c.costPerScan;
    bool complete = r.computations == std::min(kProbeComputations, r.n - 1);
    if (best.engine.empty() || (complete && cost < bestCost)) {
      best = std::move(r);
      bestCost = cost;
      pace.clear();
      for (int64_t scans : best.scansAfter) pace.push_back(static_cast<double>(scans) * c.costPerScan);
    }
  }
  return best;
}

BuildResult buildTree(Instance &inst, const BuildOptions &options) {
  if (options.engine != "auto") return Builder(inst, options).run();
  Clock::time_point start = Clock::now();
  BuildResult probed = probeEngines(inst, options);
  BuildOptions chosen = options;
  chosen.engine = probed.engine;
  chosen.resume = &probed;
  double probing = secondsSince(start);
  BuildResult r = Builder(inst, chosen).run();
  r.seconds += probing;
  r.lastCutSeconds += probing;
  return r;
}

}  // namespace cuttree
