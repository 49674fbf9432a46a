"""The parts the power-system descriptions share: reading a folder's network
table, declaring the buses' variables, the voltage-dependent loads, the
generators' droop lines, and the balances a description states.

Two kinds of network use them. In the first, the voltages of the buses
1..F are fixed and every other bus k has the variables VR_k, VM_k (its
voltage), P_k, Q_k (the power it injects) and, at a generator, PG_k, QG_k;
the balances are then DIR_k, DIM_k (powerflow.current_balance) followed by

    DP_k = P_k - PG_k + PL_k = 0  and  DQ_k = Q_k - QG_k + QL_k = 0,

with PL_k + j QL_k the bus's demand. In the second, an islanded microgrid,
bus 1's voltage is VR1 + offset (real: bus 1 is the angle reference), the
frequency W is a variable, and the generators follow droop lines, so that the
injected powers are formulas rather than variables.

Every variable these functions declare lies in [-1, 1] unless said otherwise.
"""

import os

from powerflow import (branch_admittance, bus_currents, current_balance, magnitude,
                       read_network, voltage_dependent)

FLAT_START = (1, 0)                 # every voltage 1 + j0
SLACK = ((1.0, 0.0),)               # bus 1's voltage fixed at 1 + j0


def network_table(problem, folder, name='network.txt'):
    """The network table name in folder (see powerflow), recorded on problem
    as a file the description reads."""
    problem.reads(name)
    return read_network(os.path.join(folder, name))


def voltage_variables(problem, buses, start=None):
    """VR_k for every bus k in buses, then VM_k: two lists of variables.
    start(k) gives bus k's start (vr, vm); the flat start without it."""
    starts = {k: start(k) if start else FLAT_START for k in buses}
    vr = [problem.variable('VR%d' % k, -1, 1, start=starts[k][0]) for k in buses]
    vm = [problem.variable('VM%d' % k, -1, 1, start=starts[k][1]) for k in buses]
    return vr, vm


def power_variables(problem, prefix, buses):
    """{k: the variable prefix_k, starting at 0} for every bus k in buses."""
    return {k: problem.variable('%s%d' % (prefix, k), -1, 1, start=0) for k in buses}


class InjectionFlow:
    """A network of the first kind: vr and vm list the voltages' parts, bus 1
    first (numbers for the fixed buses); injected_p, injected_q, generated_p
    and generated_q map a bus to its variable (generated_q is empty when the
    generators give no reactive power); currents is (Ir, Im) of I = Y V."""

    def __init__(self, problem, network, buses, generators, reactive=True,
                 fixed=SLACK, start=None):
        """Declare VR_k, VM_k, P_k, Q_k for k in buses, then PG_k and (when
        reactive) QG_k for k in generators, in this order."""
        self.buses = buses
        vr, vm = voltage_variables(problem, buses, start)
        self.vr = [v[0] for v in fixed] + vr
        self.vm = [v[1] for v in fixed] + vm
        self.injected_p = power_variables(problem, 'P', buses)
        self.injected_q = power_variables(problem, 'Q', buses)
        self.generated_p = power_variables(problem, 'PG', generators)
        self.generated_q = power_variables(problem, 'QG', generators) if reactive else {}
        self.currents = bus_currents(network.admittance, self.vr, self.vm)

    def state_balances(self, problem, demand):
        """State DIR_k and DIM_k, then DP_k and DQ_k for every bus, on problem.
        demand maps a bus to its (PL_k, QL_k)."""
        current_balance(problem, self.currents, self.injected_p, self.injected_q,
                        self.vr, self.vm, self.buses)
        for k in self.buses:
            problem.equality(self.injected_p[k] - self.generated_p.get(k, 0) + demand[k][0],
                             name='DP%d' % k)
        for k in self.buses:
            problem.equality(self.injected_q[k] - self.generated_q.get(k, 0) + demand[k][1],
                             name='DQ%d' % k)


