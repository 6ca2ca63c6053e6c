#!/usr/bin/python3
"""Writes real networks as instance files for the peer benchmark.

The networks come with Debian's python3-graph-tool (graph_tool.collection,
no download): netscience, power, hep-th, polblogs, cond-mat, as-22july06.
graph_tool is a module of Debian's /usr/bin/python3; run under another
python3 (a pyenv one, say) the script starts itself again under
/usr/bin/python3. `bash tools/setup-peers.sh` installs the package.

Every network gives NAME.cut with unit capacities; one with an edge weight
property ("value": netscience, hep-th, cond-mat) also gives
NAME-weighted.cut with capacity round(100 x weight), halves rounded up.
The graph is taken as undirected: one edge per unordered pair of nodes (a
directed network is symmetrised; the weight of a merged pair is the sum of
its edges' weights), self loops dropped, and nodes left without an edge
dropped too (the instance readers take the node set from the arc lines).
The others are numbered 1..n in the collection's order; edges are written
in increasing (smaller end, larger end) order.

Writes into DIR (default bench/data/, which git ignores) and lists what it
wrote: file, n, m. Then, for example:

  bench/peers/run --files bench/data --limit 60

Exit status: 0 done, 1 a network or a file failed, 2 bad arguments or no
graph_tool.
"""
import argparse
import math
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
NETWORKS = ["netscience", "power", "hep-th", "polblogs", "cond-mat", "as-22july06"]
DEBIAN_PYTHON = "/usr/bin/python3"


def import_graph_tool():
    """graph_tool.collection, starting again under Debian's python3 if needed."""
    try:
        import graph_tool.collection as collection
        return collection
    except ImportError:
        if os.path.realpath(sys.executable) != os.path.realpath(DEBIAN_PYTHON) \
                and os.access(DEBIAN_PYTHON, os.X_OK) and "REALNETS_REEXEC" not in os.environ:
            os.environ["REALNETS_REEXEC"] = "1"
            os.execv(DEBIAN_PYTHON, [DEBIAN_PYTHON, os.path.abspath(__file__)] + sys.argv[1:])
        sys.exit(f"realnets: no graph_tool in {sys.executable} or {DEBIAN_PYTHON} "
                 "(apt-get install python3-graph-tool, or bash tools/setup-peers.sh)")


def simple_edges(graph, weights):
    """{(u, v): weight sum} over vertex indices u < v, loops left out."""
    pairs = {}
    for e in graph.edges():
        u, v = int(e.source()), int(e.target())
        if u == v:
            continue
        key = (u, v) if u < v else (v, u)
        pairs[key] = pairs.get(key, 0.0) + (float(weights[e]) if weights is not None else 1.0)
    return pairs


def write_instance(path, header, pairs, capacity):
    """Numbers the nodes that have an edge 1..n; returns (n, m)."""
    ends = sorted({x for pair in pairs for x in pair})
    number = {x: k for k, x in enumerate(ends, 1)}
    rows = sorted((number[u], number[v], capacity(w)) for (u, v), w in pairs.items())
    tmp = path + ".tmp"
    with open(tmp, "w") as f:
        for line in header:
            f.write(f"c {line}\n")
        f.write(f"p cut {len(ends):8d} {len(rows):8d}\n")
        f.writelines(f"a {u} {v} {c}\n" for u, v, c in rows)
    os.replace(tmp, path)
    return len(ends), len(rows)


def convert(collection, name, out_dir):
    """Writes NAME.cut (and NAME-weighted.cut); returns [(file, n, m)]."""
    graph = collection.data[name]
    kind = "directed, symmetrised" if graph.is_directed() else "undirected"
    # Short comment lines: the suite's reader takes lines of up to 99 characters.
    about = [f"{name}, graph_tool.collection: {graph.num_vertices()} vertices, "
             f"{graph.num_edges()} edges, {kind}",
             "one edge per node pair, no self loops, nodes without an edge left out"]
    written = []
    pairs = simple_edges(graph, None)
    path = os.path.join(out_dir, f"{name}.cut")
    written.append((path, *write_instance(path, about + ["unit capacities"], pairs, lambda w: 1)))
    if "value" in graph.ep:
        pairs = simple_edges(graph, graph.ep["value"])
        if not all(math.isfinite(w) for w in pairs.values()):
            print(f"{name}: an edge weight 'value' is not finite; no weighted variant",
                  file=sys.stderr)
            return written
        path = os.path.join(out_dir, f"{name}-weighted.cut")
        written.append((path, *write_instance(
            path, about + ["capacity round(100 x edge weight 'value')"], pairs,
            lambda w: int(math.floor(100.0 * w + 0.5)))))
    return written


def main():
    p = argparse.ArgumentParser(
        description="Real networks of graph_tool's collection as instance files.",
        epilog=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("dir", nargs="?", default=os.path.join(ROOT, "bench", "data"),
                   help="output directory (default bench/data/)")
    p.add_argument("--networks", default=",".join(NETWORKS),
                   help="comma-separated collection keys (default: " + ",".join(NETWORKS) + ")")
    args = p.parse_args()
    collection = import_graph_tool()
    names = [x for x in args.networks.split(",") if x]
    known = set(collection.data.keys())  # a lazy dict: `in` sees only loaded ones
    unknown = [x for x in names if x not in known]
    if unknown or not names:
        p.error("unknown network: " + ", ".join(unknown) + "; the collection has "
                + ", ".join(sorted(known)))
    os.makedirs(args.dir, exist_ok=True)
    status = 0
    print(f"{'file':<40} {'n':>8} {'m':>8}")
    for name in names:
        try:
            for path, n, m in convert(collection, name, args.dir):
                print(f"{os.path.relpath(path):<40} {n:>8} {m:>8}", flush=True)
        except (OSError, KeyError, ValueError) as e:
            print(f"realnets: {name}: {e}", file=sys.stderr)
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
