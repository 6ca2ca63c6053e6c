// Nodes whose cut to a hub is proven to be the node alone, without a flow,
// by packing trees from the hub.
//
// Trees grow from the hub one after another over the residual capacity the
// trees before it left, and each takes an amount w, the smallest residual
// capacity among its edges, off every edge it uses. Every tree that reaches
// v holds a path from the hub to v, and a cut between them crosses each
// such path, on an edge whose capacity the trees through it do not exceed:
// the cut weighs at least the amounts of the trees that reach v added up.
// Once those reach v's weighted degree, v alone is a minimum cut between v
// and the hub.
//
// A node proven so is a leaf of every tree that reaches it, by one edge of
// its own each time. So each tree spends as few edges of the nodes with few
// arcs as it can: the hub gives it one arc (to the neighbour with the most
// arcs), and from there the reached node with the most arcs is expanded
// first, taking an arc to every neighbour not reached yet; a node with few
// arcs is expanded last, when most of its neighbours are in the tree
// already. The packing stops once the hub has no residual arc left, or
// after a number of arc looks proportional to the graph's. It packs nothing
// where more than fifteen sixteenths of the edges weigh more than 1: on
// such weighted networks the trees carried little each and the packing cost
// more time than it spared.
//
// What it proves holds for the Gusfield driver whatever the sink: when the
// hub is the root of the run, every node's sink is a node its cut to the hub
// does not separate from it more cheaply (see the proof in the .cpp), so v
// alone is a minimum cut to its sink as well.
#ifndef SUNDER_ENGINES_TREE_PACKING_H
#define SUNDER_ENGINES_TREE_PACKING_H

#include <cstdint>
#include <functional>
#include <vector>

#include "lib/engines/compact_graph.h"

namespace sunder::detail {

struct TreePacking {
  // by node: 1 when the node alone is proven a minimum cut between it and
  // the hub (0 for the hub itself)
  std::vector<uint8_t> aloneToHub;
  int32_t proven = 0;  // nodes with aloneToHub set
  int32_t trees = 0;   // trees packed
  int64_t scans = 0;   // arcs looked at
};

// The share of the packing done, from 0 to 1, now and then while it packs
// (about each 1/64): by its arc looks against those a packing is expected
// to make; it may reach 1 before the packing ends.
using PackingProgress = std::function<void(double share)>;

// The packing of trees from `hub` in `g` (see above); `progress` may be
// empty.
TreePacking packTrees(const CompactGraph &g, int32_t hub, const PackingProgress &progress = {});

}  // namespace sunder::detail

#endif
