"""Gomory-Hu cut trees of undirected graphs with whole or real capacities.

    gomory_hu_tree(G, capacity="capacity")   networkx or python-igraph graph in,
                                             a graph of the same kind out
    cut_tree(edges, capacities, n=None)      numpy arrays in, a CutTree out
    cut_tree(G, capacity="weight")           networkx or igraph graph in, a
                                             LabelledCutTree in its own nodes out

Every function takes the keywords engine= ("auto", "push-relabel",
"push-relabel-global", "shortest-paths", "search-trees", "gomory-hu"; the
former names "exact", "relabel", "paths" and "trees" are read too), threads=
(0, the default: one per core; the tree is the same for every count) and progress= (True: a progress line on standard
error; a callable: called as progress(done, total) after each cut, and on
a large graph now and then while the first cut is prepared with done 0,
and when it has a method work, work(done, total) right after with the
build's predicted work, which the time left is best estimated from). The
tree is built without the GIL, so other Python threads run meanwhile, and
Ctrl-C stops a build within a fraction of a second with KeyboardInterrupt.
Bad values are ValueError naming the edge or node and saying what is
accepted (capacities: finite numbers 0 or more; whole ones, which all of a
graph's capacities, self loops included, may add up to max_total_capacity
at most, are built as they are, real ones at one scale that makes them
whole, exactly for decimals, see _real (floats too, when whole ones would
pass that total); node ids
of cut_tree: integers within int64; threads: 0 ... 2**31 - 1); values of
the wrong type are TypeError. A query for a node the tree lacks is KeyError.
The result is made from a copy of the graph's nodes, edges, capacities and
attributes taken before the build: a progress callback or another thread
may change the graph during the build (a change by another thread while the
copy is taken is RuntimeError).
"""

import array as _array
import decimal as _decimal
import fractions as _fractions
import math as _math
import numbers as _numbers

from . import _real, _sunder

__all__ = ["gomory_hu_tree", "cut_tree", "CutTree", "LabelledCutTree", "KCut", "engines",
           "max_total_capacity", "__version__"]

__version__ = _sunder.version
max_total_capacity = _sunder.max_total_capacity


def engines():
    """The engine names, "auto" first."""
    return list(_sunder.engines())


_INT64_MIN, _INT64_MAX = -2**63, 2**63 - 1
_MAX_THREADS = 2**31 - 1  # the binding takes a C int
_MAX_NODES = _sunder.max_nodes


def _build(n, us, vs, caps, engine, threads, progress):
    if not isinstance(engine, str):
        raise TypeError(f"engine must be a name, not {engine!r}")
    threads, progress = _threads_and_progress(threads, progress)
    return _sunder.build(n, us, vs, caps, engine, threads, progress)


def _threads_and_progress(threads, progress):
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
    return threads, progress


class _ProgressBar:
    """progress=True: "sunder: DONE/TOTAL cuts (P%), N s left" on one
    rewritten line of standard error, at most five times a second, ended by
    a line end when the last cut is done. The time left is _sunder.TimeLeft's
    estimate from the build's predicted work, which the build gives the
    method work right after each cut (cuts cost very different amounts);
    from the cuts while no work came. "time left unknown" until the
    estimate has the evidence."""

    def __init__(self):
        import time

        self._clock = time.monotonic
        self._start = self._clock()
        self._last = None
        self._left = _sunder.TimeLeft()
        self._shown = 0
        self._by_work = False
        self._cuts = (0, 0)

    def work(self, done, total):
        self._by_work = True
        self._left.update(self._clock() - self._start, done, total)
        self._show(*self._cuts)

    def __call__(self, done, total):
        self._cuts = (done, total)
        if not self._by_work:
            self._left.update(self._clock() - self._start, done, total)
            self._show(done, total)

    def _show(self, done, total):
        import sys

        now = self._clock()
        if done < total and self._last is not None and now - self._last < 0.2:
            return
        self._last = now
        percent = 100 * done // total if total else 100
        seconds = 0.0 if done >= total else self._left.seconds_left()
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
    """The capacity `value` as an int, a _real.Real, or _INFINITE;
    _BadCapacity otherwise.

    Whole numbers of any numeric type are ints (2, 2.0, numpy.int64(2),
    Decimal(2), Fraction(4, 2), True as 1, like networkx), but for whole
    floats past max_total_capacity (1e19); those and other finite values
    0 or more are Reals (2.5, Decimal("0.1"), Fraction(1, 3)); a missing
    value and an infinite one are infinite, as networkx has them."""
    if type(value) is int:
        c = value
    elif value is None:
        return _INFINITE
    elif isinstance(value, _numbers.Integral):
        c = int(value)
    elif isinstance(value, (_numbers.Real, _decimal.Decimal)):
        if value.is_nan() if isinstance(value, _decimal.Decimal) else value != value:
            raise _BadCapacity("not a number")
        if value < 0:
            raise _BadCapacity("negative")
        if isinstance(value, _numbers.Rational):  # Fraction: exact, any size
            if value.denominator != 1:
                return _real.Real(value, _fractions.Fraction)
            c = int(value)
        elif isinstance(value, _decimal.Decimal):
            if value.is_infinite():
                return _INFINITE
            if value != value.to_integral_value():
                return _real.Real(value, _decimal.Decimal)
            c = int(value)
        else:
            f = float(value)
            if f == _math.inf:
                return _INFINITE
            # A whole float too large for the whole capacities is scaled
            # with the rest, as a fractional one is.
            if not f.is_integer() or f > max_total_capacity:
                return _real.Real(f, float)
            c = int(f)
    else:
        raise _BadCapacity("not a number", TypeError)
    if c < 0:
        raise _BadCapacity("negative")
    if c > max_total_capacity:
        raise _BadCapacity("beyond max_total_capacity")
    return c


