#!/usr/bin/env python3
"""g22 of the CEC 2006 constrained suite (Liang et al. 2006): 22 variables,
a linear objective, one inequality and 19 equalities (8 linear).

    minimise  f = x1
    g1 = -x1 + x2^0.6 + x3^0.6 + x4^0.6 <= 0
    h1 = x5 - 100000 x8 + 1e7 = 0          h10 = x8 - x11 + x16 = 0
    h2 = x6 + 100000 x8 - 100000 x9 = 0    h11 = x9 - x12 + x17 = 0
    h3 = x7 + 100000 x9 - 5e7 = 0          h12 = -x18 + ln(x10 - 100) = 0
    h4 = x5 + 100000 x10 - 3.3e7 = 0       h13 = -x19 + ln(-x8 + 300) = 0
    h5 = x6 + 100000 x11 - 4.4e7 = 0       h14 = -x20 + ln(x16) = 0
    h6 = x7 + 100000 x12 - 6.6e7 = 0       h15 = -x21 + ln(-x9 + 400) = 0
    h7 = x5 - 120 x2 x13 = 0               h16 = -x22 + ln(x17) = 0
    h8 = x6 - 80 x3 x14 = 0
    h9 = x7 - 40 x4 x15 = 0
    h17 = -x8 - x10 + x13 x18 - x13 x19 + 400 = 0
    h18 = x8 - x9 - x11 + x14 x20 - x14 x21 + 400 = 0
    h19 = x9 - x12 - 4.60517 x15 + x15 x22 + 100 = 0
    0 <= x1 <= 20000,  0 <= x2, x3, x4 <= 1e6,  0 <= x5, x6, x7 <= 4e7,
    100 <= x8 <= 299.99,  100 <= x9 <= 399.99,  100.01 <= x10 <= 300,
    100 <= x11 <= 400,  100 <= x12 <= 600,  0 <= x13, x14, x15 <= 500,
    0.01 <= x16 <= 300,  0.01 <= x17 <= 400,  -4.7 <= x18..x22 <= 6.25

The published bounds keep every logarithm's argument at 0.01 or more.
The powers x^0.6 are 0 at x = 0, where their slope is unbounded: there
the description gives them a piece of their own, of slope 0.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402
import sympy as sp  # noqa: E402


def root06(t):
    """t^0.6, and its value 0 at t = 0 given by a piece of its own, whose slope
    there is 0 instead of the power's unbounded one."""
    return sp.Piecewise((t**sp.Rational(3, 5), t > 0), (0, True))

LOWER = [0, 0, 0, 0, 0, 0, 0, 100, 100, 100.01, 100, 100, 0, 0, 0, 0.01, 0.01] + [-4.7] * 5
UPPER = ([20000] + [1e6] * 3 + [4e7] * 3 + [299.99, 399.99, 300, 400, 600] + [500] * 3
         + [300, 400] + [6.25] * 5)
START = [float('%.9g' % ((lo + up) / 2)) for lo, up in zip(LOWER, UPPER)]


def build():
    p = Problem('G22')
    # Starts: the middle of each range, written so that the file's nine digits hold it.
    x = [None] + p.variables('X', 22, lower=LOWER, upper=UPPER, start=START)   # x[1] .. x[22]
    p.minimize(x[1])
    p.inequality(-x[1] + root06(x[2]) + root06(x[3]) + root06(x[4]) <= 0, name='G1')
    p.equality(x[5] - 100000 * x[8] + 10**7, name='H1')
    p.equality(x[6] + 100000 * x[8] - 100000 * x[9], name='H2')
    p.equality(x[7] + 100000 * x[9] - 5 * 10**7, name='H3')
    p.equality(x[5] + 100000 * x[10] - 33 * 10**6, name='H4')
    p.equality(x[6] + 100000 * x[11] - 44 * 10**6, name='H5')
    p.equality(x[7] + 100000 * x[12] - 66 * 10**6, name='H6')
    p.equality(x[5] - 120 * x[2] * x[13], name='H7')
    p.equality(x[6] - 80 * x[3] * x[14], name='H8')
    p.equality(x[7] - 40 * x[4] * x[15], name='H9')
    p.equality(x[8] - x[11] + x[16], name='H10')
    p.equality(x[9] - x[12] + x[17], name='H11')
    p.equality(-x[18] + sp.log(x[10] - 100), name='H12')
    p.equality(-x[19] + sp.log(-x[8] + 300), name='H13')
    p.equality(-x[20] + sp.log(x[16]), name='H14')
    p.equality(-x[21] + sp.log(-x[9] + 400), name='H15')
    p.equality(-x[22] + sp.log(x[17]), name='H16')
    p.equality(-x[8] - x[10] + x[13] * x[18] - x[13] * x[19] + 400, name='H17')
    p.equality(x[8] - x[9] - x[11] + x[14] * x[20] - x[14] * x[21] + 400, name='H18')
    p.equality(x[9] - x[12] - 4.60517 * x[15] + x[15] * x[22] + 100, name='H19')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
