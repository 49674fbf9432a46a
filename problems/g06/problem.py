#!/usr/bin/env python3
"""g06 of the CEC 2006 constrained suite (Liang et al. 2006): 2 variables,
a cubic objective and 2 quadratic inequalities (the feasible region is a thin
crescent between two circles).

    minimise  (x1 - 10)^3 + (x2 - 20)^3
    g1 = -(x1 - 5)^2 - (x2 - 5)^2 + 100 <= 0
    g2 = (x1 - 6)^2 + (x2 - 5)^2 - 82.81 <= 0
    13 <= x1 <= 100,  0 <= x2 <= 100
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402


def build():
    p = Problem('G06')
    x1, x2 = p.variables('X', 2, lower=[13, 0], upper=100)
    p.minimize((x1 - 10)**3 + (x2 - 20)**3)
    p.inequality(-(x1 - 5)**2 - (x2 - 5)**2 + 100 <= 0, name='G1')
    p.inequality((x1 - 6)**2 + (x2 - 5)**2 - 82.81 <= 0, name='G2')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
