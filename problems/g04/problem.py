#!/usr/bin/env python3
"""g04 of the CEC 2006 constrained suite (Liang et al. 2006): 5 variables,
a quadratic objective and 6 quadratic inequalities (three two-sided
constraints, each written as two one-sided ones).

    minimise  5.3578547 x3^2 + 0.8356891 x1 x5 + 37.293239 x1 - 40792.141
    u = 85.334407 + 0.0056858 x2 x5 + 0.0006262 x1 x4 - 0.0022053 x3 x5
    v = 80.51249 + 0.0071317 x2 x5 + 0.0029955 x1 x2 + 0.0021813 x3^2
    w = 9.300961 + 0.0047026 x3 x5 + 0.0012547 x1 x3 + 0.0019085 x3 x4
    g1 = u - 92 <= 0,  g2 = -u <= 0,  g3 = v - 110 <= 0,  g4 = -v + 90 <= 0,
    g5 = w - 25 <= 0,  g6 = -w + 20 <= 0
    78 <= x1 <= 102,  33 <= x2 <= 45,  27 <= x3, x4, x5 <= 45

    problem.py [--output FILE] [--compare FILE]
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from problem_writer import Problem, run_description  # noqa: E402


def build():
    p = Problem('G04')
    box = ((78.0, 102.0), (33.0, 45.0), (27.0, 45.0), (27.0, 45.0), (27.0, 45.0))
    x = [None] + [p.variable('X%d' % i, lo, hi) for i, (lo, hi) in enumerate(box, 1)]
    sq = p.element_type('SQ', variables=1, value=lambda y, _: y[0] * y[0])
    prod = p.element_type('PROD', variables=2, value=lambda y, _: y[0] * y[1])
    x3sq = p.element('X3SQ', sq, [x[3]])
    xx = {(a, b): p.element('X%dX%d' % (a, b), prod, [x[a], x[b]])
          for a, b in ((1, 5), (2, 5), (1, 4), (3, 5), (1, 2), (1, 3), (3, 4))}
    p.objective('OBJ', linear={x[1]: 37.293239}, constant=40792.141,
                elements=[(x3sq, 5.3578547), (xx[1, 5], 0.8356891)])
    u = dict(elements=[(xx[2, 5], 0.0056858), (xx[1, 4], 0.0006262), (xx[3, 5], -0.0022053)],
             constant=-85.334407)
    v = dict(elements=[(xx[2, 5], 0.0071317), (xx[1, 2], 0.0029955), (x3sq, 0.0021813)],
             constant=-80.51249)
    w = dict(elements=[(xx[3, 5], 0.0047026), (xx[1, 3], 0.0012547), (xx[3, 4], 0.0019085)],
             constant=-9.300961)
    p.inequality('G1', upper=92.0, **u)
    p.inequality('G2', lower=0.0, **u)
    p.inequality('G3', upper=110.0, **v)
    p.inequality('G4', lower=90.0, **v)
    p.inequality('G5', upper=25.0, **w)
    p.inequality('G6', lower=20.0, **w)
    return p


if __name__ == '__main__':
    sys.exit(run_description(build))