_ACCEPTED = (f"capacities are finite numbers 0 or more, whole ones at most "
             f"{max_total_capacity}")


def _capacity_error(edge, value, problem, kind=ValueError):
    return kind(f"{edge}: capacity {value!r} is {problem}; {_ACCEPTED}")


def _capacity(value, u, v):
    """The capacity `value` of edge (u, v) as an int, a Real, or _INFINITE;
    an error naming the edge, the value and what is accepted otherwise:
    ValueError, TypeError for a value that is not a number."""
    try:
        return _capacity_value(value)
    except _BadCapacity as bad:
        raise _capacity_error(f"edge ({u!r}, {v!r})", value, bad.problem, bad.kind) from None


def _sum_error(edge):
    return ValueError(f"{edge}: the capacities add up to more than {max_total_capacity}")


def _finite_edges(edges, missing=None):
    """The arrays the build takes of `edges`, each (u, v, index of u, index
    of v, capacity): the ends by index, the capacities (scaled when real)
    and their scale. A capacity of None is `missing` when that is given;
    an infinite one is ValueError naming the edge."""
    us, vs, column = _array.array("i"), _array.array("i"), _Capacities()
    for u, v, a, b, value in edges:
        c = missing if value is None and missing is not None else _capacity(value, u, v)
        if c is _INFINITE:
            raise _capacity_error(f"edge ({u!r}, {v!r})", value, "not finite")
        us.append(a)
        vs.append(b)
        column.add(c, u, v, value)
    caps, scale = column.finish()
    return us, vs, caps, scale


