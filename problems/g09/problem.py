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

    problem.py [--output FILE] [--compare FILE]
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from problem_writer import Problem, run_description  # noqa: E402


def build():
    p = Problem('G09')
    x = [None] + [p.variable('X%d' % i, -10.0, 10.0) for i in range(1, 8)]
    # (y - c)^2, y^k, and y1 y2.
    sqd = p.element_type('SQD', variables=1, parameters=1,
                         value=lambda y, c: (y[0] - c[0]) * (y[0] - c[0]))
    power = p.element_type('POW', variables=1, parameters=1, value=lambda y, k: y[0] ** k[0])
    prod = p.element_type('PROD', variables=2, value=lambda y, _: y[0] * y[1])

    def sq(i, c=0.0):
        return p.element('S%d_%g' % (i, c), sqd, [x[i]], [c])

    x1sq, x2sq, x3sq, x6sq = sq(1), sq(2), sq(3), sq(6)
    x2p4 = p.element('P2_4', power, [x[2]], [4.0])
    x1x2 = p.element('X1X2', prod, [x[1], x[2]])
    p.objective('OBJ', linear={x[6]: -10.0, x[7]: -8.0},
                elements=[(sq(1, 10.0), 1.0), (sq(2, 12.0), 5.0),
                          (p.element('P3_4', power, [x[3]], [4.0]), 1.0), (sq(4, 11.0), 3.0),
                          (p.element('P5_6', power, [x[5]], [6.0]), 10.0), (x6sq, 7.0),
                          (p.element('P7_4', power, [x[7]], [4.0]), 1.0),
                          (p.element('X6X7', prod, [x[6], x[7]]), -4.0)])
    p.inequality('G1', linear={x[3]: 1.0, x[5]: 5.0}, upper=127.0,
                 elements=[(x1sq, 2.0), (x2p4, 3.0), (sq(4), 4.0)])
    p.inequality('G2', linear={x[1]: 7.0, x[2]: 3.0, x[4]: 1.0, x[5]: -1.0}, upper=282.0,
                 elements=[(x3sq, 10.0)])
    p.inequality('G3', linear={x[1]: 23.0, x[7]: -8.0}, upper=196.0,
                 elements=[(x2sq, 1.0), (x6sq, 6.0)])
    p.inequality('G4', linear={x[6]: 5.0, x[7]: -11.0}, upper=0.0,
                 elements=[(x1sq, 4.0), (x2sq, 1.0), (x1x2, -3.0), (x3sq, 2.0)])
    return p


if __name__ == '__main__':
    sys.exit(run_description(build))
