"""Gomory-Hu cut trees of undirected graphs with integer capacities.

    gomory_hu_tree(G, capacity="capacity")   networkx or python-igraph graph in,
                                             a graph of the same kind out
    cut_tree(edges, capacities, n=None)      numpy arrays in, a CutTree out

Every function takes the keywords engine= ("auto", "exact", "relabel",
"paths", "trees"), threads= (0, the default: one per core; the tree is the
same for every count) and progress= (True: a progress line on standard
error; a callable: called as progress(done, total) after each cut). The
tree is built without the GIL, so other Python threads run meanwhile, and
Ctrl-C stops a build within a fraction of a second with KeyboardInterrupt.
Bad values are ValueError naming the edge or node and saying what is
accepted (capacities: whole numbers 0 ... max_total_capacity, which all of
a graph's capacities, self loops included, may add up to at most; node ids
of cut_tree: integers within int64; threads: 0 ... 2**31 - 1); values of
the wrong type are TypeError. A query for a node the tree lacks is KeyError.
The result is made from a copy of the graph's nodes, edges, capacities and
attributes taken before the build: a progress callback or another thread
may change the graph during the build (a change by another thread while the
copy is taken is RuntimeError).
"""

import array as _array
import decimal as _decimal
import math as _math
import numbers as _numbers

from . import _sunder

__all__ = ["gomory_hu_tree", "cut_tree", "CutTree", "engines", "max_total_capacity",
           "__version__"]

__version__ = _sunder.version
max_total_capacity = _sunder.max_total_capacity


def engines():
    """The engine names, "auto" first."""
    return list(_sunder.engines())


_INT64_MIN, _INT64_MAX = -2**63, 2**63 - 1
_MAX_THREADS = 2**31 - 1  # the binding takes a C int


def _build(n, us, vs, caps, engine, threads, progress):
    if not isinstance(engine, str):
        raise TypeError(f"engine must be a name, not {engine!r}")
    if isinstance(threads, bool) or not isinstance(threads, _numbers.Integral):
        raise TypeError(f"threads must be an integer, not {threads!r}")
    threads = int(threads)
    if not 0 <= threads <= _MAX_THREADS:
        raise ValueError(f"threads must be 0 (one per core) ... {_MAX_THREADS}, not {threads}")
    if progress is True:
        progress = _ProgressBar()
    elif progress is None or progress is False:
        progress = None
    elif not callable(progress):
        raise TypeError("progress must be True, False, None or callable as progress(done, total)")
    return _sunder.build(n, us, vs, caps, engine, threads, progress)


class _ProgressBar:
    """progress=True: "sunder: DONE/TOTAL cuts (P%), N s left" on one
    rewritten line of standard error, at most five times a second, ended by
    a line end when the last cut is done. The time left is _sunder.TimeLeft's
    estimate from the rate of the recent cuts, "time left unknown" until it
    has the evidence."""

    def __init__(self):
        import time

        self._clock = time.monotonic
        self._start = self._clock()
        self._last = None
        self._left = _sunder.TimeLeft()
        self._shown = 0

    def __call__(self, done, total):
        import sys

        now = self._clock()
        self._left.update(now - self._start, done, total)
        if done < total and self._last is not None and now - self._last < 0.2:
            return
        self._last = now
        percent = 100 * done // total if total else 100
        seconds = self._left.seconds_left()
        left = "time left unknown" if seconds is None else f"{seconds:.0f} s left"
        line = f"sunder: {done}/{total} cuts ({percent}%), {left}"
        # blanks over what is left of a longer line before
        sys.stderr.write("\r" + line + " " * max(self._shown - len(line), 0))
        self._shown = len(line)
        if done >= total:
            sys.stderr.write("\n")
        sys.stderr.flush()


# --- capacities of graph libraries' edges -----------------------------------

_INFINITE = None  # a capacity networkx reads as infinite


