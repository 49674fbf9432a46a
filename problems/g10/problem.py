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
    100 <= x1 <= 10000,  1000 <= x2, x3 <= 10000,  10 <= x4..x8 <= 1000

    problem.py [--output FILE] [--compare FILE]
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from problem_writer import Problem, run_description  # noqa: E402


def build():
    p = Problem('G10')
    box = [(100.0, 10000.0)] + [(1000.0, 10000.0)] * 2 + [(10.0, 1000.0)] * 5
    x = [None] + [p.variable('X%d' % i, lo, hi) for i, (lo, hi) in enumerate(box, 1)]
    prod = p.element_type('PROD', variables=2, value=lambda y, _: y[0] * y[1])

    def xx(a, b):
        return p.element('X%dX%d' % (a, b), prod, [x[a], x[b]])

    p.objective('OBJ', linear={x[1]: 1.0, x[2]: 1.0, x[3]: 1.0})
    p.inequality('G1', linear={x[4]: 0.0025, x[6]: 0.0025}, upper=1.0)
    p.inequality('G2', linear={x[5]: 0.0025, x[7]: 0.0025, x[4]: -0.0025}, upper=1.0)
    p.inequality('G3', linear={x[8]: 0.01, x[5]: -0.01}, upper=1.0)
    p.inequality('G4', linear={x[4]: 833.33252, x[1]: 100.0}, upper=83333.333,
                 elements=[(xx(1, 6), -1.0)])
    p.inequality('G5', linear={x[5]: 1250.0, x[4]: -1250.0}, upper=0.0,
                 elements=[(xx(2, 7), -1.0), (xx(2, 4), 1.0)])
    p.inequality('G6', linear={x[5]: -2500.0}, upper=-1250000.0,
                 elements=[(xx(3, 8), -1.0), (xx(3, 5), 1.0)])
    return p


if __name__ == '__main__':
    sys.exit(run_description(build))
