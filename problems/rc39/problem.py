#!/usr/bin/env python3
"""CEC 2020 real-world problem RC39: optimal power flow of a 30-bus transmission
network, minimising fuel cost and active power loss together (Kumar et al. 2020,
problem 39), as the suite's reference code evaluates it.

The variables and the 116 equalities are those of RC37 (below); the objective is RC38's
fuel cost plus 0.75 times the loss written as generation minus load:

    sum_i (b_i PG_i + c_i PG_i^2) + 0.75 (sum_i PG_i - sum_{k=1..30} PL_k),

over the generators i at buses 1, 2, 13, 22, 23, 27 (b, c as in RC38), where the
slack generator's output PG_1 is Re(V_1 conj(I_1)).

Bus 1 is the slack bus, its voltage fixed at V_1 = 1. The other 29 buses have
voltages V_k = VR_k + j VM_k, injected powers P_k + j Q_k, and the generators
at buses 2, 13, 22, 23, 27 produce PG_k + j QG_k. With I = Y V (network.txt:
the admittance matrix Y and the loads PL_k + j QL_k):

    the equalities, for k = 2..30, in this order:
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
from powergrid import InjectionFlow, fuel_cost, network_table          # noqa: E402

BUSES = 30
GENERATORS = (2, 13, 22, 23, 27)
LINEAR_COST = (2, 1.75, 1, 3.25, 3, 3)              # slack generator (bus 1) first
QUADRATIC_COST = (0.02, 0.0175, 0.0625, 0.00834, 0.025, 0.0025)


def build():
    p = Problem('RC39')
    # The grid point nearest the power-flow solution must meet every equality
    # within 1e-4 (a tenth of the annealing's band): at this grid it does
    # (largest |h| 4.3e-05); at the default 10000 per unit it does not.
    p.grid(points_per_unit=1_000_000)
    network = network_table(p, HERE, 'network.txt')
    flow = InjectionFlow(p, network, range(2, BUSES + 1), GENERATORS)     # flat start

    slack_power = flow.currents[0][0]             # Re(V_1 conj(I_1)) with V_1 = 1
    outputs = [slack_power] + [flow.generated_p[k] for k in GENERATORS]
    fuel = fuel_cost(LINEAR_COST, QUADRATIC_COST, outputs)
    load = sum(network.load(k, 2)[0] for k in range(1, BUSES + 1))
    p.minimize(fuel + 0.75 * (sum(outputs) - load), name='FUELLOSS')
    flow.state_balances(p, {k: network.load(k, 2) for k in flow.buses})
    return p


if __name__ == '__main__':
    sys.exit(run(build))
