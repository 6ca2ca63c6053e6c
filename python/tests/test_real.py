"""Real-valued capacities against networkx and against exact sums.

Decimals (as floats, Decimals or dyadic Fractions) are exact: every tree
weight is the exact sum of the original values over its edge's cut, and
every pair's value equals networkx's up to networkx's own float rounding.
Other values (Fraction(1, 3)) go through fixed point, within the stated
bound."""

import decimal
import fractions
import random

import pytest

nx = pytest.importorskip("networkx")
np = pytest.importorskip("numpy")
import sunder  # noqa: E402

from test_sunder import all_pair_values  # noqa: E402


def weighted_graph(seed, n, m, value):
    """A connected random graph whose edge k has capacity value(rng)."""
    rng = random.Random(seed)
    G = nx.Graph()
    G.add_nodes_from(range(n))
    for k in range(1, n):  # a spanning path keeps it one component
        G.add_edge(k - 1, k, capacity=value(rng))
    while G.number_of_edges() < m:
        u, v = rng.sample(range(n), 2)
        G.add_edge(u, v, capacity=value(rng))
    return G


def subtree_cut_sums(T, G, capacity="capacity"):
    """For each tree edge {a, b}: the exact sum (Fraction) of G's capacities
    over the edges crossing the cut the edge names (the side of a without
    the edge against the rest)."""
    sums = {}
    for a, b in T.edges:
        H = T.copy()
        H.remove_edge(a, b)
        side = nx.node_connected_component(H, a)
        sums[frozenset((a, b))] = sum(
            (fractions.Fraction(str(d[capacity])) for u, v, d in G.edges(data=True)
             if (u in side) != (v in side)), fractions.Fraction(0))
    return sums


def assert_close(got, want, rel=1e-9):
    assert got.keys() == want.keys()
    for pair, value in want.items():
        assert float(got[pair]) == pytest.approx(float(value), rel=rel, abs=1e-12), pair


@pytest.mark.parametrize("seed", range(6))
def test_decimal_floats_are_exact_and_equal_networkx(seed):
    G = weighted_graph(seed, 30, 70, lambda rng: rng.randrange(1, 1000) / 100)
    T = sunder.gomory_hu_tree(G)
    assert all(type(w) is float for _, _, w in T.edges(data="weight"))
    # Each weight is the nearest float to the exact sum over its cut.
    for (a, b, w) in T.edges(data="weight"):
        assert w == float(subtree_cut_sums(T, G)[frozenset((a, b))])
    assert_close(all_pair_values(T), all_pair_values(nx.gomory_hu_tree(G)))


def test_decimals_give_decimals_and_fractions_fractions():
    for make in (lambda rng: decimal.Decimal(rng.randrange(1, 10**6)) / 1000,
                 lambda rng: fractions.Fraction(rng.randrange(1, 300), 2 ** rng.randrange(0, 9))):
        G = weighted_graph(7, 20, 45, make)
        T = sunder.gomory_hu_tree(G)
        kind = type(next(iter(G.edges(data="capacity")))[2])
        sums = subtree_cut_sums(T, G)
        for a, b, w in T.edges(data="weight"):
            assert type(w) is kind
            assert fractions.Fraction(w) == sums[frozenset((a, b))]
        floats = nx.Graph()
        floats.add_weighted_edges_from(((u, v, float(c)) for u, v, c in G.edges(data="capacity")),
                                       weight="capacity")
        assert_close(all_pair_values(T), all_pair_values(nx.gomory_hu_tree(floats)))


