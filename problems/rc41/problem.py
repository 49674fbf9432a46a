#!/usr/bin/env python3
"""CEC 2020 real-world problem RC41: the power flow of a grid-connected 38-bus
microgrid, solved as an optimisation problem (Kumar et al. 2020, problem 41), as
the suite's reference code evaluates it.

Bus 1 is the grid connection, its voltage fixed at V_1 = 1. The other 37 buses
have voltages V_k = VR_k + j VM_k, the only variables. The generators on buses
34..38 inject 0.2 + j 0.18 each; the loads depend on the voltage,
PL_k = P0_k |V_k|^alpha_k and QL_k = Q0_k |V_k|^beta_k (network.txt: the
admittance matrix Y and the loads). With the injected powers
P_k = PG_k - PL_k, Q_k = QG_k - QL_k and I = Y V:

    minimise    sum_{k=2..38} (P_k - Re(V_k conj(I_k)))^2 + sum_{k=2..38} (Q_k - Im(V_k conj(I_k)))^2
    subject to, for k = 2..38, in this order:
        DIR_k = Re(I_k) - Re(conj((P_k + j Q_k) / V_k)) = 0    (37 equalities)
        DIM_k = Im(I_k) - Im(conj((P_k + j Q_k) / V_k)) = 0    (37)
    with every variable in [-1, 1].

The objective is the squared power mismatch, zero wherever the equalities hold:
every point of the power flow's solution is optimal (best known value 0).

Variables in the reference code's order: VR2..VR38, VM2..VM38 (74).
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'tools', 'problem_writer'))
from formulas import Problem, run                                          # noqa: E402
from powerflow import bus_currents, current_balance                       # noqa: E402
from powergrid import (network_table, squared_mismatch,                    # noqa: E402
                       voltage_dependent_loads, voltage_variables)

BUSES = 38
GENERATORS = (34, 35, 36, 37, 38)
GENERATION = (0.2, 0.18)            # each generator's P and Q


def build():
    p = Problem('RC41')
    # The grid point nearest the power-flow solution must meet every equality
    # within 1e-4 (a tenth of the annealing's band): at this grid it does
    # (largest |h| 5.4e-06); at the default 10000 per unit it does not.
    p.grid(points_per_unit=100_000_000)
    network = network_table(p, HERE, 'network.txt')
    buses = range(2, BUSES + 1)
    vr, vm = voltage_variables(p, buses)                                   # flat start
    vr, vm = [1.0] + vr, [0.0] + vm                                        # V_1 = 1
    ir, im = bus_currents(network.admittance, vr, vm)

    loads = voltage_dependent_loads(network, buses, vr, vm)
    injected_p, injected_q = {}, {}
    for k in buses:
        generation = GENERATION if k in GENERATORS else (0, 0)
        injected_p[k] = generation[0] - loads[k][0]
        injected_q[k] = generation[1] - loads[k][1]

    p.minimize(squared_mismatch(injected_p, injected_q, (ir, im), vr, vm, buses), name='MISMATCH')
    current_balance(p, (ir, im), injected_p, injected_q, vr, vm, buses)
    return p


if __name__ == '__main__':
    sys.exit(run(build))