class _Capacities:
    """The capacities of a graph's edges as they are read: whole numbers
    while they all are and their running total is at most
    max_total_capacity; from the first real value on, or the first whole
    one past that total, every value is kept for the one scale the library
    chooses (see _real). Whole values past the total are ValueError naming
    the edge, unless a float or a real value is among the capacities: those
    are real capacities then, at one scale."""

    def __init__(self):
        self.caps = _array.array("q")
        self.total = 0
        self.items = None  # the values for the scale, once one is real
        self.values = None  # the numbers themselves, for exact sums
        self.kinds = set()
        self.floats = False  # whether a float is among the capacities
        self.over = None  # the edge whose whole capacity passed the total

    def add(self, c, u, v, value=None):
        """Adds capacity c (an int or a Real) of edge (u, v), read from
        `value`."""
        self.floats = self.floats or _float_valued(value)
        if self.items is None:
            if type(c) is int:
                if self.total + c <= max_total_capacity:
                    self.total += c
                    self.caps.append(c)
                    return
                self.over = f"edge ({u!r}, {v!r})"
            self.items = [str(x) for x in self.caps]
            self.values = self.caps.tolist()
        self.items.append(_real.item_of(c))
        self.values.append(_real.value_of(c))
        if isinstance(c, _real.Real):
            self.kinds.add(c.kind)
        self.caps.append(0)

    def finish(self):
        """The capacities the build takes (scaled in place when real) and
        the scale, None when every capacity is whole."""
        if self.items is None:
            return self.caps, None
        if not self.kinds:  # whole capacities past the total
            if not self.floats:
                raise _sum_error(self.over)
            self.kinds.add(float)
        scale = _real.Scale(self.items, self.kinds, self.values)
        scale.real.scaled_into(self.caps)
        return self.caps, scale


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
    column = _Capacities()
    unbounded = False
    fractional_type = False
    for u, v, value in edges:
        c = _capacity(value, u, v)
        if c is _INFINITE:
            # networkx's flow computations treat such an edge as infinite;
            # a tree must separate its two ends somewhere, so networkx meets
            # an infinite path (self loops are no path).
            unbounded = unbounded or u != v
            continue
        fractional_type = fractional_type or _float_valued(value)
        a, b = index.get(u), index.get(v)
        if a is None or b is None:  # a node added or removed meanwhile
            raise RuntimeError(changed)
        us.append(a)
        vs.append(b)
        column.add(c, u, v, value)
    if unbounded:
        raise nx.NetworkXUnbounded("Infinite capacity path, flow unbounded above.")
    n = len(nodes)
    caps, scale = column.finish()
    tree = _build(n, us, vs, caps, engine, threads, progress)
    parents = _array.array("i", bytes(4 * n))
    tree.parents_into(parents)
    weights = _tree_weights(tree, n, us, vs, caps, scale)
    T = nx.Graph()
    T.add_nodes_from(nodes)
    # networkx's values are floats when a capacity is, but for 0 (no flow).
    if fractional_type:
        weights = [float(w) if w else 0 for w in weights]
    T.add_weighted_edges_from(
        (nodes[k], nodes[parents[k]], weights[k]) for k in range(n) if parents[k] >= 0)
    return T


def _tree_weights(tree, n, us, vs, caps, scale):
    """The tree's weights by index: ints, or with a scale the original
    values summed over each tree edge's cut, in the capacities' kind."""
    if scale is None:
        weights = _array.array("q", bytes(8 * n))
        tree.weights_into(weights)
        return weights.tolist()
    return scale.weights(tree, n, us, vs, caps)


_DirectedGraphError = None


def _igraph_directed_error(ig):
    """The error for a directed igraph graph: the ValueError cut_tree gives,
    an igraph InternalError too, as igraph's own gomory_hu_tree raises."""
    global _DirectedGraphError
    if _DirectedGraphError is None:
        _DirectedGraphError = type("DirectedGraphError", (ig.InternalError, ValueError),
                                   {"__module__": __name__})
    return _DirectedGraphError(_labelled.DIRECTED)


