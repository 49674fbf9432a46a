#!/usr/bin/env python3
"""g20 of the CEC 2006 constrained suite (Liang et al. 2006): 24 variables,
a linear objective, 6 rational inequalities, 12 rational and 2 linear
equalities (data of the report's Table 2).

    minimise  f = sum_{i=1..24} a_i x_i
    g_i = (x_i + x(i+12)) / (sum_{j=1..24} x_j + e_i) <= 0       (i = 1, 2, 3)
    g_i = (x(i+3) + x(i+15)) / (sum_{j=1..24} x_j + e_i) <= 0    (i = 4, 5, 6)
    h_i = x(i+12) / (b(i+12) S2) - c_i x_i / (40 b_i S1) = 0    (i = 1..12)
    h13 = sum_{i=1..24} x_i - 1 = 0
    h14 = sum_{i=1..12} x_i / d_i + k sum_{i=13..24} x_i / b_i - 1.671 = 0
    S1 = sum_{j=1..12} x_j / b_j,   S2 = sum_{j=13..24} x_j / b_j,
    k = (0.7302)(530)(14.7 / 40),   0 <= x_i <= 10  (i = 1..24)

The quotients of h_i are shares: x(i+12) / b(i+12) is one of the terms of
S2 and x_i / b_i one of S1, so each quotient lies between 0 and its factor
(1 and c_i / 40). At S2 = 0 (x13 = ... = x24 = 0) or S1 = 0 (x1 = ... =
x12 = 0), where the definition divides 0 by 0, the quotient is taken as 0:
the evaluation stays finite on the whole published box. The inequalities
hold only where their numerators vanish: the published best-known point
violates g1 by about 0.14, and no feasible point is known.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402
import sympy as sp  # noqa: E402

A = [0.0693, 0.0577, 0.05, 0.2, 0.26, 0.55, 0.06, 0.1, 0.12, 0.18, 0.1, 0.09] * 2
B = [44.094, 58.12, 58.12, 137.4, 120.9, 170.9, 62.501, 84.94, 133.425, 82.507,
     46.07, 60.097] * 2
C = [123.7, 31.7, 45.7, 14.7, 84.7, 27.7, 49.7, 7.1, 2.1, 17.7, 0.85, 0.64]
D = [31.244, 36.12, 34.784, 92.7, 82.7, 91.6, 56.708, 82.7, 80.8, 64.517, 49.4, 49.1]
E = [0.1, 0.3, 0.4, 0.3, 0.6, 0.3]
K = sp.Rational(7302, 10000) * 530 * sp.Rational(147, 400)


def share(part, whole):
    """part / whole for 0 <= part <= whole, and 0 where whole = 0."""
    return sp.Piecewise((part / whole, whole > 0), (0, True))


def build():
    p = Problem('G20')
    x = p.variables('X', 24, lower=0, upper=10)
    p.minimize(sum(a * xi for a, xi in zip(A, x)))
    total = sum(x)
    s1 = sum(x[j] / B[j] for j in range(12))
    s2 = sum(x[j] / B[j] for j in range(12, 24))
    for i in range(12):
        p.equality(share(x[i + 12] / B[i + 12], s2)
                   - C[i] / 40 * share(x[i] / B[i], s1), name='H%d' % (i + 1))
    p.equality(total - 1, name='H13')
    p.equality(sum(x[i] / D[i] for i in range(12)) + K * s2 - 1.671, name='H14')
    for i in range(3):
        p.inequality((x[i] + x[i + 12]) / (total + E[i]) <= 0, name='G%d' % (i + 1))
    for i in range(3, 6):
        p.inequality((x[i + 3] + x[i + 15]) / (total + E[i]) <= 0, name='G%d' % (i + 1))
    return p


if __name__ == '__main__':
    sys.exit(run(build))
