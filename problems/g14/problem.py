#!/usr/bin/env python3
"""g14 of the CEC 2006 constrained suite (Liang et al. 2006): 10 variables,
a logarithmic objective and 3 linear equalities.

    minimise  f = sum_{i=1..10} x_i (c_i + ln(x_i / S)),   S = x1 + ... + x10
    h1 = x1 + 2 x2 + 2 x3 + x6 + x10 - 2 = 0
    h2 = x4 + 2 x5 + x6 + x7 - 1 = 0
    h3 = x3 + x7 + x8 + 2 x9 + x10 - 1 = 0
    0 < x_i <= 10
    c = (-6.089, -17.164, -34.054, -5.914, -24.721,
         -14.986, -24.1, -10.708, -26.662, -22.179)

Written as sum c_i x_i + sum x_i ln x_i - S ln S, the same function for
every x_i > 0 (ln(x_i / S) = ln x_i - ln S and sum x_i = S): ten elements of
one variable and one of all ten instead of ten of all ten. The bound 0 < x_i
is kept as 0 <= x_i with t ln t taken as its limit 0 at t = 0, so the
function is finite and continuous on the whole box.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402
import sympy as sp  # noqa: E402

C = [-6.089, -17.164, -34.054, -5.914, -24.721, -14.986, -24.1, -10.708, -26.662, -22.179]


def t_ln_t(t):
    """t ln t, and its limit 0 at t = 0."""
    return sp.Piecewise((t * sp.log(t), t > 0), (0, True))


def build():
    p = Problem('G14')
    x = p.variables('X', 10, lower=0, upper=10)
    total = sum(x)
    p.minimize(sum(c * xi for c, xi in zip(C, x)) + sum(t_ln_t(xi) for xi in x) - t_ln_t(total))
    x1, x2, x3, x4, x5, x6, x7, x8, x9, x10 = x
    p.equality(x1 + 2 * x2 + 2 * x3 + x6 + x10 - 2, name='H1')
    p.equality(x4 + 2 * x5 + x6 + x7 - 1, name='H2')
    p.equality(x3 + x7 + x8 + 2 * x9 + x10 - 1, name='H3')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
