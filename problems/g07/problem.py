#!/usr/bin/env python3
"""g07 of the CEC 2006 constrained suite (Liang et al. 2006): 10 variables,
a quadratic objective, 3 linear and 5 quadratic inequalities.

    minimise  x1^2 + x2^2 + x1 x2 - 14x1 - 16x2 + (x3-10)^2 + 4(x4-5)^2 + (x5-3)^2
              + 2(x6-1)^2 + 5x7^2 + 7(x8-11)^2 + 2(x9-10)^2 + (x10-7)^2 + 45
    g1 = -105 + 4x1 + 5x2 - 3x7 + 9x8 <= 0
    g2 = 10x1 - 8x2 - 17x7 + 2x8 <= 0
    g3 = -8x1 + 2x2 + 5x9 - 2x10 - 12 <= 0
    g4 = 3(x1-2)^2 + 4(x2-3)^2 + 2x3^2 - 7x4 - 120 <= 0
    g5 = 5x1^2 + 8x2 + (x3-6)^2 - 2x4 - 40 <= 0
    g6 = x1^2 + 2(x2-2)^2 - 2x1 x2 + 14x5 - 6x6 <= 0
    g7 = 0.5(x1-8)^2 + 2(x2-4)^2 + 3x5^2 - x6 - 30 <= 0
    g8 = -3x1 + 6x2 + 12(x9-8)^2 - 7x10 <= 0
    -10 <= x_i <= 10
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402
import sympy as sp  # noqa: E402


def build():
    p = Problem('G07')
    x = [None] + p.variables('X', 10, lower=-10, upper=10)
    p.minimize(x[1]**2 + x[2]**2 + x[1]*x[2] - 14*x[1] - 16*x[2] + (x[3] - 10)**2
               + 4*(x[4] - 5)**2 + (x[5] - 3)**2 + 2*(x[6] - 1)**2 + 5*x[7]**2
               + 7*(x[8] - 11)**2 + 2*(x[9] - 10)**2 + (x[10] - 7)**2 + 45)
    p.inequality(-105 + 4*x[1] + 5*x[2] - 3*x[7] + 9*x[8] <= 0, name='G1')
    p.inequality(10*x[1] - 8*x[2] - 17*x[7] + 2*x[8] <= 0, name='G2')
    p.inequality(-8*x[1] + 2*x[2] + 5*x[9] - 2*x[10] - 12 <= 0, name='G3')
    p.inequality(3*(x[1] - 2)**2 + 4*(x[2] - 3)**2 + 2*x[3]**2 - 7*x[4] - 120 <= 0, name='G4')
    p.inequality(5*x[1]**2 + 8*x[2] + (x[3] - 6)**2 - 2*x[4] - 40 <= 0, name='G5')
    p.inequality(x[1]**2 + 2*(x[2] - 2)**2 - 2*x[1]*x[2] + 14*x[5] - 6*x[6] <= 0, name='G6')
    p.inequality(sp.Rational(1, 2)*(x[1] - 8)**2 + 2*(x[2] - 4)**2 + 3*x[5]**2 - x[6] - 30 <= 0,
                 name='G7')
    p.inequality(-3*x[1] + 6*x[2] + 12*(x[9] - 8)**2 - 7*x[10] <= 0, name='G8')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
