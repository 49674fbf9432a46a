#!/usr/bin/env python3
"""g13 of the CEC 2006 constrained suite (Liang et al. 2006): 5 variables,
an exponential objective and 3 nonlinear equalities.

    minimise  f = exp(x1 x2 x3 x4 x5)
    h1 = x1^2 + x2^2 + x3^2 + x4^2 + x5^2 - 10 = 0
    h2 = x2 x3 - 5 x4 x5 = 0
    h3 = x1^3 + x2^3 + 1 = 0
    -2.3 <= x1, x2 <= 2.3,  -3.2 <= x3, x4, x5 <= 3.2
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402
import sympy as sp  # noqa: E402


def build():
    p = Problem('G13')
    x1, x2, x3, x4, x5 = p.variables('X', 5, lower=[-2.3, -2.3, -3.2, -3.2, -3.2],
                                     upper=[2.3, 2.3, 3.2, 3.2, 3.2])
    p.minimize(sp.exp(x1 * x2 * x3 * x4 * x5))
    p.equality(x1**2 + x2**2 + x3**2 + x4**2 + x5**2 - 10, name='H1')
    p.equality(x2 * x3 - 5 * x4 * x5, name='H2')
    p.equality(x1**3 + x2**3 + 1, name='H3')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
