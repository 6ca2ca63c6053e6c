"""Answers from a cut tree (k-edge-components, edge connectivity, minimum
k-cuts, cut clustering) against networkx, trees in a graph's own nodes,
their file, and the examples of docs/python.md."""

import itertools
import json
import os
import random
import re

import pytest

nx = pytest.importorskip("networkx")
np = pytest.importorskip("numpy")

import sunder  # noqa: E402

DOCS = os.path.join(os.path.dirname(__file__), "..", "..", "docs", "python.md")
LABELS = ["x", 7, ("p", 2), (1, (2, "q")), 2.5, "y z", -3, ("",)]


def labelled_graph(seed, n, m, weights=None):
    """A random graph on n of LABELS-like nodes (strings, ints, tuples)."""
    rng = random.Random(seed)
    H = nx.gnm_random_graph(n, m, seed=seed)
    names = [LABELS[k] if k < len(LABELS) else f"v{k}" for k in range(n)]
    rng.shuffle(names)
    G = nx.relabel_nodes(H, dict(enumerate(names)))
    if weights:
        for u, v in G.edges:
            G[u][v]["weight"] = rng.randint(*weights)
    return G


def groups(sets):
    return sorted(sorted(map(repr, s)) for s in sets)


@pytest.mark.parametrize("seed", range(5))
def test_connectivity_answers_equal_networkx(seed):
    rng = random.Random(seed)
    n = rng.randint(6, 16)
    G = labelled_graph(seed, n, rng.randint(n, 3 * n))
    t = sunder.cut_tree(G)
    assert isinstance(t, sunder.LabelledCutTree) and t.nodes.tolist() == list(G)
    for u, v in itertools.combinations(G, 2):
        assert t.edge_connectivity(u, v) == nx.edge_connectivity(G, u, v), (u, v)
    for k in (1, 2, 3, 4):
        assert groups(t.k_edge_components(k)) == groups(nx.k_edge_components(G, k)), k
    # The same answers from the igraph graph of G, named by its nodes.
    ig = pytest.importorskip("igraph")
    index = {x: k for k, x in enumerate(G)}
    I = ig.Graph(n=n, edges=[(index[u], index[v]) for u, v in G.edges])
    I.vs["name"] = list(G)
    s = sunder.cut_tree(I)
    assert s.nodes.tolist() == list(G)
    assert (s.all_pairs() == t.all_pairs()).all()
    assert groups(s.k_edge_components(2)) == groups(t.k_edge_components(2))


def best_k_cut(G, k):
    """The minimum k-cut of G by trying every split into k nonempty parts."""
    nodes, best = list(G), None
    for labels in itertools.product(range(k), repeat=len(nodes)):
        if len(set(labels)) == k and labels[0] == 0:
            part = dict(zip(nodes, labels))
            value = sum(w for u, v, w in G.edges(data="weight") if part[u] != part[v])
            best = value if best is None else min(best, value)
    return best


@pytest.mark.parametrize("seed", range(8))
def test_min_k_cut_within_its_bound_of_the_optimum(seed):
    rng = random.Random(100 + seed)
    n = rng.randint(4, 7)
    G = labelled_graph(seed, n, rng.randint(n, 2 * n), weights=(1, 9))
    t = sunder.cut_tree(G)
    for k in range(1, min(n, 4) + 1):
        cut = t.min_k_cut(k)
        assert len(cut.parts) == k and set().union(*cut.parts) == set(G)
        assert sum(map(len, cut.parts)) == n
        part = {x: p for p, nodes in enumerate(cut.parts) for x in nodes}
        crossing = [(u, v) for u, v in G.edges if part[u] != part[v]]
        assert cut.value == sum(G[u][v]["weight"] for u, v in crossing)
        if k == 2:
            A = cut.parts[0]
            assert cut.value == nx.cut_size(G, A, set(G) - A, weight="weight")
        optimum = best_k_cut(G, k)
        assert optimum <= cut.value <= cut.bound <= (2 - 2 / k) * optimum + 1e-9, k
        # The bound is the k - 1 lightest tree weights.
        assert cut.bound == sum(sorted(t.weight[1:].tolist())[:k - 1])


def networkx_clusters(G, alpha, sink="artificial sink"):
    H = G.copy()
    for u, v, w in H.edges(data="weight"):
        H[u][v]["capacity"] = w
    H.add_weighted_edges_from(((x, sink, alpha) for x in G), weight="capacity")
    T = nx.gomory_hu_tree(H)
    T.remove_node(sink)
    return list(nx.connected_components(T))


