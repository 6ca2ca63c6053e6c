#include "lib/driver/gusfield.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "lib/driver/draws.h"
#include "lib/driver/gusfield_step.h"
#include "sunder/error.h"

namespace sunder::detail {

namespace {

// What one s-t computation found, kept until it is committed.
struct Outcome {
  int32_t sink = -1;
  int64_t cut = 0;
  std::vector<uint8_t> side;  // by node index: 1 on the sink's side
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

// Sources by position, from the exchanges alone.
std::vector<int32_t> sourcesByPosition(const std::vector<int32_t> &j) {
  int32_t n = static_cast<int32_t>(j.size());
  std::vector<int32_t> id(n);
  for (int32_t k = 0; k < n; k++) id[k] = k;
  for (int32_t i = 1; i < n; i++) std::swap(id[i], id[j[i]]);
  return id;
}

class Driver {
 public:
  Driver(GusfieldRun &run, const DriverOptions &options);
  void run();

 private:
  double now() const { return clock_(); }
  Outcome computeOn(CutEngine &engine, int32_t s, int32_t t, int64_t scanLimit = INT64_MAX);
  int64_t scanLimit(int32_t i) const;
  void runInSequence(CutEngine &engine, int32_t from);
  void runSpeculatively(int threads, int32_t from);
  void work(CutEngine &engine);
  void commit(int32_t i, const Outcome &o);
  void stopWorkers();
  void checkCancel() const;

  GusfieldRun &r_;
  const DriverOptions &options_;
  std::function<double()> clock_;
  double start_ = 0;
  std::vector<int32_t> exchanges_, sourceAt_;

