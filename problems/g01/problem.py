#!/usr/bin/env python3
"""g01 of the CEC 2006 constrained suite (Liang et al. 2006): 13 variables,
a quadratic objective and 9 linear inequalities.

    minimise  5 sum_{i=1..4} x_i - 5 sum_{i=1..4} x_i^2 - sum_{i=5..13} x_i
    g1 = 2x1 + 2x2 + x10 + x11 - 10 <= 0     g4 = -8x1 + x10 <= 0
    g2 = 2x1 + 2x3 + x10 + x12 - 10 <= 0     g5 = -8x2 + x11 <= 0
    g3 = 2x2 + 2x3 + x11 + x12 - 10 <= 0     g6 = -8x3 + x12 <= 0
    g7 = -2x4 - x5 + x10 <= 0   g8 = -2x6 - x7 + x11 <= 0   g9 = -2x8 - x9 + x12 <= 0
    0 <= x_i <= 1 (i = 1..9, 13),  0 <= x_i <= 100 (i = 10, 11, 12)

    problem.py [--output FILE] [--compare FILE]
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from problem_writer import Problem, run_description  # noqa: E402


def build():
    p = Problem('G01')
    x = [None] + [p.variable('X%d' % i, 0.0, 100.0 if i in (10, 11, 12) else 1.0)
                  for i in range(1, 14)]
    sq = p.element_type('SQ', variables=1, value=lambda y, _: y[0] * y[0])
    squares = [p.element('SQ%d' % i, sq, [x[i]]) for i in range(1, 5)]
    p.objective('OBJ', linear=[(x[i], 5.0) for i in range(1, 5)] +
                [(x[i], -1.0) for i in range(5, 14)],
                elements=[(e, -5.0) for e in squares])
    pairs = ((1, 2, 10, 11), (1, 3, 10, 12), (2, 3, 11, 12))
    for k, (a, b, c, d) in enumerate(pairs, 1):
        p.inequality('G%d' % k, linear={x[a]: 2.0, x[b]: 2.0, x[c]: 1.0, x[d]: 1.0}, upper=10.0)
    for k, (a, c) in enumerate(((1, 10), (2, 11), (3, 12)), 4):
        p.inequality('G%d' % k, linear={x[a]: -8.0, x[c]: 1.0}, upper=0.0)
    for k, (a, b, c) in enumerate(((4, 5, 10), (6, 7, 11), (8, 9, 12)), 7):
        p.inequality('G%d' % k, linear={x[a]: -2.0, x[b]: -1.0, x[c]: 1.0}, upper=0.0)
    return p


if __name__ == '__main__':
    sys.exit(run_description(build))
