#!/usr/bin/env python3
"""g15 of the CEC 2006 constrained suite (Liang et al. 2006): 3 variables,
a quadratic objective, one quadratic and one linear equality.

    minimise  f = 1000 - x1^2 - 2 x2^2 - x3^2 - x1 x2 - x1 x3
    h1 = x1^2 + x2^2 + x3^2 - 25 = 0
    h2 = 8 x1 + 14 x2 + 7 x3 - 56 = 0
    0 <= x1, x2, x3 <= 10
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402


def build():
    p = Problem('G15')
    x1, x2, x3 = p.variables('X', 3, lower=0, upper=10)
    p.minimize(1000 - x1**2 - 2 * x2**2 - x3**2 - x1 * x2 - x1 * x3)
    p.equality(x1**2 + x2**2 + x3**2 - 25, name='H1')
    p.equality(8 * x1 + 14 * x2 + 7 * x3 - 56, name='H2')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
