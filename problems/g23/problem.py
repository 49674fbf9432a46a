#!/usr/bin/env python3
"""g23 of the CEC 2006 constrained suite (Liang et al. 2006): 9 variables,
a linear objective, 2 bilinear inequalities, 3 linear and one bilinear
equality.

    minimise  f = -9 x5 - 15 x8 + 6 x1 + 16 x2 + 10 (x6 + x7)
    g1 = x9 x3 + 0.02 x6 - 0.025 x5 <= 0
    g2 = x9 x4 + 0.02 x7 - 0.015 x8 <= 0
    h1 = x1 + x2 - x3 - x4 = 0
    h2 = 0.03 x1 + 0.01 x2 - x9 (x3 + x4) = 0
    h3 = x3 + x6 - x5 = 0
    h4 = x4 + x7 - x8 = 0
    0 <= x1, x2, x6 <= 300,  0 <= x3, x5, x7 <= 100,  0 <= x4, x8 <= 200,
    0.01 <= x9 <= 0.03
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402


def build():
    p = Problem('G23')
    x1, x2, x3, x4, x5, x6, x7, x8, x9 = p.variables(
        'X', 9, lower=[0, 0, 0, 0, 0, 0, 0, 0, 0.01],
        upper=[300, 300, 100, 200, 100, 300, 100, 200, 0.03])
    p.minimize(-9 * x5 - 15 * x8 + 6 * x1 + 16 * x2 + 10 * (x6 + x7))
    p.inequality(x9 * x3 + 0.02 * x6 - 0.025 * x5 <= 0, name='G1')
    p.inequality(x9 * x4 + 0.02 * x7 - 0.015 * x8 <= 0, name='G2')
    p.equality(x1 + x2 - x3 - x4, name='H1')
    p.equality(0.03 * x1 + 0.01 * x2 - x9 * (x3 + x4), name='H2')
    p.equality(x3 + x6 - x5, name='H3')
    p.equality(x4 + x7 - x8, name='H4')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
