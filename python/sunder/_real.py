"""Real-valued capacities: how they go to the library, and how the tree's
values come back in the caller's kind of number.

A graph whose capacities are all whole numbers is built as it is. Once one
capacity is not (a float such as 2.5, a Decimal, a Fraction), the library
chooses one scale for all of them (RealCapacities): exact when every value
is a decimal or a fraction whose denominator has no prime factor but 2 and
5 (a float counts as its shortest decimal, the text repr gives), and the
scaled values add up within max_total_capacity; fixed point otherwise,
within a stated error. Tree weights are then the original values summed
over each tree edge's cut, as the kind of number the capacities were: float
if any was a float, else Decimal if any was a Decimal, else Fraction; sums
of Decimals and Fractions are exact in fixed point too (cut_sums).

A float that is whole but too large for the whole capacities (1e19), or
whole floats that together pass max_total_capacity, are real capacities as
well: the scale brings them within the bound.
"""

import decimal as _decimal
import fractions as _fractions

from . import _sunder

_UINT64_LIMIT = 2**64


class Real:
    """A capacity the library scales (one that is not a whole number, or a
    whole float too large for the whole capacities), as it reads it: a
    float as itself, a Decimal as its text, a Fraction as "P/Q" (as a
    float, approximately, when P or Q needs more than 64 bits). `value` is
    the number itself, for the exact sums of cut_sums."""

    __slots__ = ("item", "kind", "value")

    def __init__(self, value, kind):
        self.kind = kind
        self.value = value
        if kind is _fractions.Fraction:
            p, q = value.numerator, value.denominator
            self.item = f"{p}/{q}" if p < _UINT64_LIMIT and q < _UINT64_LIMIT else float(value)
        elif kind is _decimal.Decimal:
            self.item = str(value)
        else:
            self.item = float(value)


def item_of(value):
    """A whole capacity or a Real as the library reads it."""
    return value.item if isinstance(value, Real) else str(value)


def value_of(value):
    """A whole capacity or a Real as the number it is."""
    return value.value if isinstance(value, Real) else value


class Scale:
    """The scale of a graph's real capacities, and the values of its tree in
    the capacities' kind of number. `items` are the values as the library
    reads them (item_of), `values` the numbers themselves (value_of)."""

    def __init__(self, items, kinds, values):
        self.real = _sunder.RealCapacities(items)
        if float in kinds:
            self.kind = float
        elif _decimal.Decimal in kinds:
            self.kind = _decimal.Decimal
        else:
            self.kind = _fractions.Fraction
        self.items = items
        self.values = values

    @property
    def exact(self):
        """Whether every cut value is exact (see the module's text)."""
        return self.real.exact

    def number(self, text):
        return self.kind(text)

    def exact_number(self, fraction):
        """An exact sum of capacities (a Fraction) in the capacities' kind:
        a Decimal exactly, as a sum of decimals always is one."""
        if self.kind is _decimal.Decimal:
            return decimal_of(fraction)
        return self.kind(fraction)

    def sum(self, values):
        """The sum of `values` (of the capacities' kind) in that kind: exact
        for Fractions and Decimals, as math.fsum rounds it for floats."""
        if self.kind is float:
            import math

            return math.fsum(values)
        return self.exact_number(sum(map(_fractions.Fraction, values), _fractions.Fraction(0)))

    def value(self, scaled):
        """A scaled cut value in the capacities' kind."""
        return self.number(self.real.text(int(scaled)))

    def floats(self, scaled):
        """An array of scaled values as floats, each the nearest to its value."""
        import numpy as np

        scaled = np.asarray(scaled, dtype=np.int64)
        distinct, where = np.unique(scaled, return_inverse=True)
        values = np.array([self.real.value(int(s)) for s in distinct], dtype=np.float64)
        return values[where].reshape(scaled.shape)

    @staticmethod
    def floats_of(values):
        """Numbers of the capacities' kind as a float64 array."""
        import numpy as np

        return np.array([float(v) for v in values], dtype=np.float64)

    def threshold(self, k):
        """The least scaled value that is k or more."""
        return self.real.at_least(item_of(k))

    def weights(self, tree, n, us, vs, caps):
        """The tree's weights by child index in the capacities' kind: the
        original values summed over each tree edge's cut. The library sums
        them exactly when the scale is exact, and otherwise to a long
        double's precision, which is all a float has; Fractions and
        Decimals are summed exactly here then."""
        if self.exact or self.kind is float:
            return [self.number(t) for t in self.real.cut_weights(tree, n, us, vs, caps)]
        import numpy as np

        parents = np.empty(n, dtype=np.int32)
        tree.parents_into(parents)
        return [self.exact_number(w) for w in cut_sums(parents, us, vs, self.values)]


