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
if any was a float, else Decimal if any was a Decimal, else Fraction.
"""

import decimal as _decimal
import fractions as _fractions

from . import _sunder

_UINT64_LIMIT = 2**64


class Real:
    """A capacity that is not a whole number, as the library reads it: a
    float as itself, a Decimal as its text, a Fraction as "P/Q" (as a
    float, approximately, when P or Q needs more than 64 bits)."""

    __slots__ = ("item", "kind")

    def __init__(self, value, kind):
        self.kind = kind
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


class Scale:
    """The scale of a graph's real capacities, and the values of its tree in
    the capacities' kind of number."""

    def __init__(self, items, kinds):
        self.real = _sunder.RealCapacities(items)
        if float in kinds:
            self.kind = float
        elif _decimal.Decimal in kinds:
            self.kind = _decimal.Decimal
        else:
            self.kind = _fractions.Fraction
        self.items = items

    @property
    def exact(self):
        """Whether every cut value is exact (see the module's text)."""
        return self.real.exact

    def number(self, text):
        return self.kind(text)

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

    def threshold(self, k):
        """The least scaled value that is k or more."""
        return self.real.at_least(item_of(k))

    def weights(self, tree, n, us, vs, caps):
        """The tree's weights by child index, as texts of exact sums."""
        return self.real.cut_weights(tree, n, us, vs, caps)
