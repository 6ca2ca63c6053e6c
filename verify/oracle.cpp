// Max flows by Boost Graph's push-relabel. Kept in a file of its own so that
// the build can compile it optimised and without sanitizers: it is the
// trusted reference, not the code under test, and instrumented Boost would
// dominate the running time of checks.
#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/push_relabel_max_flow.hpp>

#include <stdexcept>
#include <string>

#include "verify/oracle.h"

namespace oracle {

namespace {

using Traits = boost::adjacency_list_traits<boost::vecS, boost::vecS,
                                            boost::directedS>;
using FlowGraph = boost::adjacency_list<
    boost::vecS, boost::vecS, boost::directedS, boost::no_property,
    boost::property<
        boost::edge_capacity_t, long long,
        boost::property<boost::edge_residual_capacity_t, long long,
                        boost::property<boost::edge_reverse_t,
                                        Traits::edge_descriptor>>>>;

}  // namespace

struct MaxFlow::Impl {
  FlowGraph g;
};

MaxFlow::MaxFlow(int n, const std::vector<Edge> &edges)
    : impl_(new Impl{FlowGraph(n)}) {
  FlowGraph &g = impl_->g;
  auto capacity = get(boost::edge_capacity, g);
  auto reverse = get(boost::edge_reverse, g);
  auto addArc = [&](int from, int to, long long cap) {
    auto forward = add_edge(from, to, g).first;
    auto backward = add_edge(to, from, g).first;
    capacity[forward] = cap;
    capacity[backward] = 0;
    reverse[forward] = backward;
    reverse[backward] = forward;
  };
  int64_t total = 0;
  for (const Edge &e : edges) {
    if (e.u == e.v) continue;
    if (e.cap > kMaxTotalCapacity - total)
      throw std::overflow_error("max flow oracle: the capacities add up to more than " +
                                std::to_string(kMaxTotalCapacity));
    if (e.cap > 0) total += e.cap;
    addArc(e.u, e.v, e.cap);
    addArc(e.v, e.u, e.cap);
  }
}

MaxFlow::~MaxFlow() = default;

int64_t MaxFlow::maxFlow(int s, int t) {
  return boost::push_relabel_max_flow(impl_->g, s, t);
}

std::vector<bool> MaxFlow::sourceSide(int s, int t) {
  FlowGraph &g = impl_->g;
  boost::push_relabel_max_flow(g, s, t);
  auto residual = get(boost::edge_residual_capacity, g);
  std::vector<bool> seen(num_vertices(g), false);
  std::vector<int> todo{s};
  seen[s] = true;
  while (!todo.empty()) {
    int u = todo.back();
    todo.pop_back();
    for (auto [it, end] = out_edges(u, g); it != end; ++it) {
      int w = static_cast<int>(target(*it, g));
      if (residual[*it] > 0 && !seen[w]) {
        seen[w] = true;
        todo.push_back(w);
      }
    }
  }
  return seen;
}

}  // namespace oracle
