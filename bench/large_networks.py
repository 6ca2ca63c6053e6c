#!/usr/bin/python3
"""Writes the large instances of the peer benchmark as edge lists, once.

  collection   every network of graph_tool.collection (Debian's
               python3-graph-tool, no download) with 5,000 or more vertices:
               NAME.tsv with unit capacities and, where the network has an
               edge weight ("value"), NAME-weighted.tsv with capacity
               round(100 x weight), halves rounded up (none where a weight
               is not finite: cond-mat-2005 has two infinite ones). A
               network that does not load from the package is skipped with
               a message.
  price        price_network(N, m=3, directed=False) for N = 10^5, 10^6 and
               3,340,000 (about 10^7 edges): price-N.tsv.
  delaunay     the Delaunay triangulation of 10^5 points drawn uniformly
               in the unit square: delaunay-100000.tsv.

Every graph is taken as undirected and simple: one edge per unordered node
pair (the weight of a merged pair is the sum of its edges' weights), self
loops dropped, nodes without an edge dropped, the rest numbered 0 ... n-1
in the graph's own order. Each line is "U<TAB>V" (smaller end first) or
"U<TAB>V<TAB>CAPACITY", in increasing (U, V) order, with no comment or
header: an edge list that cuttree reads by its .tsv extension and, when the
capacities are all 1, exactly the input of the unit-capacity peer.

The random generators are seeded (graph_tool.seed_rng and numpy's seed,
again before each graph), so a file is the same on every run and every
machine with the same graph-tool. A file that exists is not written again;
files appear whole (written under a temporary name, then renamed).

  bench/large_networks.py [DIR] [--only NAME,...] [--min-nodes K]
  bench/peers/run --files bench/data --limit 900 ...

DIR defaults to bench/data/ (git ignores it). Lists each file with its n and
m (a file already present: only its name). Exit status: 0 done, 1 a graph
or a file failed, 2 bad arguments or no graph_tool. graph_tool is a module
of Debian's /usr/bin/python3 (`bash tools/setup-peers.sh` installs it); run
by another python3 the script starts itself again under that one.
"""
import argparse
import os
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEBIAN_PYTHON = "/usr/bin/python3"
MIN_NODES = 5000
SEED = 1
PRICE_SIZES = [100_000, 1_000_000, 3_340_000]
DELAUNAY_POINTS = 100_000
CHUNK_ROWS = 1 << 20


def import_graph_tool():
    """(graph_tool, numpy), starting again under Debian's python3 if needed."""
    try:
        import graph_tool.all as gt
        import numpy as np
        return gt, np
    except ImportError:
        if os.path.realpath(sys.executable) != os.path.realpath(DEBIAN_PYTHON) \
                and os.access(DEBIAN_PYTHON, os.X_OK) and "LARGE_NETWORKS_REEXEC" not in os.environ:
            os.environ["LARGE_NETWORKS_REEXEC"] = "1"
            os.execv(DEBIAN_PYTHON, [DEBIAN_PYTHON, os.path.abspath(__file__)] + sys.argv[1:])
        sys.exit(f"large_networks: no graph_tool or numpy in {sys.executable} or {DEBIAN_PYTHON} "
                 "(apt-get install python3-graph-tool, or bash tools/setup-peers.sh)")


gt = np = None


def simple_edges(ends, weights=None):
    """(u, v, weight sums or None, n): one row per unordered pair of the
    (m, 2) array `ends`, loops dropped, the remaining nodes renumbered
    0 ... n-1 in increasing order of their old numbers; rows sorted."""
    ends = np.asarray(ends, dtype=np.int64)
    keep = ends[:, 0] != ends[:, 1]
    ends = np.sort(ends[keep], axis=1)
    if weights is not None:
        weights = np.asarray(weights, dtype=np.float64)[keep]
    named, renumbered = np.unique(ends, return_inverse=True)
    ends = renumbered.reshape(ends.shape).astype(np.int64)
    n = len(named)
    pairs, first, index = np.unique(ends[:, 0] * n + ends[:, 1], return_index=True,
                                    return_inverse=True)
    sums = None
    if weights is not None:
        sums = np.bincount(index.ravel(), weights=weights, minlength=len(pairs))
    return pairs // n, pairs % n, sums, n


def digit_counts(values):
    counts = np.ones(len(values), dtype=np.int64)
    for k in range(1, 19):
        counts += values >= 10 ** k
    return counts


