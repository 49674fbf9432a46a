#!/usr/bin/env python3
"""Problem 71 of Hock and Schittkowski (1981): the worked example of
docs/own-problem.md.

    minimise  x1 x4 (x1 + x2 + x3) + x3
    subject to  x1 x2 x3 x4 >= 25
                x1^2 + x2^2 + x3^2 + x4^2 = 40
                1 <= x1, x2, x3, x4 <= 5,   start (1, 5, 5, 1)

    problem.py [--output FILE] [--compare FILE] [--summary] [--generate DIR]
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402


def build():
    p = Problem('HS071')
    x1, x2, x3, x4 = p.variables('X', 4, lower=1, upper=5, start=[1, 5, 5, 1])
    p.minimize(x1*x4*(x1 + x2 + x3) + x3)
    p.inequality(x1*x2*x3*x4 >= 25, name='PRODUCT')
    p.equality(x1**2 + x2**2 + x3**2 + x4**2, 40, name='SPHERE')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
