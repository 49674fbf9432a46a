#!/usr/bin/env python3
"""RC01 of the CEC 2020 real-world constrained suite: heat exchanger network design (case 1).

One cold stream is heated by three hot streams; the total cost of the exchangers' areas is
minimised. 9 variables, 8 equalities, no inequality:

    minimise  35 x1^0.6 + 35 x2^0.6
    h1 = 200 x1 x4 - x3
    h2 = 200 x2 x6 - x5
    h3 = x3 - 10000 (x7 - 100)
    h4 = x5 - 10000 (300 - x7)
    h5 = x3 - 10000 (600 - x8)
    h6 = x5 - 10000 (900 - x9)
    h7 = x4 ln(|x8 - 100| + 1e-8) - x4 ln(600 - x7 + 1e-8) - x8 + x7 + 500
    h8 = x6 ln(|x9 - x7| + 1e-8) - x6 ln(600) - x9 + x7 + 600
    0 <= x1 <= 10, 0 <= x2 <= 200, 0 <= x3 <= 100, 0 <= x4 <= 200, 1000 <= x5 <= 2e6,
    0 <= x6 <= 600, 100 <= x7, x8 <= 600, 100 <= x9 <= 900

as the suite's reference code evaluates it: the logarithms of h7 and h8 take the absolute
value of their differences and add 1e-8 (the report writes ln(x8 - 100), ln(600 - x7) and
ln(x9 - x7)).
"""
import os, sys
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run          # noqa: E402
import sympy as sp                          # noqa: E402

LOWER = [0, 0, 0, 0, 1000, 0, 100, 100, 100]
UPPER = [10, 200, 100, 200, 2e6, 600, 600, 600, 900]
SHIFT = 1e-8                                # keeps the logarithms finite at the bounds


def build():
    p = Problem('RC01')
    # One grid step of x7 moves x3 - 1e4 (x7 - 100) by 1e4 times the step: 1.0
    # on the default grid, 1e-4 on this one, within the equality band.
    p.grid(points_per_unit=100000000)
    x1, x2, x3, x4, x5, x6, x7, x8, x9 = p.variables('X', 9, lower=LOWER, upper=UPPER)
    p.minimize(35*x1**0.6 + 35*x2**0.6, name='AREACOST')
    p.equality(200*x1*x4 - x3, name='H1')
    p.equality(200*x2*x6 - x5, name='H2')
    p.equality(x3 - 10000*(x7 - 100), name='H3')
    p.equality(x5 - 10000*(300 - x7), name='H4')
    p.equality(x3 - 10000*(600 - x8), name='H5')
    p.equality(x5 - 10000*(900 - x9), name='H6')
    p.equality(x4*sp.log(sp.Abs(x8 - 100) + SHIFT) - x4*sp.log(600 - x7 + SHIFT)
               - x8 + x7 + 500, name='H7')
    p.equality(x6*sp.log(sp.Abs(x9 - x7) + SHIFT) - x6*sp.log(600)
               - x9 + x7 + 600, name='H8')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
