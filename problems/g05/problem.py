#!/usr/bin/env python3
"""g05 of the CEC 2006 constrained suite (Liang et al. 2006): 4 variables,
a cubic objective, 2 linear inequalities and 3 trigonometric equalities.

    minimise  3x1 + 0.000001 x1^3 + 2x2 + (0.000002/3) x2^3
    g1 = -x4 + x3 - 0.55 <= 0,   g2 = -x3 + x4 - 0.55 <= 0
    h3 = 1000 sin(-x3 - 0.25) + 1000 sin(-x4 - 0.25) + 894.8 - x1 = 0
    h4 = 1000 sin(x3 - 0.25) + 1000 sin(x3 - x4 - 0.25) + 894.8 - x2 = 0
    h5 = 1000 sin(x4 - 0.25) + 1000 sin(x4 - x3 - 0.25) + 1294.8 = 0
    0 <= x1, x2 <= 1200,  -0.55 <= x3, x4 <= 0.55

The weight 0.000002/3 is stored with nine significant digits.

    problem.py [--output FILE] [--compare FILE]
"""

import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from problem_writer import Problem, run_description  # noqa: E402


def build():
    p = Problem('G05')
    box = ((0.0, 1200.0), (0.0, 1200.0), (-0.55, 0.55), (-0.55, 0.55))
    x = [None] + [p.variable('X%d' % i, lo, hi) for i, (lo, hi) in enumerate(box, 1)]
    cube = p.element_type('CUBE', variables=1, value=lambda y, _: y[0] * y[0] * y[0])
    # sin(a y + b), and sin(y1 - y2 + c).
    sin1 = p.element_type('SIN1', variables=1, parameters=2,
                          value=lambda y, q: math.sin(q[0] * y[0] + q[1]))
    sin2 = p.element_type('SIN2', variables=2, parameters=1,
                          value=lambda y, q: math.sin(y[0] - y[1] + q[0]))
    c1 = p.element('CUBE1', cube, [x[1]])
    c2 = p.element('CUBE2', cube, [x[2]])
    p.objective('OBJ', linear={x[1]: 3.0, x[2]: 2.0},
                elements=[(c1, 0.000001), (c2, 0.000002 / 3.0)])
    p.inequality('G1', linear={x[3]: 1.0, x[4]: -1.0}, upper=0.55)
    p.inequality('G2', linear={x[4]: 1.0, x[3]: -1.0}, upper=0.55)
    m3 = p.element('SM3', sin1, [x[3]], [-1.0, -0.25])
    m4 = p.element('SM4', sin1, [x[4]], [-1.0, -0.25])
    s3 = p.element('SP3', sin1, [x[3]], [1.0, -0.25])
    s4 = p.element('SP4', sin1, [x[4]], [1.0, -0.25])
    d34 = p.element('SD34', sin2, [x[3], x[4]], [-0.25])
    d43 = p.element('SD43', sin2, [x[4], x[3]], [-0.25])
    p.equality('H3', linear={x[1]: -1.0}, elements=[(m3, 1000.0), (m4, 1000.0)],
               constant=-894.8)
    p.equality('H4', linear={x[2]: -1.0}, elements=[(s3, 1000.0), (d34, 1000.0)],
               constant=-894.8)
    p.equality('H5', elements=[(s4, 1000.0), (d43, 1000.0)], constant=-1294.8)
    return p


if __name__ == '__main__':
    sys.exit(run_description(build))
