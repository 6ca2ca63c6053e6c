"""Cut trees of networkx and igraph graphs in the graphs' own nodes, and the
text file a tree is saved in.

A LabelledCutTree is a CutTree whose `nodes` is an object array of the
graph's nodes (any hashable networkx node; igraph vertex names when the
graph has a "name" vertex attribute, else the vertex indices); the tree
itself is by index, and every answer is mapped back to those nodes.

The file (JSON, one object):
    {"format": "sunder cut tree", "version": 1, "labelled": true,
     "nodes": [...], "parent": [...], "weight": [...]}
parent[k] is the index of node k's parent (-1 for the root, index 0) and
weight[k] the weight of that edge (0 for the root). Nodes are JSON numbers,
strings, true, false and null as themselves; a tuple is {"tuple": [...]}
of its items (a dict is never a node: it is not hashable), so tuples of
these round-trip too.
"""

import array as _array
import json as _json
import numbers as _numbers

from . import CutTree, _build, _finite_edges, _real, max_total_capacity

DIRECTED = "a directed graph has no cut tree: an undirected igraph graph expected"
_FORMAT = "sunder cut tree"
_VERSION = 1


def is_graph(G):
    """Whether G is a networkx or igraph graph."""
    return type(G).__module__.split(".")[0] in ("networkx", "igraph")


class LabelledCutTree(CutTree):
    """The cut tree of a networkx or igraph graph, answering in its nodes.

    As CutTree, but nodes is an object array of the graph's nodes, and a
    node is any of them (KeyError for another): min_cut_value takes one
    pair at a time, the sides of min_cut and global_min_cut are lists in
    the order of `nodes`, edges is an object array of rows (child, parent,
    weight). all_pairs is by index into `nodes`."""

    def __init__(self, tree, labels, graph=None, scale=None):
        import numpy as np

        nodes = np.empty(len(labels), dtype=object)
        for k, label in enumerate(labels):  # one by one: a tuple is one node
            nodes[k] = label
        self._position = {label: k for k, label in enumerate(labels)}
        if len(self._position) != len(labels):
            raise ValueError("the nodes of a tree must be distinct")
        super().__init__(tree, nodes, graph, scale)

    def _index(self, node):
        try:
            return self._position[node]
        except KeyError:
            raise KeyError(f"node {node!r} is not in the tree") from None

    def _side(self, indices):
        nodes = self.nodes
        return [nodes[x] for x in indices]

    def min_cut_value(self, u, v):
        """The minimum cut value between nodes u and v (u != v)."""
        return self._number(self._tree.min_cut_value(self._index(u), self._index(v)))


# --- graphs in ------------------------------------------------------------------

def graph_cut_tree(G, capacity, engine, threads, progress):
    """The LabelledCutTree of networkx or igraph graph G, the capacities in
    edge attribute `capacity` (absent or None: 1; capacity=None: all 1)."""
    if type(G).__module__.split(".")[0] == "networkx":
        labels, edges = _networkx_edges(G, capacity)
    else:
        labels, edges = _igraph_edges(G, capacity)
    n = len(labels)
    us, vs, caps, scale = _finite_edges(edges, missing=1)
    tree = _build(n, us, vs, caps, engine, threads, progress)
    return LabelledCutTree(tree, labels, (n, us, vs, caps), scale)


def _networkx_edges(G, capacity):
    """G's nodes and its edges as (u, v, index of u, index of v, value):
    parallel edges of a multigraph each once (their capacities add up)."""
    import networkx as nx

    if G.is_directed():
        raise nx.NetworkXNotImplemented("not implemented for directed type")
    labels = list(G)
    index = {node: k for k, node in enumerate(labels)}
    if capacity is None:
        edges = [(u, v, None) for u, v in G.edges()]
    else:
        edges = list(G.edges(data=capacity, default=None))
    return labels, [(u, v, index[u], index[v], value) for u, v, value in edges]


def _igraph_edges(G, capacity):
    if G.is_directed():
        raise ValueError(DIRECTED)
    n = G.vcount()
    labels = G.vs["name"] if "name" in G.vs.attributes() else list(range(n))
    seen = set()
    for label in labels:
        if label in seen:
            raise ValueError(f"vertex name {label!r} is given to two vertices; names must be "
                             f"distinct")
        seen.add(label)
    edgelist = G.get_edgelist()
    if capacity is None or capacity not in G.es.attributes():
        values = [None] * len(edgelist)
    else:
        values = G.es[capacity]
    return labels, [(labels[a], labels[b], a, b, value)
                    for (a, b), value in zip(edgelist, values)]


# --- the tree file ----------------------------------------------------------------

