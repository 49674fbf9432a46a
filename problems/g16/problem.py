#!/usr/bin/env python3
"""g16 of the CEC 2006 constrained suite (Liang et al. 2006): 5 variables,
a nested rational objective and 38 nonlinear inequalities, all through the
intermediate quantities y1..y17 and c1..c17 of the definition.

    y1 = x2 + x3 + 41.6              c1 = 0.024 x4 - 4.62
    y2 = 12.5 / c1 + 12
    c2 = 0.0003535 x1^2 + 0.5311 x1 + 0.08705 y2 x1
    c3 = 0.052 x1 + 78 + 0.002377 y2 x1
    y3 = c2 / c3                     y4 = 19 y3
    c4 = 0.04782 (x1 - y3) + 0.1956 (x1 - y3)^2 / x2 + 0.6376 y4 + 1.594 y3
    c5 = 100 x2                      c6 = x1 - y3 - y4
    c7 = 0.950 - c4 / c5             y5 = c6 c7
    y6 = x1 - y5 - y4 - y3           c8 = 0.995 (y5 + y4)
    y7 = c8 / y1                     y8 = c8 / 3798
    c9 = y7 - 0.0663 y7 / y8 - 0.3153
    y9 = 96.82 / c9 + 0.321 y1
    y10 = 1.29 y5 + 1.258 y4 + 2.29 y3 + 1.71 y6
    y11 = 1.71 x1 - 0.452 y4 + 0.580 y3
    c10 = 12.3 / 752.3               c11 = (1.75 y2)(0.995 x1)
    c12 = 0.995 y10 + 1998           y12 = c10 x1 + c11 / c12
    y13 = c12 - 1.75 y2
    y14 = 3623 + 64.4 x2 + 58.4 x3 + 146312 / (y9 + x5)
    c13 = 0.995 y10 + 60.8 x2 + 48 x4 - 0.1121 y14 - 5095
    y15 = y13 / c13
    y16 = 148000 - 331000 y15 + 40 y13 - 61 y15 y13
    c14 = 2324 y10 - 28740000 y2
    y17 = 14130000 - 1328 y10 - 531 y11 + c14 / c12
    c15 = y13 / y15 - y13 / 0.52     c16 = 1.104 - 0.72 y15
    c17 = y9 + x5

    minimise  f = 0.000117 y14 + 0.1365 + 0.00002358 y13 + 0.000001502 y16
                  + 0.0321 y12 + 0.004324 y5 + 0.0001 c15 / c16
                  + 37.48 y2 / c12 - 0.0000005843 y17
    g1 = (0.28 / 0.72) y5 - y4 <= 0          g2 = x3 - 1.5 x2 <= 0
    g3 = 3496 y2 / c12 - 21 <= 0             g4 = 110.6 + y1 - 62212 / c17 <= 0
    g(2k+3) = lo_k - y_k <= 0,  g(2k+4) = y_k - up_k <= 0   (k = 1..17)
    704.4148 <= x1 <= 906.3855,  68.6 <= x2 <= 288.88,  0 <= x3 <= 134.75,
    193 <= x4 <= 287.0966,  25 <= x5 <= 84.1988

The quotients 0.28 / 0.72 and 12.3 / 752.3 and the division by 0.52 are
written as the exact fractions 7/18, 123/7523 and 25/13.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402
import sympy as sp  # noqa: E402

# (lo_k, up_k) of y1..y17: the constraints g5..g38.
Y_RANGES = [(213.1, 405.23), (17.505, 1053.6667), (11.275, 35.03), (214.228, 665.585),
            (7.458, 584.463), (0.961, 265.916), (1.612, 7.046), (0.146, 0.222),
            (107.99, 273.366), (922.693, 1286.105), (926.832, 1444.046), (18.766, 537.141),
            (1072.163, 3247.039), (8961.448, 26844.086), (0.063, 0.386), (71084.33, 140000),
            (2802713, 12146108)]


def quantities(x1, x2, x3, x4, x5):
    """y1..y17 (index 1..17 of the list y) and c1..c17 (of c) in the definition's order."""
    y, c = [None] * 18, [None] * 18
    y[1] = x2 + x3 + 41.6
    c[1] = 0.024 * x4 - 4.62
    y[2] = 12.5 / c[1] + 12
    c[2] = 0.0003535 * x1**2 + 0.5311 * x1 + 0.08705 * y[2] * x1
    c[3] = 0.052 * x1 + 78 + 0.002377 * y[2] * x1
    y[3] = c[2] / c[3]
    y[4] = 19 * y[3]
    c[4] = (0.04782 * (x1 - y[3]) + 0.1956 * (x1 - y[3])**2 / x2
            + 0.6376 * y[4] + 1.594 * y[3])
    c[5] = 100 * x2
    c[6] = x1 - y[3] - y[4]
    c[7] = 0.950 - c[4] / c[5]
    y[5] = c[6] * c[7]
    y[6] = x1 - y[5] - y[4] - y[3]
    c[8] = 0.995 * (y[5] + y[4])
    y[7] = c[8] / y[1]
    y[8] = c[8] / 3798
    c[9] = y[7] - 0.0663 * 3798 / y[1] - 0.3153         # y7 / y8 = 3798 / y1
    y[9] = 96.82 / c[9] + 0.321 * y[1]
    y[10] = 1.29 * y[5] + 1.258 * y[4] + 2.29 * y[3] + 1.71 * y[6]
    y[11] = 1.71 * x1 - 0.452 * y[4] + 0.580 * y[3]
    c[10] = sp.Rational(123, 7523)
    c[11] = (1.75 * y[2]) * (0.995 * x1)
    c[12] = 0.995 * y[10] + 1998
    y[12] = c[10] * x1 + c[11] / c[12]
    y[13] = c[12] - 1.75 * y[2]
    y[14] = 3623 + 64.4 * x2 + 58.4 * x3 + 146312 / (y[9] + x5)
    c[13] = 0.995 * y[10] + 60.8 * x2 + 48 * x4 - 0.1121 * y[14] - 5095
    y[15] = y[13] / c[13]
    y[16] = 148000 - 331000 * y[15] + 40 * y[13] - 61 * y[15] * y[13]
    c[14] = 2324 * y[10] - 28740000 * y[2]
    y[17] = 14130000 - 1328 * y[10] - 531 * y[11] + c[14] / c[12]
    c[15] = c[13] - y[13] * sp.Rational(25, 13)        # y13 / y15 = c13
    c[16] = 1.104 - 0.72 * y[15]
    c[17] = y[9] + x5
    return y, c