def test_thirds_go_to_fixed_point_within_the_bound():
    G = weighted_graph(3, 25, 60, lambda rng: fractions.Fraction(rng.randrange(1, 50), 3))
    edges = np.array(list(G.edges), dtype=np.int64)
    caps = np.array([c for _, _, c in G.edges(data="capacity")], dtype=object)
    t = sunder.cut_tree(edges, caps)
    assert not t.exact
    assert 0 < t.error_bound < 1e-12
    exact = {pair: float(v) for pair, v in all_pair_values(nx.gomory_hu_tree(G)).items()}
    for pair, want in exact.items():
        a, b = tuple(pair)
        assert abs(t.min_cut_value(a, b) - want) <= t.error_bound + 1e-12 * want


def test_numpy_trees_answer_in_floats():
    G = weighted_graph(11, 40, 90, lambda rng: rng.randrange(1, 40) / 4)
    edges = np.array(list(G.edges), dtype=np.int64)
    caps = np.array([c for _, _, c in G.edges(data="capacity")])
    t = sunder.cut_tree(edges, caps)
    assert t.exact and t.error_bound == 0
    assert t.weight.dtype == np.float64
    want = all_pair_values(nx.gomory_hu_tree(G))
    for pair, value in want.items():
        a, b = sorted(pair)
        assert t.min_cut_value(a, b) == value  # quarters: networkx's floats are exact too
    values, counts = t.connectivity_distribution()
    assert values.dtype == np.float64 and counts.sum() == 40 * 39 // 2
    assert dict(zip(values.tolist(), counts.tolist())) == {
        v: list(want.values()).count(v) for v in set(want.values())}
    matrix = t.all_pairs()
    assert matrix[3, 17] == want[frozenset((3, 17))]
    # k_edge_components takes a real k: pairs with lambda >= k.
    k = sorted(set(want.values()))[len(set(want.values())) // 2]
    for group in t.k_edge_components(k):
        for a in group:
            for b in group:
                assert a == b or want[frozenset((a, b))] >= k
    assert sum(len(g) for g in t.k_edge_components(k)) == 40
    assert t.edges.dtype == object and t.edges[0, 0] == int(t.nodes[t.parent >= 0][0])


def test_labelled_trees_round_trip_real_weights(tmp_path):
    G = nx.relabel_nodes(weighted_graph(5, 15, 30, lambda rng: rng.randrange(1, 90) / 10),
                         lambda k: f"n{k}")
    nx.set_edge_attributes(G, {(u, v): c for u, v, c in G.edges(data="capacity")}, "weight")
    t = sunder.cut_tree(G)
    want = all_pair_values(nx.gomory_hu_tree(G, capacity="weight"))
    assert_close({frozenset((a, b)): t.min_cut_value(a, b) for a, b in map(tuple, want)}, want)
    path = tmp_path / "tree.json"
    t.save(path)
    back = sunder.CutTree.load(path)
    assert back.weight.tolist() == t.weight.tolist()
    assert back.min_cut_value("n0", "n7") == t.min_cut_value("n0", "n7")


def test_cut_clustering_with_a_real_alpha_equals_networkx():
    from test_answers import networkx_clusters

    G = weighted_graph(9, 30, 60, lambda rng: rng.randrange(10, 400) / 100)
    nx.set_edge_attributes(G, {(u, v): c for u, v, c in G.edges(data="capacity")}, "weight")
    t = sunder.cut_tree(G)
    for alpha in (0.35, 1.25):
        got = sorted(sorted(c) for c in t.cut_clustering(alpha))
        assert got == sorted(sorted(c) for c in networkx_clusters(G, alpha))


def test_igraph_flows_are_the_real_values():
    ig = pytest.importorskip("igraph")
    G = weighted_graph(2, 20, 40, lambda rng: rng.randrange(1, 50) / 8)
    H = ig.Graph(n=20, edges=list(G.edges))
    H.es["capacity"] = [c for _, _, c in G.edges(data="capacity")]
    T = sunder.gomory_hu_tree(H)
    mine = nx.Graph()
    mine.add_weighted_edges_from((e.source, e.target, e["flow"]) for e in T.es)
    assert all_pair_values(mine) == all_pair_values(nx.gomory_hu_tree(G))
