#!/usr/bin/env python3
"""CEC 2020 real-world problem RC37: optimal power flow of a 30-bus transmission
network, minimising the active power loss (Kumar et al. 2020, problem 37), as
the suite's reference code evaluates it.

Bus 1 is the slack bus, its voltage fixed at V_1 = 1. The other 29 buses have
voltages V_k = VR_k + j VM_k, injected powers P_k + j Q_k, and the generators
at buses 2, 13, 22, 23, 27 produce PG_k + j QG_k. With I = Y V (network.txt:
the admittance matrix Y and the loads PL_k + j QL_k):

    minimise    Re(V_1 conj(I_1)) + sum_{k=2..30} P_k          (the loss)
    subject to, for k = 2..30, in this order:
        DIR_k = Re(I_k) - Re(conj((P_k + j Q_k) / V_k)) = 0    (29 equalities)
        DIM_k = Im(I_k) - Im(conj((P_k + j Q_k) / V_k)) = 0    (29)
        DP_k  = P_k - PG_k + PL_k = 0                          (29)
        DQ_k  = Q_k - QG_k + QL_k = 0                          (29)
    with every variable in [-1, 1] (PG_k = QG_k = 0 at buses without a generator).

Variables in the reference code's order: VR2..VR30, VM2..VM30, P2..P30,
Q2..Q30, PG2 PG13 PG22 PG23 PG27, QG2 QG13 QG22 QG23 QG27 (126).
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run                                      # noqa: E402
from powergrid import InjectionFlow, network_table                     # noqa: E402

BUSES = 30
GENERATORS = (2, 13, 22, 23, 27)


def build():
    p = Problem('RC37')
    # The grid point nearest the power-flow solution must meet every equality
    # within 1e-4 (a tenth of the annealing's band): at this grid it does
    # (largest |h| 4.1e-05); at the default 10000 per unit it does not.
    p.grid(points_per_unit=1_000_000)
    network = network_table(p, HERE, 'network.txt')
    flow = InjectionFlow(p, network, range(2, BUSES + 1), GENERATORS)     # flat start

    slack_power = flow.currents[0][0]             # Re(V_1 conj(I_1)) with V_1 = 1
    p.minimize(slack_power + sum(flow.injected_p.values()), name='LOSS')
    flow.state_balances(p, {k: network.load(k, 2) for k in flow.buses})
    return p


if __name__ == '__main__':
    sys.exit(run(build))
