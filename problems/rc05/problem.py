#!/usr/bin/env python3
"""RC05 of the CEC 2020 real-world constrained suite: Haverly's pooling problem.

Two crude streams (x3, x4) are pooled, a third (x5, x6) is blended directly; two products
(x1, x2) must meet sulphur limits; the profit is maximised, here as in the suite's reference
code by minimising its negative. x7, x8 are the pool's outflows to the products, x9 the
pool's sulphur quality. 9 variables, 4 equalities, 2 inequalities:

    minimise  -(9 x1 + 15 x2 - 6 x3 - 16 x4 - 10 (x5 + x6))
    h1 = x7 + x8 - x3 - x4
    h2 = x1 - x7 - x5
    h3 = x2 - x8 - x6
    h4 = x9 x7 + x9 x8 - 3 x3 - x4
    g1 = x9 x7 + 2 x5 - 2.5 x1 <= 0
    g2 = x9 x8 + 2 x6 - 1.5 x2 <= 0
    0 <= x1, x3, x4, x5, x6, x8 <= 100,  0 <= x2, x7, x9 <= 200
"""
import os, sys
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run          # noqa: E402

UPPER = [100, 200, 100, 100, 100, 100, 200, 100, 200]


def build():
    p = Problem('RC05')
    x1, x2, x3, x4, x5, x6, x7, x8, x9 = p.variables('X', 9, lower=0, upper=UPPER)
    p.minimize(-(9*x1 + 15*x2 - 6*x3 - 16*x4 - 10*(x5 + x6)), name='NEGPROFIT')
    p.equality(x7 + x8 - x3 - x4, name='H1')
    p.equality(x1 - x7 - x5, name='H2')
    p.equality(x2 - x8 - x6, name='H3')
    p.equality(x9*x7 + x9*x8 - 3*x3 - x4, name='H4')
    p.inequality(x9*x7 + 2*x5 - 2.5*x1 <= 0, name='G1')
    p.inequality(x9*x8 + 2*x6 - 1.5*x2 <= 0, name='G2')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
