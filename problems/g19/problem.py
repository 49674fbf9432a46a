#!/usr/bin/env python3
"""g19 of the CEC 2006 constrained suite (Liang et al. 2006): 15 variables,
a cubic objective and 5 quadratic inequalities (data of the report's Table 1).

    minimise  f = sum_{j=1..5} sum_{i=1..5} c_ij x(10+i) x(10+j)
                  + 2 sum_{j=1..5} d_j x(10+j)^3 - sum_{i=1..10} b_i x_i
    g_j = -2 sum_{i=1..5} c_ij x(10+i) - 3 d_j x(10+j)^2 - e_j
          + sum_{i=1..10} a_ij x_i <= 0          (j = 1..5)
    0 <= x_i <= 10  (i = 1..15)
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402

B = [-40, -2, -0.25, -4, -4, -1, -40, -60, 5, 1]
E = [-15, -27, -36, -18, -12]
D = [4, 8, 10, 6, 2]
C = [[30, -20, -10, 32, -10],      # C[i][j] = c_(i+1)(j+1)
     [-20, 39, -6, -31, 32],
     [-10, -6, 10, -6, -10],
     [32, -31, -6, 39, -20],
     [-10, 32, -10, -20, 30]]
A = [[-16, 2, 0, 1, 0],            # A[i][j] = a_(i+1)(j+1)
     [0, -2, 0, 0.4, 2],
     [-3.5, 0, 2, 0, 0],
     [0, -2, 0, -4, -1],
     [0, -9, -2, 1, -2.8],
     [2, 0, -4, 0, 0],
     [-1, -1, -1, -1, -1],
     [-1, -2, -3, -2, -1],
     [1, 2, 3, 4, 5],
     [1, 1, 1, 1, 1]]


def build():
    p = Problem('G19')
    x = p.variables('X', 15, lower=0, upper=10)
    u, w = x[:10], x[10:]          # x1..x10 and x11..x15
    p.minimize(sum(C[i][j] * w[i] * w[j] for j in range(5) for i in range(5))
               + 2 * sum(D[j] * w[j]**3 for j in range(5))
               - sum(B[i] * u[i] for i in range(10)))
    for j in range(5):
        p.inequality(-2 * sum(C[i][j] * w[i] for i in range(5)) - 3 * D[j] * w[j]**2 - E[j]
                     + sum(A[i][j] * u[i] for i in range(10)) <= 0, name='G%d' % (j + 1))
    return p


if __name__ == '__main__':
    sys.exit(run(build))
