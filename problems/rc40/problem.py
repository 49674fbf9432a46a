#!/usr/bin/env python3
"""CEC 2020 real-world problem RC40: the power flow of an islanded 38-bus
microgrid with droop-controlled generators, solved as an optimisation problem
(Kumar et al. 2020, problem 40), as the suite's reference code evaluates it.

The buses have voltages V_k = VR_k + j VM_k; bus 1 is the angle reference, its
voltage real: V_1 = VR1 + 1e-5. The frequency W (per unit) is a variable too:
each branch's reactance scales with it, so the admittance matrix is Y(W)
(network.txt: the branches and the loads). The generators on buses 34..38 follow
their droop lines, P = CP_k (1 - W) and Q = CQ_k (1 - |V_k|), with
CP = 1 / (5.102e-3, 1.502e-3, 4.506e-3, 2.253e-3, 2.253e-3) and
CQ = 1 / (0.05, 0.03, 0.05, 0.01, 0.1); the loads depend on the voltage,
PL_k = P0_k |V_k|^alpha_k and QL_k = Q0_k |V_k|^beta_k. With the injected powers
P_k = CP_k (1 - W) - PL_k, Q_k = CQ_k (1 - |V_k|) - QL_k (CP = CQ = 0 on buses
1..33) and I = Y(W) V:

    minimise    sum_{k=1..38} (P_k - Re(V_k conj(I_k)))^2 + sum_{k=1..38} (Q_k - Im(V_k conj(I_k)))^2
    subject to, for k = 1..38, in this order:
        DIR_k = Re(I_k) - Re(conj((P_k + j Q_k) / V_k)) = 0    (38 equalities)
        DIM_k = Im(I_k) - Im(conj((P_k + j Q_k) / V_k)) = 0    (38)
    with VR_k, VM_k in [-1, 1] and W, VR1 in [0, 2].

The objective is the squared power mismatch, zero wherever the equalities hold
(best known value 0).

Variables in the reference code's order: VR2..VR38, VM2..VM38, W, VR1 (76).
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run                                          # noqa: E402
from powergrid import IslandedFlow, network_table                          # noqa: E402

BUSES = 38
DROOP_P = {34: 1 / 5.102e-03, 35: 1 / 1.502e-03, 36: 1 / 4.506e-03,
           37: 1 / 2.253e-03, 38: 1 / 2.253e-03}
DROOP_Q = {34: 1 / 0.05, 35: 1 / 0.03, 36: 1 / 0.05, 37: 1 / 0.01, 38: 1 / 0.1}
REFERENCE_OFFSET = 1e-5             # V_1 = VR1 + 1e-5


def build():
    p = Problem('RC40')
    # The grid point nearest the power-flow solution must meet every equality
    # within 1e-4 (a tenth of the annealing's band): at this grid it does
    # (largest |h| 6.6e-05); at the default 10000 per unit it does not.
    p.grid(points_per_unit=10_000_000)
    network = network_table(p, HERE, 'network.txt')
    flow = IslandedFlow(p, network, BUSES, REFERENCE_OFFSET)              # flat start
    flow.droop(DROOP_P, DROOP_Q)
    p.minimize(flow.squared_mismatch(), name='MISMATCH')
    flow.state_balances(p)
    return p


if __name__ == '__main__':
    sys.exit(run(build))
