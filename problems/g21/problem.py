#!/usr/bin/env python3
"""g21 of the CEC 2006 constrained suite (Liang et al. 2006): 7 variables,
a linear objective, one inequality and 5 nonlinear equalities.

    minimise  f = x1
    g1 = -x1 + 35 x2^0.6 + 35 x3^0.6 <= 0
    h1 = -300 x3 + 7500 x5 - 7500 x6 - 25 x4 x5 + 25 x4 x6 + x3 x4 = 0
    h2 = 100 x2 + 155.365 x4 + 2500 x7 - x2 x4 - 25 x4 x7 - 15536.5 = 0
    h3 = -x5 + ln(-x4 + 900) = 0
    h4 = -x6 + ln(x4 + 300) = 0
    h5 = -x7 + ln(-2 x4 + 700) = 0
    0 <= x1 <= 1000,  0 <= x2, x3 <= 40,  100 <= x4 <= 300,
    6.3 <= x5 <= 6.7,  5.9 <= x6 <= 6.4,  4.5 <= x7 <= 6.25

The logarithms' arguments stay at or above 600, 400 and 100 on the box.
The powers x^0.6 are 0 at x = 0, where their slope is unbounded: there
the description gives them a piece of their own, of slope 0.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402
import sympy as sp  # noqa: E402


def root06(t):
    """t^0.6, and its value 0 at t = 0 given by a piece of its own, whose slope
    there is 0 instead of the power's unbounded one."""
    return sp.Piecewise((t**sp.Rational(3, 5), t > 0), (0, True))


def build():
    p = Problem('G21')
    x1, x2, x3, x4, x5, x6, x7 = p.variables('X', 7, lower=[0, 0, 0, 100, 6.3, 5.9, 4.5],
                                             upper=[1000, 40, 40, 300, 6.7, 6.4, 6.25])
    p.minimize(x1)
    p.inequality(-x1 + 35 * root06(x2) + 35 * root06(x3) <= 0, name='G1')
    p.equality(-300 * x3 + 7500 * x5 - 7500 * x6 - 25 * x4 * x5 + 25 * x4 * x6 + x3 * x4,
               name='H1')
    p.equality(100 * x2 + 155.365 * x4 + 2500 * x7 - x2 * x4 - 25 * x4 * x7 - 15536.5,
               name='H2')
    p.equality(-x5 + sp.log(-x4 + 900), name='H3')
    p.equality(-x6 + sp.log(x4 + 300), name='H4')
    p.equality(-x7 + sp.log(-2 * x4 + 700), name='H5')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
