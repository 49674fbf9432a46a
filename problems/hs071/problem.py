#!/usr/bin/env python3
"""Problem 71 of Hock and Schittkowski (1981): the worked example of
docs/own-problem.md.

    minimise  x1 x4 (x1 + x2 + x3) + x3
    subject to  x1 x2 x3 x4 >= 25
                x1^2 + x2^2 + x3^2 + x4^2 = 40
                1 <= x1, x2, x3, x4 <= 5,   start (1, 5, 5, 1)

    problem.py [--output FILE] [--compare FILE]
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from problem_writer import Problem, run_description  # noqa: E402


def build():
    p = Problem('HS071')
    x = [p.variable('X%d' % i, 1.0, 5.0, start=s) for i, s in enumerate((1.0, 5.0, 5.0, 1.0), 1)]

    # Element types, numbered 1, 2, 3 in this order; elfuns.cpp evaluates them.
    obj = p.element_type('OBJ', variables=4,
                         value=lambda y, _: y[0] * y[3] * (y[0] + y[1] + y[2]))
    prod = p.element_type('PROD4', variables=4,
                          value=lambda y, _: y[0] * y[1] * y[2] * y[3])
    sq = p.element_type('SQ', variables=1, value=lambda y, _: y[0] * y[0])

    # Groups: value = scale * (linear part + weighted elements - constant).
    p.objective('OBJ', linear={x[2]: 1.0}, elements=[p.element('EOBJ', obj, x)])
    p.inequality('PRODUCT', elements=[p.element('EPROD', prod, x)], lower=25.0)
    p.equality('SPHERE', constant=40.0,
               elements=[p.element('SQ%d' % i, sq, [v]) for i, v in enumerate(x, 1)])
    return p


if __name__ == '__main__':
    sys.exit(run_description(build))
