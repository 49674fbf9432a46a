#!/usr/bin/env python3
"""RC03 of the CEC 2020 real-world constrained suite: optimal operation of an alkylation unit.

The profit of an alkylation unit (olefin feed, isobutane recycle, acid addition, ...) is
maximised; here, as in the suite's reference code, its negative is minimised. 7 variables,
14 inequalities, no equality:

    minimise  -1.715 x1 - 0.035 x1 x6 - 4.0565 x3 - 10 x2 + 0.063 x3 x5
    g1  = 0.0059553571 x6^2 x1 + 0.88392857 x3 - 0.1175625 x6 x1 - x1            <= 0
    g2  = 1.1088 x1 + 0.1303533 x1 x6 - 0.0066033 x1 x6^2 - x3                   <= 0
    g3  = 6.66173269 x6^2 + 172.39878 x5 - 56.596669 x4 - 191.20592 x6 - 10000  <= 0
    g4  = 1.08702 x6 + 0.32175 x4 - 0.03762 x6^2 - x5 + 56.85075                <= 0
    g5  = 0.006198 x7 x4 x3 + 2462.3121 x2 - 25.125634 x2 x4 - x3 x4             <= 0
    g6  = 161.18996 x3 x4 + 5000 x2 x4 - 489510 x2 - x3 x4 x7                    <= 0
    g7  = 0.33 x7 - x5 + 44.333333                                                <= 0
    g8  = 0.022556 x5 - 0.007595 x7 - 1                                           <= 0
    g9  = 0.00061 x3 - 0.0005 x1 - 1                                              <= 0
    g10 = 0.819672 x1 - x3 + 0.819672                                             <= 0
    g11 = 24500 x2 - 250 x2 x4 - x3 x4                                            <= 0
    g12 = 1020.4082 x4 x2 + 1.2244898 x3 x4 - 100000 x2                           <= 0
    g13 = 6.25 x1 x6 + 6.25 x1 - 7.625 x3 - 100000                                <= 0
    g14 = 1.22 x3 - x6 x1 - x1 + 1                                                <= 0
    1000 <= x1 <= 2000, 0 <= x2 <= 100, 2000 <= x3 <= 4000, 0 <= x4, x5 <= 100,
    0 <= x6 <= 20, 0 <= x7 <= 200
"""
import os, sys
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run          # noqa: E402

LOWER = [1000, 0, 2000, 0, 0, 0, 0]
UPPER = [2000, 100, 4000, 100, 100, 20, 200]


def build():
    p = Problem('RC03')
    x1, x2, x3, x4, x5, x6, x7 = p.variables('X', 7, lower=LOWER, upper=UPPER)
    p.minimize(-1.715*x1 - 0.035*x1*x6 - 4.0565*x3 - 10.0*x2 + 0.063*x3*x5, name='NEGPROFIT')
    p.inequality(0.0059553571*x6**2*x1 + 0.88392857*x3 - 0.1175625*x6*x1 - x1 <= 0, name='G1')
    p.inequality(1.1088*x1 + 0.1303533*x1*x6 - 0.0066033*x1*x6**2 - x3 <= 0, name='G2')
    p.inequality(6.66173269*x6**2 + 172.39878*x5 - 56.596669*x4 - 191.20592*x6 - 10000 <= 0,
                 name='G3')
    p.inequality(1.08702*x6 + 0.32175*x4 - 0.03762*x6**2 - x5 + 56.85075 <= 0, name='G4')
    p.inequality(0.006198*x7*x4*x3 + 2462.3121*x2 - 25.125634*x2*x4 - x3*x4 <= 0, name='G5')
    p.inequality(161.18996*x3*x4 + 5000.0*x2*x4 - 489510.0*x2 - x3*x4*x7 <= 0, name='G6')
    p.inequality(0.33*x7 - x5 + 44.333333 <= 0, name='G7')
    p.inequality(0.022556*x5 - 0.007595*x7 - 1.0 <= 0, name='G8')
    p.inequality(0.00061*x3 - 0.0005*x1 - 1.0 <= 0, name='G9')
    p.inequality(0.819672*x1 - x3 + 0.819672 <= 0, name='G10')
    p.inequality(24500.0*x2 - 250.0*x2*x4 - x3*x4 <= 0, name='G11')
    p.inequality(1020.4082*x4*x2 + 1.2244898*x3*x4 - 100000*x2 <= 0, name='G12')
    p.inequality(6.25*x1*x6 + 6.25*x1 - 7.625*x3 - 100000 <= 0, name='G13')
    p.inequality(1.22*x3 - x6*x1 - x1 + 1.0 <= 0, name='G14')
    return p


if __name__ == '__main__':
    sys.exit(run(build))
