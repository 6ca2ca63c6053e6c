#!/usr/bin/env python3
"""The Python package against networkx's gomory_hu_tree and python-igraph's
Graph.gomory_hu_tree, side by side on random graphs (gnm, m = 4n, capacities
1 ... 100), each timed from its graph object to its tree, conversion
included:

  sunder (nx)    sunder.gomory_hu_tree on the networkx graph
  sunder (np)    sunder.cut_tree on the edge and capacity arrays
  igraph         Graph.gomory_hu_tree(capacity="weight")
  networkx       networkx.gomory_hu_tree, in a child process stopped after
                 --cap seconds (its default flow function)

Each tree's minimum cut values of 300 random pairs are checked against
igraph's. Usage:
  PYTHONPATH=build/python /usr/bin/python3 bench/python_peers.py [--sizes 100,300] [--cap 60]
"""

import argparse
import multiprocessing as mp
import os
import random
import time

import igraph as ig
import networkx as nx
import numpy as np

import sunder


def make_graph(n, seed):
    rng = random.Random(seed)
    G = nx.gnm_random_graph(n, 4 * n, seed=seed)
    for u, v in G.edges:
        G[u][v]["capacity"] = rng.randint(1, 100)
    return G


def tree_values(T, pairs, weight):
    """Minimum cut values of `pairs` read off the networkx tree T."""
    out = []
    for a, b in pairs:
        path = nx.shortest_path(T, a, b)
        out.append(min(T[x][y][weight] for x, y in zip(path, path[1:])))
    return out


def networkx_child(n, seed, queue):
    G = make_graph(n, seed)
    start = time.perf_counter()
    T = nx.gomory_hu_tree(G)
    queue.put((time.perf_counter() - start, list(T.edges(data="weight"))))


def run_networkx(n, seed, cap):
    queue = mp.Queue()
    child = mp.Process(target=networkx_child, args=(n, seed, queue))
    child.start()
    try:
        seconds, edges = queue.get(timeout=cap + 30)  # the graph is made first
    except Exception:
        seconds, edges = None, None
    child.join(1)
    if child.is_alive():
        child.terminate()
        child.join()
    if seconds is not None and seconds > cap:
        return None, None
    return seconds, edges


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--sizes", default="100,300,1000,2000,5000")
    ap.add_argument("--cap", type=float, default=60.0, help="networkx's time limit (s)")
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    sizes = [int(s) for s in args.sizes.split(",")]
    print(f"# gnm m = 4n, capacities 1 ... 100; seconds per tree, conversion included; "
          f"load {os.getloadavg()[0]:.1f} on {os.cpu_count()} cores")
    print(f"{'n':>6} {'m':>6} {'sunder (nx)':>12} {'sunder (np)':>12} {'igraph':>9} "
          f"{'networkx':>10}  check")
    networkx_gave_up = False
    for n in sizes:
        G = make_graph(n, args.seed + n)
        rng = random.Random(n)
        pairs = [tuple(rng.sample(range(n), 2)) for _ in range(300)]

        start = time.perf_counter()
        T_sunder = sunder.gomory_hu_tree(G)
        t_sunder = time.perf_counter() - start

        start = time.perf_counter()
        edges = np.array(G.edges, dtype=np.int64)
        caps = np.fromiter((c for _, _, c in G.edges(data="capacity")), dtype=np.int64,
                           count=len(edges))
        tree_np = sunder.cut_tree(edges, caps, n=n)
        t_numpy = time.perf_counter() - start

        start = time.perf_counter()
        g = ig.Graph(n=n, edges=list(G.edges), directed=False)
        g.es["weight"] = [c for _, _, c in G.edges(data="capacity")]
        T_igraph = g.gomory_hu_tree(capacity="weight")
        t_igraph = time.perf_counter() - start

        if networkx_gave_up:
            t_nx, nx_edges = None, None
        else:
            t_nx, nx_edges = run_networkx(n, args.seed + n, args.cap)
            networkx_gave_up = t_nx is None

        expected = tree_values(T_igraph.to_networkx(), pairs, "flow")
        ok = tree_values(T_sunder, pairs, "weight") == expected
        ok = ok and tree_np.min_cut_value(np.array(pairs)[:, 0], np.array(pairs)[:, 1]).tolist() == expected
        if nx_edges is not None:
            T_nx = nx.Graph()
            T_nx.add_weighted_edges_from(nx_edges)
            ok = ok and tree_values(T_nx, pairs, "weight") == expected
        nx_text = f"{t_nx:10.3f}" if t_nx is not None else f"{'> ' + format(args.cap, 'g'):>10}"
        print(f"{n:>6} {G.number_of_edges():>6} {t_sunder:12.3f} {t_numpy:12.3f} {t_igraph:9.3f} "
              f"{nx_text}  {'same' if ok else 'DIFFERENT'}", flush=True)


if __name__ == "__main__":
    main()
