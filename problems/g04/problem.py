#!/usr/bin/env python3
"""g04 of the CEC 2006 constrained suite (Liang et al. 2006): 5 variables,
a quadratic objective and 6 quadratic inequalities (three functions, each
bounded on both sides, written as the report writes them).

    minimise  5.3578547 x3^2 + 0.8356891 x1 x5 + 37.293239 x1 - 40792.141
    g1 =  85.334407 + 0.0056858 x2 x5 + 0.0006262 x1 x4 - 0.0022053 x3 x5 - 92 <= 0
    g2 = -85.334407 - 0.0056858 x2 x5 - 0.0006262 x1 x4 + 0.0022053 x3 x5 <= 0
    g3 =  80.51249 + 0.0071317 x2 x5 + 0.0029955 x1 x2 + 0.0021813 x3^2 - 110 <= 0
    g4 = -80.51249 - 0.0071317 x2 x5 - 0.0029955 x1 x2 - 0.0021813 x3^2 + 90 <= 0
    g5 =  9.300961 + 0.0047026 x3 x5 + 0.0012547 x1 x3 + 0.0019085 x3 x4 - 25 <= 0
    g6 = -9.300961 - 0.0047026 x3 x5 - 0.0012547 x1 x3 - 0.0019085 x3 x4 + 20 <= 0
    78 <= x1 <= 102,  33 <= x2 <= 45,  27 <= x3, x4, x5 <= 45
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run  # noqa: E402


def build():
    p = Problem('G04')
    x1, x2, x3, x4, x5 = p.variables('X', 5, lower=[78, 33, 27, 27, 27],
                                     upper=[102, 45, 45, 45, 45])
    p.minimize(5.3578547*x3**2 + 0.8356891*x1*x5 + 37.293239*x1 - 40792.141)
    u = 85.334407 + 0.0056858*x2*x5 + 0.0006262*x1*x4 - 0.0022053*x3*x5
    v = 80.51249 + 0.0071317*x2*x5 + 0.0029955*x1*x2 + 0.0021813*x3**2
    w = 9.300961 + 0.0047026*x3*x5 + 0.0012547*x1*x3 + 0.0019085*x3*x4
    p.inequality(u - 92 <= 0, name='G1')
    p.inequality(-u <= 0, name='G2')
    p.inequality(v - 110 <= 0, name='G3')
    p.inequality(-v + 90 <= 0, name='G4')
    p.inequality(w - 25 <= 0, name='G5')
    p.inequality(-w + 20 <= 0, name='G6')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
