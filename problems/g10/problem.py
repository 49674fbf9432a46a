#!/usr/bin/env python3
"""g10 of the CEC 2006 constrained suite (Liang et al. 2006): 8 variables,
a linear objective, 3 linear and 3 bilinear inequalities.

    minimise  x1 + x2 + x3
    g1 = -1 + 0.0025(x4 + x6) <= 0
    g2 = -1 + 0.0025(x5 + x7 - x4) <= 0
    g3 = -1 + 0.01(x8 - x5) <= 0
    g4 = -x1 x6 + 833.33252 x4 + 100 x1 - 83333.333 <= 0
    g5 = -x2 x7 + 1250 x5 + x2 x4 - 1250 x4 <= 0
    g6 = -x3 x8 + 1250000 + x3 x5 - 2500 x5 <= 0
    100 <= x1 <= 10000,  1000 <= x2, x3 <= 10000,  10 <= x4, ..., x8 <= 1000
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402


def build():
    p = Problem('G10')
    x = [None] + p.variables('X', 8, lower=[100, 1000, 1000] + [10] * 5,
                             upper=[10000] * 3 + [1000] * 5)
    p.minimize(x[1] + x[2] + x[3])
    p.inequality(-1 + 0.0025*(x[4] + x[6]) <= 0, name='G1')
    p.inequality(-1 + 0.0025*(x[5] + x[7] - x[4]) <= 0, name='G2')
    p.inequality(-1 + 0.01*(x[8] - x[5]) <= 0, name='G3')
    p.inequality(-x[1]*x[6] + 833.33252*x[4] + 100*x[1] - 83333.333 <= 0, name='G4')
    p.inequality(-x[2]*x[7] + 1250*x[5] + x[2]*x[4] - 1250*x[4] <= 0, name='G5')
    p.inequality(-x[3]*x[8] + 1250000 + x[3]*x[5] - 2500*x[5] <= 0, name='G6')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
