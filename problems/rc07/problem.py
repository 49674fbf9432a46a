#!/usr/bin/env python3
"""RC07 of the CEC 2020 real-world constrained suite: propane, isobutane, n-butane nonsharp
separation.

A three-component feed (300 units, a third of each) is split into two three-component
products through two nonsharp separators (feed flows x5 and x13) with splitting, blending
and pooling; the separators' cost is minimised. x1..x20 are stream flows, x21..x48 component
fractions and recoveries (x25, x27, x29, x32, x35, x37 component flows). 48 variables,
38 equalities, no inequality:

    minimise  c11 + (c21 + c31 x24 + c41 x28 + c51 x33 + c61 x34) x5
            + c12 + (c22 + c32 x26 + c42 x31 + c52 x38 + c62 x39) x13
    with (ci1, ci2) = (0.23947, 0.75835), (-0.0139904, -0.0661588), (0.0093514, 0.0338147),
                      (0.0077308, 0.0373349), (-0.0005719, 0.0016371), (0.0042656, 0.0288996)
    h1  = x1 + x2 + x3 + x4 - 300
    h2  = x6 - x7 - x8                     h3  = x9 - x10 - x11 - x12
    h4  = x14 - x15 - x16 - x17            h5  = x18 - x19 - x20
    h6  = x6 x21 - x24 x25                 h7  = x14 x22 - x26 x27
    h8  = x9 x23 - x28 x29                 h9  = x18 x30 - x31 x32
    h10 = x25 - x5 x33                     h11 = x29 - x5 x34
    h12 = x35 - x5 x36                     h13 = x37 - x13 x38
    h14 = x27 - x13 x39                    h15 = x32 - x13 x40
    h16 = x25 - x6 x21 - x9 x41            h17 = x29 - x6 x42 - x9 x23
    h18 = x35 - x6 x43 - x9 x44            h19 = x37 - x14 x45 - x18 x46
    h20 = x27 - x14 x22 - x18 x47          h21 = x32 - x14 x48 - x18 x30
    h22 = x1/3 + x15 x45 - x25             h23 = x1/3 + x15 x22 - x29
    h24 = x1/3 + x15 x48 - x35             h25 = x2/3 + x10 x41 - x37
    h26 = x2/3 + x10 x23 - x27             h27 = x2/3 + x10 x44 - x32
    h28 = x33 + x34 + x36 - 1              h29 = x21 + x42 + x43 - 1
    h30 = x41 + x23 + x44 - 1              h31 = x38 + x39 + x40 - 1
    h32 = x45 + x22 + x48 - 1              h33 = x46 + x47 + x30 - 1
    h34 = x43                              h35 = x46
    h36 = x3/3 + x7 x21 + x11 x41 + x16 x45 + x19 x46 - 30
    h37 = x3/3 + x7 x42 + x11 x23 + x16 x22 + x19 x47 - 50
    h38 = x3/3 + x7 x43 + x11 x44 + x16 x48 + x19 x30 - 30
    bounds: 0 <= x1, x6..x12, x16..x20 <= 35;  0 <= x2, x3, x5, x13, x14, x15 <= 90;
            0 <= x4 <= 140;  0 <= x25, x27, x29, x32, x35, x37 <= 30;
            0.849999 <= x24, x26, x28, x31 <= 1;  0 <= every other fraction <= 1

as the suite's reference code evaluates it, which differs from the report in three ways: the
bounds (the report has 0 <= x1..x20 <= 150 and 0.85 as the lower bound of x24, x26, x28,
x31), the order of the equalities (the report's h28..h30 are the code's h36..h38, its
h31..h38 the code's h28..h35), and the feed's thirds (1/3; the report writes 0.333).
"""
import os, sys
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run          # noqa: E402
import sympy as sp                          # noqa: E402

C = [(0.23947, 0.75835), (-0.0139904, -0.0661588), (0.0093514, 0.0338147),
     (0.0077308, 0.0373349), (-0.0005719, 0.0016371), (0.0042656, 0.0288996)]
THIRD = sp.Rational(1, 3)                   # each component's share of the feed


