#!/usr/bin/env python3
"""g09 of the CEC 2006 constrained suite (Liang et al. 2006): 7 variables,
a polynomial objective and 4 polynomial inequalities.

    minimise  (x1-10)^2 + 5(x2-12)^2 + x3^4 + 3(x4-11)^2 + 10x5^6 + 7x6^2 + x7^4
              - 4x6 x7 - 10x6 - 8x7
    g1 = -127 + 2x1^2 + 3x2^4 + x3 + 4x4^2 + 5x5 <= 0
    g2 = -282 + 7x1 + 3x2 + 10x3^2 + x4 - x5 <= 0
    g3 = -196 + 23x1 + x2^2 + 6x6^2 - 8x7 <= 0
    g4 = 4x1^2 + x2^2 - 3x1 x2 + 2x3^2 + 5x6 - 11x7 <= 0
    -10 <= x_i <= 10
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402


def build():
    p = Problem('G09')
    x1, x2, x3, x4, x5, x6, x7 = p.variables('X', 7, lower=-10, upper=10)
    p.minimize((x1 - 10)**2 + 5*(x2 - 12)**2 + x3**4 + 3*(x4 - 11)**2 + 10*x5**6 + 7*x6**2
               + x7**4 - 4*x6*x7 - 10*x6 - 8*x7)
    p.inequality(-127 + 2*x1**2 + 3*x2**4 + x3 + 4*x4**2 + 5*x5 <= 0, name='G1')
    p.inequality(-282 + 7*x1 + 3*x2 + 10*x3**2 + x4 - x5 <= 0, name='G2')
    p.inequality(-196 + 23*x1 + x2**2 + 6*x6**2 - 8*x7 <= 0, name='G3')
    p.inequality(4*x1**2 + x2**2 - 3*x1*x2 + 2*x3**2 + 5*x6 - 11*x7 <= 0, name='G4')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