def _igraph_tree(G, capacity, flow, engine, threads, progress):
    import igraph as ig

    if G.is_directed():
        raise _igraph_directed_error(ig)
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
    us, vs, caps, scale = _finite_edges((u, v, u, v, value)
                                        for (u, v), value in zip(edgelist, values))
    tree = _build(n, us, vs, caps, engine, threads, progress)
    parents = _array.array("i", bytes(4 * n))
    tree.parents_into(parents)
    weights = _tree_weights(tree, n, us, vs, caps, scale)
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
    has no `capacity` attribute or an infinite one. Capacities are finite
    numbers 0 or more of any numeric type; whole ones add up to at most
    max_total_capacity, and real ones are scaled (exactly for decimals, see
    docs/python.md), floats too when whole ones would pass that total:
    ValueError (TypeError for a value that is not a number)
    names the first edge with another. The values are ints, floats when a
    capacity is a float (as networkx has them), Decimal or Fraction for real
    capacities of those kinds; each is the capacities summed over its cut.

    A python-igraph Graph gives an igraph Graph as Graph.gomory_hu_tree
    does: same vertices and attributes, the values as floats in edge
    attribute `flow`. `capacity` is an edge attribute name, a list of
    capacities or None (all 1); the default "capacity" means all 1 when the
    graph has no such attribute. A directed graph is an error that is both
    igraph's InternalError, as igraph raises, and the ValueError cut_tree
    gives.
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
    """The m capacities `caps` as an int64 array and their scale (None when
    all are whole numbers, see _real); an error naming the first bad one's
    edge (edge(k)), its value and what is accepted otherwise."""
    import numpy as np

    if caps.shape != (m,):
        raise ValueError(f"capacities: {m} values expected, not shape {caps.shape}")
    kind = caps.dtype.kind
    if kind == "f":
        bad = ~np.isfinite(caps) | (caps < 0)
        # Floats are real capacities unless they are whole and add up within
        # max_total_capacity = 2**62 - 1 (a float from 2**62 up, the float
        # nearest that bound, is past it alone).
        if not bad.any() and ((caps != np.floor(caps)).any() or (caps >= 2.0**62).any()
                              or _past_total(caps.astype(np.int64)) is not None):
            values = caps.tolist()
            return _scaled_array(values, {float}, values)
    elif kind == "u":
        bad = caps > np.uint64(max_total_capacity)
    elif kind in "ib":
        bad = (caps < 0) | (caps > max_total_capacity)
    elif kind == "O":
        values = [_capacity_of_array(x) for x in caps]
        for k, c in enumerate(values):
            if not isinstance(c, (int, _real.Real)):
                raise _capacity_error(edge(k), caps[k], *c)
        kinds = {c.kind for c in values if isinstance(c, _real.Real)}
        if not kinds and sum(values) > max_total_capacity and any(map(_float_valued, caps)):
            kinds = {float}  # whole floats past the total: real capacities
        if kinds:
            return _scaled_array([_real.item_of(c) for c in values], kinds,
                                 [_real.value_of(c) for c in values])
        return np.array(values, dtype=np.int64).reshape(m), None
    else:
        raise TypeError(f"capacities: numbers 0 or more are accepted, not {caps.dtype}")
    if bad.any():
        k = int(np.flatnonzero(bad)[0])
        problem = _capacity_of_array(caps[k].item())
        raise _capacity_error(edge(k), caps[k].item(), *problem)
    return np.ascontiguousarray(caps, dtype=np.int64), None


def _past_total(caps):
    """The index of the first of the int64 capacities `caps` (each at most
    max_total_capacity) whose running total passes max_total_capacity, or
    None. Up to that one every sum is at most 2 * max_total_capacity <
    2**63, so the int64 running sums that come later and may wrap do not
    matter."""
    import numpy as np

    if len(caps) and int(caps.max()) * len(caps) > max_total_capacity:
        over = np.flatnonzero(np.cumsum(caps) > max_total_capacity)
        if len(over):
            return int(over[0])
    return None


def _scaled_array(items, kinds, values):
    """Real capacities as the int64 array the build takes, and their scale."""
    import numpy as np

    scale = _real.Scale(items, kinds, values)
    caps = np.empty(len(items), dtype=np.int64)
    scale.real.scaled_into(caps)
    return caps, scale


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


def _group_count(k):
    """k of k_edge_components and min_k_cut: an integer 1 or more."""
    if isinstance(k, bool) or not isinstance(k, _numbers.Integral) or k < 1:
        raise ValueError(f"k must be an integer 1 or more, not {k!r}")
    return int(k)


def _alpha(alpha):
    """alpha of cut_clustering as a capacity above 0: an int or a Real."""
    accepted = f"alpha is a finite number above 0, a whole one at most {max_total_capacity}"
    try:
        c = _capacity_value(alpha)
    except _BadCapacity as bad:
        raise bad.kind(f"alpha {alpha!r} is {bad.problem}; {accepted}") from None
    if c is _INFINITE or c == 0:
        problem = "not finite" if c is _INFINITE else "0"
        raise ValueError(f"alpha {alpha!r} is {problem}; {accepted}")
    return c


def _np_list(a):
    """A buffer of numbers (a numpy array, an array.array) as a list."""
    import numpy as np

    return np.asarray(a).tolist()


def _callable_array(a):
    """The array `a`, callable as a() too: edges was a method once, and
    edges() still gives the array."""
    import numpy as np

    class EdgesArray(np.ndarray):
        def __call__(self):
            return self

    return a.view(EdgesArray)


class KCut(tuple):
    """(value, bound, parts) of min_k_cut: the capacity of the graph's
    edges between different parts, the removed tree edges' weights together
    (value <= bound <= (2 - 2/k) times the minimum k-cut), and the k parts
    as sets of nodes."""

    __slots__ = ()

    def __new__(cls, value, bound, parts):
        return super().__new__(cls, (value, bound, parts))

    value = property(lambda self: self[0])
    bound = property(lambda self: self[1])
    parts = property(lambda self: self[2])

    def __repr__(self):
        return f"KCut(value={self[0]!r}, bound={self[1]!r}, parts={self[2]!r})"


