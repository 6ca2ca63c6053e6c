"""Gomory-Hu cut trees of undirected graphs with integer capacities.

    gomory_hu_tree(G, capacity="capacity")   networkx or python-igraph graph in,
                                             a graph of the same kind out
    cut_tree(edges, capacities, n=None)      numpy arrays in, a CutTree out

Every function takes the keywords engine= ("auto", "exact", "relabel",
"paths", "trees"), threads= (0: one per core; the tree is the same for every
count) and progress= (called as progress(done, total) after each cut). The
tree is built without the GIL, so other Python threads run meanwhile, and
Ctrl-C stops a build within a fraction of a second with KeyboardInterrupt.
Library errors (a bad engine name, threads < 0, capacities that add up past
max_total_capacity) are ValueError.
"""

import array as _array
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


def _build(n, us, vs, caps, engine, threads, progress):
    if not isinstance(engine, str):
        raise TypeError(f"engine must be a name, not {engine!r}")
    if isinstance(threads, bool) or not isinstance(threads, _numbers.Integral):
        raise TypeError(f"threads must be an integer, not {threads!r}")
    if progress is not None and not callable(progress):
        raise TypeError("progress must be callable")
    return _sunder.build(n, us, vs, caps, engine, int(threads), progress)


# --- capacities of graph libraries' edges -----------------------------------

_INFINITE = None  # a capacity networkx reads as infinite


def _capacity(value, u, v):
    """The capacity `value` of edge (u, v) as an int, or _INFINITE.

    Whole numbers of any numeric type are accepted (2, 2.0, numpy.int64(2),
    True as 1, like networkx); a missing value and float("inf") are infinite,
    as networkx has them. Negative, fractional and non-numeric values are
    ValueError naming the edge."""
    if type(value) is int:
        c = value
    elif value is None:
        return _INFINITE
    elif isinstance(value, _numbers.Integral):
        c = int(value)
    elif isinstance(value, _numbers.Real):
        f = float(value)
        if f == _math.inf:
            return _INFINITE
        if not f.is_integer():
            raise ValueError(f"edge ({u!r}, {v!r}): capacity {value!r} is not a whole number")
        c = int(f)
    else:
        raise ValueError(f"edge ({u!r}, {v!r}): capacity {value!r} is not a number")
    if c < 0:
        raise ValueError(f"edge ({u!r}, {v!r}): capacity {value!r} is negative")
    return c


def _networkx_tree(G, capacity, engine, threads, progress):
    import networkx as nx

    if G.is_directed():
        raise nx.NetworkXNotImplemented("not implemented for directed type")
    if len(G) == 0:
        raise nx.NetworkXError("Empty Graph does not have a Gomory-Hu tree representation")
    if G.is_multigraph():
        raise nx.NetworkXError("MultiGraph and MultiDiGraph not supported (yet).")
    nodes = list(G)
    index = {node: k for k, node in enumerate(nodes)}
    us = _array.array("i")
    vs = _array.array("i")
    caps = _array.array("q")
    unbounded = False
    fractional_type = False
    for u, v, value in G.edges(data=capacity, default=None):
        c = _capacity(value, u, v)
        if c is _INFINITE:
            # networkx's flow computations treat such an edge as infinite;
            # a tree must separate its two ends somewhere, so networkx meets
            # an infinite path (self loops are no path).
            unbounded = unbounded or u != v
            continue
        if not isinstance(value, _numbers.Integral):
            fractional_type = True
        if c > max_total_capacity:
            raise ValueError(f"edge ({u!r}, {v!r}): capacity {value!r} is beyond "
                             f"{max_total_capacity}")
        us.append(index[u])
        vs.append(index[v])
        caps.append(c)
    if unbounded:
        raise nx.NetworkXUnbounded("Infinite capacity path, flow unbounded above.")
    tree = _build(len(nodes), us, vs, caps, engine, threads, progress)
    parents = _array.array("i", bytes(4 * len(nodes)))
    weights = _array.array("q", bytes(8 * len(nodes)))
    tree.parents_into(parents)
    tree.weights_into(weights)
    T = nx.Graph()
    T.add_nodes_from(G)
    # networkx's values are floats when a capacity is, but for 0 (no flow).
    convert = (lambda w: float(w) if w else 0) if fractional_type else int
    T.add_weighted_edges_from(
        (nodes[k], nodes[parents[k]], convert(weights[k])) for k in range(len(nodes)) if parents[k] >= 0)
    return T


