#!/usr/bin/env python3
"""RC06 of the CEC 2020 real-world constrained suite: blending-pooling-separation.

A feed of three components (300 units, a third of each) is split, sent through two
separators (feed flows x5 and x13), and blended and pooled into two three-component products;
the cost of the separators, linear in their flows, is minimised. x1..x20 are stream flows, x21..x38 the
component fractions of the separators' streams. 38 variables, 32 equalities, no inequality:

    minimise  0.9979 + 0.00432 x5 + 0.01517 x13
    h1  = x1 + x2 + x3 + x4 - 300
    h2  = x6 - x7 - x8                     h3  = x9 - x10 - x11 - x12
    h4  = x14 - x15 - x16 - x17            h5  = x18 - x19 - x20
    h6  = x5 x21 - x6 x22 - x9 x23         h7  = x5 x24 - x6 x25 - x9 x26
    h8  = x5 x27 - x6 x28 - x9 x29         h9  = x13 x30 - x14 x31 - x18 x32
    h10 = x13 x33 - x14 x34 - x18 x35      h11 = x13 x36 - x14 x37 - x18 x38
    h12 = x1/3 + x15 x31 - x5 x21          h13 = x1/3 + x15 x34 - x5 x24
    h14 = x1/3 + x15 x37 - x5 x27          h15 = x2/3 + x10 x23 - x13 x30
    h16 = x2/3 + x10 x26 - x13 x33         h17 = x2/3 + x10 x29 - x13 x36
    h18 = x3/3 + x7 x22 + x11 x23 + x16 x31 + x19 x32 - 30
    h19 = x3/3 + x7 x25 + x11 x26 + x16 x34 + x19 x35 - 50
    h20 = x3/3 + x7 x28 + x11 x29 + x16 x37 + x19 x38 - 30
    h21 = x21 + x24 + x27 - 1              h22 = x22 + x25 + x28 - 1
    h23 = x23 + x26 + x29 - 1              h24 = x30 + x33 + x36 - 1
    h25 = x31 + x34 + x37 - 1              h26 = x32 + x35 + x38 - 1
    h27 = x25,  h28 = x28,  h29 = x23,  h30 = x37,  h31 = x32,  h32 = x35
    all variables >= 0; upper bounds 90 or 150 for the flows, 0.5, 1 or 1.2 for the fractions

as the suite's reference code evaluates it: the feed's thirds are 1/3 (the report writes
0.333), and h11 ends in x18 x38 (the report writes x18 x35).
"""
import os, sys
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run          # noqa: E402
import sympy as sp                          # noqa: E402

UPPER = [90, 150, 90, 150, 90, 90, 150, 90, 90, 90,
         150, 150, 90, 90, 150, 90, 150, 90, 150, 90,
         1, 1.2, 1, 1, 1, 0.5, 1, 1, 0.5, 0.5,
         0.5, 1.2, 0.5, 1.2, 1.2, 0.5, 1.2, 1.2]
THIRD = sp.Rational(1, 3)                   # each component's share of the feed


def build():
    p = Problem('RC06')
    x = [None] + p.variables('X', 38, lower=0, upper=UPPER)   # x[1] .. x[38]
    p.minimize(0.9979 + 0.00432*x[5] + 0.01517*x[13], name='COST')
    p.equality(x[1] + x[2] + x[3] + x[4] - 300, name='H1')
    p.equality(x[6] - x[7] - x[8], name='H2')
    p.equality(x[9] - x[10] - x[11] - x[12], name='H3')
    p.equality(x[14] - x[15] - x[16] - x[17], name='H4')
    p.equality(x[18] - x[19] - x[20], name='H5')
    p.equality(x[5]*x[21] - x[6]*x[22] - x[9]*x[23], name='H6')
    p.equality(x[5]*x[24] - x[6]*x[25] - x[9]*x[26], name='H7')
    p.equality(x[5]*x[27] - x[6]*x[28] - x[9]*x[29], name='H8')
    p.equality(x[13]*x[30] - x[14]*x[31] - x[18]*x[32], name='H9')
    p.equality(x[13]*x[33] - x[14]*x[34] - x[18]*x[35], name='H10')
    p.equality(x[13]*x[36] - x[14]*x[37] - x[18]*x[38], name='H11')
    p.equality(THIRD*x[1] + x[15]*x[31] - x[5]*x[21], name='H12')
    p.equality(THIRD*x[1] + x[15]*x[34] - x[5]*x[24], name='H13')
    p.equality(THIRD*x[1] + x[15]*x[37] - x[5]*x[27], name='H14')
    p.equality(THIRD*x[2] + x[10]*x[23] - x[13]*x[30], name='H15')
    p.equality(THIRD*x[2] + x[10]*x[26] - x[13]*x[33], name='H16')
    p.equality(THIRD*x[2] + x[10]*x[29] - x[13]*x[36], name='H17')
    p.equality(THIRD*x[3] + x[7]*x[22] + x[11]*x[23] + x[16]*x[31] + x[19]*x[32] - 30,
               name='H18')
    p.equality(THIRD*x[3] + x[7]*x[25] + x[11]*x[26] + x[16]*x[34] + x[19]*x[35] - 50,
               name='H19')
    p.equality(THIRD*x[3] + x[7]*x[28] + x[11]*x[29] + x[16]*x[37] + x[19]*x[38] - 30,
               name='H20')
    p.equality(x[21] + x[24] + x[27] - 1, name='H21')
    p.equality(x[22] + x[25] + x[28] - 1, name='H22')
    p.equality(x[23] + x[26] + x[29] - 1, name='H23')
    p.equality(x[30] + x[33] + x[36] - 1, name='H24')
    p.equality(x[31] + x[34] + x[37] - 1, name='H25')
    p.equality(x[32] + x[35] + x[38] - 1, name='H26')
    for k, i in enumerate([25, 28, 23, 37, 32, 35]):
        p.equality(x[i], name='H%d' % (27 + k))
    return p


if __name__ == '__main__':
    sys.exit(run(build))
