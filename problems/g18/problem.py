#!/usr/bin/env python3
"""g18 of the CEC 2006 constrained suite (Liang et al. 2006): 9 variables,
a quadratic objective and 13 quadratic inequalities.

    minimise  f = -0.5 (x1 x4 - x2 x3 + x3 x9 - x5 x9 + x5 x8 - x6 x7)
    g1 = x3^2 + x4^2 - 1 <= 0                g8 = (x3 - x7)^2 + (x4 - x8)^2 - 1 <= 0
    g2 = x9^2 - 1 <= 0                       g9 = x7^2 + (x8 - x9)^2 - 1 <= 0
    g3 = x5^2 + x6^2 - 1 <= 0                g10 = x2 x3 - x1 x4 <= 0
    g4 = x1^2 + (x2 - x9)^2 - 1 <= 0         g11 = -x3 x9 <= 0
    g5 = (x1 - x5)^2 + (x2 - x6)^2 - 1 <= 0  g12 = x5 x9 <= 0
    g6 = (x1 - x7)^2 + (x2 - x8)^2 - 1 <= 0  g13 = x6 x7 - x5 x8 <= 0
    g7 = (x3 - x5)^2 + (x4 - x6)^2 - 1 <= 0
    -10 <= x1..x8 <= 10,  0 <= x9 <= 20
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402
import sympy as sp  # noqa: E402


def build():
    p = Problem('G18')
    x1, x2, x3, x4, x5, x6, x7, x8, x9 = p.variables('X', 9, lower=[-10] * 8 + [0],
                                                     upper=[10] * 8 + [20])
    half = sp.Rational(1, 2)
    p.minimize(-half * (x1 * x4 - x2 * x3 + x3 * x9 - x5 * x9 + x5 * x8 - x6 * x7))
    p.inequality(x3**2 + x4**2 - 1 <= 0, name='G1')
    p.inequality(x9**2 - 1 <= 0, name='G2')
    p.inequality(x5**2 + x6**2 - 1 <= 0, name='G3')
    p.inequality(x1**2 + (x2 - x9)**2 - 1 <= 0, name='G4')
    p.inequality((x1 - x5)**2 + (x2 - x6)**2 - 1 <= 0, name='G5')
    p.inequality((x1 - x7)**2 + (x2 - x8)**2 - 1 <= 0, name='G6')
    p.inequality((x3 - x5)**2 + (x4 - x6)**2 - 1 <= 0, name='G7')
    p.inequality((x3 - x7)**2 + (x4 - x8)**2 - 1 <= 0, name='G8')
    p.inequality(x7**2 + (x8 - x9)**2 - 1 <= 0, name='G9')
    p.inequality(x2 * x3 - x1 * x4 <= 0, name='G10')
    p.inequality(-x3 * x9 <= 0, name='G11')
    p.inequality(x5 * x9 <= 0, name='G12')
    p.inequality(x6 * x7 - x5 * x8 <= 0, name='G13')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
