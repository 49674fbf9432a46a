#!/usr/bin/env python3
"""g13 of the CEC 2006 constrained suite (Liang et al. 2006): 5 variables,
an exponential objective and 3 nonlinear equalities.

    minimise  exp(x1 x2 x3 x4 x5)
    h1 = x1^2 + x2^2 + x3^2 + x4^2 + x5^2 - 10 = 0
    h2 = x2 x3 - 5 x4 x5 = 0
    h3 = x1^3 + x2^3 + 1 = 0
    -2.3 <= x1, x2 <= 2.3,  -3.2 <= x3, x4, x5 <= 3.2

    problem.py [--output FILE] [--compare FILE]
"""

import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from problem_writer import Problem, run_description  # noqa: E402


def build():
    p = Problem('G13')
    box = [(-2.3, 2.3)] * 2 + [(-3.2, 3.2)] * 3
    x = [None] + [p.variable('X%d' % i, lo, hi) for i, (lo, hi) in enumerate(box, 1)]
    expprod = p.element_type('EXPPROD5', variables=5,
                             value=lambda y, _: math.exp(y[0] * y[1] * y[2] * y[3] * y[4]))
    sq = p.element_type('SQ', variables=1, value=lambda y, _: y[0] * y[0])
    prod = p.element_type('PROD', variables=2, value=lambda y, _: y[0] * y[1])
    cube = p.element_type('CUBE', variables=1, value=lambda y, _: y[0] * y[0] * y[0])
    p.objective('OBJ', elements=[p.element('EXP', expprod, x[1:])])
    p.equality('H1', constant=10.0,
               elements=[p.element('SQ%d' % i, sq, [x[i]]) for i in range(1, 6)])
    p.equality('H2', elements=[(p.element('X2X3', prod, [x[2], x[3]]), 1.0),
                               (p.element('X4X5', prod, [x[4], x[5]]), -5.0)])
    p.equality('H3', constant=-1.0,
               elements=[p.element('CUBE%d' % i, cube, [x[i]]) for i in (1, 2)])
    return p


if __name__ == '__main__':
    sys.exit(run_description(build))
