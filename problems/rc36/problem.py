#!/usr/bin/env python3
"""CEC 2020 real-world problem RC36: sizing of distributed generators and
capacitors on a 38-bus distribution network for the least loss, active and
reactive together (Kumar et al. 2020, problem 36), as the suite's reference code
evaluates it.

Bus 1 is the substation, its voltage fixed at V_1 = 1. The other 37 buses have
voltages V_k = VR_k + j VM_k and injected powers P_k + j Q_k; the generators and
capacitors on buses 34..38 produce PG_k + j QG_k. The loads depend on the voltage:
PL_k = P0_k |V_k|^alpha_k, QL_k = Q0_k |V_k|^beta_k (network.txt: the admittance
matrix Y and the loads). With I = Y V:

    minimise    0.5 (Re(V_1 conj(I_1)) + sum_{k=2..38} P_k)
              + 0.5 (Im(V_1 conj(I_1)) + sum_{k=2..38} Q_k)
    subject to, for k = 2..38, in this order:
        DIR_k = Re(I_k) - Re(conj((P_k + j Q_k) / V_k)) = 0    (37 equalities)
        DIM_k = Im(I_k) - Im(conj((P_k + j Q_k) / V_k)) = 0    (37)
        DP_k  = P_k - PG_k + PL_k = 0                          (37)
        DQ_k  = Q_k - QG_k + QL_k = 0                          (37)
    with every variable in [-1, 1] (PG_k = QG_k = 0 on buses 2..33).

Variables in the reference code's order: VR2..VR38, VM2..VM38, P2..P38,
Q2..Q38, PG34..PG38, QG34..QG38 (158).
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
    p = Problem('RC36')
    # The grid point nearest the power-flow solution must meet every equality
    # within 1e-4 (a tenth of the annealing's band): at this grid it does
    # (largest |h| 7.0e-05); at the default 10000 per unit it does not.
    p.grid(points_per_unit=10_000_000)
    network = network_table(p, HERE, 'network.txt')
    flow = InjectionFlow(p, network, range(2, BUSES + 1), GENERATORS)     # flat start
    demand = voltage_dependent_loads(network, flow.buses, flow.vr, flow.vm)

    slack_p, slack_q = flow.currents[0][0], -flow.currents[1][0]   # V_1 conj(I_1) with V_1 = 1
    p.minimize(0.5 * (slack_p + sum(flow.injected_p.values()))
               + 0.5 * (slack_q + sum(flow.injected_q.values())), name='LOSS')
    flow.state_balances(p, demand)
    return p


if __name__ == '__main__':
    sys.exit(run(build))