class _BadCapacity(Exception):
    """What is wrong with a capacity, and the exception type to say it with."""

    def __init__(self, problem, kind=ValueError):
        super().__init__(problem)
        self.problem = problem
        self.kind = kind


def _capacity_value(value):
    """The capacity `value` as an int, or _INFINITE; _BadCapacity otherwise.

    Whole numbers of any numeric type are accepted (2, 2.0, numpy.int64(2),
    Decimal(2), Fraction(4, 2), True as 1, like networkx); a missing value
    and an infinite one are infinite, as networkx has them."""
    if type(value) is int:
        c = value
    elif value is None:
        return _INFINITE
    elif isinstance(value, _numbers.Integral):
        c = int(value)
    elif isinstance(value, (_numbers.Real, _decimal.Decimal)):
        if value.is_nan() if isinstance(value, _decimal.Decimal) else value != value:
            raise _BadCapacity("not a whole number")
        if value < 0:
            raise _BadCapacity("negative")
        if isinstance(value, _numbers.Rational):  # Fraction: exact, any size
            if value.denominator != 1:
                raise _BadCapacity("not a whole number")
            c = int(value)
        elif isinstance(value, _decimal.Decimal):
            if value.is_infinite():
                return _INFINITE
            if value != value.to_integral_value():
                raise _BadCapacity("not a whole number")
            c = int(value)
        else:
            f = float(value)
            if f == _math.inf:
                return _INFINITE
            if not f.is_integer():
                raise _BadCapacity("not a whole number")
            c = int(f)
    else:
        raise _BadCapacity("not a number", TypeError)
    if c < 0:
        raise _BadCapacity("negative")
    if c > max_total_capacity:
        raise _BadCapacity("beyond max_total_capacity")
    return c


def _capacity_error(edge, value, problem, kind=ValueError):
    return kind(f"{edge}: capacity {value!r} is {problem}; capacities are whole numbers "
                f"0 ... {max_total_capacity}")


def _capacity(value, u, v):
    """The capacity `value` of edge (u, v) as an int, or _INFINITE; an
    error naming the edge, the value and what is accepted otherwise:
    ValueError, TypeError for a value that is not a number."""
    try:
        return _capacity_value(value)
    except _BadCapacity as bad:
        raise _capacity_error(f"edge ({u!r}, {v!r})", value, bad.problem, bad.kind) from None


def _sum_error(edge):
    return ValueError(f"{edge}: the capacities add up to more than {max_total_capacity}")


def _float_valued(value):
    """Whether networkx's flow values are floats for a capacity `value`:
    it is a float of some kind (Decimal and Fraction are exact, as ints)."""
    return isinstance(value, _numbers.Real) and not isinstance(value, _numbers.Rational)


