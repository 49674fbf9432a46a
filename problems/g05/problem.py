#!/usr/bin/env python3
"""g05 of the CEC 2006 constrained suite (Liang et al. 2006): 4 variables,
a cubic objective, 2 linear inequalities and 3 trigonometric equalities.

    minimise  3x1 + 0.000001 x1^3 + 2x2 + (0.000002/3) x2^3
    g1 = -x4 + x3 - 0.55 <= 0
    g2 = -x3 + x4 - 0.55 <= 0
    h3 = 1000 sin(-x3 - 0.25) + 1000 sin(-x4 - 0.25) + 894.8 - x1 = 0
    h4 = 1000 sin(x3 - 0.25) + 1000 sin(x3 - x4 - 0.25) + 894.8 - x2 = 0
    h5 = 1000 sin(x4 - 0.25) + 1000 sin(x4 - x3 - 0.25) + 1294.8 = 0
    0 <= x1, x2 <= 1200,  -0.55 <= x3, x4 <= 0.55

The weight 0.000002/3 is the exact fraction 1/1500000.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402
import sympy as sp  # noqa: E402


def build():
    p = Problem('G05')
    x1, x2, x3, x4 = p.variables('X', 4, lower=[0, 0, -0.55, -0.55],
                                 upper=[1200, 1200, 0.55, 0.55])
    p.minimize(3*x1 + 0.000001*x1**3 + 2*x2 + sp.Rational(2, 3000000)*x2**3)
    p.inequality(-x4 + x3 - 0.55 <= 0, name='G1')
    p.inequality(-x3 + x4 - 0.55 <= 0, name='G2')
    p.equality(1000*sp.sin(-x3 - 0.25) + 1000*sp.sin(-x4 - 0.25) + 894.8 - x1, name='H3')
    p.equality(1000*sp.sin(x3 - 0.25) + 1000*sp.sin(x3 - x4 - 0.25) + 894.8 - x2, name='H4')
    p.equality(1000*sp.sin(x4 - 0.25) + 1000*sp.sin(x4 - x3 - 0.25) + 1294.8, name='H5')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