@pytest.mark.parametrize("seed", range(6))
def test_cut_clustering_equals_networkx(seed):
    # Capacities from a wide range make ties between cuts (and so between
    # equally valid cut trees) unlikely; the seeds are fixed.
    rng = random.Random(200 + seed)
    n = rng.randint(6, 18)
    G = labelled_graph(seed, n, rng.randint(n, 3 * n), weights=(1, 1000))
    t = sunder.cut_tree(G)
    for alpha in (rng.randint(1, 100), rng.randint(100, 800)):
        assert groups(t.cut_clustering(alpha)) == groups(networkx_clusters(G, alpha)), alpha
    # The numpy tree gives the same clusters by integer id.
    index = {x: k for k, x in enumerate(G)}
    edges = np.array([(index[u], index[v]) for u, v in G.edges]).reshape(-1, 2)
    caps = [w for _, _, w in G.edges(data="weight")]
    clusters = sunder.cut_tree(edges, caps, n=n).cut_clustering(50, threads=1)
    named = [{list(G)[x] for x in c} for c in clusters]
    assert groups(named) == groups(networkx_clusters(G, 50))


def test_labelled_trees_round_trip(tmp_path):
    G = labelled_graph(3, len(LABELS), 14, weights=(1, 5))
    t = sunder.cut_tree(G)
    expected = nx.gomory_hu_tree(G, capacity="weight")
    T = t.to_networkx()
    assert list(T) == list(G) and nx.is_tree(T)
    for u, v in itertools.combinations(G, 2):
        path = nx.shortest_path(expected, u, v)
        assert t.min_cut_value(u, v) == min(expected[a][b]["weight"] for a, b in zip(path, path[1:]))
    ig = pytest.importorskip("igraph")
    I = t.to_igraph()
    assert isinstance(I, ig.Graph) and I.vs["name"] == list(G)
    assert {(frozenset((repr(I.vs[e.source]["name"]), repr(I.vs[e.target]["name"]))), e["weight"])
            for e in I.es} == {(frozenset((repr(c), repr(p))), w) for c, p, w in t.edges.tolist()}
    for kind, tree in (("labelled", t), ("numpy", sunder.cut_tree([[5, 9], [9, 12], [5, 12]], [1, 2, 3]))):
        path = tmp_path / f"{kind}.json"
        tree.save(path)
        back = sunder.CutTree.load(path)
        assert type(back) is type(tree)
        assert back.nodes.tolist() == tree.nodes.tolist()
        assert back.parent.tolist() == tree.parent.tolist()
        assert back.weight.tolist() == tree.weight.tolist()
        assert (back.all_pairs() == tree.all_pairs()).all()
        with pytest.raises(ValueError, match="a tree read by load has none"):
            back.min_k_cut(2)
    assert sunder.CutTree.load(tmp_path / "numpy.json").min_cut_value(5, 12) == 4


@pytest.mark.parametrize("record, why", [
    ("[1, 2", "not JSON"),
    ('{"format": "something else"}', 'no "format": "sunder cut tree"'),
    ('{"format": "sunder cut tree", "version": 2}', "version 2; this sunder reads version 1"),
    ('{"format": "sunder cut tree", "version": 1, "nodes": 3}', '"nodes" is not a list'),
    ('{"format": "sunder cut tree", "version": 1, "nodes": ["a", "b"], "parent": [-1, 0], '
     '"weight": [0, -2]}', '"weight" holds -2; finite numbers 0 or more, whole ones at most 4611686018427387903, expected'),
    ('{"format": "sunder cut tree", "version": 1, "nodes": ["a", "b"], "parent": [-1, 0], '
     '"weight": [0]}', '2 nodes, 2 "parent" and 1 "weight" values'),
    ('{"format": "sunder cut tree", "version": 1, "labelled": true, "nodes": ["a", "b", "c"], '
     '"parent": [-1, 2, 1], "weight": [0, 1, 1]}',
     "the parents of a cut tree do not form a tree rooted at index 0"),
    ('{"format": "sunder cut tree", "version": 1, "labelled": true, "nodes": ["a", "a"], '
     '"parent": [-1, 0], "weight": [0, 1]}', "the nodes of a tree must be distinct"),
    ('{"format": "sunder cut tree", "version": 1, "labelled": false, "nodes": ["a", "b"], '
     '"parent": [-1, 0], "weight": [0, 1]}', "the nodes of a tree saved unlabelled are integer ids"),
    ('{"format": "sunder cut tree", "version": 1, "nodes": [{"set": [1]}], "parent": [-1], '
     '"weight": [0]}', "node {'set': [1]} is neither a value nor {\"tuple\": [...]}"),
])
def test_loading_a_bad_file(tmp_path, record, why):
    path = tmp_path / "bad.json"
    path.write_text(record)
    with pytest.raises(ValueError, match=re.escape(f"{path}: not a sunder cut tree file: {why}")):
        sunder.CutTree.load(path)


@pytest.mark.parametrize("record", [
    "[" * 100000 + "]" * 100000,
    '{"format": "sunder cut tree", "version": 1, "labelled": true, "nodes": ['
    + '{"tuple": [' * 5000 + "1" + "]}" * 5000 + '], "parent": [-1], "weight": [0]}',
], ids=["lists", "tuples"])
def test_loading_a_file_nested_too_deeply(tmp_path, record):
    path = tmp_path / "deep.json"
    path.write_text(record)
    with pytest.raises(ValueError, match=re.escape(f"{path}: not a sunder cut tree file: "
                                                   f"nested too deeply")):
        sunder.CutTree.load(path)