def _networkx_tree(G, capacity, engine, threads, progress):
    import networkx as nx

    if G.is_directed():
        raise nx.NetworkXNotImplemented("not implemented for directed type")
    if len(G) == 0:
        raise nx.NetworkXError("Empty Graph does not have a Gomory-Hu tree representation")
    if G.is_multigraph():
        raise nx.NetworkXError("MultiGraph and MultiDiGraph not supported (yet).")
    # The snapshot the tree is made from: the build runs without the GIL
    # and calls `progress`, so G may change before it ends. Another thread
    # may change it while it is read, too: RuntimeError then.
    changed = "the graph changed while its edges were read"
    nodes = list(G)
    index = {node: k for k, node in enumerate(nodes)}
    try:
        edges = list(G.edges(data=capacity, default=None))
    except RuntimeError as e:  # "dictionary changed size during iteration"
        raise RuntimeError(changed) from e
    us = _array.array("i")
    vs = _array.array("i")
    caps = _array.array("q")
    unbounded = False
    fractional_type = False
    total = 0
    for u, v, value in edges:
        c = _capacity(value, u, v)
        if c is _INFINITE:
            # networkx's flow computations treat such an edge as infinite;
            # a tree must separate its two ends somewhere, so networkx meets
            # an infinite path (self loops are no path).
            unbounded = unbounded or u != v
            continue
        fractional_type = fractional_type or _float_valued(value)
        total += c
        if total > max_total_capacity:
            raise _sum_error(f"edge ({u!r}, {v!r})")
        a, b = index.get(u), index.get(v)
        if a is None or b is None:  # a node added or removed meanwhile
            raise RuntimeError(changed)
        us.append(a)
        vs.append(b)
        caps.append(c)
    if unbounded:
        raise nx.NetworkXUnbounded("Infinite capacity path, flow unbounded above.")
    tree = _build(len(nodes), us, vs, caps, engine, threads, progress)
    parents = _array.array("i", bytes(4 * len(nodes)))
    weights = _array.array("q", bytes(8 * len(nodes)))
    tree.parents_into(parents)
    tree.weights_into(weights)
    T = nx.Graph()
    T.add_nodes_from(nodes)
    # networkx's values are floats when a capacity is, but for 0 (no flow).
    convert = (lambda w: float(w) if w else 0) if fractional_type else int
    T.add_weighted_edges_from(
        (nodes[k], nodes[parents[k]], convert(weights[k])) for k in range(len(nodes)) if parents[k] >= 0)
    return T


def _igraph_tree(G, capacity, flow, engine, threads, progress):
    import igraph as ig

    if G.is_directed():
        raise ig.InternalError("Gomory-Hu tree can only be calculated for undirected graphs")
    # The snapshot the tree is made from (G may change during the build):
    # the edges, their capacities and the attributes the tree copies.
    n = G.vcount()
    edgelist = G.get_edgelist()
    m = len(edgelist)
    edge_attributes = G.es.attributes()
    if capacity is None or (capacity == "capacity" and "capacity" not in edge_attributes):
        values = [1] * m
    elif isinstance(capacity, str):
        values = G.es[capacity]  # KeyError when there is no such attribute
    else:
        values = list(capacity)
        if len(values) != m:
            raise ValueError(f"{len(values)} capacities for {m} edges")
    graph_attributes = {name: G[name] for name in G.attributes()}
    vertex_attributes = {name: G.vs[name] for name in G.vs.attributes()}
    us = _array.array("i")
    vs = _array.array("i")
    caps = _array.array("q")
    total = 0
    for (u, v), value in zip(edgelist, values):
        c = _capacity(value, u, v)
        if c is _INFINITE:
            raise _capacity_error(f"edge ({u!r}, {v!r})", value, "not finite")
        total += c
        if total > max_total_capacity:
            raise _sum_error(f"edge ({u!r}, {v!r})")
        us.append(u)
        vs.append(v)
        caps.append(c)
    tree = _build(n, us, vs, caps, engine, threads, progress)
    parents = _array.array("i", bytes(4 * n))
    weights = _array.array("q", bytes(8 * n))
    tree.parents_into(parents)
    tree.weights_into(weights)
    # Like igraph's own: the graph's and the vertices' attributes, one edge
    # per non-root vertex with its value as a float in attribute `flow`, and
    # the input's edge attributes present but unset.
    T = ig.Graph(n=n, edges=[(k, parents[k]) for k in range(n) if parents[k] >= 0], directed=False)
    for name, value in graph_attributes.items():
        T[name] = value
    for name, values in vertex_attributes.items():
        T.vs[name] = values
    for name in edge_attributes:
        T.es[name] = None
    T.es[flow] = [float(weights[k]) for k in range(n) if parents[k] >= 0]
    return T


