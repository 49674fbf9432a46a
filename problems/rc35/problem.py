#!/usr/bin/env python3
"""CEC 2020 real-world problem RC35: sizing of distributed generators on a 38-bus
distribution network for the least active power loss (Kumar et al. 2020,
problem 35), as the suite's reference code evaluates it.

Bus 1 is the substation, its voltage fixed at V_1 = 1. The other 37 buses have
voltages V_k = VR_k + j VM_k and injected powers P_k + j Q_k; the generators on
buses 34..38 produce the active power PG_k. The loads depend on the voltage:
PL_k = P0_k |V_k|^alpha_k, QL_k = Q0_k |V_k|^beta_k (network.txt: the admittance
matrix Y and the loads). With I = Y V:

    minimise    Re(V_1 conj(I_1)) + sum_{k=2..38} P_k          (the loss)
    subject to, for k = 2..38, in this order:
        DIR_k = Re(I_k) - Re(conj((P_k + j Q_k) / V_k)) = 0    (37 equalities)
        DIM_k = Im(I_k) - Im(conj((P_k + j Q_k) / V_k)) = 0    (37)
        DP_k  = P_k - PG_k + PL_k = 0                          (37)
        DQ_k  = Q_k + QL_k = 0                                 (37)
    with every variable in [-1, 1] (PG_k = 0 on buses 2..33).

Variables in the reference code's order: VR2..VR38, VM2..VM38, P2..P38,
Q2..Q38, PG34..PG38 (153).
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run                                          # noqa: E402
from powergrid import InjectionFlow, network_table, voltage_dependent_loads  # noqa: E402

BUSES = 38
GENERATORS = (34, 35, 36, 37, 38)


def build():
    p = Problem('RC35')
    # The grid point nearest the power-flow solution must meet every equality
    # within 1e-4 (a tenth of the annealing's band): at this grid it does
    # (largest |h| 9.6e-06); at the default 10000 per unit it does not.
    p.grid(points_per_unit=100_000_000)
    network = network_table(p, HERE, 'network.txt')
    flow = InjectionFlow(p, network, range(2, BUSES + 1), GENERATORS,   # flat start
                         reactive=False)
    demand = voltage_dependent_loads(network, flow.buses, flow.vr, flow.vm)

    slack_power = flow.currents[0][0]             # Re(V_1 conj(I_1)) with V_1 = 1
    p.minimize(slack_power + sum(flow.injected_p.values()), name='LOSS')
    flow.state_balances(p, demand)
    return p


if __name__ == '__main__':
    sys.exit(run(build))
