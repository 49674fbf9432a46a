"""Power-flow equations in rectangular coordinates, for problem descriptions.

A bus k of a network has the voltage V_k = vr_k + j vm_k. The currents the
network draws from its buses are I = Y V, with Y = G + jB the bus admittance
matrix:

    Ir_k = sum_i (G_ki vr_i - B_ki vm_i),   Im_k = sum_i (B_ki vr_i + G_ki vm_i).

A bus that injects the complex power P_k + jQ_k at its voltage carries the
current conj((P_k + jQ_k) / V_k), whose parts are

    (P_k vr_k + Q_k vm_k) / |V_k|^2   and   (P_k vm_k - Q_k vr_k) / |V_k|^2,

and the power-flow equations in current-injection form state that the two
agree at every bus. The functions here build these quantities as SymPy
expressions (or numbers, for buses whose voltage is fixed) so that a
description states its equations as sums of them.

A network table is a text file of records, one a line; '#' starts a comment:

    y <row> <column> <G> <B>      a nonzero entry of the bus admittance matrix
    line <from> <to> <r> <x> <b> <tap>
                                  a branch: series impedance r + jx (x at the
                                  nominal frequency), charging susceptance b at
                                  each end, off-nominal tap ratio
    load <bus> <numbers ...>      a bus's load; what the numbers mean is the
                                  description's (see its table's header)

Buses are numbered from 1. Numbers are read as Python floats, so a table that
keeps a source's printed digits gives the source's doubles.
"""

import sympy as sp


class NetworkError(Exception):
    """A malformed network table, in one line."""


class Network:
    """The records of a network table: admittance entries, branches, loads."""

    def __init__(self):
        self.admittance = {}      # (row, column) -> (G, B)
        self.lines = []           # (from, to, r, x, b, tap)
        self.loads = {}           # bus -> tuple of numbers

    @property
    def buses(self):
        """The largest bus number the table mentions."""
        numbers = [k for pair in self.admittance for k in pair]
        numbers += [k for line in self.lines for k in line[:2]]
        numbers += list(self.loads)
        return max(numbers) if numbers else 0

    def load(self, bus, count):
        """The bus's load numbers (count of them), zeros for a bus without a load record."""
        values = self.loads.get(bus, (0.0,) * count)
        if len(values) != count:
            raise NetworkError('load of bus %d has %d numbers, expected %d'
                               % (bus, len(values), count))
        return values


def read_network(path):
    """The network table at path (see the module's docstring)."""
    network = Network()
    with open(path) as table:
        for number, text in enumerate(table, 1):
            fields = text.split('#', 1)[0].split()
            if fields:
                _read_record(network, fields, '%s:%d' % (path, number))
    return network


def _read_record(network, fields, where):
    kind, rest = fields[0], fields[1:]
    try:
        if kind == 'y' and len(rest) == 4:
            key = (int(rest[0]), int(rest[1]))
            if key in network.admittance:
                raise NetworkError('%s: entry %d %d given twice' % (where, key[0], key[1]))
            network.admittance[key] = (float(rest[2]), float(rest[3]))
        elif kind == 'line' and len(rest) == 6:
            network.lines.append((int(rest[0]), int(rest[1]))
                                 + tuple(float(t) for t in rest[2:]))
        elif kind == 'load' and len(rest) >= 2:
            bus = int(rest[0])
            if bus in network.loads:
                raise NetworkError('%s: load of bus %d given twice' % (where, bus))
            network.loads[bus] = tuple(float(t) for t in rest[1:])
        else:
            raise NetworkError('%s: unknown or incomplete record %r' % (where, ' '.join(fields)))
    except ValueError as fault:
        raise NetworkError('%s: %s' % (where, fault)) from None


def bus_currents(admittance, vr, vm):
    """Real and imaginary parts of I = Y V: two lists, one entry per bus.

    admittance maps (row, column), numbered from 1, to (G, B); vr and vm list
    the voltages' parts, bus 1 first. Terms are summed in column order."""
    buses = len(vr)
    ir, im = [0] * buses, [0] * buses
    for (row, column), (g, b) in sorted(admittance.items()):
        v_r, v_m = vr[column - 1], vm[column - 1]
        ir[row - 1] += g * v_r - b * v_m
        im[row - 1] += b * v_r + g * v_m
    return ir, im


def injection_current(p, q, vr, vm):
    """Real and imaginary parts of conj((p + jq) / (vr + j vm))."""
    square = vr**2 + vm**2
    return (p * vr + q * vm) / square, (p * vm - q * vr) / square


def current_balance(problem, currents, injected_p, injected_q, vr, vm, buses):
    """State the current-injection equations of the given buses on problem:
    first DIR_k = Re(I_k) - Re(conj((P_k + jQ_k) / V_k)) = 0 for every bus k in
    buses, then DIM_k, the imaginary parts, in the same order.

    currents is (Ir, Im) from bus_currents; injected_p and injected_q map a bus
    to its P_k and Q_k; vr and vm list the voltages' parts, bus 1 first."""
    drawn = {k: injection_current(injected_p[k], injected_q[k], vr[k - 1], vm[k - 1])
             for k in buses}
    for part, name in ((0, 'DIR'), (1, 'DIM')):
        for k in buses:
            problem.equality(currents[part][k - 1] - drawn[k][part], name='%s%d' % (name, k))


def branch_admittance(lines, frequency):
    """The bus admittance matrix of branches whose reactance scales with the
    frequency (per unit of the nominal one), as {(row, column): (G, B)} of
    SymPy expressions in frequency.

    A branch from a to b with series admittance y = 1 / (r + j x frequency),
    charging susceptance c at each end and tap ratio t adds -y/t to the
    entries (a, b) and (b, a), y/t^2 + jc to (a, a) and y + jc to (b, b)."""
    matrix = {}

    def add(key, g, b):
        old_g, old_b = matrix.get(key, (0, 0))
        matrix[key] = (old_g + g, old_b + b)

    for start, end, r, x, charging, tap in lines:
        denominator = r**2 + (x * frequency)**2
        g, b = r / denominator, -x * frequency / denominator     # y = g + jb
        if tap != 1:
            add((start, end), -g / tap, -b / tap)
            add((end, start), -g / tap, -b / tap)
            add((start, start), g / tap**2, b / tap**2 + charging)
        else:
            add((start, end), -g, -b)
            add((end, start), -g, -b)
            add((start, start), g, b + charging)
        add((end, end), g, b + charging)
    return matrix


def magnitude(vr, vm):
    """|vr + j vm|."""
    return sp.sqrt(vr**2 + vm**2)


def voltage_dependent(power, nominal, exponent, vr, vm):
    """A load that varies with the voltage magnitude: power (|V| / nominal)^exponent
    (0 for a bus without load)."""
    if power == 0:
        return 0
    ratio = magnitude(vr, vm) if nominal == 1 else magnitude(vr, vm) / nominal
    return power * ratio**exponent