def bounds():
    """The reference code's bounds of x1..x48 (lists indexed from 0)."""
    lower = [0.0]*48
    upper = [1.0]*48
    for i in (24, 26, 28, 31):
        lower[i - 1] = 0.849999
    upper[4 - 1] = 140
    for i in (25, 27, 32, 35, 37, 29):
        upper[i - 1] = 30
    for i in (2, 3, 5, 13, 14, 15):
        upper[i - 1] = 90
    for i in (1, 6, 7, 8, 9, 10, 11, 12, 16, 17, 18, 19, 20):
        upper[i - 1] = 35
    return lower, upper


def build():
    p = Problem('RC07')
    lower, upper = bounds()
    x = [None] + p.variables('X', 48, lower=lower, upper=upper)   # x[1] .. x[48]
    p.minimize(C[0][0] + C[1][0]*x[5] + C[2][0]*x[24]*x[5] + C[3][0]*x[28]*x[5]
               + C[4][0]*x[33]*x[5] + C[5][0]*x[34]*x[5]
               + C[0][1] + C[1][1]*x[13] + C[2][1]*x[26]*x[13] + C[3][1]*x[31]*x[13]
               + C[4][1]*x[38]*x[13] + C[5][1]*x[39]*x[13], name='COST')
    p.equality(x[1] + x[2] + x[3] + x[4] - 300, name='H1')
    p.equality(x[6] - x[7] - x[8], name='H2')
    p.equality(x[9] - x[10] - x[11] - x[12], name='H3')
    p.equality(x[14] - x[15] - x[16] - x[17], name='H4')
    p.equality(x[18] - x[19] - x[20], name='H5')
    p.equality(x[6]*x[21] - x[24]*x[25], name='H6')
    p.equality(x[14]*x[22] - x[26]*x[27], name='H7')
    p.equality(x[9]*x[23] - x[28]*x[29], name='H8')
    p.equality(x[18]*x[30] - x[31]*x[32], name='H9')
    p.equality(x[25] - x[5]*x[33], name='H10')
    p.equality(x[29] - x[5]*x[34], name='H11')
    p.equality(x[35] - x[5]*x[36], name='H12')
    p.equality(x[37] - x[13]*x[38], name='H13')
    p.equality(x[27] - x[13]*x[39], name='H14')
    p.equality(x[32] - x[13]*x[40], name='H15')
    p.equality(x[25] - x[6]*x[21] - x[9]*x[41], name='H16')
    p.equality(x[29] - x[6]*x[42] - x[9]*x[23], name='H17')
    p.equality(x[35] - x[6]*x[43] - x[9]*x[44], name='H18')
    p.equality(x[37] - x[14]*x[45] - x[18]*x[46], name='H19')
    p.equality(x[27] - x[14]*x[22] - x[18]*x[47], name='H20')
    p.equality(x[32] - x[14]*x[48] - x[18]*x[30], name='H21')
    p.equality(THIRD*x[1] + x[15]*x[45] - x[25], name='H22')
    p.equality(THIRD*x[1] + x[15]*x[22] - x[29], name='H23')
    p.equality(THIRD*x[1] + x[15]*x[48] - x[35], name='H24')
    p.equality(THIRD*x[2] + x[10]*x[41] - x[37], name='H25')
    p.equality(THIRD*x[2] + x[10]*x[23] - x[27], name='H26')
    p.equality(THIRD*x[2] + x[10]*x[44] - x[32], name='H27')
    p.equality(x[33] + x[34] + x[36] - 1, name='H28')
    p.equality(x[21] + x[42] + x[43] - 1, name='H29')
    p.equality(x[41] + x[23] + x[44] - 1, name='H30')
    p.equality(x[38] + x[39] + x[40] - 1, name='H31')
    p.equality(x[45] + x[22] + x[48] - 1, name='H32')
    p.equality(x[46] + x[47] + x[30] - 1, name='H33')
    p.equality(x[43], name='H34')
    p.equality(x[46], name='H35')
    p.equality(THIRD*x[3] + x[7]*x[21] + x[11]*x[41] + x[16]*x[45] + x[19]*x[46] - 30,
               name='H36')
    p.equality(THIRD*x[3] + x[7]*x[42] + x[11]*x[23] + x[16]*x[22] + x[19]*x[47] - 50,
               name='H37')
    p.equality(THIRD*x[3] + x[7]*x[43] + x[11]*x[44] + x[16]*x[48] + x[19]*x[30] - 30,
               name='H38')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