def build():
    p = Problem('G16')
    lower = [704.4148, 68.6, 0, 193, 25]
    upper = [906.3855, 288.88, 134.75, 287.0966, 84.1988]
    # Starts: the middle of each range, written so that the file's nine digits hold it.
    start = [float('%.9g' % ((lo + up) / 2)) for lo, up in zip(lower, upper)]
    x1, x2, x3, x4, x5 = p.variables('X', 5, lower=lower, upper=upper, start=start)
    y, c = quantities(x1, x2, x3, x4, x5)
    p.minimize(0.000117 * y[14] + 0.1365 + 0.00002358 * y[13] + 0.000001502 * y[16]
               + 0.0321 * y[12] + 0.004324 * y[5] + 0.0001 * c[15] / c[16]
               + 37.48 * y[2] / c[12] - 0.0000005843 * y[17])
    p.inequality(sp.Rational(7, 18) * y[5] - y[4] <= 0, name='G1')
    p.inequality(x3 - 1.5 * x2 <= 0, name='G2')
    p.inequality(3496 * y[2] / c[12] - 21 <= 0, name='G3')
    p.inequality(110.6 + y[1] - 62212 / c[17] <= 0, name='G4')
    for k, (lo, up) in enumerate(Y_RANGES, 1):
        p.inequality(lo - y[k] <= 0, name='G%d' % (2 * k + 3))
        p.inequality(y[k] - up <= 0, name='G%d' % (2 * k + 4))
    return p


if __name__ == '__main__':
    sys.exit(run(build))
