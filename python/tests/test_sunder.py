"""The Python package against networkx (and python-igraph) as oracles.

Trees are compared by what they answer: the minimum cut value of every node
pair, read off each tree as the lightest edge on the pair's tree path. A
Gomory-Hu tree is not unique, so the edges themselves may differ."""

import itertools
import os
import random
import subprocess
import sys
import threading

import pytest

nx = pytest.importorskip("networkx")
import sunder  # noqa: E402

ENGINES = sunder.engines()


def all_pair_values(T, weight="weight"):
    """{frozenset((a, b)): lightest edge on the a-b path of the tree T}."""
    assert nx.is_tree(T) or len(T) == 1
    values = {}
    for source in T:
        stack = [(source, None, float("inf"))]
        while stack:
            node, parent, low = stack.pop()
            if node != source:
                values[frozenset((source, node))] = low
            for nbr, data in T[node].items():
                if nbr != parent:
                    stack.append((nbr, node, min(low, data[weight])))
    return values


def assert_same_cuts(G, capacity="capacity", **kwargs):
    expected = nx.gomory_hu_tree(G, capacity=capacity)
    got = sunder.gomory_hu_tree(G, capacity=capacity, **kwargs)
    assert list(got.nodes) == list(G.nodes)
    assert got.number_of_edges() == len(G) - 1
    assert all_pair_values(got) == all_pair_values(expected)
    return got


def cut_weight(G, side, capacity="capacity"):
    side = set(side)
    return sum(d[capacity] for u, v, d in G.edges(data=True) if (u in side) != (v in side))


# --- networkx's own test graphs ---------------------------------------------

def unit(G):
    nx.set_edge_attributes(G, 1, "capacity")
    return G


@pytest.mark.parametrize("name, make, capacity", [
    ("karate club", lambda: unit(nx.karate_club_graph()), "capacity"),
    ("karate club, weighted", nx.karate_club_graph, "weight"),
    ("Davis southern women", lambda: unit(nx.davis_southern_women_graph()), "capacity"),
    ("Florentine families", lambda: unit(nx.florentine_families_graph()), "capacity"),
    ("Les Miserables, weighted", nx.les_miserables_graph, "weight"),
])
def test_networkx_graphs_all_pairs(name, make, capacity):
    G = make()
    for engine in ENGINES:
        T = assert_same_cuts(G, capacity, engine=engine)
        assert all(type(w) is int for _, _, w in T.edges(data="weight"))


# --- random graphs ------------------------------------------------------------

def random_graph(rng, n, m, labels):
    G = nx.gnm_random_graph(n, m, seed=rng.randrange(2**32))
    if rng.random() < 0.3:
        G.add_edge(0, 0)  # a self loop, in no cut
    if labels == "strings":
        G = nx.relabel_nodes(G, {k: f"v{k * 7919 % 1000}" for k in G})
    elif labels == "tuples":
        G = nx.relabel_nodes(G, {k: (k % 3, str(k)) for k in G})
    return G


