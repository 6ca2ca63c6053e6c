#include "sunder/progress.h"

#include <algorithm>
#include <cmath>

namespace sunder {

namespace {

// Kept samples are at least this fraction of the time since the first
// apart; at twice as many they are thinned to every other one.
const double kSpacing = 1.0 / 256;
const size_t kMaxKept = 1024;
// Evidence before an estimate: units since the first sample, as a share of
// those left at it, and time since it, as a share of the time since the
// start (and kPauseStretch times the longest pause).
const double kEvidenceUnits = 0.01;
const double kEvidenceTime = 0.2;
// The windows, as shares of the time since the first sample; each holds
// kEvidenceUnits of the units and kPauseStretch times the longest pause
// at least.
const double kWindows[] = {1.0 / 16, 1.0 / 8, 1.0 / 4, 1.0 / 2, 1.0};
const double kPauseStretch = 3;
// Beyond the time that passed, the estimate moves by at most a factor e
// over this share of the time since the first sample (the shortest
// window's).
const double kSettling = 1.0 / 16;

}  // namespace

void TimeLeft::reset() { *this = TimeLeft(); }

void TimeLeft::update(double seconds, int64_t done, int64_t total) {
  if (!kept_.empty() && (total != total_ || done < latest_.done)) reset();
  total = std::max<int64_t>(total, 0);
  done = std::min(std::max<int64_t>(done, 0), total);
  if (kept_.empty()) {
    if (done == 0 && total > 0) return;  // nothing done says no rate
    start(seconds, done, total);
  } else if (!advance(seconds, done)) {
    return;
  }
  settle();
}

void TimeLeft::start(double seconds, int64_t done, int64_t total) {
  if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
  latest_ = Point{seconds, done};
  kept_.push_back(latest_);
  total_ = total;
  lastAdvance_ = seconds;
}

bool TimeLeft::advance(double seconds, int64_t done) {
  if (!(seconds > latest_.seconds) || !std::isfinite(seconds)) seconds = latest_.seconds;
  if (done > latest_.done) {
    longestPause_ = std::max(longestPause_, seconds - lastAdvance_);
    lastAdvance_ = seconds;
  }
  latest_ = Point{seconds, done};
  double since = seconds - kept_.front().seconds;
  if (seconds - kept_.back().seconds < kSpacing * since || !(seconds > kept_.back().seconds))
    return false;
  kept_.push_back(latest_);
  if (kept_.size() >= kMaxKept) {
    size_t k = 0;
    for (size_t i = 0; i < kept_.size(); i += 2) kept_[k++] = kept_[i];
    kept_.resize(k);
  }
  return true;
}

const TimeLeft::Point &TimeLeft::point(size_t k) const {
  return k < kept_.size() ? kept_[k] : latest_;
}

double TimeLeft::doneAt(double seconds) const {
  // The last point at or before `seconds`, and the line to the next one.
  size_t lo = 0, hi = pointCount();
  if (seconds < point(0).seconds) return static_cast<double>(point(0).done);
  while (hi - lo > 1) {
    size_t mid = (lo + hi) / 2;
    if (point(mid).seconds <= seconds) lo = mid;
    else hi = mid;
  }
  const Point &a = point(lo);
  if (lo + 1 >= pointCount()) return static_cast<double>(a.done);
  const Point &b = point(lo + 1);
  if (b.seconds <= a.seconds) return static_cast<double>(a.done);
  return a.done + (b.done - a.done) * (seconds - a.seconds) / (b.seconds - a.seconds);
}

double TimeLeft::secondsAt(double done) const {
  // The first point that reached `done`, and the line from the one before.
  if (done <= point(0).done) return point(0).seconds;
  size_t lo = 0, hi = pointCount() - 1;
  if (point(hi).done < done) return point(hi).seconds;
  while (hi - lo > 1) {
    size_t mid = (lo + hi) / 2;
    if (point(mid).done >= done) hi = mid;
    else lo = mid;
  }
  const Point &a = point(lo), &b = point(hi);
  if (b.done <= a.done) return b.seconds;
  return a.seconds + (b.seconds - a.seconds) * (done - a.done) / (b.done - a.done);
}

bool TimeLeft::hasEvidence() const {
  if (evidenced_) return true;
  const Point &first = kept_.front();
  double since = latest_.seconds - first.seconds;
  double units = static_cast<double>(latest_.done - first.done);
  return units > 0 && since > 0 && units >= minUnits() &&
         since >= kEvidenceTime * latest_.seconds && since >= kPauseStretch * longestPause_;
}

double TimeLeft::minUnits() const {
  return kEvidenceUnits * static_cast<double>(total_ - kept_.front().done);
}

// The seconds per unit of the window that reaches back `share` of the
// time since the first sample, stretched as kWindows says; 0 when empty.
double TimeLeft::windowSecondsPerUnit(double share) const {
  const Point &first = kept_.front();
  double since = latest_.seconds - first.seconds;
  double from = std::min({latest_.seconds - share * since,
                          secondsAt(std::max<double>(first.done, latest_.done - minUnits())),
                          latest_.seconds - kPauseStretch * longestPause_});
  from = std::max(from, first.seconds);
  double span = latest_.seconds - from;
  double units = latest_.done - doneAt(from);
  return span > 0 && units > 0 ? span / units : 0;
}

double TimeLeft::secondsPerCut() const {
  if (kept_.empty() || !hasEvidence()) return 0;
  double logSum = 0;
  int count = 0;
  for (double w : kWindows) {
    double perUnit = windowSecondsPerUnit(w);
    if (perUnit <= 0) continue;
    logSum += std::log(perUnit);
    count++;
  }
  return count > 0 ? std::exp(logSum / count) : 0;
}

std::optional<double> TimeLeft::fresh() const {
  if (latest_.done >= total_) return 0.0;
  double perUnit = secondsPerCut();
  if (perUnit <= 0) return std::nullopt;
  return static_cast<double>(total_ - latest_.done) * perUnit;
}

double TimeLeft::settled(double fresh) const {
  double passed = latest_.seconds - estimateAt_;
  double expected = estimate_ ? *estimate_ - passed : 0;
  // The first estimate, the end, or the last estimate ran out: nothing to
  // hold the fresh one to.
  if (fresh == 0 || expected <= 0) return fresh;
  double since = latest_.seconds - kept_.front().seconds;
  double factor = std::exp(std::min(passed / (kSettling * since), 50.0));
  return std::min(std::max(fresh, expected / factor), std::min(expected * factor, highest()));
}

// The last kept estimate grown by the factor that the time since the first
// sample grew by since then: a stretch of slow units, which in recorded
// builds the units after it mostly make up for, holds the estimate instead
// of raising it to the stretch's rate, while a rate that stays slow raises
// it as the time passes. A pause longer than any before is not held: the
// windows, stretched to it, read it against the rate around it already.
double TimeLeft::highest() const {
  double before = estimateAt_ - kept_.front().seconds;
  if (longestPause_ > pauseAtEstimate_ || !(before > 0)) return HUGE_VAL;
  return *estimate_ * (latest_.seconds - kept_.front().seconds) / before;
}

void TimeLeft::settle() {
  evidenced_ = hasEvidence();
  std::optional<double> now = fresh();
  estimate_ = now ? std::optional<double>(settled(*now)) : std::nullopt;
  estimateAt_ = latest_.seconds;
  pauseAtEstimate_ = longestPause_;
}

std::optional<double> TimeLeft::secondsLeft() const {
  if (kept_.empty()) return std::nullopt;
  std::optional<double> now = fresh();
  if (!now) return std::nullopt;
  return settled(*now);
}

double TimeLeft::cutsPerSecond() const {
  double perCut = secondsPerCut();
  return perCut > 0 ? 1 / perCut : 0;
}

}  // namespace sunder
