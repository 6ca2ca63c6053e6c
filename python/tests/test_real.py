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


# --- fixed point: answers from the real weights --------------------------------

MAX = sunder.max_total_capacity


def exact_cut(edges, caps, side):
    """The exact capacity (Fraction) of the edges leaving `side`."""
    side = set(side)
    return sum((fractions.Fraction(c) for (a, b), c in zip(edges, caps)
                if (a in side) != (b in side)), fractions.Fraction(0))


def test_fixed_point_answers_are_the_real_weights(tmp_path):
    # At the scale that fits 2**62 - 1, 0.5 rounds to 0: every answer must
    # still be a cut's real capacity, 0.5 for the cheap edge.
    t = sunder.cut_tree([[1, 2], [2, 3]], [MAX, 0.5])
    assert not t.exact and t.error_bound > 0
    big = float(MAX)
    assert sorted(t.weight.tolist()) == [0, 0.5, big]
    assert t.min_cut_value(1, 3) == t.min_cut_value(2, 3) == t.edge_connectivity(3, 1) == 0.5
    assert t.min_cut_value(1, 2) == big
    assert t.min_cut_value([1, 2, 1], [3, 3, 2]).tolist() == [0.5, 0.5, big]
    value, side, rest = t.global_min_cut()
    assert value == 0.5 and side.tolist() == [3] and rest.tolist() == [1, 2]
    assert t.min_cut(3, 1)[0] == 0.5
    assert t.k_edge_components(0.25) == [{1, 2, 3}]
    assert t.k_edge_components(0.5) == [{1, 2, 3}]
    assert t.k_edge_components(1) == [{1, 2}, {3}]
    assert t.k_edge_components(2**70) == [{1}, {2}, {3}]
    assert t.min_k_cut(2) == (0.5, 0.5, [{1, 2}, {3}])
    assert t.min_k_cut(3) == (big + 0.5, big + 0.5, [{1}, {2}, {3}])
    values, counts = t.connectivity_distribution()
    assert values.tolist() == [0.5, big] and counts.tolist() == [2, 1]
    assert t.all_pairs().tolist() == [[0, big, 0.5], [big, 0, 0.5], [0.5, 0.5, 0]]
    clusters = t.cut_clustering(0.25)  # 0.25 scales to 0 too
    assert sorted(map(len, clusters)) in ([1, 2], [3]) and any({1, 2} <= c for c in clusters)
    # A tree loaded has its real weights only, scaled the same way.
    path = tmp_path / "tree.json"
    t.save(path)
    back = sunder.CutTree.load(path)
    assert back.min_cut_value(1, 3) == 0.5 and back.global_min_cut()[0] == 0.5
    assert back.k_edge_components(0.25) == [{1, 2, 3}]


def spread_graph(seed, n, m):
    """A connected random graph whose capacities lie 24 orders of magnitude
    apart: heavy groups joined by light and tiny edges (fixed point)."""
    rng = random.Random(seed)
    group = [rng.randrange(3) for _ in range(n)]
    order = list(range(n))
    rng.shuffle(order)
    edges = {tuple(sorted(order[k - 1:k + 1])) for k in range(1, n)}
    while len(edges) < m:
        edges.add(tuple(sorted(rng.sample(range(n), 2))))
    caps = []
    for a, b in sorted(edges):
        if group[a] == group[b] and rng.random() < 0.7:
            caps.append(rng.uniform(1e13, 1e15))
        else:
            caps.append(rng.choice([rng.uniform(1e-9, 1e-3), rng.uniform(0.1, 100)]))
    return sorted(edges), caps


@pytest.mark.parametrize("seed", range(4))
def test_fixed_point_values_are_cuts_no_less_than_the_minimum(seed):
    n = 14
    edges, caps = spread_graph(seed, n, 30)
    t = sunder.cut_tree(np.array(edges), np.array(caps), n=n)
    assert not t.exact
    G = nx.Graph()
    G.add_nodes_from(range(n))
    for (a, b), c in zip(edges, caps):
        G.add_edge(a, b, exact=fractions.Fraction(c))
    true = {(a, b): nx.minimum_cut_value(G, a, b, capacity="exact")
            for a in range(n) for b in range(a + 1, n)}
    bound = t.error_bound

    def is_cut_value(value, side):  # the real capacity of that cut
        return value == pytest.approx(float(exact_cut(edges, caps, side)), rel=1e-14)

    matrix = t.all_pairs()
    answered = []
    for (a, b), lam in true.items():
        value = t.min_cut_value(a, b)
        answered.append(value)
        # within a float's rounding of the exact values
        assert lam * (1 - 1e-14) <= value <= lam * (1 + 1e-14) + bound, (a, b)
        cut = t.min_cut(a, b)
        assert cut[0] == value and is_cut_value(value, cut[1])
        assert matrix[a, b] == matrix[b, a] == value
    value, side, _ = t.global_min_cut()
    low = min(true.values())
    assert low * (1 - 1e-14) <= value <= low * (1 + 1e-14) + bound
    assert is_cut_value(value, side)
    values, counts = t.connectivity_distribution()
    assert dict(zip(values.tolist(), counts.tolist())) == {
        v: answered.count(v) for v in set(answered)}
    for k in sorted(set(answered))[::3] + [1e-6, 0.05]:
        components = t.k_edge_components(k)
        assert sorted(x for c in components for x in c) == list(range(n))
        where = {x: j for j, c in enumerate(components) for x in c}
        for (a, b), lam in true.items():
            if where[a] == where[b]:
                assert t.min_cut_value(a, b) >= k and lam * (1 + 1e-14) >= k - bound
            else:
                assert lam * (1 - 1e-14) < k and t.min_cut_value(a, b) < k
    for k in (2, 3, 5):
        value, tree_bound, parts = t.min_k_cut(k)
        assert len(parts) == k
        across = exact_cut(edges, caps, ())  # 0
        for part in parts:
            across += exact_cut(edges, caps, part)
        assert value == pytest.approx(float(across / 2), rel=1e-14) and value > 0
        assert value <= tree_bound * (1 + 1e-14)