def voltage_dependent_loads(network, buses, vr, vm):
    """{k: (PL_k, QL_k)} for every bus k in buses, from load records of six
    numbers P0 V0 alpha Q0 W0 beta: PL_k = P0 (|V_k| / V0)^alpha and
    QL_k = Q0 (|V_k| / W0)^beta. vr and vm list the voltages, bus 1 first."""
    loads = {}
    for k in buses:
        p0, v0, alpha, q0, w0, beta = network.load(k, 6)
        loads[k] = (voltage_dependent(p0, v0, alpha, vr[k - 1], vm[k - 1]),
                    voltage_dependent(q0, w0, beta, vr[k - 1], vm[k - 1]))
    return loads


class IslandedFlow:
    """A network of the second kind (buses 1..count): vr and vm list the
    voltages' parts, bus 1 first (VR1 + offset and 0); frequency is W;
    after droop(), injected_p and injected_q map every bus to its injected
    power and currents is (Ir, Im) of I = Y(W) V."""

    def __init__(self, problem, network, count, offset):
        """Declare VR_k for k = 2..count, then VM_k, then the frequency W and
        bus 1's VR1 (both in [0, 2], starting at 1)."""
        self.network = network
        self.buses = range(1, count + 1)
        vr, vm = voltage_variables(problem, range(2, count + 1))
        self.frequency = problem.variable('W', 0, 2, start=1)
        reference = problem.variable('VR1', 0, 2, start=1)
        self.vr, self.vm = [reference + offset] + vr, [0] + vm
        self.injected_p = self.injected_q = self.currents = None

    def droop(self, droop_p, droop_q):
        """The generators' droop lines and the loads give the injected powers
        P_k = CP_k (1 - W) - PL_k and Q_k = CQ_k (1 - |V_k|) - QL_k, with the
        gains CP_k, CQ_k from droop_p and droop_q (0 for a bus without a
        generator) and the voltage-dependent loads."""
        vr, vm = self.vr, self.vm
        self.currents = bus_currents(branch_admittance(self.network.lines, self.frequency), vr, vm)
        loads = voltage_dependent_loads(self.network, self.buses, vr, vm)
        self.injected_p, self.injected_q = {}, {}
        for k in self.buses:
            self.injected_p[k] = droop_p.get(k, 0) * (1 - self.frequency) - loads[k][0]
            self.injected_q[k] = (droop_q.get(k, 0) * (1 - magnitude(vr[k - 1], vm[k - 1]))
                                  - loads[k][1])

    def squared_mismatch(self):
        """The squared power mismatch of every bus (see squared_mismatch)."""
        return squared_mismatch(self.injected_p, self.injected_q, self.currents,
                                self.vr, self.vm, self.buses)

    def state_balances(self, problem):
        """State DIR_k and DIM_k for every bus on problem."""
        current_balance(problem, self.currents, self.injected_p, self.injected_q,
                        self.vr, self.vm, self.buses)


def droop_gain_variables(problem, generators, upper, start):
    """The droop gains CP_k for every generator k, then CQ_k, as variables in
    [0, upper]: two dicts."""
    gains = [{k: problem.variable('%s%d' % (prefix, k), 0, upper, start=start) for k in generators}
             for prefix in ('CP', 'CQ')]
    return gains[0], gains[1]


def squared_mismatch(injected_p, injected_q, currents, vr, vm, buses):
    """sum_k (P_k - Re(V_k conj(I_k)))^2 + sum_k (Q_k - Im(V_k conj(I_k)))^2
    over the given buses: zero wherever the power flow holds."""
    ir, im = currents
    mismatch_p = [injected_p[k] - (vr[k - 1] * ir[k - 1] + vm[k - 1] * im[k - 1]) for k in buses]
    mismatch_q = [injected_q[k] - (vm[k - 1] * ir[k - 1] - vr[k - 1] * im[k - 1]) for k in buses]
    return sum(d**2 for d in mismatch_p) + sum(d**2 for d in mismatch_q)


def fuel_cost(linear, quadratic, outputs):
    """sum_i (b_i PG_i + c_i PG_i^2) of the generators' active outputs."""
    return sum(b * pg + c * pg**2 for b, c, pg in zip(linear, quadratic, outputs))