class CutTree:
    """A Gomory-Hu cut tree over the nodes `nodes` (int64 ids, by index).

    parent[k] is the index of node k's parent (-1 for the root, index 0),
    weight[k] the minimum cut value between node k and its parent (0 for the
    root) and edges the (n - 1) x 3 rows (child, parent, weight) in node ids:
    all four are read-only arrays (edges() still works, the older spelling).
    The minimum cut between two nodes is the lightest edge on their tree
    path. Answers that need the graph (min_k_cut, cut_clustering) use the
    one the tree was built from; a tree read by load has none.

    A tree of real capacities (see real_capacities in docs/python.md) has
    float weights, each the original capacities summed over its edge's cut;
    every value it answers is a number of the capacities' kind (float,
    Decimal or Fraction), exact when `exact` is True. Otherwise (fixed
    point) every value is still read off those real weights, never off the
    scaled ones: each is the real capacity of a cut the tree names, so never
    below the true minimum, and at most `error_bound` above it. Sums of
    Fractions and Decimals are exact either way."""

    def __init__(self, tree, nodes, graph=None, scale=None):
        import numpy as np

        self._built = tree
        self._tree = tree  # the tree queries go to: by rank in fixed point
        self._graph = graph  # (n, us, vs, capacities) by index, or None
        self._scale = scale  # the real capacities' scale, or None
        self._ranked = None  # in fixed point: the distinct real weights, increasing
        self._edges = None
        self._identity = bool(len(nodes) == 0 or (nodes[0] == 0 and nodes[-1] == len(nodes) - 1))
        self.nodes = nodes
        self.parent = np.empty(len(nodes), dtype=np.int32)
        self.weight = np.empty(len(nodes), dtype=np.int64)
        tree.parents_into(self.parent)
        tree.weights_into(self.weight)
        if scale is not None:
            if graph is not None:
                self._weights = scale.weights(tree, *graph)
                self.weight = np.array([float(w) for w in self._weights], dtype=np.float64)
            else:  # a tree loaded: the scale is its weights', scale.values the weights
                self._weights = [float(w) for w in scale.values]
                self.weight = np.array(self._weights, dtype=np.float64)
            if not scale.exact:
                self._rank()
        self.parent = self.parent.astype(np.int64)
        self.parent.flags.writeable = False
        self.weight.flags.writeable = False
        self.nodes.flags.writeable = False

    def _rank(self):
        """In fixed point the scaled weights are only near the real ones (a
        small capacity beside a huge one may scale to 0), and a value read
        off them need not be a cut's. Queries then go to a tree of the same
        edges whose weights are the ranks of the real weights among their
        distinct values: the lightest edge by rank is the lightest by real
        weight, equal ranks are equal weights, and each value answered is
        the real weight of a tree edge, the capacity of the cut it names."""
        self._ranked = sorted(set(self._weights))
        rank = {w: r for r, w in enumerate(self._ranked)}
        self._ranked_floats = self._scale.floats_of(self._ranked)
        self._tree = _sunder.Tree(_array.array("i", self.parent.tolist()),
                                  _array.array("q", (rank[w] for w in self._weights)))

    def __len__(self):
        return len(self.nodes)

    def __repr__(self):
        return f"<sunder.{type(self).__name__} of {len(self.nodes)} nodes>"

    @property
    def engine(self):
        """The engine that built the tree."""
        return self._built.engine

    @property
    def exact(self):
        """Whether every value is exact: True for whole capacities, and for
        real ones that are decimals of bounded width (see real_capacities)."""
        return self._scale is None or self._scale.exact

    @property
    def error_bound(self):
        """How far a cut this tree names may lie above the true minimum: 0
        when exact, else the fixed-point bound m / S (m edges, S the scale)."""
        if self._scale is None or self._scale.exact:
            return 0
        m = len(self._graph[1]) if self._graph is not None else 0
        return self._scale.real.error_bound(m)

    def _number(self, scaled):
        """A value the library answered in the build's whole capacities (in
        fixed point, a rank of the real weights), in the capacities' own
        kind."""
        if self._ranked is not None:
            return self._ranked[scaled]
        return scaled if self._scale is None else self._scale.value(scaled)

    def _numbers(self, scaled):
        """An int64 array of such values: itself, or floats for real ones."""
        if self._ranked is not None:
            return self._ranked_floats[scaled]
        return scaled if self._scale is None else self._scale.floats(scaled)

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

    def _side(self, indices):
        """The nodes at `indices`: an array of ids."""
        import numpy as np

        return self.nodes[np.asarray(indices, dtype=np.int64)]

    def _groups(self, groups):
        """Lists of indices as a list of sets of nodes."""
        nodes = self.nodes.tolist()
        return [{nodes[x] for x in group} for group in groups]

    def min_cut_value(self, u, v):
        """The minimum cut value between nodes u and v (u != v). Arrays of
        nodes give an array of values, pair by pair. Nodes are integers:
        TypeError for another id, KeyError for one not in the tree."""
        import numpy as np

        if np.ndim(u) == 0 and np.ndim(v) == 0:
            return self._number(self._tree.min_cut_value(self._index(u), self._index(v)))
        a, b = np.broadcast_arrays(self._indices(u), self._indices(v))
        a = np.ascontiguousarray(a.ravel(), dtype=np.int64)
        b = np.ascontiguousarray(b.ravel(), dtype=np.int64)
        out = np.empty(len(a), dtype=np.int64)
        self._tree.min_cut_values_into(a, b, out)
        return self._numbers(out.reshape(np.broadcast(np.asarray(u), np.asarray(v)).shape))

    def _cut(self, cut):
        value, side, other = cut
        return self._number(value), self._side(side), self._side(other)

    def min_cut(self, u, v):
        """(value, u's side, v's side) of a minimum cut between u and v."""
        return self._cut(self._tree.min_cut(self._index(u), self._index(v)))

    def global_min_cut(self):
        """(value, smaller side, the rest) of a minimum cut of the graph."""
        return self._cut(self._tree.global_min_cut())

    @property
    def edges(self):
        """The tree edges as an (n - 1) x 3 array of rows (child, parent,
        weight) in node ids, children in index order."""
        import numpy as np

        if self._edges is None:
            child = np.flatnonzero(self.parent >= 0)
            columns = (self.nodes[child], self.nodes[self.parent[child]], self.weight[child])
            if self._scale is not None:  # int64 ids beside float weights
                columns = tuple(c.astype(object) for c in columns)
            edges = np.column_stack(columns)
            edges.flags.writeable = False
            self._edges = _callable_array(edges)
        return self._edges

    def to_networkx(self):
        """The tree as a networkx Graph, the values in edge attribute "weight"."""
        import networkx as nx

        T = nx.Graph()
        T.add_nodes_from(self.nodes.tolist())
        T.add_weighted_edges_from(self.edges.tolist())
        return T

    def to_igraph(self):
        """The tree as an igraph Graph: vertex k is node k (its id or label
        in vertex attribute "name"), the values in edge attribute "weight"."""
        import igraph as ig
        import numpy as np

        child = np.flatnonzero(self.parent >= 0)
        T = ig.Graph(n=len(self.nodes), edges=list(zip(child.tolist(), self.parent[child].tolist())))
        T.vs["name"] = self.nodes.tolist()
        T.es["weight"] = self.weight[child].tolist()
        return T

    def save(self, path):
        """Writes the tree to `path` as JSON (see docs/python.md): nodes,
        parents and weights; CutTree.load reads it back."""
        from . import _labelled

        _labelled.save_tree(self, path)

    @staticmethod
    def load(path):
        """The tree a save wrote to `path`, of the kind that was saved;
        ValueError naming the file and the fault for anything else. It has
        no graph: min_k_cut and cut_clustering refuse."""
        from . import _labelled

        return _labelled.load_tree(path)

    # --- answers read off the tree (the library's, by index) ------------------

    def edge_connectivity(self, u, v):
        """The edge connectivity between nodes u and v (u != v): the minimum
        cut value, as networkx.edge_connectivity(G, u, v) gives it for unit
        capacities."""
        return self.min_cut_value(u, v)

    def k_edge_components(self, k):
        """The maximal sets of nodes whose every pair has minimum cut k or
        more, as networkx.k_edge_components: a list of sets of nodes (the
        tree's components once its edges lighter than k are removed), in
        the order of their first node. k is an integer 1 ...
        max_total_capacity, any number above 0 for real capacities."""
        return self._groups(self._tree.k_edge_components(self._threshold(k)))

    def _threshold(self, k):
        """k of k_edge_components in the build's whole capacities (in fixed
        point, the least rank of a real weight k or more): an integer 1 ...
        max_total_capacity, or for real capacities any number above 0."""
        if self._scale is None:
            k = _group_count(k)
            if k > max_total_capacity:
                raise ValueError(f"k must be an integer 1 ... {max_total_capacity} (no minimum cut "
                                 f"of whole capacities is more), not {k!r}")
            return k
        c = _capacity_of_array(k)
        if c == ("beyond max_total_capacity", ValueError):  # whole, and past any whole capacity
            c = _real.Real(_fractions.Fraction(int(k)), _fractions.Fraction)
        if isinstance(c, tuple) or c is _INFINITE or c == 0:
            raise ValueError(f"k must be a number above 0, not {k!r}")
        if self._ranked is not None:
            import bisect

            return max(1, bisect.bisect_left(self._ranked, _fractions.Fraction(_real.value_of(c))))
        return max(1, self._scale.threshold(c))

    def connectivity_distribution(self):
        """How many pairs of nodes have each minimum cut value: (values,
        counts), int64 arrays with values increasing, counts summing to
        n (n - 1) / 2. O(n log n) from the tree."""
        import numpy as np

        values, counts = self._tree.connectivity_distribution()
        return self._numbers(np.array(values, dtype=np.int64)), np.array(counts, dtype=np.int64)

    def plot_connectivity_distribution(self, ax=None, path=None):
        """Draws connectivity_distribution with matplotlib: one stem per
        minimum cut value, its height the pairs that have it, as cuttree
        --plot draws it. Into `ax` (a matplotlib Axes; a new figure's when
        None), and saved to `path` when given. Returns the Axes."""
        import matplotlib

        if ax is None:
            if path is not None and matplotlib.get_backend().lower() not in ("agg", "pdf", "svg"):
                matplotlib.use("Agg")  # a file needs no window
            import matplotlib.pyplot as plt

            ax = plt.figure(figsize=(8, 5)).add_subplot()
        values, counts = self.connectivity_distribution()
        ax.vlines(values, 0, counts, linewidth=4)
        ax.set_title("Minimum cut values of the node pairs")
        ax.set_xlabel("minimum cut value")
        ax.set_ylabel("node pairs")
        ax.set_ylim(bottom=0)
        if path is not None:
            ax.figure.savefig(path)
        return ax

    def all_pairs(self, max_bytes=2**31):
        """The n x n int64 matrix of minimum cut values by index (the diagonal
        0). ValueError when it would take more than max_bytes."""
        import numpy as np

        n = len(self.nodes)
        if 8 * n * n > max_bytes:
            raise ValueError(f"an all-pairs matrix of {n} nodes takes {8 * n * n} bytes, more than "
                             f"max_bytes={max_bytes}")
        values = np.empty((n, n), dtype=np.int64)
        self._tree.all_pairs_into(values.reshape(-1))
        return self._numbers(values)

    def _need_graph(self, what):
        if self._graph is None:
            raise ValueError(f"{what} needs the graph's edges, and a tree read by load has none: "
                             f"build the tree with cut_tree instead")
        return self._graph

    def min_k_cut(self, k):
        """An approximate minimum k-cut, 1 <= k <= n: the tree without its
        k - 1 lightest edges falls into k parts. KCut(value, bound, parts):
        value, the capacity of the graph's edges between different parts,
        is at most bound, the removed tree edges' weights together, which is
        at most 2 - 2/k times the minimum k-cut (Saran and Vazirani). Among
        equal weights the edges of nodes earlier in `nodes` go first; parts
        are sets of nodes in the order of their first node."""
        n, us, vs, caps = self._need_graph("min_k_cut")
        k = _group_count(k)
        if k > n:
            raise ValueError(f"k must be 1 ... {n} (the node count), not {k}")
        value, bound, parts = self._tree.min_k_cut(k, us, vs, caps)
        if self._ranked is None:
            return KCut(self._number(value), self._number(bound), self._groups(parts))
        # Fixed point: the sums of the real values, not of the scaled ones
        # (nor of the ranks): the graph's edges between parts, and the tree
        # edges removed, which are those between parts.
        part = [0] * n
        for p, group in enumerate(parts):
            for x in group:
                part[x] = p
        ends = zip(_np_list(us), _np_list(vs), self._scale.values)
        across = [c for a, b, c in ends if part[a] != part[b]]
        removed = [self._weights[x] for x, p in enumerate(self.parent.tolist())
                   if p >= 0 and part[x] != part[p]]
        return KCut(self._scale.sum(across), self._scale.sum(removed), self._groups(parts))

    def cut_clustering(self, alpha, *, engine="auto", threads=0, progress=None):
        """Minimum-cut clustering (Flake, Tarjan and Tsioutsiouliklis) of the
        graph the tree was built from: the cut tree of that graph plus one
        artificial node joined to every node with capacity alpha (a whole
        number 1 or more), cut at that node. A list of sets of nodes in the
        order of their first node; a larger alpha gives smaller clusters.
        It builds a tree: engine, threads and progress as for cut_tree."""
        n, us, vs, caps = self._need_graph("cut_clustering")
        alpha = _alpha(alpha)
        if not isinstance(engine, str):
            raise TypeError(f"engine must be a name, not {engine!r}")
        threads, progress = _threads_and_progress(threads, progress)
        if self._scale is not None or isinstance(alpha, _real.Real):
            # alpha joins the capacities' scale: one more value to make whole.
            # Each of the n edges alpha stands for counts toward the bound.
            items = self._scale.items if self._scale is not None else [str(c) for c in caps]
            m = len(items)
            scale = _sunder.RealCapacities(items + [_real.item_of(alpha)] * n)
            caps = _array.array("q", bytes(8 * (m + n)))
            scale.scaled_into(caps)
            # A small alpha beside large capacities may scale to 0 in fixed
            # point; 1, the least whole capacity above it, stands for it.
            alpha = max(caps[m], 1) if n else 1
            del caps[m:]
        return self._groups(_sunder.cut_clustering(n, us, vs, caps, alpha, engine, threads, progress))