def test_random_graphs_against_networkx():
    rng = random.Random(20240611)
    for trial in range(240):
        n = rng.randint(1, 40)
        m = rng.randint(0, min(n * (n - 1) // 2, 3 * n))
        G = random_graph(rng, n, m, rng.choice(["ints", "strings", "tuples"]))
        kind = trial % 4
        for u, v in G.edges:
            c = rng.choice([0, 1, 2, 3, 7, 40, 1000]) if rng.random() < 0.5 else rng.randint(0, 30)
            if kind == 1:
                c = float(c)        # whole floats: networkx gives float values
            elif kind == 2:
                import numpy as np
                c = np.int64(c)
            G[u][v]["capacity"] = c
        T = assert_same_cuts(G, engine=ENGINES[trial % len(ENGINES)], threads=1 + trial % 3)
        if kind == 1:  # networkx's values are floats then, but for 0
            assert all(type(w) is (float if w else int) for _, _, w in T.edges(data="weight"))


def test_missing_capacities_as_networkx():
    # networkx reads a missing capacity (and float("inf")) as infinite and
    # raises NetworkXUnbounded when a cut computation meets an infinite path.
    rng = random.Random(99)
    outcomes = set()
    for trial in range(400):
        n = rng.randint(1, 12)
        G = random_graph(rng, n, rng.randint(0, min(n * (n - 1) // 2, 2 * n)), "ints")
        for u, v in G.edges:
            r = rng.random()
            if r < 0.12:
                continue
            G[u][v]["capacity"] = float("inf") if r < 0.16 else rng.randint(0, 9)
        try:
            nx.gomory_hu_tree(G)
        except nx.NetworkXUnbounded as e:
            with pytest.raises(nx.NetworkXUnbounded) as got:
                sunder.gomory_hu_tree(G)
            assert str(got.value) == str(e)
            outcomes.add("unbounded")
        else:
            assert_same_cuts(G)
            outcomes.add("finite")
    assert outcomes == {"unbounded", "finite"}
    # A self loop without a capacity is in no cut.
    G = nx.Graph([(0, 1, {"capacity": 3}), (1, 1)])
    assert_same_cuts(G)


# --- errors -------------------------------------------------------------------

def networkx_error(G):
    with pytest.raises(nx.NetworkXException) as e:
        nx.gomory_hu_tree(G)
    return e.value


@pytest.mark.parametrize("G", [
    nx.DiGraph([(0, 1, {"capacity": 1})]),
    nx.DiGraph(),
    nx.Graph(),
    nx.MultiGraph([(0, 1, {"capacity": 1})]),
], ids=["directed", "empty directed", "empty", "multigraph"])
def test_networkx_errors(G):
    expected = networkx_error(G)
    with pytest.raises(type(expected)) as got:
        sunder.gomory_hu_tree(G)
    assert type(got.value) is type(expected) and str(got.value) == str(expected)


@pytest.mark.parametrize("value, words", [
    (-1, "negative"), (2.5, "not a whole number"), (float("nan"), "not a whole number"),
    ("3", "not a number"), (2**63, "beyond"),
])
def test_bad_capacities(value, words):
    G = nx.Graph([("a", "b", {"capacity": 1}), ("b", "c", {"capacity": value})])
    with pytest.raises(ValueError, match=r"edge \('b', 'c'\).*" + words):
        sunder.gomory_hu_tree(G)


def test_bad_options_and_totals():
    G = nx.Graph([(0, 1, {"capacity": 1})])
    with pytest.raises(ValueError, match="engine"):
        sunder.gomory_hu_tree(G, engine="fastest")
    with pytest.raises(ValueError):
        sunder.gomory_hu_tree(G, threads=-1)
    big = sunder.max_total_capacity
    G = nx.Graph([(0, 1, {"capacity": big}), (1, 2, {"capacity": 1})])
    with pytest.raises(ValueError, match="add up"):
        sunder.gomory_hu_tree(G)
    # A single node: a tree without edges, as networkx gives it.
    G = nx.Graph()
    G.add_node("only")
    T = sunder.gomory_hu_tree(G)
    assert list(T.nodes) == ["only"] and T.number_of_edges() == 0
    assert nx.utils.graphs_equal(T, nx.gomory_hu_tree(G))


# --- python-igraph --------------------------------------------------------------

def test_igraph_input():
    ig = pytest.importorskip("igraph")
    rng = random.Random(5)
    for trial in range(30):
        n = rng.randint(2, 30)
        g = ig.Graph.Erdos_Renyi(n=n, m=rng.randint(0, min(3 * n, n * (n - 1) // 2)))
        g.vs["name"] = [f"n{k}" for k in range(n)]
        caps = [rng.randint(0, 20) for _ in range(g.ecount())]
        g.es["weight"] = caps
        expected = g.gomory_hu_tree(capacity="weight")
        for capacity in ("weight", caps):
            got = sunder.gomory_hu_tree(g, capacity, engine=ENGINES[trial % len(ENGINES)])
            assert isinstance(got, ig.Graph) and not got.is_directed()
            assert got.vcount() == n and got.ecount() == n - 1
            assert got.vs["name"] == g.vs["name"]
            assert sorted(got.es.attributes()) == sorted(expected.es.attributes())
            assert all(type(f) is float for f in got.es["flow"])
            assert all_pair_values(got.to_networkx(), "flow") == \
                all_pair_values(expected.to_networkx(), "flow")
    # No capacities: every edge counts 1, as igraph's own default.
    g = ig.Graph.Famous("Zachary")
    assert all_pair_values(sunder.gomory_hu_tree(g).to_networkx(), "flow") == \
        all_pair_values(g.gomory_hu_tree().to_networkx(), "flow")
    with pytest.raises(ig.InternalError):
        sunder.gomory_hu_tree(ig.Graph(n=2, edges=[(0, 1)], directed=True))


# --- numpy ------------------------------------------------------------------------

def test_numpy_cut_tree_against_networkx():
    np = pytest.importorskip("numpy")
    rng = np.random.default_rng(3)
    n, m = 60, 200
    ids = np.sort(rng.choice(10**12, size=n, replace=False)) - 5 * 10**11  # sparse, some negative
    edges = ids[rng.integers(0, n, size=(m, 2))]
    caps = rng.integers(0, 50, size=m)
    tree = sunder.cut_tree(edges, caps)
    G = nx.Graph()
    G.add_nodes_from(np.unique(edges).tolist())
    for (u, v), c in zip(edges.tolist(), caps.tolist()):
        if u != v:
            if G.has_edge(u, v):
                G[u][v]["capacity"] += c  # parallel edges add up
            else:
                G.add_edge(u, v, capacity=c)
    assert np.array_equal(tree.nodes, np.array(list(G.nodes)))
    expected = all_pair_values(nx.gomory_hu_tree(G))
    assert all_pair_values(tree.to_networkx()) == expected
    pairs = np.array([sorted(p) for p in expected])
    values = tree.min_cut_value(pairs[:, 0], pairs[:, 1])
    assert values.tolist() == [expected[frozenset(p)] for p in pairs.tolist()]
    for u, v in pairs[:40].tolist():
        value, side, other = tree.min_cut(u, v)
        assert value == tree.min_cut_value(u, v) == expected[frozenset((u, v))]
        assert u in side and v in other and len(side) + len(other) == n
        assert cut_weight(G, side.tolist()) == value
    value, side, other = tree.global_min_cut()
    assert value == min(expected.values()) == cut_weight(G, side.tolist())
    assert len(side) <= len(other) and len(side) + len(other) == n
    e = tree.edges()
    assert e.shape == (n - 1, 3) and set(e[:, 0].tolist()) | {int(tree.nodes[0])} == set(ids.tolist())
    with pytest.raises(KeyError):
        tree.min_cut_value(ids[0], 12345)
    # With n: nodes 0 ... n - 1, isolated ones too.
    t2 = sunder.cut_tree([[0, 1], [1, 2]], np.array([4, 9]), n=5)
    assert t2.nodes.tolist() == [0, 1, 2, 3, 4]
    assert t2.min_cut_value(0, 2) == 4 and t2.min_cut_value(1, 2) == 9 and t2.min_cut_value(3, 4) == 0
    assert sunder.cut_tree(np.array([[0, 1]]), np.array([3.0])).min_cut_value(0, 1) == 3


def test_numpy_errors():
    np = pytest.importorskip("numpy")
    e = np.array([[0, 1], [1, 2]])
    with pytest.raises(ValueError, match=r"edge 1 \(1, 2\).*negative"):
        sunder.cut_tree(e, np.array([1, -2]))
    with pytest.raises(ValueError, match=r"edge 0 \(0, 1\).*whole"):
        sunder.cut_tree(e, np.array([2.5, 1.0]))
    with pytest.raises(ValueError, match="m x 2"):
        sunder.cut_tree(np.array([0, 1, 2]))
    with pytest.raises(ValueError, match="2 values"):
        sunder.cut_tree(e, np.array([1, 2, 3]))
    with pytest.raises(ValueError, match="0 ... 1"):
        sunder.cut_tree(e, n=2)


# --- threads, progress, Ctrl-C -------------------------------------------------------

def test_two_python_threads_at_once():
    np = pytest.importorskip("numpy")
    rng = np.random.default_rng(11)
    graphs = []
    for n in (1500, 1200):
        graphs.append((rng.integers(0, n, size=(4 * n, 2)), rng.integers(1, 100, size=4 * n), n))
    alone = [sunder.cut_tree(e, c, n=n) for e, c, n in graphs]
    results = [None, None]
    started = threading.Barrier(2)

    def run(k):
        e, c, n = graphs[k]
        started.wait()
        results[k] = sunder.cut_tree(e, c, n=n, threads=2 if k else 1)

    workers = [threading.Thread(target=run, args=(k,)) for k in range(2)]
    for w in workers:
        w.start()
    for w in workers:
        w.join()
    for a, b in zip(alone, results):
        assert np.array_equal(a.parent, b.parent) and np.array_equal(a.weight, b.weight)


def test_progress():
    G = unit(nx.karate_club_graph())
    calls = []
    sunder.gomory_hu_tree(G, progress=lambda done, total: calls.append((done, total)))
    # The cuts that need a flow: node 11 hangs by one edge and needs none.
    assert calls and calls[-1] == (32, 32)
    assert len({t for _, t in calls}) == 1
    assert [d for d, _ in calls] == sorted(d for d, _ in calls)

    class Stop(Exception):
        pass

    seen = []

    def stop(done, total):
        seen.append(done)
        raise Stop

    with pytest.raises(Stop):
        sunder.gomory_hu_tree(G, progress=stop)
    assert len(seen) == 1  # the build stopped at the exception


INTERRUPTED_BUILD = r"""
import os, signal, threading, time
import numpy as np
import sunder
rng = np.random.default_rng(1)
n = 40000  # several seconds to build
edges, caps = rng.integers(0, n, size=(4 * n, 2)), rng.integers(1, 100, size=4 * n)
sent = []
def interrupt():
    sent.append(time.monotonic())
    os.kill(os.getpid(), signal.SIGINT)
threading.Timer(0.3, interrupt).start()
try:
    sunder.cut_tree(edges, caps, n=n)  # no callback: only the build's own signal check
    print("finished")
except KeyboardInterrupt:
    print("interrupted", time.monotonic() - sent[0])
"""


def test_ctrl_c_stops_a_build():
    out = subprocess.run([sys.executable, "-c", INTERRUPTED_BUILD], capture_output=True, text=True,
                         timeout=120)
    assert out.returncode == 0, out.stderr
    word, seconds = out.stdout.split()
    assert word == "interrupted"
    assert float(seconds) < 1.0
