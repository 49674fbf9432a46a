#!/usr/bin/env python3
"""RC02 of the CEC 2020 real-world constrained suite: heat exchanger network design (case 2).

Three exchangers heat one stream in series; the sum of their area costs is minimised.
11 variables, 9 equalities, no inequality:

    minimise  (x1 / (120 x4))^0.6 + (x2 / (80 x5))^0.6 + (x3 / (40 x6))^0.6
    h1 = x1 - 1e4 (x7 - 100)
    h2 = x2 - 1e4 (x8 - x7)
    h3 = x3 - 1e4 (500 - x8)
    h4 = x1 - 1e4 (300 - x9)
    h5 = x2 - 1e4 (400 - x10)
    h6 = x3 - 1e4 (600 - x11)
    h7 = x4 ln(|x9 - 100| + 1e-8) - x4 ln(300 - x7 + 1e-8) - x9 - x7 + 400
    h8 = x5 ln(|x10 - x7| + 1e-8) - x5 ln(|400 - x8| + 1e-8) - x10 + x7 - x8 + 400
    h9 = x6 ln(|x11 - x8| + 1e-8) - x6 ln(100) - x11 + x8 + 100
    1e4 <= x1 <= 8.19e5, 1e4 <= x2 <= 1.131e6, 1e4 <= x3 <= 2.05e6,
    0 <= x4, x5, x6 <= 0.05074, 100 <= x7 <= 200, 100 <= x8, x9, x10 <= 300,
    100 <= x11 <= 400

as the suite's reference code evaluates it: the logarithms take absolute values and add 1e-8
(the report writes ln(x9 - 100), ln(300 - x7), ln(x10 - x7), ln(400 - x8), ln(x11 - x8)).
The objective is not finite where x4, x5 or x6 is 0 (at their lower bounds), as in the code.
"""
import os, sys
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run          # noqa: E402
import sympy as sp                          # noqa: E402

LOWER = [1e4, 1e4, 1e4, 0, 0, 0, 100, 100, 100, 100, 100]
UPPER = [8.19e5, 1.131e6, 2.05e6, 0.05074, 0.05074, 0.05074, 200, 300, 300, 300, 400]
SHIFT = 1e-8                                # keeps the logarithms finite at the bounds


def build():
    p = Problem('RC02')
    # One grid step of x7 moves x1 - 1e4 (x7 - 100) by 1e4 times the step: 1.0
    # on the default grid, 1e-4 on this one, within the equality band.
    p.grid(points_per_unit=100000000)
    x1, x2, x3, x4, x5, x6, x7, x8, x9, x10, x11 = p.variables('X', 11, lower=LOWER,
                                                               upper=UPPER)
    p.minimize((x1/(120*x4))**0.6 + (x2/(80*x5))**0.6 + (x3/(40*x6))**0.6, name='AREACOST')
    p.equality(x1 - 1e4*(x7 - 100), name='H1')
    p.equality(x2 - 1e4*(x8 - x7), name='H2')
    p.equality(x3 - 1e4*(500 - x8), name='H3')
    p.equality(x1 - 1e4*(300 - x9), name='H4')
    p.equality(x2 - 1e4*(400 - x10), name='H5')
    p.equality(x3 - 1e4*(600 - x11), name='H6')
    p.equality(x4*sp.log(sp.Abs(x9 - 100) + SHIFT) - x4*sp.log(300 - x7 + SHIFT)
               - x9 - x7 + 400, name='H7')
    p.equality(x5*sp.log(sp.Abs(x10 - x7) + SHIFT) - x5*sp.log(sp.Abs(400 - x8) + SHIFT)
               - x10 + x7 - x8 + 400, name='H8')
    p.equality(x6*sp.log(sp.Abs(x11 - x8) + SHIFT) - x6*sp.log(100)
               - x11 + x8 + 100, name='H9')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
