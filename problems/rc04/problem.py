#!/usr/bin/env python3
"""RC04 of the CEC 2020 real-world constrained suite: reactor network design.

Two continuously stirred tank reactors in series (reactions A -> B -> C in each); the
concentration x4 of B leaving the second reactor is maximised, here as in the suite's
reference code by minimising -x4. x1 and x2 are the concentrations of A leaving the first
and the second reactor, x3 and x4 those of B, x5 and x6 the residence times. 6 variables,
4 equalities, 1 inequality, with k1 = 0.09755988, k2 = 0.99 k1, k3 = 0.0391908, k4 = 0.9 k3:

    minimise  -x4
    h1 = x1 + k1 x2 x5 - 1
    h2 = x2 - x1 + k2 x2 x6
    h3 = x3 + x1 + k3 x3 x5 - 1
    h4 = x4 - x3 + x2 - x1 + k4 x4 x6
    g1 = x5^0.5 + x6^0.5 - 4 <= 0
    0 <= x1, x2, x3, x4 <= 1,  1e-5 <= x5, x6 <= 16

in the reference code's order of the equalities (the report lists its h2 and h3 the other
way round).
"""
import os, sys
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run          # noqa: E402

K1 = 0.09755988
K2 = 0.99*K1                                # products in double precision, as the code forms them
K3 = 0.0391908
K4 = 0.9*K3


def build():
    p = Problem('RC04')
    x1, x2, x3, x4, x5, x6 = p.variables('X', 6, lower=[0, 0, 0, 0, 1e-5, 1e-5],
                                         upper=[1, 1, 1, 1, 16, 16])
    p.minimize(-x4, name='NEGCONC')
    p.equality(x1 + K1*x2*x5 - 1, name='H1')
    p.equality(x2 - x1 + K2*x2*x6, name='H2')
    p.equality(x3 + x1 + K3*x3*x5 - 1, name='H3')
    p.equality(x4 - x3 + x2 - x1 + K4*x4*x6, name='H4')
    p.inequality(x5**0.5 + x6**0.5 - 4 <= 0, name='G1')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