def gomory_hu_tree(G, capacity="capacity", flow_func=None, *, flow="flow", engine="auto",
                   threads=0, progress=None):
    """The Gomory-Hu tree of an undirected graph.

    flow_func is accepted, as networkx.gomory_hu_tree takes it, and unused:
    every cut comes from this package's own engines (engine=). threads=0,
    the default, uses one thread per core; progress=True shows a progress
    line on standard error, a callable is called as progress(done, total).

    A networkx Graph gives a networkx Graph on the same nodes whose edges
    carry the minimum cut value between their ends in attribute "weight",
    as networkx.gomory_hu_tree does, with the same exceptions:
    NetworkXNotImplemented for a directed graph, NetworkXError for an empty
    graph or a multigraph, NetworkXUnbounded when an edge (not a self loop)
    has no `capacity` attribute or an infinite one. Capacities must be whole
    numbers 0 ... max_total_capacity of any numeric type, adding up to at
    most max_total_capacity: ValueError (TypeError for a value that is not a
    number) names the first edge with another. The values are ints, floats
    when a capacity is a float (as networkx has them).

    A python-igraph Graph gives an igraph Graph as Graph.gomory_hu_tree
    does: same vertices and attributes, the values as floats in edge
    attribute `flow`. `capacity` is an edge attribute name, a list of
    capacities or None (all 1); the default "capacity" means all 1 when the
    graph has no such attribute.
    """
    module = type(G).__module__.split(".")[0]
    if module == "igraph":
        return _igraph_tree(G, capacity, flow, engine, threads, progress)
    if module == "networkx":
        return _networkx_tree(G, capacity, engine, threads, progress)
    raise TypeError(f"a networkx or igraph graph expected, not {type(G).__name__}")


# --- numpy --------------------------------------------------------------------

def _id_error(x):
    return ValueError(f"edges: node id {x} does not fit in int64; ids must fit in int64 "
                      f"({_INT64_MIN} ... {_INT64_MAX})")


def _edge_ids(edges):
    """The m x 2 node ids `edges` as an int64 array: integers of any dtype
    (an object array of ints too) that fit in int64. ValueError for another
    shape or an id beyond int64, TypeError for ids that are not integers."""
    import numpy as np

    if edges.size == 0:
        edges = np.zeros((0, 2), dtype=np.int64)
    if edges.ndim != 2 or edges.shape[1] != 2:
        raise ValueError(f"edges: an m x 2 array expected, not shape {edges.shape}")
    kind = edges.dtype.kind
    if kind == "i":
        return edges.astype(np.int64, copy=False)
    if kind == "u":
        beyond = edges > np.uint64(_INT64_MAX)
        if beyond.any():
            raise _id_error(edges[beyond].flat[0])
        return edges.astype(np.int64)
    if kind == "O":
        out = np.empty(edges.shape, dtype=np.int64)
        for k, x in enumerate(edges.flat):
            if isinstance(x, (bool, np.bool_)) or not isinstance(x, _numbers.Integral):
                raise TypeError(f"edges: node id {x!r} is not an integer; integer ids "
                                f"(within int64) are accepted")
            x = int(x)
            if not _INT64_MIN <= x <= _INT64_MAX:
                raise _id_error(x)
            out.flat[k] = x
        return out
    raise TypeError(f"edges: integer node ids (within int64) are accepted, not {edges.dtype}")


def _capacity_array(caps, m, edge):
    """The m capacities `caps` as an int64 array; an error naming the first
    bad one's edge (edge(k)), its value and what is accepted otherwise."""
    import numpy as np

    if caps.shape != (m,):
        raise ValueError(f"capacities: {m} values expected, not shape {caps.shape}")
    kind = caps.dtype.kind
    if kind == "f":
        # A float from 2**62 up is past max_total_capacity = 2**62 - 1 (and
        # the nearest float to it is 2**62 itself).
        bad = ~np.isfinite(caps) | (caps != np.floor(caps)) | (caps < 0) | (caps >= 2.0**62)
    elif kind == "u":
        bad = caps > np.uint64(max_total_capacity)
    elif kind in "ib":
        bad = (caps < 0) | (caps > max_total_capacity)
    elif kind == "O":
        values = [_capacity_of_array(x) for x in caps]
        for k, c in enumerate(values):
            if not isinstance(c, int):
                raise _capacity_error(edge(k), caps[k], *c)
        return np.array(values, dtype=np.int64).reshape(m)
    else:
        raise TypeError(f"capacities: whole numbers 0 ... {max_total_capacity} are accepted, "
                        f"not {caps.dtype}")
    if bad.any():
        k = int(np.flatnonzero(bad)[0])
        problem = _capacity_of_array(caps[k].item())
        raise _capacity_error(edge(k), caps[k].item(), *problem)
    return np.ascontiguousarray(caps, dtype=np.int64)