def test_graph_input_and_refusals(tmp_path):
    G = nx.Graph()
    G.add_edge("a", "b", cap=5)
    G.add_edge("b", "c", weight=7)
    assert sunder.cut_tree(G, capacity="cap").min_cut_value("a", "c") == 1   # b-c: no "cap"
    assert sunder.cut_tree(G).min_cut_value("a", "c") == 1                   # a-b: no "weight"
    assert sunder.cut_tree(G).min_cut_value("b", "c") == 7
    assert sunder.cut_tree(G, capacity=None).min_cut_value("b", "c") == 1
    M = nx.MultiGraph([("a", "b"), ("a", "b"), ("b", "c")])
    assert sunder.cut_tree(M).min_cut_value("a", "b") == 2
    t = sunder.cut_tree(G)
    assert t.edges is t.edges and (t.edges() == t.edges).all()
    with pytest.raises(KeyError, match="node 'z' is not in the tree"):
        t.min_cut_value("a", "z")
    with pytest.raises(ValueError, match="k must be an integer 1 or more, not 0"):
        t.k_edge_components(0)
    with pytest.raises(ValueError, match=re.escape("k must be 1 ... 3 (the node count), not 4")):
        t.min_k_cut(4)
    with pytest.raises(ValueError, match="alpha 0 is 0; alpha is a finite number above 0"):
        t.cut_clustering(0)
    with pytest.raises(ValueError, match="alpha nan is not a number"):
        t.cut_clustering(float("nan"))
    with pytest.raises(ValueError, match="alpha 2305843009213693952 on each of 3 nodes takes "
                                         "the capacities past 4611686018427387903"):
        t.cut_clustering(2**61)
    with pytest.raises(TypeError, match="capacity= names a graph's edge attribute"):
        sunder.cut_tree(G, [1, 2])
    with pytest.raises(nx.NetworkXNotImplemented):
        sunder.cut_tree(nx.DiGraph([(1, 2)]))
    with pytest.raises(ValueError, match=r"edge \('b', 'c'\): capacity -1 is negative"):
        sunder.cut_tree(nx.Graph([("a", "b", {"weight": 1}), ("b", "c", {"weight": -1})]))
    with pytest.raises(TypeError, match=re.escape("node frozenset({1}) (frozenset) cannot be saved")):
        sunder.cut_tree(nx.Graph([(frozenset({1}), 2)])).save(os.devnull)
    for label in (float("nan"), float("inf"), (1, float("-inf"))):
        G = nx.Graph([(label, 2), (2, 3)])
        with pytest.raises(ValueError, match="cannot be saved: JSON has no"):
            sunder.cut_tree(G).save(os.path.join(str(tmp_path), "t.json"))
        assert not os.path.exists(os.path.join(str(tmp_path), "t.json"))
    ig = pytest.importorskip("igraph")
    I = ig.Graph(n=3, edges=[(0, 1), (1, 2)])
    assert sunder.cut_tree(I).nodes.tolist() == [0, 1, 2]   # no names: indices
    I.vs["name"] = ["p", "q", "p"]
    with pytest.raises(ValueError, match="vertex name 'p' is given to two vertices"):
        sunder.cut_tree(I)


def run_examples(path):
    """Runs every >>> example of the ```python blocks of `path`, the blocks
    in order as one; (failed, tried)."""
    import doctest

    with open(path, encoding="utf-8") as f:
        blocks = re.findall(r"```python\n(.*?)```", f.read(), re.S)
    assert blocks, path
    examples = doctest.DocTestParser().get_doctest("\n".join(blocks), {}, path, path, 0)
    runner = doctest.DocTestRunner(optionflags=doctest.NORMALIZE_WHITESPACE)
    runner.run(examples)
    return runner.summarize(verbose=False)


def test_examples_of_the_docs():
    """Every >>> example of docs/python.md gives the output written there."""
    failed, tried = run_examples(DOCS)
    assert failed == 0 and tried >= 30


def test_examples_of_the_readme():
    """The README's Python session, as printed."""
    failed, tried = run_examples(os.path.join(os.path.dirname(DOCS), "..", "README.md"))
    assert failed == 0 and tried >= 5


def test_the_distribution_plot_draws_every_value(tmp_path):
    pytest.importorskip("matplotlib")
    t = sunder.cut_tree([[1, 2], [2, 3], [1, 3], [3, 4]])  # a triangle and a pendant node
    path = tmp_path / "pairs.png"
    ax = t.plot_connectivity_distribution(path=path)
    (stems,) = ax.collections
    # Three pairs of 1 (node 4 to the triangle), three of 2 (within it).
    assert [tuple(map(float, seg[:, 0])) + (float(seg[1, 1]),) for seg in stems.get_segments()] == [
        (1.0, 1.0, 3.0), (2.0, 2.0, 3.0)]
    assert path.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
