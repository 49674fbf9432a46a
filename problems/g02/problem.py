#!/usr/bin/env python3
"""g02 of the CEC 2006 constrained suite (Liang et al. 2006): 20 variables,
a trigonometric quotient as objective, one product and one linear inequality.

                 | sum_{i=1..n} cos^4(x_i) - 2 prod_{i=1..n} cos^2(x_i) |
    minimise  -  ------------------------------------------------------
                             sqrt( sum_{i=1..n} i x_i^2 )
    g1 = 0.75 - prod_{i=1..n} x_i <= 0
    g2 = sum_{i=1..n} x_i - 7.5 n <= 0
    n = 20,  0 < x_i <= 10

The published lower bound 0 is kept.  The denominator vanishes only at the
origin (every variable at its lower bound), where the quotient has no value
(its numerator is 18 there); the objective is defined as 0 at that one point,
the largest value it takes anywhere, so that the point never looks
attractive and every evaluation is finite.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402
import sympy as sp  # noqa: E402

N = 20


def build():
    p = Problem('G02')
    x = p.variables('X', N, lower=0, upper=10)
    numerator = sum(sp.cos(xi)**4 for xi in x) - 2 * sp.Mul(*[sp.cos(xi)**2 for xi in x])
    denominator = sum(i * xi**2 for i, xi in enumerate(x, 1))
    p.minimize(sp.Piecewise((-sp.Abs(numerator) / sp.sqrt(denominator), denominator > 0),
                            (0, True)))
    p.inequality(sp.Rational(3, 4) - sp.Mul(*x) <= 0, name='G1')
    p.inequality(sum(x) - sp.Rational(15, 2) * N <= 0, name='G2')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