def _capacity_of_array(value):
    """A capacity of cut_tree's array as an int, or (problem, exception
    type) when it is not one; infinity is no capacity here."""
    try:
        c = _capacity_value(value)
    except _BadCapacity as bad:
        return bad.problem, bad.kind
    return ("not finite", ValueError) if c is _INFINITE else c


def _node_ids(ids):
    """The query nodes `ids` (one or an array) as an int64 array: TypeError
    for an id that is not an integer (a float, a bool, a string), KeyError
    for an integer beyond int64, which no node has."""
    import numpy as np

    a = np.asarray(ids)
    kind = a.dtype.kind
    if kind == "i":
        return a.astype(np.int64, copy=False)
    if kind == "u":
        beyond = a > np.uint64(_INT64_MAX)
        if beyond.any():
            raise KeyError(f"node {a[beyond].flat[0]} is not in the tree")
        return a.astype(np.int64)
    if a.size == 0:
        return np.zeros(a.shape, dtype=np.int64)
    # Element by element, as the caller gave them (numpy would have made
    # [1, 2.5] all floats).
    a = a.astype(object) if isinstance(ids, np.ndarray) else np.asarray(ids, dtype=object)
    out = np.empty(a.shape, dtype=np.int64)
    for k, x in enumerate(a.flat):
        if isinstance(x, (bool, np.bool_)) or not isinstance(x, _numbers.Integral):
            raise TypeError(f"node {x!r} is not an integer id")
        x = int(x)
        if not _INT64_MIN <= x <= _INT64_MAX:
            raise KeyError(f"node {x} is not in the tree")
        out.flat[k] = x
    return out


def _find(leader, x):
    """The root of x's group in the union-find `leader`, halving the path."""
    while leader[x] != x:
        leader[x] = leader[leader[x]]
        x = leader[x]
    return x


