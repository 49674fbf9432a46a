#!/usr/bin/env python3
"""g11 of the CEC 2006 constrained suite (Liang et al. 2006): 2 variables,
a quadratic objective and one quadratic equality.

    minimise  x1^2 + (x2 - 1)^2
    h = x2 - x1^2 = 0
    -1 <= x1 <= 1,  -1 <= x2 <= 1
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402


def build():
    p = Problem('G11')
    x1, x2 = p.variables('X', 2, lower=-1, upper=1)
    p.minimize(x1**2 + (x2 - 1)**2)
    p.equality(x2 - x1**2, name='H')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
