#!/usr/bin/env python3
"""g07 of the CEC 2006 constrained suite (Liang et al. 2006): 10 variables,
a quadratic objective, 3 linear and 5 quadratic inequalities.

    minimise  x1^2 + x2^2 + x1 x2 - 14x1 - 16x2 + (x3-10)^2 + 4(x4-5)^2 + (x5-3)^2
              + 2(x6-1)^2 + 5x7^2 + 7(x8-11)^2 + 2(x9-10)^2 + (x10-7)^2 + 45
    g1 = -105 + 4x1 + 5x2 - 3x7 + 9x8 <= 0
    g2 = 10x1 - 8x2 - 17x7 + 2x8 <= 0
    g3 = -8x1 + 2x2 + 5x9 - 2x10 - 12 <= 0
    g4 = 3(x1-2)^2 + 4(x2-3)^2 + 2x3^2 - 7x4 - 120 <= 0
    g5 = 5x1^2 + 8x2 + (x3-6)^2 - 2x4 - 40 <= 0
    g6 = x1^2 + 2(x2-2)^2 - 2x1 x2 + 14x5 - 6x6 <= 0
    g7 = 0.5(x1-8)^2 + 2(x2-4)^2 + 3x5^2 - x6 - 30 <= 0
    g8 = -3x1 + 6x2 + 12(x9-8)^2 - 7x10 <= 0
    -10 <= x_i <= 10

    problem.py [--output FILE] [--compare FILE]
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from problem_writer import Problem, run_description  # noqa: E402


def build():
    p = Problem('G07')
    x = [None] + [p.variable('X%d' % i, -10.0, 10.0) for i in range(1, 11)]
    # (y - c)^2, and y1 y2.
    sqd = p.element_type('SQD', variables=1, parameters=1,
                         value=lambda y, c: (y[0] - c[0]) * (y[0] - c[0]))
    prod = p.element_type('PROD', variables=2, value=lambda y, _: y[0] * y[1])
    squares = {}

    def sq(i, c=0.0):      # the element (x_i - c)^2, made once
        if (i, c) not in squares:
            squares[i, c] = p.element('S%d_%g' % (i, c), sqd, [x[i]], [c])
        return squares[i, c]

    x1x2 = p.element('X1X2', prod, [x[1], x[2]])
    p.objective('OBJ', linear={x[1]: -14.0, x[2]: -16.0}, constant=-45.0,
                elements=[(sq(1), 1.0), (sq(2), 1.0), (x1x2, 1.0), (sq(3, 10.0), 1.0),
                          (sq(4, 5.0), 4.0), (sq(5, 3.0), 1.0), (sq(6, 1.0), 2.0),
                          (sq(7), 5.0), (sq(8, 11.0), 7.0), (sq(9, 10.0), 2.0),
                          (sq(10, 7.0), 1.0)])
    p.inequality('G1', linear={x[1]: 4.0, x[2]: 5.0, x[7]: -3.0, x[8]: 9.0}, upper=105.0)
    p.inequality('G2', linear={x[1]: 10.0, x[2]: -8.0, x[7]: -17.0, x[8]: 2.0}, upper=0.0)
    p.inequality('G3', linear={x[1]: -8.0, x[2]: 2.0, x[9]: 5.0, x[10]: -2.0}, upper=12.0)
    p.inequality('G4', linear={x[4]: -7.0}, upper=120.0,
                 elements=[(sq(1, 2.0), 3.0), (sq(2, 3.0), 4.0), (sq(3), 2.0)])
    p.inequality('G5', linear={x[2]: 8.0, x[4]: -2.0}, upper=40.0,
                 elements=[(sq(1), 5.0), (sq(3, 6.0), 1.0)])
    p.inequality('G6', linear={x[5]: 14.0, x[6]: -6.0}, upper=0.0,
                 elements=[(sq(1), 1.0), (sq(2, 2.0), 2.0), (x1x2, -2.0)])
    p.inequality('G7', linear={x[6]: -1.0}, upper=30.0,
                 elements=[(sq(1, 8.0), 0.5), (sq(2, 4.0), 2.0), (sq(5), 3.0)])
    p.inequality('G8', linear={x[1]: -3.0, x[2]: 6.0, x[10]: -7.0}, upper=0.0,
                 elements=[(sq(9, 8.0), 12.0)])
    return p


if __name__ == '__main__':
    sys.exit(run_description(build))