class CutTree:
    """A Gomory-Hu cut tree over the nodes `nodes` (int64 ids, by index).

    parent[k] is the index of node k's parent (-1 for the root, index 0) and
    weight[k] the minimum cut value between node k and its parent (0 for the
    root). The minimum cut between two nodes is the lightest edge on their
    tree path."""

    def __init__(self, tree, nodes):
        import numpy as np

        self._tree = tree
        self._identity = bool(len(nodes) == 0 or (nodes[0] == 0 and nodes[-1] == len(nodes) - 1))
        self.nodes = nodes
        self.parent = np.empty(len(nodes), dtype=np.int32)
        self.weight = np.empty(len(nodes), dtype=np.int64)
        tree.parents_into(self.parent)
        tree.weights_into(self.weight)
        self.parent = self.parent.astype(np.int64)
        self.parent.flags.writeable = False
        self.weight.flags.writeable = False
        self.nodes.flags.writeable = False

    def __len__(self):
        return len(self.nodes)

    def __repr__(self):
        return f"<sunder.CutTree of {len(self.nodes)} nodes>"

    @property
    def engine(self):
        """The engine that built the tree."""
        return self._tree.engine

    def _indices(self, ids):
        import numpy as np

        ids = _node_ids(ids)
        if self._identity:
            idx = ids
            bad = (ids < 0) | (ids >= len(self.nodes))
        else:
            idx = np.searchsorted(self.nodes, ids)
            bad = idx >= len(self.nodes)
            idx = np.where(bad, 0, idx)
            bad |= self.nodes[idx] != ids
        if bad.any():
            raise KeyError(f"node {ids[bad].flat[0]} is not in the tree")
        return idx

    def _index(self, node):
        if type(node) is int and self._identity and 0 <= node < len(self.nodes):
            return node
        return int(self._indices([node])[0])

    def min_cut_value(self, u, v):
        """The minimum cut value between nodes u and v (u != v). Arrays of
        nodes give an array of values, pair by pair. Nodes are integers:
        TypeError for another id, KeyError for one not in the tree."""
        import numpy as np

        if np.ndim(u) == 0 and np.ndim(v) == 0:
            return self._tree.min_cut_value(self._index(u), self._index(v))
        a, b = np.broadcast_arrays(self._indices(u), self._indices(v))
        a = np.ascontiguousarray(a.ravel(), dtype=np.int64)
        b = np.ascontiguousarray(b.ravel(), dtype=np.int64)
        out = np.empty(len(a), dtype=np.int64)
        self._tree.min_cut_values_into(a, b, out)
        return out.reshape(np.broadcast(np.asarray(u), np.asarray(v)).shape)

    def _cut(self, cut):
        import numpy as np

        value, side, other = cut
        return value, self.nodes[np.asarray(side, dtype=np.int64)], \
            self.nodes[np.asarray(other, dtype=np.int64)]

    def min_cut(self, u, v):
        """(value, u's side, v's side) of a minimum cut between u and v."""
        return self._cut(self._tree.min_cut(self._index(u), self._index(v)))

    def global_min_cut(self):
        """(value, smaller side, the rest) of a minimum cut of the graph."""
        return self._cut(self._tree.global_min_cut())

    def edges(self):
        """The tree edges as an (n - 1) x 3 int64 array of rows
        (child, parent, weight) in node ids, children in index order."""
        import numpy as np

        child = np.flatnonzero(self.parent >= 0)
        return np.column_stack((self.nodes[child], self.nodes[self.parent[child]],
                                self.weight[child]))

    def to_networkx(self):
        """The tree as a networkx Graph, the values in edge attribute "weight"."""
        import networkx as nx

        T = nx.Graph()
        T.add_nodes_from(self.nodes.tolist())
        T.add_weighted_edges_from(self.edges().tolist())
        return T

    # --- answers read off the tree -------------------------------------------
    #
    # The minimum cut between u and v is the lightest edge on their tree
    # path. Joining the tree's nodes along its edges from the heaviest down
    # (Kruskal's order) therefore joins two groups A and B at an edge of
    # weight w exactly when every pair across them has minimum cut w.

    def _heaviest_first(self):
        """Tree edges as (weight, child index, parent index), heaviest first."""
        import numpy as np

        child = np.flatnonzero(self.parent >= 0)
        order = np.argsort(-self.weight[child], kind="stable")
        child = child[order]
        return zip(self.weight[child].tolist(), child.tolist(), self.parent[child].tolist())

    def edge_connectivity(self, u, v):
        """The edge connectivity between nodes u and v (u != v): the minimum
        cut value, as networkx.edge_connectivity(G, u, v) gives it for unit
        capacities."""
        return self.min_cut_value(u, v)

    def k_edge_components(self, k):
        """The maximal sets of nodes whose every pair has minimum cut k or
        more, as networkx.k_edge_components: a list of sets of node ids (the
        tree's components once its edges lighter than k are removed)."""
        if isinstance(k, bool) or not isinstance(k, _numbers.Integral) or k < 1:
            raise ValueError(f"k must be an integer 1 or more, not {k!r}")
        leader = list(range(len(self.nodes)))

        for weight, child, parent in self._heaviest_first():
            if weight < k:
                break
            leader[_find(leader, child)] = _find(leader, parent)
        groups = {}
        for x, node in enumerate(self.nodes.tolist()):
            groups.setdefault(_find(leader, x), set()).add(node)
        return list(groups.values())

    def connectivity_distribution(self):
        """How many pairs of nodes have each minimum cut value: (values,
        counts), int64 arrays with values increasing, counts summing to
        n (n - 1) / 2. O(n log n) from the tree."""
        import numpy as np

        n = len(self.nodes)
        leader, size = list(range(n)), [1] * n
        counts = {}

        for weight, child, parent in self._heaviest_first():
            a, b = _find(leader, child), _find(leader, parent)
            counts[weight] = counts.get(weight, 0) + size[a] * size[b]
            if size[a] > size[b]:
                a, b = b, a
            leader[a] = b
            size[b] += size[a]
        values = np.array(sorted(counts), dtype=np.int64)
        return values, np.array([counts[v] for v in values.tolist()], dtype=np.int64)

    def all_pairs(self, max_bytes=2**31):
        """The n x n int64 matrix of minimum cut values by index (the diagonal
        0). ValueError when it would take more than max_bytes."""
        import numpy as np

        n = len(self.nodes)
        if 8 * n * n > max_bytes:
            raise ValueError(f"an all-pairs matrix of {n} nodes takes {8 * n * n} bytes, more than "
                             f"max_bytes={max_bytes}")
        values = np.zeros((n, n), dtype=np.int64)
        members = [[x] for x in range(n)]
        leader = list(range(n))
        for weight, child, parent in self._heaviest_first():
            a, b = leader[child], leader[parent]
            if len(members[a]) > len(members[b]):
                a, b = b, a
            values[np.ix_(members[a], members[b])] = weight
            values[np.ix_(members[b], members[a])] = weight
            for x in members[a]:
                leader[x] = b
            members[b].extend(members[a])
            members[a] = []
        return values


