// Real values as exact numerators over 2^a 5^b, the scale that makes a
// graph's values whole, and the weights of a tree's cuts in the original
// values.
#include "sunder/real_capacities.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>

#include "lib/tree/tree_parts.h"
#include "sunder/error.h"

namespace sunder {

namespace {

using Wide = unsigned __int128;

constexpr int32_t kMaxDigits = 19;           // 10^19 - 1 fits 64 bits
constexpr int64_t kMaxExponent = 400;  // beyond, a value is not kept exact

Error capacityError(const std::string &text, const char *problem) {
  return Error("capacity " + text + " is " + problem);
}

bool equalsIgnoringCase(const std::string &a, const char *b) {
  size_t k = 0;
  for (; k < a.size() && b[k]; ++k)
    if (std::tolower(static_cast<unsigned char>(a[k])) != b[k]) return false;
  return k == a.size() && !b[k];
}

bool notFinite(const std::string &body) {
  return equalsIgnoringCase(body, "inf") || equalsIgnoringCase(body, "infinity") ||
         equalsIgnoringCase(body, "nan");
}

// The significant digits of a decimal, at most kMaxDigits of them, and the
// power of ten of the last one kept.
struct Digits {
  uint64_t value = 0;
  int32_t kept = 0;
  bool allKept = true;  // no non-zero digit was dropped
  int64_t exponent = 0;
  bool any = false;
};

// Adds one digit, `afterPoint` when it lies right of the decimal point.
void addDigit(Digits &d, int digit, bool afterPoint) {
  d.any = true;
  if (d.kept == 0 && digit == 0) {
    if (afterPoint) --d.exponent;
    return;
  }
  if (d.kept < kMaxDigits) {
    d.value = d.value * 10 + static_cast<uint64_t>(digit);
    ++d.kept;
    if (afterPoint) --d.exponent;
  } else {
    if (digit != 0) d.allKept = false;
    if (!afterPoint) ++d.exponent;
  }
}

// Parses "[+]DIGITS[.DIGITS][e[+-]DIGITS]" (either side of the point may be
// empty, not both); false when `s` is not such a decimal.
bool parseDecimal(const std::string &s, Digits &d) {
  size_t k = 0;
  if (k < s.size() && s[k] == '+') ++k;
  bool point = false;
  for (; k < s.size(); ++k) {
    char c = s[k];
    if (c >= '0' && c <= '9') {
      addDigit(d, c - '0', point);
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!d.any) return false;
  if (k == s.size()) return true;
  if (s[k] != 'e' && s[k] != 'E') return false;
  ++k;
  bool negative = k < s.size() && s[k] == '-';
  if (k < s.size() && (s[k] == '-' || s[k] == '+')) ++k;
  if (k == s.size()) return false;
  int64_t e = 0;
  for (; k < s.size(); ++k) {
    if (s[k] < '0' || s[k] > '9') return false;
    e = std::min<int64_t>(e * 10 + (s[k] - '0'), 4 * kMaxExponent);
  }
  d.exponent += negative ? -e : e;
  return true;
}

bool parseWhole(const std::string &s, uint64_t &value) {
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size();
}

// Multiplies by `factor`; false when the product passes `limit`.
bool multiplyWithin(Wide &value, uint64_t factor, Wide limit) {
  if (value != 0 && factor > limit / value) return false;
  value *= factor;
  return value <= limit;
}

// The decimal digits of a number, least significant first.
using BigDecimal = std::vector<uint8_t>;

BigDecimal bigOf(uint64_t value) {
  BigDecimal digits;
  do {
    digits.push_back(static_cast<uint8_t>(value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

void multiplyBig(BigDecimal &digits, uint32_t factor) {
  uint32_t carry = 0;
  for (uint8_t &digit : digits) {
    uint32_t product = digit * factor + carry;
    digit = static_cast<uint8_t>(product % 10);
    carry = product / 10;
  }
  for (; carry != 0; carry /= 10) digits.push_back(static_cast<uint8_t>(carry % 10));
}

// `digits` / 10^places as a decimal without trailing zeros ("2.5", "3").
std::string decimalText(const BigDecimal &digits, int32_t places) {
  std::string text;
  int32_t top = std::max<int32_t>(static_cast<int32_t>(digits.size()), places + 1);
  for (int32_t k = top - 1; k >= 0; --k) {
    if (k == places - 1) text += '.';
    text += static_cast<char>('0' + (k < static_cast<int32_t>(digits.size()) ? digits[k] : 0));
  }
  if (places > 0) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
  }
  return text;
}

}  // namespace

std::string realSumText(long double sum) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17Lg", sum);
  return buffer;
}

// --- RealValue ---------------------------------------------------------------

RealValue RealValue::fromDigits(uint64_t digits, bool allDigits, int64_t exponent,
                                long double approx) {
  RealValue v;
  v.approx_ = approx;
  v.numerator_ = digits;
  v.exact_ = allDigits && std::llabs(exponent) <= kMaxExponent;
  if (digits == 0) {
    v.exact_ = true;
    v.approx_ = 0;
    return v;
  }
  if (!v.exact_) return v;
  for (; exponent > 0 && v.exact_; --exponent) {
    if (v.numerator_ > UINT64_MAX / 10) v.exact_ = false;
    v.numerator_ *= 10;
  }
  v.twos_ = v.fives_ = static_cast<int32_t>(-exponent);
  v.reduce();
  return v;
}

void RealValue::reduce() {
  for (; twos_ > 0 && numerator_ % 2 == 0; --twos_) numerator_ /= 2;
  for (; fives_ > 0 && numerator_ % 5 == 0; --fives_) numerator_ /= 5;
}

RealValue RealValue::parse(const std::string &text) {
  std::string body = text;
  bool negative = !body.empty() && body[0] == '-';
  if (negative) body.erase(0, 1);
  if (notFinite(body) || (!body.empty() && body[0] == '+' && notFinite(body.substr(1))))
    throw capacityError(text, "not finite");
  RealValue v;
  size_t slash = body.find('/');
  if (slash != std::string::npos) {
    uint64_t p = 0, q = 0;
    if (!parseWhole(body.substr(0, slash), p) || !parseWhole(body.substr(slash + 1), q) || q == 0)
      throw capacityError(text, "not a number");
    v.approx_ = static_cast<long double>(p) / static_cast<long double>(q);
    // In lowest terms first: 96/3 is the whole number 32, and only a
    // denominator with a prime factor other than 2 and 5 needs fixed point.
    uint64_t common = p == 0 ? q : std::gcd(p, q);
    p /= common;
    q /= common;
    v.numerator_ = p;
    for (; q % 2 == 0; q /= 2) ++v.twos_;
    for (; q % 5 == 0; q /= 5) ++v.fives_;
    v.exact_ = q == 1 || p == 0;
    if (p == 0) v.twos_ = v.fives_ = 0;
    if (v.exact_) v.reduce();
  } else {
    Digits d;
    if (!parseDecimal(body, d)) throw capacityError(text, "not a number");
    long double approx = std::strtold(body.c_str(), nullptr);
    if (std::isinf(approx)) throw capacityError(text, "too large");
    v = fromDigits(d.value, d.allKept, d.exponent, approx);
  }
  if (negative && v.numerator_ != 0) throw capacityError(text, "negative");
  return v;
}

RealValue RealValue::of(double value) {
  if (!std::isfinite(value)) throw capacityError(value != value ? "nan" : "inf", "not finite");
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, ec == std::errc() ? end : buffer);
  return parse(text);
}

// --- RealScale ---------------------------------------------------------------

namespace {

// value * 2^twos 5^fives, or -1 once it passes kMaxTotalCapacity.
int64_t scaleExactly(uint64_t value, int32_t twos, int32_t fives) {
  Wide v = value;
  const Wide limit = static_cast<Wide>(kMaxTotalCapacity);
  if (v > limit) return -1;
  for (; twos > 0; --twos)
    if (!multiplyWithin(v, 2, limit)) return -1;
  for (; fives > 0; --fives)
    if (!multiplyWithin(v, 5, limit)) return -1;
  return static_cast<int64_t>(v);
}

}  // namespace

RealScale::RealScale(const std::vector<RealValue> &values) {
  for (const RealValue &v : values) {
    exact_ = exact_ && v.exact();
    twos_ = std::max(twos_, v.twos());
    fives_ = std::max(fives_, v.fives());
  }
  Capacity total = 0;
  for (size_t k = 0; exact_ && k < values.size(); ++k) {
    int64_t s = scaled(values[k]);
    exact_ = s >= 0 && s <= kMaxTotalCapacity - total;
    total += exact_ ? s : 0;
  }
  if (exact_) return;
  fives_ = 0;
  long double sum = 0;
  for (const RealValue &v : values) sum += v.approx();
  long double room = static_cast<long double>(kMaxTotalCapacity) -
                     static_cast<long double>(values.size()) - 1;
  twos_ = sum > 0 ? static_cast<int32_t>(std::floor(std::log2(room / sum))) : 0;
  for (;; --twos_) {
    long double scaledSum = 0;
    for (const RealValue &v : values) scaledSum += static_cast<long double>(scaled(v));
    if (scaledSum <= static_cast<long double>(kMaxTotalCapacity) - 1024) break;
  }
}

Capacity RealScale::scaled(const RealValue &value) const {
  if (!exact_) return std::llroundl(std::ldexp(value.approx(), twos_));
  if (value.numerator() == 0) return 0;
  return scaleExactly(value.numerator(), twos_ - value.twos(), fives_ - value.fives());
}

Capacity RealScale::atLeast(const RealValue &value) const {
  if (value.numerator() == 0) return 0;
  if (exact_ && value.exact()) {
    // value * S = p / q with p and q whole.
    Wide p = value.numerator(), q = 1;
    const Wide limit = static_cast<Wide>(INT64_MAX);
    bool fits = true;
    for (int32_t k = value.twos(); k < twos_ && fits; k++) fits = multiplyWithin(p, 2, limit);
    for (int32_t k = value.fives(); k < fives_ && fits; k++) fits = multiplyWithin(p, 5, limit);
    for (int32_t k = twos_; k < value.twos() && fits; k++) fits = multiplyWithin(q, 2, limit);
    for (int32_t k = fives_; k < value.fives() && fits; k++) fits = multiplyWithin(q, 5, limit);
    if (fits) return static_cast<Capacity>((p + q - 1) / q);
    if (p > limit || q == 1) return INT64_MAX;  // past every sum
  }
  long double s = std::ceil(std::ldexp(value.approx(), twos_) *
                            (exact_ ? std::pow(5.0L, fives_) : 1.0L));
  return s >= static_cast<long double>(INT64_MAX) ? INT64_MAX : static_cast<Capacity>(s);
}

std::string RealScale::text(Capacity scaledSum) const {
  if (!exact_) return realSumText(std::ldexp(static_cast<long double>(scaledSum), -twos_));
  if (twos_ == 0 && fives_ == 0) return std::to_string(scaledSum);
  int32_t places = std::max(twos_, fives_);
  BigDecimal digits = bigOf(static_cast<uint64_t>(scaledSum));
  for (int32_t k = twos_; k < places; ++k) multiplyBig(digits, 2);
  for (int32_t k = fives_; k < places; ++k) multiplyBig(digits, 5);
  return decimalText(digits, places);
}

double RealScale::value(Capacity scaledSum) const {
  return std::strtod(text(scaledSum).c_str(), nullptr);
}

long double RealScale::errorBound(int64_t edges) const {
  return exact_ ? 0 : std::ldexp(static_cast<long double>(edges), -twos_);
}

std::string RealScale::describe() const {
  if (!exact_) return "fixed point, scale 2^" + std::to_string(twos_);
  return "exact, scale 2^" + std::to_string(twos_) + " 5^" + std::to_string(fives_);
}

// --- the weights of a tree's cuts --------------------------------------------

namespace {

// Union-find over tree nodes for the lowest common ancestors of the graph's
// edges, found offline in one walk of the tree (Tarjan's method).
struct AncestorWalk {
  std::vector<int32_t> leader, ancestor;
  int32_t find(int32_t x) { return detail::findRoot(leader, x); }
};

// A sum kept as a head and the rounding errors of its additions (Knuth's
// two-sum): the crossing sums below add and take off values of every size,
// and a plain sum would lose a small value beside a large one taken off
// again.
struct CompensatedSum {
  long double head = 0, tail = 0;
  void add(long double x) {
    long double s = head + x, back = s - x;
    tail += (head - back) + (x - (s - back));
    head = s;
  }
  void add(const CompensatedSum &other) {
    add(other.head);
    add(other.tail);
  }
  long double value() const { return head + tail; }
};

// For each node, the sum of the values of the edges with one end in its
// subtree and the other outside: each edge adds its value at both ends and
// takes it off twice at their lowest common ancestor.
std::vector<CompensatedSum> crossingSums(const std::vector<int32_t> &parent,
                                      const std::vector<Edge> &edges,
                                      const std::vector<int32_t> &at,
                                      const std::vector<RealValue> &values) {
  const int32_t n = static_cast<int32_t>(parent.size());
  std::vector<int32_t> childStart(n + 1, 0), children(n > 0 ? n - 1 : 0);
  for (int32_t k = 1; k < n; ++k) ++childStart[parent[k] + 1];
  for (int32_t k = 0; k < n; ++k) childStart[k + 1] += childStart[k];
  std::vector<int32_t> fill(childStart.begin(), childStart.end() - 1);
  for (int32_t k = 1; k < n; ++k) children[fill[parent[k]]++] = k;

  std::vector<int32_t> edgeStart(n + 1, 0), edgeAt(2 * edges.size());
  for (const Edge &e : edges) ++edgeStart[at[e.u] + 1], ++edgeStart[at[e.v] + 1];
  for (int32_t k = 0; k < n; ++k) edgeStart[k + 1] += edgeStart[k];
  std::vector<int32_t> slot(edgeStart.begin(), edgeStart.end() - 1);
  for (size_t k = 0; k < edges.size(); ++k) {
    edgeAt[slot[at[edges[k].u]]++] = static_cast<int32_t>(k);
    edgeAt[slot[at[edges[k].v]]++] = static_cast<int32_t>(k);
  }

  std::vector<CompensatedSum> sum(n);
  AncestorWalk walk{std::vector<int32_t>(n), std::vector<int32_t>(n)};
  for (int32_t k = 0; k < n; ++k) walk.leader[k] = walk.ancestor[k] = k;
  std::vector<char> done(n, 0);
  std::vector<int32_t> order;  // the nodes in the order the walk leaves them
  std::vector<std::pair<int32_t, int32_t>> stack;
  if (n > 0) stack.push_back({0, childStart[0]});
  while (!stack.empty()) {
    auto &[x, next] = stack.back();
    if (next < childStart[x + 1]) {
      stack.push_back({children[next++], 0});
      stack.back().second = childStart[stack.back().first];
      continue;
    }
    done[x] = 1;
    for (int32_t s = edgeStart[x]; s < edgeStart[x + 1]; ++s) {
      const Edge &e = edges[edgeAt[s]];
      int32_t other = at[e.u] == x ? at[e.v] : at[e.u];
      long double w = values[edgeAt[s]].approx();
      if (other == x) continue;  // a self loop crosses no cut
      sum[x].add(w);
      if (done[other]) sum[walk.ancestor[walk.find(other)]].add(-2 * w);
    }
    int32_t finished = x;
    stack.pop_back();
    if (!stack.empty()) {
      int32_t up = stack.back().first;
      walk.leader[walk.find(finished)] = walk.find(up);
      walk.ancestor[walk.find(up)] = up;
    }
    order.push_back(finished);
  }
  for (int32_t x : order)
    if (x != 0) sum[parent[x]].add(sum[x]);
  return sum;
}

}  // namespace

std::vector<std::string> realCutWeights(const CutTree &tree, const Graph &graph,
                                        const std::vector<RealValue> &capacities,
                                        const RealScale &scale) {
  const int32_t n = tree.nodeCount();
  if (graph.nodeCount() != n || static_cast<int64_t>(capacities.size()) != graph.edgeCount())
    throw Error("the tree, the graph and the capacities do not match");
  std::vector<std::string> weights(n, "0");
  if (scale.exact()) {
    for (int32_t k = 1; k < n; ++k) weights[k] = scale.text(tree.weights()[k]);
    return weights;
  }
  std::vector<int32_t> at(n);
  for (int32_t k = 0; k < n; ++k) at[k] = tree.indexOf(graph.idOf(k));
  std::vector<CompensatedSum> sums = crossingSums(tree.parents(), graph.edges(), at, capacities);
  for (int32_t k = 1; k < n; ++k) weights[k] = realSumText(sums[k].value());
  return weights;
}

}  // namespace sunder
