// The tree cuttree's answers are read from, and how their values print.
//
// With whole or exactly scaled real capacities that is the tree itself, and
// a value prints as the number it stands for at the file's scale. With real
// capacities in fixed point a scaled sum may round a cut below its true
// value (a capacity of 1 beside one of 1e20 scales to 0), while the tree
// text prints each edge's real weight: the file's values summed over the
// edge's cut. There the answers come from a tree of the same shape whose
// edges weigh the rank of their real weights, so that every value printed
// is the real weight of a tree edge: the capacity of a cut the build found,
// never below the minimum, and the one the tree text shows.
#ifndef CUTTREE_VALUES_H
#define CUTTREE_VALUES_H

#include <cstdint>
#include <string>
#include <vector>

#include "sunder/sunder.h"

namespace sunder::cuttree {

class AnswerValues {
 public:
  AnswerValues(const sunder::GraphFile &file, const sunder::CutTree &tree);

  // The tree to ask; its weights are ranks in fixed point.
  const sunder::CutTree &tree() const { return ranked_ ? rankedTree_ : tree_; }
  // A value tree() answered, as output writes it.
  std::string text(sunder::Capacity value) const;
  // The least weight of tree() that stands for `number` or more: the
  // threshold of "minimum cut at least number" (INT64_MAX when none does).
  sunder::Capacity atLeast(int64_t number) const;
  // The approximate minimum k-cut of tree() in the file's values: the
  // parts, their crossing capacity and the bound as output writes them.
  struct KCutText {
    std::string value, bound;
    std::vector<std::vector<sunder::NodeId>> parts;
  };
  KCutText minKCut(int64_t k) const;

 private:
  const sunder::GraphFile &file_;
  const sunder::CutTree &tree_;
  bool ranked_ = false;
  sunder::CutTree rankedTree_;
  // Fixed point: by rank, the real weight's text and value (rank 0 is 0).
  std::vector<std::string> texts_;
  std::vector<long double> values_;
};

}  // namespace sunder::cuttree

#endif
