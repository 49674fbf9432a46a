#!/usr/bin/env python3
"""g12 of the CEC 2006 constrained suite (Liang et al. 2006): 3 variables,
a quadratic objective and one inequality whose feasible region is 729
disjoint balls of radius 0.25.

    minimise  -(100 - (x1 - 5)^2 - (x2 - 5)^2 - (x3 - 5)^2) / 100
    g = min_{p,q,r = 1..9} [(x1 - p)^2 + (x2 - q)^2 + (x3 - r)^2] - 0.0625 <= 0
    0 <= x_i <= 10

A point is feasible when it lies in one of the balls.  The three squares in
the minimum are separable: each depends on one coordinate and its own index,
and the indices range over a full grid, so the smallest sum is the sum of the
three smallest squares, one per coordinate:
    g = m(x1) + m(x2) + m(x3) - 0.0625,   m(y) = min_{p = 1..9} (y - p)^2,
and m(y) is (y - p)^2 with p the integer of 1..9 nearest to y (the two
neighbours give the same value at a midpoint).  This is the same function,
evaluated with 3 per-coordinate choices instead of 729 sums.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402
import sympy as sp  # noqa: E402


def nearest_centre_square(y):
    """min over p = 1..9 of (y - p)^2: the square to the nearest centre."""
    pieces = [((y - c)**2, y <= c + sp.Rational(1, 2)) for c in range(1, 9)]
    return sp.Piecewise(*pieces, ((y - 9)**2, True))


def build():
    p = Problem('G12')
    x = p.variables('X', 3, lower=0, upper=10)
    p.minimize(-(100 - sum((xi - 5)**2 for xi in x)) / 100)
    p.inequality(sum(nearest_centre_square(xi) for xi in x) - sp.Rational(1, 16) <= 0,
                 name='G')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