def cut_tree(edges, capacities=None, *, n=None, engine="auto", threads=0, progress=None):
    """The cut tree of the graph of `edges` (m x 2 integer node ids within
    int64) with `capacities` (m whole numbers 0 ... max_total_capacity,
    adding up to at most that; all 1 when None).

    With n, the nodes are 0 ... n - 1 and every id must be one of them;
    otherwise the nodes are the ids the edges name, in increasing order.
    Returns a CutTree."""
    import numpy as np

    edges = _edge_ids(np.asarray(edges))
    m = len(edges)

    def edge(k):
        return f"edge {k} ({edges[k, 0]}, {edges[k, 1]})"

    if capacities is None:
        caps = np.ones(m, dtype=np.int64)
    else:
        caps = _capacity_array(np.asarray(capacities), m, edge)
    if m and int(caps.max()) * m > max_total_capacity:
        # The first edge whose running total passes the bound: up to it
        # every sum is at most 2 * max_total_capacity < 2**63, so the
        # int64 running sums that come later and may wrap do not matter.
        over = np.flatnonzero(np.cumsum(caps) > max_total_capacity)
        if len(over):
            raise _sum_error(edge(int(over[0])))
    if n is not None:
        if isinstance(n, bool) or not isinstance(n, _numbers.Integral):
            raise TypeError(f"n must be an integer, not {n!r}")
        n = int(n)
        if n < 0:
            raise ValueError(f"n must be 0 or more, not {n}")
        if m and (edges.min() < 0 or edges.max() >= n):
            raise ValueError(f"edges: node ids must lie in 0 ... {n - 1}")
        nodes = np.arange(n, dtype=np.int64)
        flat = edges.astype(np.int64, copy=False).ravel()
    else:
        nodes, flat = np.unique(edges.astype(np.int64, copy=False), return_inverse=True)
    flat = flat.astype(np.int32).reshape(m, 2)
    us = np.ascontiguousarray(flat[:, 0])
    vs = np.ascontiguousarray(flat[:, 1])
    tree = _build(len(nodes), us, vs, caps, engine, threads, progress)
    return CutTree(tree, nodes)
