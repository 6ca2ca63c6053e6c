"""Writes graph files the way networkx and igraph save them, for cuttree's
network-format test, and the answers networkx's own Gomory-Hu tree gives
for a random graph.

    network_files.py DIR

DIR/small.*   the graph alice-007:3, 007-bob:2, alice-bob:4, bob-42:6 (the
              test works its tree out by hand), by networkx: .graphml,
              .gml, .edgelist (write_edgelist with the data dict), .weighted
              (write_weighted_edgelist, an extension that names no format);
              by igraph: .ig.graphml, .ig.gml, .ncol.
DIR/random.*  a connected random graph of 30 nodes "v0" ... "v29" with
              capacities 1 ... 9, by networkx (.graphml, .gml, .edgelist) and
              igraph (.ig.gml); random.pairs lists every pair of nodes and
              random.expected the line "q U V VALUE" cuttree must print for
              it, VALUE the smallest weight on the pair's path in
              networkx.gomory_hu_tree.
"""
import itertools
import random
import sys

import igraph
import networkx as nx

SMALL = [("alice", "007", 3), ("007", "bob", 2), ("alice", "bob", 4), ("bob", "42", 6)]


def write_all(graph, edges, stem, with_igraph_graphml):
    nx.write_graphml(graph, stem + ".graphml")
    nx.write_gml(graph, stem + ".gml")
    nx.write_edgelist(graph, stem + ".edgelist", data=True)
    shared = igraph.Graph.TupleList(edges, weights=True)
    shared.write_gml(stem + ".ig.gml")
    if with_igraph_graphml:
        nx.write_weighted_edgelist(graph, stem + ".weighted")
        shared.write_graphml(stem + ".ig.graphml")
        shared.write_ncol(stem + ".ncol")


def small(out):
    graph = nx.Graph()
    graph.add_weighted_edges_from(SMALL)
    write_all(graph, SMALL, out + "/small", True)


def random_graph(out):
    draw = random.Random(7)
    names = ["v%d" % k for k in range(30)]
    edges = {}
    for k in range(1, 30):  # a spanning tree keeps it connected
        edges[(names[draw.randrange(k)], names[k])] = draw.randint(1, 9)
    while len(edges) < 80:
        u, v = draw.sample(names, 2)
        if (u, v) not in edges and (v, u) not in edges:
            edges[(u, v)] = draw.randint(1, 9)
    listed = [(u, v, w) for (u, v), w in edges.items()]
    graph = nx.Graph()
    graph.add_weighted_edges_from(listed)
    write_all(graph, listed, out + "/random", False)
    tree = nx.gomory_hu_tree(graph, capacity="weight")
    with open(out + "/random.pairs", "w") as pairs, open(out + "/random.expected", "w") as expected:
        for u, v in itertools.combinations(names, 2):
            path = nx.shortest_path(tree, u, v)
            value = min(tree[a][b]["weight"] for a, b in zip(path, path[1:]))
            pairs.write("%s %s\n" % (u, v))
            expected.write("q %s %s %d\n" % (u, v, value))


if __name__ == "__main__":
    small(sys.argv[1])
    random_graph(sys.argv[1])