  // Shared between the committing thread and the workers.
  std::mutex mu_;
  std::condition_variable cv_;
  std::vector<Outcome> outcomes_;
  int32_t next_ = 1;       // next position handed to a worker
  int32_t committed_ = 0;  // positions committed so far
  int32_t window_ = 1;     // how far ahead of the commits workers may run
  bool stopping_ = false;  // the build ends early: workers take nothing more
  std::vector<std::thread> threads_;
};

double steadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

Driver::Driver(GusfieldRun &run, const DriverOptions &options)
    : r_(run), options_(options), clock_(options.clock ? options.clock : steadySeconds) {}

Outcome Driver::computeOn(CutEngine &engine, int32_t s, int32_t t, int64_t limit) {
  Outcome o;
  Counters before = engine.counters();
  double start = now();
  o.cut = engine.cut(s, t, o.side, limit);
  o.seconds = now() - start;
  o.sink = t;
  Counters after = engine.counters();
  o.counters = {after.first - before.first, after.second - before.second,
                after.scans - before.scans};
  return o;
}

void Driver::checkCancel() const {
  if (options_.cancel && options_.cancel()) throw Cancelled();
}

void Driver::commit(int32_t i, const Outcome &o) {
  double start = now();
  int32_t s = r_.records[i].id, sink = r_.records[i].parent;
  gusfieldStep(r_.records.data(), r_.n, [&o](int32_t k) { return o.side[k]; }, s, sink, o.cut);
  r_.counters.first += o.counters.first;
  r_.counters.second += o.counters.second;
  r_.counters.scans += o.counters.scans;
  r_.scansAfter.push_back(r_.counters.scans);
  r_.calcSeconds += o.seconds;
  r_.computations++;
  // A cut of the largest 64-bit value is never recorded as found.
  if (o.cut < INT64_MAX) {
    r_.cutsRecorded++;
    r_.lastCutSeconds = now() - start_;
  }
  r_.manipSeconds += now() - start;
  if (options_.progress) options_.progress(i, r_.n - 1);
}

// The arcs computation i may look at before a probe falls too far behind its
// pace; no limit without one. Negative when it is behind already.
int64_t Driver::scanLimit(int32_t i) const {
  if (options_.pace == nullptr) return INT64_MAX;
  double allowed = (*options_.pace)[i] * kPaceSlack / options_.costPerScan;
  return static_cast<int64_t>(allowed) - r_.counters.scans;
}

void Driver::runInSequence(CutEngine &engine, int32_t from) {
  int32_t last = options_.stopAfter > 0 ? std::min(options_.stopAfter, r_.n - 1) : r_.n - 1;
  for (int32_t i = from; i <= last; i++) {
    checkCancel();
    int64_t limit = scanLimit(i);
    if (limit < 0) return;
    double start = now();
    exchange(r_.records, i, exchanges_[i]);
    r_.manipSeconds += now() - start;
    Outcome o = computeOn(engine, r_.records[i].id, r_.records[i].parent, limit);
    if (o.cut < 0) {  // the engine gave up: the probe ends here
      exchange(r_.records, i, exchanges_[i]);
      return;
    }
    commit(i, o);
  }
}

void Driver::work(CutEngine &engine) {
  std::unique_lock<std::mutex> lock(mu_);
  for (;;) {
    cv_.wait(lock, [this] { return stopping_ || next_ >= r_.n || next_ <= committed_ + window_; });
    if (stopping_ || next_ >= r_.n) return;
    int32_t k = next_++;
    int32_t s = sourceAt_[k];
    int32_t sink = r_.records[r_.records[s].pos].parent;
    lock.unlock();
    Outcome o;
    try {
      o = computeOn(engine, s, sink);
    } catch (...) {
      o.failure = std::current_exception();
    }
    lock.lock();
    outcomes_[k] = std::move(o);
    outcomes_[k].ready = true;
    cv_.notify_all();
  }
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

void Driver::runSpeculatively(int threads, int32_t from) {
  std::vector<std::unique_ptr<CutEngine>> workers;
  for (int k = 0; k < threads; k++) workers.push_back(options_.makeEngine());
  sourceAt_ = sourcesByPosition(exchanges_);
  outcomes_.resize(r_.n);
  next_ = from;
  committed_ = from - 1;
  window_ = 2 * threads;
  for (auto &engine : workers) threads_.emplace_back([this, &engine] { work(*engine); });
  std::unique_ptr<CutEngine> own;  // for the computations that must be repeated
  try {
    for (int32_t i = from; i < r_.n; i++) {
      checkCancel();
      std::unique_lock<std::mutex> lock(mu_);
      double start = now();
      cv_.wait(lock, [this, i] { return outcomes_[i].ready; });
      Outcome o = std::move(outcomes_[i]);
      lock.unlock();
      if (o.failure) std::rethrow_exception(o.failure);
      exchange(r_.records, i, exchanges_[i]);
      r_.manipSeconds += now() - start;
      int32_t sink = r_.records[i].parent;
      if (o.sink != sink) {
        if (own == nullptr) own = options_.makeEngine();
        o = computeOn(*own, r_.records[i].id, sink);
        r_.recomputed++;
      }
      lock.lock();
      commit(i, o);
      committed_ = i;
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
  exchanges_ = drawExchanges(r_.n);
  int threads = std::min(options_.threads, r_.n - 1);
  if (threads <= 1 || options_.stopAfter > 0 || options_.pace != nullptr) {
    std::unique_ptr<CutEngine> made;
    CutEngine *engine = options_.engine;
    // A run that is complete already (the probe of a small graph) needs
    // no engine at all.
    if (engine == nullptr && from < r_.n) engine = (made = options_.makeEngine()).get();
    if (engine != nullptr) runInSequence(*engine, from);
  } else {
    runSpeculatively(threads, from);
  }
  r_.seconds = now() - start_;
}

}  // namespace

GusfieldRun startRun(int32_t n) {
  GusfieldRun run;
  run.n = n;
  run.records.resize(n > 0 ? n : 0);
  for (int32_t k = 0; k < n; k++) run.records[k] = {k, k, 0, 0};
  run.scansAfter = {0};
  return run;
}

void runGusfield(GusfieldRun &run, const DriverOptions &options) { Driver(run, options).run(); }

}  // namespace sunder::detail