def decimal_of(fraction):
    """The Decimal equal to `fraction` when its denominator has no prime
    factor but 2 and 5, as a sum of Decimals has; else (a Fraction among
    the Decimals) the quotient to the context's precision."""
    p, q = fraction.numerator, fraction.denominator
    twos = (q & -q).bit_length() - 1
    fives = 0
    rest = q >> twos
    while rest % 5 == 0:
        rest //= 5
        fives += 1
    if rest != 1:
        return _decimal.Decimal(p) / _decimal.Decimal(q)
    digits = max(twos, fives)
    return _decimal.Decimal(f"{p * 10**digits // q}E-{digits}")


def cut_sums(parents, us, vs, values):
    """Each tree edge's cut (the child's subtree against the rest) summed
    exactly over the graph's edges: Fractions by child index, the root's 0.
    Graph edge k joins us[k] and vs[k] (node indices, which are the tree's)
    and has capacity values[k]; it crosses the cuts of the tree edges on
    its ends' tree path. So it adds its capacity at both ends and takes it
    twice at their lowest common ancestor, and the subtree totals are the
    cut sums. Ancestors are found by binary lifting, over all edges at once."""
    import numpy as np

    n = len(parents)
    parents = np.asarray(parents, dtype=np.int64)
    children = [[] for _ in range(n)]
    for k, p in enumerate(parents.tolist()):
        if p >= 0:
            children[p].append(k)
    order = [k for k in range(n) if parents[k] < 0]
    for x in order:  # top-down: every parent before its children
        order.extend(children[x])
    depth = np.zeros(n, dtype=np.int64)
    for x in order:
        if parents[x] >= 0:
            depth[x] = depth[parents[x]] + 1
    a = np.asarray(us, dtype=np.int64).copy()
    b = np.asarray(vs, dtype=np.int64).copy()
    swap = depth[a] < depth[b]
    a[swap], b[swap] = b[swap], a[swap]  # a is the deeper end
    up = [np.where(parents >= 0, parents, np.arange(n))]  # the 2**j-th ancestors
    for _ in range(max(int(depth.max(initial=0)), 1).bit_length()):
        up.append(up[-1][up[-1]])
    lift = depth[a] - depth[b]
    for j, ancestor in enumerate(up):
        step = (lift >> j) & 1 == 1
        a[step] = ancestor[a[step]]
    for ancestor in reversed(up):
        differ = ancestor[a] != ancestor[b]
        a = np.where(differ, ancestor[a], a)
        b = np.where(differ, ancestor[b], b)
    lowest = np.where(a == b, a, up[0][a])
    zero = _fractions.Fraction(0)
    total = [zero] * n
    for u, v, w, value in zip(np.asarray(us).tolist(), np.asarray(vs).tolist(), lowest.tolist(),
                              values):
        if u != v:
            c = _fractions.Fraction(value)
            total[u] += c
            total[v] += c
            total[w] -= 2 * c
    for x in reversed(order):
        if parents[x] >= 0:
            total[parents[x]] += total[x]
    return [zero if parents[x] < 0 else total[x] for x in range(n)]