def cut_tree(edges, capacities=None, *, n=None, capacity="weight", engine="auto", threads=0,
             progress=None):
    """The cut tree of the graph of `edges` (m x 2 integer node ids within
    int64) with `capacities` (m finite numbers 0 or more: whole ones adding
    up to at most max_total_capacity, or real ones, see CutTree, floats too
    when whole ones would pass that total; all 1 when None).

    With n (0 ... 10**9, checked before anything is made), the nodes are
    0 ... n - 1 and every id must be one of them; otherwise the nodes are the ids the edges name, in increasing order.
    Returns a CutTree.

    A networkx or igraph graph instead of `edges` gives a LabelledCutTree
    that answers in the graph's own nodes (see LabelledCutTree); `capacity`
    names the edge attribute holding the capacities (an edge without it,
    or with None, has capacity 1; capacity=None: all 1)."""
    import numpy as np

    if _labelled.is_graph(edges):
        if capacities is not None or n is not None:
            raise TypeError("capacities= and n= are for edge arrays; capacity= names a "
                            "graph's edge attribute")
        return _labelled.graph_cut_tree(edges, capacity, engine, threads, progress)
    edges = _edge_ids(np.asarray(edges))
    m = len(edges)

    def edge(k):
        return f"edge {k} ({edges[k, 0]}, {edges[k, 1]})"

    scale = None
    if capacities is None:
        caps = np.ones(m, dtype=np.int64)
    else:
        caps, scale = _capacity_array(np.asarray(capacities), m, edge)
    if scale is None:
        over = _past_total(caps)
        if over is not None:
            raise _sum_error(edge(over))
    if n is not None:
        if isinstance(n, bool) or not isinstance(n, _numbers.Integral):
            raise TypeError(f"n must be an integer, not {n!r}")
        n = int(n)
        if not 0 <= n <= _MAX_NODES:  # before the n ids are made
            raise ValueError(f"a graph has 0 to {_MAX_NODES} nodes, not {n}")
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
    # A copy of the capacities: caps may be the caller's own array.
    return CutTree(tree, nodes, (len(nodes), us, vs, caps.copy()), scale)


from . import _labelled  # noqa: E402  (it builds on the names above)
from ._labelled import LabelledCutTree  # noqa: E402
