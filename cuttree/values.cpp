#include "cuttree/values.h"

#include <algorithm>
#include <cstdlib>

namespace sunder::cuttree {

AnswerValues::AnswerValues(const sunder::GraphFile &file, const sunder::CutTree &tree)
    : file_(file), tree_(tree) {
  if (file.realCapacities.empty() || file.scale.exact()) return;
  ranked_ = true;
  std::vector<std::string> weights =
      sunder::realCutWeights(tree, file.graph, file.realCapacities, file.scale);
  int32_t n = tree.nodeCount();
  std::vector<std::pair<long double, int32_t>> byValue;  // the edges by real weight
  for (int32_t k = 0; k < n; k++)
    if (tree.parents()[k] >= 0) byValue.push_back({std::strtold(weights[k].c_str(), nullptr), k});
  std::sort(byValue.begin(), byValue.end());
  std::vector<sunder::Capacity> rank(n, 0);
  texts_.assign(1, "0");
  values_.assign(1, 0);
  for (const auto &[value, k] : byValue) {
    if (value > values_.back()) {
      texts_.push_back(weights[k]);
      values_.push_back(value);
    }
    rank[k] = static_cast<sunder::Capacity>(texts_.size() - 1);
  }
  rankedTree_ = sunder::CutTree(tree.ids(), tree.parents(), rank, tree.stats());
}

std::string AnswerValues::text(sunder::Capacity value) const {
  if (!ranked_) return file_.scale.text(value);
  return texts_.at(static_cast<size_t>(value));
}

sunder::Capacity AnswerValues::atLeast(int64_t number) const {
  if (!ranked_) return file_.scale.atLeast(sunder::RealValue::parse(std::to_string(number)));
  auto at = std::lower_bound(values_.begin(), values_.end(), static_cast<long double>(number));
  return at == values_.end() ? INT64_MAX : static_cast<sunder::Capacity>(at - values_.begin());
}

AnswerValues::KCutText AnswerValues::minKCut(int64_t k) const {
  sunder::KCut cut = sunder::minKCut(tree(), file_.graph, k);
  if (!ranked_) return {text(cut.value), text(cut.treeBound), std::move(cut.parts)};
  // The parts' crossing capacity in the file's values, and the real weights
  // of the k - 1 lightest tree edges the parts leave out.
  std::vector<int32_t> partOf(static_cast<size_t>(tree().nodeCount()), 0);
  for (size_t p = 0; p < cut.parts.size(); p++)
    for (sunder::NodeId x : cut.parts[p]) partOf[static_cast<size_t>(tree().indexOf(x))] = static_cast<int32_t>(p);
  const sunder::Graph &g = file_.graph;
  long double crossing = 0, bound = 0;
  for (int64_t e = 0; e < g.edgeCount(); e++) {
    const sunder::Edge &edge = g.edges()[static_cast<size_t>(e)];
    int32_t a = partOf[static_cast<size_t>(tree().indexOf(g.idOf(edge.u)))];
    int32_t b = partOf[static_cast<size_t>(tree().indexOf(g.idOf(edge.v)))];
    if (a != b) crossing += file_.realCapacities[static_cast<size_t>(e)].approx();
  }
  std::vector<long double> weights;
  for (int32_t x = 0; x < tree().nodeCount(); x++)
    if (tree().parents()[x] >= 0) weights.push_back(values_[static_cast<size_t>(tree().weights()[x])]);
  std::sort(weights.begin(), weights.end());
  for (int64_t j = 0; j + 1 < k && j < static_cast<int64_t>(weights.size()); j++) bound += weights[j];
  return {sunder::realSumText(crossing), sunder::realSumText(bound), std::move(cut.parts)};
}

}  // namespace sunder::cuttree
