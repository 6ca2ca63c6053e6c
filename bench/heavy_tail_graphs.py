#!/usr/bin/env python3
"""Heavy-tailed sparse graphs in DIMACS cut format ("p cut N M", "a U V CAP",
nodes 1..n), for timing the engines on graphs shaped like real networks:
  pa    preferential attachment, each new node joined to k earlier ones
  tree  a random recursive tree plus extra random edges (a share of n)
Usage: heavy_tail_graphs.py pa|tree N OUT [--k K] [--extra F] [--maxcap C] [--seed S]
"""
import argparse
import random


def preferential(n, k, rng):
    edges, ends = [], []
    for v in range(1, n):
        picks = set()
        while len(picks) < min(k, v):
            picks.add(rng.choice(ends) if ends and rng.random() < 0.9 else rng.randrange(v))
        for u in picks:
            edges.append((u, v))
            ends += [u, v]
    return edges


def tree_plus(n, extra, rng):
    edges = [(rng.randrange(v), v) for v in range(1, n)]
    for _ in range(int(extra * n)):
        u, v = rng.randrange(n), rng.randrange(n)
        if u != v:
            edges.append((u, v))
    return edges


def main():
    p = argparse.ArgumentParser()
    p.add_argument("kind", choices=["pa", "tree"])
    p.add_argument("n", type=int)
    p.add_argument("out")
    p.add_argument("--k", type=int, default=2)
    p.add_argument("--extra", type=float, default=0.1)
    p.add_argument("--maxcap", type=int, default=1)
    p.add_argument("--seed", type=int, default=1)
    a = p.parse_args()
    rng = random.Random(a.seed)
    edges = preferential(a.n, a.k, rng) if a.kind == "pa" else tree_plus(a.n, a.extra, rng)
    with open(a.out, "w") as f:
        f.write(f"p cut {a.n} {len(edges)}\n")
        for u, v in edges:
            f.write(f"a {u + 1} {v + 1} {rng.randint(1, a.maxcap)}\n")


if __name__ == "__main__":
    main()