def _encode(label):
    if label is None or isinstance(label, (bool, str)):
        return label
    if isinstance(label, _numbers.Integral):
        return int(label)
    if isinstance(label, float):
        if label != label or label in (float("inf"), float("-inf")):
            # JSON has no such number: json would write a bare NaN or
            # Infinity, which other readers refuse.
            raise ValueError(f"node {label!r} cannot be saved: JSON has no {label!r}")
        return label
    if isinstance(label, tuple):
        return {"tuple": [_encode(x) for x in label]}
    raise TypeError(f"node {label!r} ({type(label).__name__}) cannot be saved: nodes are "
                    f"saved as numbers, strings, True, False, None and tuples of these")


def _decode(value):
    if isinstance(value, dict):
        if set(value) != {"tuple"} or not isinstance(value["tuple"], list):
            raise ValueError(f"node {value!r} is neither a value nor {{\"tuple\": [...]}}")
        return tuple(_decode(x) for x in value["tuple"])
    if isinstance(value, list):
        raise ValueError(f"node {value!r} is a list, which is no node")
    return value


def save_tree(tree, path):
    """Writes `tree` (a CutTree or LabelledCutTree) to `path`."""
    record = {
        "format": _FORMAT,
        "version": _VERSION,
        "labelled": isinstance(tree, LabelledCutTree),
        "nodes": [_encode(x) for x in tree.nodes.tolist()],
        "parent": tree.parent.tolist(),
        "weight": tree.weight.tolist(),
    }
    with open(path, "w", encoding="utf-8") as f:
        _json.dump(record, f, allow_nan=False)
        f.write("\n")


def _whole_list(record, key, low, high, reals=False):
    """The list `key` of whole numbers low ... high; with `reals`, finite
    floats 0 or more are taken too."""
    values = record.get(key)
    if not isinstance(values, list):
        raise ValueError(f'"{key}" is not a list')
    for x in values:
        if reals and type(x) is float and x >= 0 and x != float("inf"):
            continue
        if isinstance(x, bool) or not isinstance(x, int) or not low <= x <= high:
            if reals:
                raise ValueError(f'"{key}" holds {x!r}; finite numbers 0 or more, whole ones at '
                                 f'most {high}, expected')
            raise ValueError(f'"{key}" holds {x!r}; whole numbers {low} ... {high} expected')
    return values


def _read_record(path):
    """The checked fields of the file: (labelled, nodes, parents, weights)."""
    with open(path, encoding="utf-8") as f:
        try:
            record = _json.load(f)
        except (ValueError, UnicodeDecodeError) as e:
            raise ValueError(f"not JSON ({e})") from None
    if not isinstance(record, dict) or record.get("format") != _FORMAT:
        raise ValueError(f'no "format": "{_FORMAT}"')
    if record.get("version") != _VERSION:
        raise ValueError(f"version {record.get('version')!r}; this sunder reads version {_VERSION}")
    nodes = record.get("nodes")
    if not isinstance(nodes, list):
        raise ValueError('"nodes" is not a list')
    nodes = [_decode(x) for x in nodes]
    parents = _whole_list(record, "parent", -1, max(len(nodes) - 1, -1))
    weights = _whole_list(record, "weight", 0, max_total_capacity, reals=True)
    if len(parents) != len(nodes) or len(weights) != len(nodes):
        raise ValueError(f'{len(nodes)} nodes, {len(parents)} "parent" and {len(weights)} '
                         f'"weight" values; one of each per node expected')
    return bool(record.get("labelled")), nodes, parents, weights


def load_tree(path):
    """The tree saved in `path`; ValueError "PATH: not a sunder cut tree
    file: WHY" for a file that is not one (OSError when it cannot be read)."""
    import numpy as np

    from . import _sunder

    try:
        labelled, nodes, parents, weights = _read_record(path)
        scale = None
        if any(type(w) is float for w in weights):
            # Real weights: the tree holds them at the scale that makes them whole.
            scale = _real.Scale([_real.item_of(_real.Real(w, float)) if type(w) is float
                                 else str(w) for w in weights], {float}, weights)
            scaled = _array.array("q", bytes(8 * len(weights)))
            scale.real.scaled_into(scaled)
            weights = scaled
        tree = _sunder.Tree(_array.array("i", parents), _array.array("q", weights))
        if labelled:
            return LabelledCutTree(tree, nodes, None, scale)
        if not all(type(x) is int for x in nodes):
            raise ValueError("the nodes of a tree saved unlabelled are integer ids")
        ids = np.array(nodes, dtype=np.int64) if nodes else np.zeros(0, dtype=np.int64)
        if len(ids) and (np.diff(ids) <= 0).any():
            raise ValueError("the node ids are not increasing")
        return CutTree(tree, ids, None, scale)
    except (ValueError, TypeError, OverflowError) as e:
        raise ValueError(f"{path}: not a sunder cut tree file: {e}") from None
    except RecursionError:  # JSON nested deeper than Python's stack
        raise ValueError(f"{path}: not a sunder cut tree file: nested too deeply") from None
