#!/usr/bin/env python3
"""A test problem of the formula layer: every function the generated code
evaluates, numbers the data file would round, parameters, shared elements,
a maximised objective, an equality and a two-sided inequality.

    problem.py [--output FILE] [--compare FILE] [--summary] [--generate DIR]
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402
import sympy as sp  # noqa: E402


def build():
    p = Problem('KINDS')
    a, b, c, d = p.variables('X', 4, lower=[0.5, -2, -1, 1], upper=[2, 2, 1, 3])
    p.maximize(-(sp.sqrt(a) + sp.exp(-b/3) + sp.log(d) + sp.sin(2*b) + sp.cos(c)
                 + sp.tan(c/2) + sp.atan(b) + sp.sinh(c) + sp.cosh(c/2) + sp.tanh(b)
                 + sp.erf(c) + sp.asin(c/2) + sp.acos(c/3) + sp.asinh(b) + sp.atan2(b, d)
                 + sp.pi*a**2*d + (b - sp.Rational(1, 3))**2 + 0.1*(c - 0.25)**2
                 + a**-1 + d**1.5 + a**sp.Rational(1, 3)))
    p.inequality(sp.Abs(b - c) + sp.Max(a, d, 2) - sp.Min(b, c) + sp.sign(b)
                 + sp.Piecewise((b**2, b > 0), (-b, True)), upper=12, name='KINKS')
    p.inequality((b - sp.Rational(1, 3))**2 + 3*c, lower=-4, upper=9, name='RANGE')
    p.equality(a*b*c*d + sp.sqrt(a**2 + b**2 + c**2 + d**2)/7, sp.pi, name='NESTED')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
