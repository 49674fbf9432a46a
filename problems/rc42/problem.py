#!/usr/bin/env python3
"""CEC 2020 real-world problem RC42: the droop gains of an islanded 38-bus
microgrid's generators set for the least active power loss (Kumar et al. 2020,
problem 42), as the suite's reference code evaluates it.

The buses have voltages V_k = VR_k + j VM_k; bus 1 is the angle reference, its
voltage real: V_1 = VR1 + 1e-5. The frequency W (per unit) is a variable too:
each branch's reactance scales with it, so the admittance matrix is Y(W)
(network.txt: the branches and the loads). The generators on buses 34..38 follow
their droop lines, P = CP_k (1 - W) and Q = CQ_k (1 - |V_k|), with the droop
gains CP_k, CQ_k the decisions; the loads depend on the voltage,
PL_k = P0_k |V_k|^alpha_k and QL_k = Q0_k |V_k|^beta_k. With the injected powers
P_k = CP_k (1 - W) - PL_k, Q_k = CQ_k (1 - |V_k|) - QL_k (CP = CQ = 0 on buses
1..33) and I = Y(W) V:

    minimise    sum_{k=1..38} P_k                          (the active loss)
    subject to, for k = 1..38, in this order:
        DIR_k = Re(I_k) - Re(conj((P_k + j Q_k) / V_k)) = 0    (38 equalities)
        DIM_k = Im(I_k) - Im(conj((P_k + j Q_k) / V_k)) = 0    (38)
    with VR_k, VM_k in [-1, 1], W and VR1 in [0, 2], CP_k and CQ_k in [0, 500].

Variables in the reference code's order: VR2..VR38, VM2..VM38, W, VR1,
CP34..CP38, CQ34..CQ38 (86).
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run                                          # noqa: E402
from powergrid import IslandedFlow, droop_gain_variables, network_table    # noqa: E402

BUSES = 38
GENERATORS = (34, 35, 36, 37, 38)
REFERENCE_OFFSET = 1e-5             # V_1 = VR1 + 1e-5
DROOP_UPPER = 500                   # the droop gains in [0, 500], starting at the middle


def build():
    p = Problem('RC42')
    # The grid point nearest the power-flow solution must meet every equality
    # within 1e-4 (a tenth of the annealing's band): at this grid it does
    # (largest |h| 9.9e-05); at the default 10000 per unit it does not.
    p.grid(points_per_unit=10_000_000)
    network = network_table(p, HERE, 'network.txt')
    flow = IslandedFlow(p, network, BUSES, REFERENCE_OFFSET)              # flat start
    flow.droop(*droop_gain_variables(p, GENERATORS, DROOP_UPPER, start=DROOP_UPPER / 2))
    p.minimize(sum(flow.injected_p.values()), name='LOSS')
    flow.state_balances(p)
    return p


if __name__ == '__main__':
    sys.exit(run(build))
