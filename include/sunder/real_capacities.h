// Real-valued capacities and the whole capacities a build works in.
//
// A build's capacities are whole numbers. A graph whose capacities are real
// numbers is built at a scale S: each capacity c becomes a whole number
// near c * S, chosen once for the whole graph by RealScale.
//
//   Exact        every value is a decimal ("2.5", "1e-3"), a double (read as
//                its shortest decimal, the text that prints it), or a
//                fraction whose denominator has no prime factor but 2 and 5,
//                and at S = 2^A 5^B, the least common denominator, every
//                scaled value is whole and they add up to at most
//                kMaxTotalCapacity. Every cut value of the build is then
//                exactly its scaled value divided by S.
//   Fixed point  otherwise (a denominator 3, more than 19 significant
//                digits, or scaled values too large to add up within the
//                bound): S is the largest power of two at which the values
//                c * S, each rounded to the nearest whole number, add up
//                within the bound. Each capacity is then off by at most
//                1 / (2 S), so every cut a build finds minimal at that scale
//                is within m / S of the true minimum (m edges): about
//                m * 2^-61 times the total capacity.
//
// The weights reported for a tree (realCutWeights) are the original values
// summed over the edges of the cut each tree edge names, so they are exact
// for the cuts returned: in the exact case every digit, in fixed point to
// the precision of a long double sum.
#ifndef SUNDER_REAL_CAPACITIES_H
#define SUNDER_REAL_CAPACITIES_H

#include <cstdint>
#include <string>
#include <vector>

#include "sunder/cut_tree.h"
#include "sunder/export.h"
#include "sunder/graph.h"

namespace sunder {

// A non-negative real number: numerator / (2^twos 5^fives) when it is such a
// number (exact()), and always its nearest long double.
class SUNDER_API RealValue {
 public:
  RealValue() = default;
  // Decimal text ("12", "2.5", ".5", "1.5e-3", "+3") or a fraction of two
  // whole decimals ("1/3"). Error "capacity TEXT is not a number",
  // "... is negative" or "... is not finite" (inf, nan).
  static RealValue parse(const std::string &text);
  // A double, as the shortest decimal that reads back as it; Error on a
  // negative, infinite or NaN value.
  static RealValue of(double value);

  bool exact() const { return exact_; }
  uint64_t numerator() const { return numerator_; }
  int32_t twos() const { return twos_; }
  int32_t fives() const { return fives_; }
  long double approx() const { return approx_; }

 private:
  static RealValue fromDigits(uint64_t digits, bool allDigits, int64_t exponent, long double approx);
  void reduce();

  uint64_t numerator_ = 0;
  int32_t twos_ = 0;
  int32_t fives_ = 0;
  bool exact_ = true;
  long double approx_ = 0;
};

// The scale of a graph's real capacities (see above).
class SUNDER_API RealScale {
 public:
  RealScale() = default;  // exact, S = 1
  explicit RealScale(const std::vector<RealValue> &values);

  bool exact() const { return exact_; }
  // The whole capacity of `value` at this scale (one of the values the
  // scale was chosen for).
  Capacity scaled(const RealValue &value) const;
  // The least whole capacity at this scale that is `value` or more: the
  // threshold in scaled capacities for "at least value" (INT64_MAX when
  // no sum of capacities reaches it).
  Capacity atLeast(const RealValue &value) const;
  // A sum of scaled capacities as a real number: the exact decimal when the
  // scale is exact ("2.5", "0.125", "3"), else the nearest 17 digits.
  std::string text(Capacity scaledSum) const;
  double value(Capacity scaledSum) const;
  // How far a cut found minimal at this scale may lie above the true
  // minimum, for a graph of `edges` edges: 0 when exact, else edges / S.
  long double errorBound(int64_t edges) const;
  // "exact, scale 2^1 5^1" or "fixed point, scale 2^40".
  std::string describe() const;

 private:
  bool exact_ = true;
  int32_t twos_ = 0;    // S = 2^twos 5^fives when exact, 2^twos (any sign) else
  int32_t fives_ = 0;
};

// A sum of real values in fixed point as output writes it: its nearest 17
// significant digits ("0.66666666666666667", "1e+20").
SUNDER_API std::string realSumText(long double sum);

// Every tree edge's weight as a real number, by child index (the root's is
// "0"): the values of `capacities` (graph edge k has capacities[k]) summed
// over the edges that cross the cut the tree edge names (the child's
// subtree against the rest). `tree` must have been built from `graph`'s
// capacities scaled by `scale`.
SUNDER_API std::vector<std::string> realCutWeights(const CutTree &tree, const Graph &graph,
                                        const std::vector<RealValue> &capacities,
                                        const RealScale &scale);

}  // namespace sunder

#endif
