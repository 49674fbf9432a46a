#!/usr/bin/env python3
"""g17 of the CEC 2006 constrained suite (Liang et al. 2006): 6 variables,
a piecewise linear (discontinuous) objective and 4 trigonometric equalities.

    minimise  f = f1(x1) + f2(x2)
        f1(x1) = 30 x1 (0 <= x1 < 300),  31 x1 (300 <= x1 <= 400)
        f2(x2) = 28 x2 (0 <= x2 < 100),  29 x2 (100 <= x2 < 200),
                 30 x2 (200 <= x2 <= 1000)
    h1 = -x1 + 300 - (x3 x4 / 131.078) cos(1.48477 - x6)
                   + (0.90798 x3^2 / 131.078) cos(1.47588) = 0
    h2 = -x2 - (x3 x4 / 131.078) cos(1.48477 + x6)
             + (0.90798 x4^2 / 131.078) cos(1.47588) = 0
    h3 = -x5 - (x3 x4 / 131.078) sin(1.48477 + x6)
             + (0.90798 x4^2 / 131.078) sin(1.47588) = 0
    h4 = 200 - (x3 x4 / 131.078) sin(1.48477 - x6)
             + (0.90798 x3^2 / 131.078) sin(1.47588) = 0
    0 <= x1 <= 400,  0 <= x2 <= 1000,  340 <= x3, x4 <= 420,
    -1000 <= x5 <= 1000,  0 <= x6 <= 0.5236

The objective prices x1 and x2 themselves, as the definition states (the
suite's reference code prices the flows that h1 and h2 give for them; the two
agree where h1 = h2 = 0).
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402
import sympy as sp  # noqa: E402


def build():
    p = Problem('G17')
    x1, x2, x3, x4, x5, x6 = p.variables('X', 6, lower=[0, 0, 340, 340, -1000, 0],
                                         upper=[400, 1000, 420, 420, 1000, 0.5236])
    f1 = sp.Piecewise((30 * x1, x1 < 300), (31 * x1, True))
    f2 = sp.Piecewise((28 * x2, x2 < 100), (29 * x2, x2 < 200), (30 * x2, True))
    p.minimize(f1 + f2)
    a, b = 1.48477, 1.47588
    p.equality(-x1 + 300 - x3 * x4 / 131.078 * sp.cos(a - x6)
               + 0.90798 * x3**2 / 131.078 * sp.cos(b), name='H1')
    p.equality(-x2 - x3 * x4 / 131.078 * sp.cos(a + x6)
               + 0.90798 * x4**2 / 131.078 * sp.cos(b), name='H2')
    p.equality(-x5 - x3 * x4 / 131.078 * sp.sin(a + x6)
               + 0.90798 * x4**2 / 131.078 * sp.sin(b), name='H3')
    p.equality(200 - x3 * x4 / 131.078 * sp.sin(a - x6)
               + 0.90798 * x3**2 / 131.078 * sp.sin(b), name='H4')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