def text_lines(columns):
    """The lines "C0<TAB>C1[<TAB>C2]\\n" of non-negative integer columns, as
    one uint8 array: each number's digits are placed by position, a digit
    rank at a time, so no Python code runs per row."""
    columns = [np.asarray(c, dtype=np.int64) for c in columns]
    widths = [digit_counts(c) for c in columns]
    lengths = sum(widths) + len(columns)
    ends = np.cumsum(lengths)
    text = np.empty(int(ends[-1]) if len(ends) else 0, dtype=np.uint8)
    at = ends - lengths
    for k, (values, width) in enumerate(zip(columns, widths)):
        last = at + width - 1
        rest = values.copy()
        for rank in range(int(width.max()) if len(width) else 0):
            live = width > rank
            text[last[live] - rank] = 48 + rest[live] % 10
            rest //= 10
        at = at + width
        text[at] = 9 if k + 1 < len(columns) else 10
        at = at + 1
    return text


def write_edges(path, columns):
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        for start in range(0, len(columns[0]), CHUNK_ROWS):
            f.write(text_lines([c[start:start + CHUNK_ROWS] for c in columns]).tobytes())
    os.replace(tmp, path)


def seed():
    gt.seed_rng(SEED)
    np.random.seed(SEED)


def collection_graphs(min_nodes):
    """[(name, graph loader)] of the collection's networks of min_nodes or
    more vertices; those that do not load are named on standard error."""
    import graph_tool.collection as collection
    found = []
    for name in sorted(set(collection.data.keys()) | set(collection.descriptions)):
        try:
            graph = collection.data[name]
        except Exception as e:  # a network the package does not carry: a download
            print(f"large_networks: {name}: not loaded offline, skipped ({type(e).__name__}: "
                  f"{str(e)[:120]})", file=sys.stderr)
            continue
        if graph.num_vertices() >= min_nodes:
            found.append((name, graph))
    return found


def collection_files(name, graph):
    """[(file name, writer)] for one collection network."""
    def unit():
        u, v, _, n = simple_edges(graph.get_edges()[:, :2])
        return n, [u, v]

    def weighted():
        edges = graph.get_edges([graph.ep["value"]])
        u, v, w, n = simple_edges(edges[:, :2], edges[:, 2])
        return n, [u, v, np.floor(100.0 * w + 0.5).astype(np.int64)]

    files = [(f"{name}.tsv", unit)]
    if "value" in graph.ep:
        bad = int(np.count_nonzero(~np.isfinite(graph.ep["value"].a)))
        if bad:
            print(f"large_networks: {name}: {bad} edge weight(s) not finite, no "
                  f"{name}-weighted.tsv", file=sys.stderr)
        else:
            files.append((f"{name}-weighted.tsv", weighted))
    return files


def price(n):
    def make():
        seed()
        g = gt.price_network(n, m=3, directed=False)
        u, v, _, nodes = simple_edges(g.get_edges())
        return nodes, [u, v]
    return make


def delaunay(points):
    def make():
        seed()
        g, _ = gt.triangulation(np.random.random((points, 2)), type="delaunay")
        u, v, _, nodes = simple_edges(g.get_edges())
        return nodes, [u, v]
    return make


def planned(min_nodes):
    files = []
    for name, graph in collection_graphs(min_nodes):
        files += collection_files(name, graph)
    files += [(f"price-{n}.tsv", price(n)) for n in PRICE_SIZES]
    files.append((f"delaunay-{DELAUNAY_POINTS}.tsv", delaunay(DELAUNAY_POINTS)))
    return files


def main():
    global gt, np
    p = argparse.ArgumentParser(
        description="Large networks and generated graphs as edge-list instance files.",
        epilog=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("dir", nargs="?", default=os.path.join(ROOT, "bench", "data"),
                   help="output directory (default bench/data/)")
    p.add_argument("--only", help="comma-separated file names without .tsv (default: all)")
    p.add_argument("--min-nodes", type=int, default=MIN_NODES,
                   help=f"smallest collection network taken, in vertices (default {MIN_NODES})")
    args = p.parse_args()
    gt, np = import_graph_tool()
    files = planned(args.min_nodes)
    if args.only:
        wanted = [x for x in args.only.split(",") if x]
        known = {name[:-4] for name, _ in files}
        unknown = [x for x in wanted if x not in known]
        if unknown or not wanted:
            p.error("unknown file: " + ", ".join(unknown) + "; there are "
                    + ", ".join(sorted(known)))
        files = [(name, make) for name, make in files if name[:-4] in wanted]
    os.makedirs(args.dir, exist_ok=True)
    status = 0
    print(f"{'file':<40} {'n':>9} {'m':>10}  note", flush=True)
    for name, make in files:
        path = os.path.join(args.dir, name)
        try:
            if os.path.exists(path):
                n = m = ""
                note = "present, not written again"
            else:
                began = time.monotonic()
                n, columns = make()
                write_edges(path, columns)
                m, note = len(columns[0]), f"written in {time.monotonic() - began:.1f} s"
            print(f"{os.path.relpath(path):<40} {n:>9} {m:>10}  {note}", flush=True)
        except (OSError, KeyError, ValueError) as e:
            print(f"large_networks: {name}: {e}", file=sys.stderr)
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
