#!/usr/bin/env python3
"""g01 of the CEC 2006 constrained suite (Liang et al. 2006): 13 variables,
a quadratic objective and 9 linear inequalities.

    minimise  5 sum_{i=1..4} x_i - 5 sum_{i=1..4} x_i^2 - sum_{i=5..13} x_i
    g1 = 2x1 + 2x2 + x10 + x11 - 10 <= 0     g4 = -8x1 + x10 <= 0
    g2 = 2x1 + 2x3 + x10 + x12 - 10 <= 0     g5 = -8x2 + x11 <= 0
    g3 = 2x2 + 2x3 + x11 + x12 - 10 <= 0     g6 = -8x3 + x12 <= 0
    g7 = -2x4 - x5 + x10 <= 0   g8 = -2x6 - x7 + x11 <= 0   g9 = -2x8 - x9 + x12 <= 0
    0 <= x_i <= 1 (i = 1..9, 13),  0 <= x_i <= 100 (i = 10, 11, 12)
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402


def build():
    p = Problem('G01')
    x = [None] + p.variables('X', 13, lower=0, upper=[1] * 9 + [100] * 3 + [1])
    p.minimize(5 * sum(x[1:5]) - 5 * sum(xi**2 for xi in x[1:5]) - sum(x[5:14]))
    p.inequality(2*x[1] + 2*x[2] + x[10] + x[11] - 10 <= 0, name='G1')
    p.inequality(2*x[1] + 2*x[3] + x[10] + x[12] - 10 <= 0, name='G2')
    p.inequality(2*x[2] + 2*x[3] + x[11] + x[12] - 10 <= 0, name='G3')
    p.inequality(-8*x[1] + x[10] <= 0, name='G4')
    p.inequality(-8*x[2] + x[11] <= 0, name='G5')
    p.inequality(-8*x[3] + x[12] <= 0, name='G6')
    p.inequality(-2*x[4] - x[5] + x[10] <= 0, name='G7')
    p.inequality(-2*x[6] - x[7] + x[11] <= 0, name='G8')
    p.inequality(-2*x[8] - x[9] + x[12] <= 0, name='G9')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
