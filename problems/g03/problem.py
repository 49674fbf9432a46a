#!/usr/bin/env python3
"""g03 of the CEC 2006 constrained suite (Liang et al. 2006): 10 variables,
a product as objective and one quadratic equality.

    minimise  -(sqrt(n))^n prod_{i=1..n} x_i
    h1 = sum_{i=1..n} x_i^2 - 1 = 0
    n = 10,  0 <= x_i <= 1

(sqrt(10))^10 is exactly 100000.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402
import sympy as sp  # noqa: E402

N = 10


def build():
    p = Problem('G03')
    x = p.variables('X', N, lower=0, upper=1)
    p.minimize(-sp.sqrt(N)**N * sp.Mul(*x))
    p.equality(sum(xi**2 for xi in x) - 1, name='H1')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
