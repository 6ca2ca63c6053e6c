#include "sunder/progress.h"

#include <algorithm>
#include <cmath>

namespace sunder {

namespace {

// Kept samples are at least this fraction of the time since the first
// apart; at twice as many they are thinned to every other one.
const double kSpacing = 1.0 / 256;
const size_t kMaxKept = 1024;
// Evidence before an estimate: cuts since the first sample, as a share of
// those left at it, and time since it, as a share of the time since the
// start.
const double kEvidenceCuts = 0.01;
const double kEvidenceTime = 0.2;
// The windows, as shares of the time since the first sample; each holds
// kEvidenceCuts of the cuts at least.
const double kWindows[] = {1.0 / 16, 1.0 / 8, 1.0 / 4, 1.0 / 2, 1.0};

}  // namespace

void TimeLeft::reset() {
  kept_.clear();
  latest_ = Point{0, 0};
  total_ = -1;
}

void TimeLeft::update(double seconds, int64_t done, int64_t total) {
  if (!kept_.empty() && (total != total_ || done < latest_.done)) reset();
  total = std::max<int64_t>(total, 0);
  done = std::min(std::max<int64_t>(done, 0), total);
  if (kept_.empty()) {
    if (done == 0 && total > 0) return;  // nothing done says no rate
    if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
    latest_ = Point{seconds, done};
    kept_.push_back(latest_);
    total_ = total;
    return;
  }
  if (!(seconds > latest_.seconds) || !std::isfinite(seconds)) seconds = latest_.seconds;
  latest_ = Point{seconds, done};
  double since = seconds - kept_.front().seconds;
  if (seconds - kept_.back().seconds >= kSpacing * since && seconds > kept_.back().seconds) {
    kept_.push_back(latest_);
    if (kept_.size() >= kMaxKept) {
      size_t k = 0;
      for (size_t i = 0; i < kept_.size(); i += 2) kept_[k++] = kept_[i];
      kept_.resize(k);
    }
  }
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

double TimeLeft::secondsPerCut() const {
  if (kept_.empty()) return 0;
  const Point &first = kept_.front();
  double since = latest_.seconds - first.seconds;
  double cuts = static_cast<double>(latest_.done - first.done);
  double minCuts = kEvidenceCuts * static_cast<double>(total_ - first.done);
  if (cuts <= 0 || since <= 0 || cuts < minCuts || since < kEvidenceTime * latest_.seconds)
    return 0;
  double logSum = 0;
  int count = 0;
  for (double w : kWindows) {
    double from = std::min(latest_.seconds - w * since,
                           secondsAt(std::max<double>(first.done, latest_.done - minCuts)));
    double span = latest_.seconds - from;
    double windowCuts = latest_.done - doneAt(from);
    if (span <= 0 || windowCuts <= 0) continue;
    logSum += std::log(span / windowCuts);
    count++;
  }
  return count > 0 ? std::exp(logSum / count) : 0;
}

std::optional<double> TimeLeft::secondsLeft() const {
  if (kept_.empty()) return std::nullopt;
  if (latest_.done >= total_) return 0.0;
  double perCut = secondsPerCut();
  if (perCut <= 0) return std::nullopt;
  return static_cast<double>(total_ - latest_.done) * perCut;
}

double TimeLeft::cutsPerSecond() const {
  double perCut = secondsPerCut();
  return perCut > 0 ? 1 / perCut : 0;
}

}  // namespace sunder