def _igraph_tree(G, capacity, flow, engine, threads, progress):
    import igraph as ig

    if G.is_directed():
        raise ig.InternalError("Gomory-Hu tree can only be calculated for undirected graphs")
    n, m = G.vcount(), G.ecount()
    if capacity is None or (capacity == "capacity" and "capacity" not in G.es.attributes()):
        values = [1] * m
    elif isinstance(capacity, str):
        values = G.es[capacity]  # KeyError when there is no such attribute
    else:
        values = list(capacity)
        if len(values) != m:
            raise ValueError(f"{len(values)} capacities for {m} edges")
    us = _array.array("i")
    vs = _array.array("i")
    caps = _array.array("q")
    for (u, v), value in zip(G.get_edgelist(), values):
        c = _capacity(value, u, v)
        if c is _INFINITE:
            raise ValueError(f"edge ({u!r}, {v!r}): capacity {value!r} is not finite")
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
    for name in G.attributes():
        T[name] = G[name]
    for name in G.vs.attributes():
        T.vs[name] = G.vs[name]
    for name in G.es.attributes():
        T.es[name] = None
    T.es[flow] = [float(weights[k]) for k in range(n) if parents[k] >= 0]
    return T


def gomory_hu_tree(G, capacity="capacity", *, flow="flow", engine="auto", threads=1,
                   progress=None):
    """The Gomory-Hu tree of an undirected graph.

    A networkx Graph gives a networkx Graph on the same nodes whose edges
    carry the minimum cut value between their ends in attribute "weight",
    as networkx.gomory_hu_tree does, with the same exceptions:
    NetworkXNotImplemented for a directed graph, NetworkXError for an empty
    graph or a multigraph, NetworkXUnbounded when an edge (not a self loop)
    has no `capacity` attribute or an infinite one. Capacities must be whole
    numbers, 0 or more: ValueError names the first edge with another.

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

        ids = np.asarray(ids, dtype=np.int64)
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
        return int(self._indices([node])[0])

    def min_cut_value(self, u, v):
        """The minimum cut value between nodes u and v (u != v). Arrays of
        nodes give an array of values, pair by pair."""
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


def cut_tree(edges, capacities=None, *, n=None, engine="auto", threads=1, progress=None):
    """The cut tree of the graph of `edges` (m x 2 integer node ids) with
    `capacities` (m whole numbers, 0 or more; all 1 when None).

    With n, the nodes are 0 ... n - 1 and every id must be one of them;
    otherwise the nodes are the ids the edges name, in increasing order.
    Returns a CutTree."""
    import numpy as np

    edges = np.asarray(edges)
    if edges.size == 0:
        edges = edges.reshape(0, 2)
    if edges.ndim != 2 or edges.shape[1] != 2:
        raise ValueError(f"edges: an m x 2 array expected, not shape {edges.shape}")
    if edges.dtype.kind not in "iub":
        raise ValueError(f"edges: integer node ids expected, not {edges.dtype}")
    m = len(edges)
    if capacities is None:
        caps = np.ones(m, dtype=np.int64)
    else:
        caps = np.asarray(capacities)
        if caps.shape != (m,):
            raise ValueError(f"capacities: {m} values expected, not shape {caps.shape}")
        if caps.dtype.kind == "f":
            if not np.isfinite(caps).all() or (caps != np.floor(caps)).any():
                k = int(np.flatnonzero(~np.isfinite(caps) | (caps != np.floor(caps)))[0])
                raise ValueError(f"edge {k} ({edges[k, 0]}, {edges[k, 1]}): capacity "
                                 f"{caps[k]!r} is not a whole number")
        elif caps.dtype.kind not in "iub":
            raise ValueError(f"capacities: numbers expected, not {caps.dtype}")
        if (caps < 0).any():
            k = int(np.flatnonzero(caps < 0)[0])
            raise ValueError(f"edge {k} ({edges[k, 0]}, {edges[k, 1]}): capacity "
                             f"{caps[k]!r} is negative")
        if caps.dtype.kind == "u" and caps.dtype.itemsize >= 8 and m and caps.max() > max_total_capacity:
            raise ValueError(f"capacities: a value beyond {max_total_capacity}")
        caps = np.ascontiguousarray(caps, dtype=np.int64)
    if n is not None:
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
