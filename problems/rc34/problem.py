#!/usr/bin/env python3
"""CEC 2020 real-world problem RC34: sizing of single-phase distributed generators
with reactive support so that the currents drawn from the substation are
balanced (Kumar et al. 2020, problem 34), as the suite's reference code
evaluates it.

The network's 30 nodes are the phases a, b, c of ten buses; nodes 1, 2, 3 are
the substation's phases, their voltages fixed at 1, a and a^2 with the phase
rotation a = exp(j 4 pi / 3) = -1/2 - j sqrt(3)/2. The other 27 nodes have
voltages V_k = VR_k + j VM_k and injected powers P_k + j Q_k; single-phase
generators on nodes 9, 16, 21, 24, 30 produce PG_k + j QG_k. With I = Y V
(network.txt: the admittance matrix Y and the nodes' powers PL_k + j QL_k,
negative for a load):

    minimise    |I_1 + I_2 + I_3| + |I_1 + a I_2 + a^2 I_3|
                (the zero- and negative-sequence currents at the substation, times 3)
    subject to, for k = 4..30, in this order:
        DIR_k = Re(I_k) - Re(conj((P_k + j Q_k) / V_k)) = 0    (27 equalities)
        DIM_k = Im(I_k) - Im(conj((P_k + j Q_k) / V_k)) = 0    (27)
        DP_k  = P_k - PG_k - PL_k = 0                          (27)
        DQ_k  = Q_k - QG_k - QL_k = 0                          (27)
    with every variable in [-1, 1] (PG_k = QG_k = 0 on the other nodes).

The balanced optimum has the objective 0, where the objective has no gradient.

Variables in the reference code's order: VR4..VR30, VM4..VM30, P4..P30,
Q4..Q30, PG9 PG16 PG21 PG24 PG30, QG9 QG16 QG21 QG24 QG30 (118).
"""

import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run                                      # noqa: E402
from powergrid import InjectionFlow, network_table                     # noqa: E402

import sympy as sp                                                     # noqa: E402

NODES = 30
GENERATORS = (9, 16, 21, 24, 30)
ROTATION = (-0.5, -math.sqrt(3) / 2)        # a = exp(j 4 pi / 3); a^2 is its conjugate


def rotate(real, imaginary, turns):
    """(real + j imaginary) times a^turns, as its two parts."""
    c, s = ROTATION[0], ROTATION[1] if turns == 1 else -ROTATION[1]
    return c * real - s * imaginary, s * real + c * imaginary


def build():
    p = Problem('RC34')
    # The grid point nearest the power-flow solution must meet every equality
    # within 1e-4 (a tenth of the annealing's band): at this grid it does
    # (largest |h| 2.1e-05); at the default 10000 per unit it does not.
    p.grid(points_per_unit=1_000_000)
    network = network_table(p, HERE, 'network.txt')
    # Node k carries phase (k - 1) mod 3; every voltage starts at its phase's
    # substation voltage (the flat start of a three-phase network).
    substation = [(1.0, 0.0), ROTATION, (ROTATION[0], -ROTATION[1])]
    flow = InjectionFlow(p, network, range(4, NODES + 1), GENERATORS, fixed=substation,
                         start=lambda k: substation[(k - 1) % 3])
    ir, im = flow.currents

    zero_r, zero_m = ir[0] + ir[1] + ir[2], im[0] + im[1] + im[2]
    second, third = rotate(ir[1], im[1], 1), rotate(ir[2], im[2], 2)
    negative_r, negative_m = ir[0] + second[0] + third[0], im[0] + second[1] + third[1]
    p.minimize(sp.sqrt(zero_r**2 + zero_m**2) + sp.sqrt(negative_r**2 + negative_m**2),
               name='UNBALANCE')
    # The table gives the nodes' powers, negative for a load: the demand is their negative.
    flow.state_balances(p, {k: tuple(-v for v in network.load(k, 2)) for k in flow.buses})
    return p


if __name__ == '__main__':
    sys.exit(run(build))
