#!/usr/bin/env python3
"""g08 of the CEC 2006 constrained suite (Liang et al. 2006): 2 variables,
a trigonometric quotient as objective and 2 quadratic inequalities.

                 sin^3(2 pi x1) sin(2 pi x2)
    minimise  -  ---------------------------
                      x1^3 (x1 + x2)
    g1 = x1^2 - x2 + 1 <= 0
    g2 = 1 - x1 + (x2 - 4)^2 <= 0
    0 <= x1 <= 10,  0 <= x2 <= 10

The published lower bounds 0 are kept, and the objective is written as
-s(x1)^3 q(x1, x2) so that it is finite on the whole box:
  s(x1) = sin(2 pi x1) / x1 for x1 > 0; at x1 = 0 (a removable singularity)
          its Taylor polynomial 2 pi - (2 pi)^3 x1^2 / 6, which has the
          function's value, slope and curvature there;
  q(x1, x2) = sin(2 pi x2) / (x1 + x2) where x1 + x2 > 0; at the origin,
          where the quotient has no limit, 0, its value on the whole edge
          x2 = 0.
Where x1 > 0 this is the published quotient.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402
import sympy as sp  # noqa: E402


def build():
    p = Problem('G08')
    x1, x2 = p.variables('X', 2, lower=0, upper=10)
    a = 2 * sp.pi
    s = sp.Piecewise((sp.sin(a * x1) / x1, x1 > 0), (a - a**3 * x1**2 / 6, True))
    q = sp.Piecewise((sp.sin(a * x2) / (x1 + x2), x1 + x2 > 0), (0, True))
    p.minimize(-s**3 * q)
    p.inequality(x1**2 - x2 + 1 <= 0, name='G1')
    p.inequality(1 - x1 + (x2 - 4)**2 <= 0, name='G2')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