def test_fractions_and_decimals_in_fixed_point_are_exact_sums():
    F = fractions.Fraction
    t = sunder.cut_tree([[1, 2], [2, 3], [1, 3]], [F(1, 3), F(1, 3), F(2, 3)])
    assert not t.exact
    # {2} is cut by 1/3 + 1/3, {1} and {3} by 1/3 + 2/3.
    for a, b, want in ((1, 2, F(2, 3)), (1, 3, F(1)), (2, 3, F(2, 3))):
        got = t.min_cut_value(a, b)
        assert type(got) is F and got == want
        assert t.min_cut(a, b)[0] == want
    assert t.global_min_cut()[0] == F(2, 3)
    cut = t.min_k_cut(3)  # every edge across; the tree's edges 2/3 and 1
    assert (cut.value, cut.bound) == (F(4, 3), F(5, 3)) and type(cut.value) is F
    G = nx.Graph()
    G.add_edge("a", "b", capacity=F(1, 3))
    G.add_edge("b", "c", capacity=F(1, 3))
    G.add_edge("a", "c", capacity=F(2, 3))
    assert sorted(w for _, _, w in sunder.gomory_hu_tree(G).edges(data="weight")) == [F(2, 3), F(1)]
    # A random graph of thirds: each weight the exact sum over its cut.
    G = weighted_graph(4, 25, 60, lambda rng: F(rng.randrange(1, 50), 3))
    T = sunder.gomory_hu_tree(G)
    sums = subtree_cut_sums(T, G)
    for a, b, w in T.edges(data="weight"):
        assert type(w) is F and w == sums[frozenset((a, b))]
    # Decimals 30 digits apart: the 1e-30 belongs to the cuts of node 1 and 3.
    D = decimal.Decimal
    t = sunder.cut_tree([[1, 2], [2, 3], [1, 3]], [D("0.1"), D("0.2"), D("1e-30")])
    assert not t.exact
    assert t.min_cut_value(1, 2) == D("0.100000000000000000000000000001")
    assert t.min_cut_value(2, 3) == D("0.200000000000000000000000000001")
    assert type(t.min_cut_value(1, 3)) is D
    assert t.global_min_cut()[0] == D("0.100000000000000000000000000001")
    assert t.min_k_cut(3).value == D("0.300000000000000000000000000001")
    G = weighted_graph(6, 20, 45, lambda rng: D(rng.randrange(1, 10**6)).scaleb(-rng.randrange(0, 40)))
    T = sunder.gomory_hu_tree(G)
    sums = subtree_cut_sums(T, G)
    for a, b, w in T.edges(data="weight"):
        assert type(w) is D and fractions.Fraction(w) == sums[frozenset((a, b))]


def test_whole_floats_too_large_for_whole_capacities_are_real():
    t = sunder.cut_tree([[1, 2]], [1e19])
    assert t.edges.tolist() == [[2, 1, 1e19]] and t.min_cut_value(1, 2) == 1e19
    assert sunder.cut_tree([[1, 2]], np.array([2.0**62])).min_cut_value(1, 2) == 2.0**62
    edges, caps = [[1, 2], [2, 3], [3, 4]], [1e300, 1.0, 1000.0]
    t = sunder.cut_tree(edges, caps)
    assert t.min_cut_value(1, 2) == 1e300
    for (a, b), lam in (((2, 3), 1.0), ((3, 4), 1000.0), ((1, 4), 1.0)):
        value, side, _ = t.min_cut(a, b)
        assert lam <= value <= lam + t.error_bound and value == float(exact_cut(edges, caps, side))
    # Whole floats that fit alone but not together, in any order with ints.
    t = sunder.cut_tree([[1, 2], [2, 3], [1, 3]], [2.0**61] * 3)
    assert t.min_cut_value(1, 2) == t.min_cut_value(2, 3) == 2.0**62
    assert sunder.cut_tree([[1, 2], [2, 3]], np.array([MAX, 1.0], dtype=object)).min_cut_value(2, 3) == 1
    for caps in ([MAX, 1.0], [1.0, MAX]):
        G = nx.Graph()
        G.add_edge("a", "b", capacity=caps[0])
        G.add_edge("b", "c", capacity=caps[1])
        T = sunder.gomory_hu_tree(G)
        assert sorted(w for _, _, w in T.edges(data="weight")) == [1.0, float(MAX)]
        nx.set_edge_attributes(G, nx.get_edge_attributes(G, "capacity"), "weight")
        assert sunder.cut_tree(G).min_cut_value("c", "a") == 1.0
    G = nx.Graph([("a", "b", {"capacity": 1e19}), ("b", "c", {"capacity": 2.5e19})])
    assert sorted(w for _, _, w in sunder.gomory_hu_tree(G).edges(data="weight")) == [1e19, 2.5e19]
    ig = pytest.importorskip("igraph")
    H = ig.Graph(n=3, edges=[(0, 1), (1, 2)])
    assert sorted(sunder.gomory_hu_tree(H, [1e19, 2.5e19]).es["flow"]) == [1e19, 2.5e19]
    # Whole ints stay whole capacities: past the bound together, an error.
    with pytest.raises(ValueError, match="the capacities add up to more than"):
        sunder.cut_tree([[1, 2], [2, 3]], [MAX, 1])
