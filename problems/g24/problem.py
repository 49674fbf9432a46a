#!/usr/bin/env python3
"""g24 of the CEC 2006 constrained suite (Liang et al. 2006): 2 variables,
a linear objective and 2 quartic inequalities (two disconnected feasible
regions).

    minimise  f = -x1 - x2
    g1 = -2 x1^4 + 8 x1^3 - 8 x1^2 + x2 - 2 <= 0
    g2 = -4 x1^4 + 32 x1^3 - 88 x1^2 + 96 x1 + x2 - 36 <= 0
    0 <= x1 <= 3,  0 <= x2 <= 4
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402


def build():
    p = Problem('G24')
    x1, x2 = p.variables('X', 2, lower=[0, 0], upper=[3, 4])
    p.minimize(-x1 - x2)
    p.inequality(-2 * x1**4 + 8 * x1**3 - 8 * x1**2 + x2 - 2 <= 0, name='G1')
    p.inequality(-4 * x1**4 + 32 * x1**3 - 88 * x1**2 + 96 * x1 + x2 - 36 <= 0, name='G2')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
