#!/usr/bin/env python3
"""Build the bundled gas-network problem and write it as OUTSDIF.d.

Reads a network description (network.txt beside this file by default), builds
a reference operating point, derives the pipe resistances from it, lays the
problem out as groups and elements with the problem writer and writes the
problem data file. A self-check reads the written file back and evaluates
every group at the reference point.

    problem.py [--network FILE] [--output FILE] [--report] [--check-only]
               [--compare FILE]

The bundled file is made with
    problems/gasnet/problem.py --output problems/gasnet/OUTSDIF.d

Python 3 standard library only.
"""

import argparse
import math
import os
import random
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'tools', 'problem_writer'))
from problem_writer import Problem, evaluate_file, file_sizes, read_data_file  # noqa: E402

# Constants of the element functions compiled into the program.
PIPE_EXP = 1.8539          # flow exponent of the pipe element
COMP_A = 0.23077           # (kappa - 1) / kappa of the compressor element
COMP_B = 203.712           # power coefficient of the compressor element

EQ_TOL = 0.001             # equality tolerance of the annealing on the grid
GRID_PER_UNIT = 10000      # grid points per unit of a variable's range

# Design faults found while building the reference point; reported together.
PROBLEMS = []


class Node:
    def __init__(self, name, pmin, pmax, demand):
        self.name, self.pmin, self.pmax, self.demand = name, pmin, pmax, demand
        self.supplies = []


class Pipe:
    def __init__(self, name, frm, to, length, diameter, loop_flow):
        self.name, self.frm, self.to = name, frm, to
        self.length, self.diameter = length, diameter
        self.loop_flow = loop_flow     # first guess for a loop-closing pipe, else None
        self.fixed_flow = False
        self.q = None                  # resistance, set from the reference point


class Compressor:
    def __init__(self, name, frm, to, fields):
        self.name, self.frm, self.to = name, frm, to
        self.etype = int(fields.pop('type'))
        self.cap = float(fields.pop('cap'))
        self.power = float(fields.pop('power'))
        self.rmax = float(fields.pop('rmax'))
        self.loss_in = float(fields.pop('loss_in'))
        self.loss_out = float(fields.pop('loss_out'))
        self.cost = float(fields.pop('cost'))
        self.through = fields.pop('through', None)
        flow = fields.pop('loop', None)
        self.loop_flow = None if flow is None else float(flow)
        if fields:
            raise ValueError('compressor %s: unknown fields %s' % (name, sorted(fields)))
        if self.etype not in (2, 3) or (self.etype == 3) != (self.through is not None):
            raise ValueError('compressor %s: type 3 units need through=PIPE, type 2 none' % name)


class Supply:
    def __init__(self, name, node, smin, smax, premium, reference):
        self.name, self.node = name, node
        self.smin, self.smax, self.premium, self.ref = smin, smax, premium, reference


class Network:
    """The parsed description."""

    def __init__(self):
        self.params = {}
        self.anchors = {}              # node -> reference pressure
        self.nodes, self.pipes, self.comps, self.supplies = [], [], [], []
        self.contracts = []            # (name, limit, [supply names])

    def node(self, name):
        return self.node_by_name[name]


def parse_fields(tokens, where):
    fields = {}
    for tok in tokens:
        if '=' not in tok:
            raise ValueError('%s: expected key=value, got %r' % (where, tok))
        key, value = tok.split('=', 1)
        fields[key] = value
    return fields


def read_network(path):
    net = Network()
    with open(path) as f:
        for lineno, raw in enumerate(f, 1):
            line = raw.split('#', 1)[0].split()
            if not line:
                continue
            where = '%s:%d' % (path, lineno)
            kw, rest = line[0], line[1:]
            if kw == 'param':
                net.params[rest[0]] = float(rest[1])
            elif kw == 'anchor':
                net.anchors[rest[0]] = float(parse_fields(rest[1:], where)['pressure'])
            elif kw == 'node':
                fl = parse_fields(rest[1:], where)
                net.nodes.append(Node(rest[0], float(fl['pmin']), float(fl['pmax']),
                                      float(fl.get('demand', 0.0))))
            elif kw == 'pipe':
                fl = parse_fields(rest[3:], where)
                flow = fl.get('loop')
                net.pipes.append(Pipe(rest[0], rest[1], rest[2], float(fl['length']),
                                      float(fl['diameter']),
                                      None if flow is None else float(flow)))
            elif kw == 'compressor':
                net.comps.append(Compressor(rest[0], rest[1], rest[2],
                                            parse_fields(rest[3:], where)))
            elif kw == 'supply':
                fl = parse_fields(rest[2:], where)
                net.supplies.append(Supply(rest[0], rest[1], float(fl['min']),
                                           float(fl['max']), float(fl['premium']),
                                           float(fl['reference'])))
            elif kw == 'contract':
                limit = float(parse_fields([rest[1]], where)['limit'])
                net.contracts.append((rest[0], limit, rest[2:]))
            else:
                raise ValueError('%s: unknown keyword %r' % (where, kw))
    net.node_by_name = {n.name: n for n in net.nodes}
    net.pipe_by_name = {p.name: p for p in net.pipes}
    net.supply_by_name = {s.name: s for s in net.supplies}
    for s in net.supplies:
        net.node(s.node).supplies.append(s)
    for arc in net.pipes + net.comps:
        net.node(arc.frm), net.node(arc.to)   # unknown names raise KeyError
    return net


def fail(msg):
    raise SystemExit('gasnet: ' + msg)


def pipe_drop(q, f):
    """p_in^2 - p_out^2 of a pipe with resistance q carrying flow f."""
    return q * f * abs(f) ** (PIPE_EXP - 1.0)


def length_resistance(net, pipe):
    return net.params["K"] * pipe.length / pipe.diameter ** (PIPE_EXP + 3.0)


def pipe_capacity(net, pipe):
    return round(net.params['capfactor'] * (pipe.diameter / 1000.0) ** 2, 1)


def file_real(x):
    """The value the data file holds for x (nine significant digits)."""
    return float('%.8E' % x)


# ---------------------------------------------------------------------------
# Reference operating point and resistances


def tree_flows(net, given):
    """Arc flows from the node balances, the flows of the loop-closing arcs given."""
    arcs = net.pipes + net.comps
    flow = dict(given)
    incident = {n.name: [] for n in net.nodes}
    for a in arcs:
        incident[a.frm].append(a)
        incident[a.to].append(a)
    # Balance at node v: inflow - outflow + supplies - demand = 0.
    residual = {n.name: sum(s.ref for s in n.supplies) - n.demand for n in net.nodes}
    total = sum(residual.values())
    if abs(total) > 1e-9:
        fail('reference supplies and demands differ by %g' % total)

    def balance(n):
        bal = residual[n.name]
        for b in incident[n.name]:
            if b.name in flow:
                bal += flow[b.name] if b.to == n.name else -flow[b.name]
        return bal

    changed = True
    while changed:
        changed = False
        for n in net.nodes:
            un = [a for a in incident[n.name] if a.name not in flow]
            if len(un) != 1:
                continue
            a = un[0]
            bal = balance(n)                 # the one unknown arc closes it
            flow[a.name] = -bal if a.to == n.name else bal
            changed = True
    missing = [a.name for a in arcs if a.name not in flow]
    if missing:
        fail('flows not determined (a loop without loop= flow?): %s' % missing)
    for n in net.nodes:
        if abs(balance(n)) > 1e-9:
            fail('balance at %s does not close' % n.name)
    return flow


def tree_pressures(net, flow):
    """Pressures from the anchors along the pipes of the spanning tree.

    The arcs without a given loop flow form a spanning tree; cutting its
    compressors leaves parts whose pressure level is set by one anchor each.
    """
    tree = [a for a in net.pipes + net.comps if a.loop_flow is None]
    if len(tree) != len(net.nodes) - 1:
        fail('%d arcs outside loops, a spanning tree needs %d' % (len(tree), len(net.nodes) - 1))
    press = dict(net.anchors)
    tree_pipes = [a for a in tree if isinstance(a, Pipe)]
    pending = list(tree_pipes)
    while pending:
        rest = []
        for a in pending:
            drop = pipe_drop(length_resistance(net, a), flow[a.name])
            if a.frm in press and a.to in press:
                fail('two anchors in one part of the network (at pipe %s)' % a.name)
            elif a.frm in press:
                sq = press[a.frm] ** 2 - drop
                if sq <= 0:
                    PROBLEMS.append('pressure vanishes along %s' % a.name)
                    sq = 0.01
                press[a.to] = math.sqrt(sq)
            elif a.to in press:
                press[a.frm] = math.sqrt(press[a.to] ** 2 + drop)
            else:
                rest.append(a)
        if len(rest) == len(pending):
            fail('parts without an anchor: %s' % [a.name for a in rest])
        pending = rest
    unset = [n.name for n in net.nodes if n.name not in press]
    if unset:
        fail('nodes without an anchor: %s' % unset)
    return press


def reference_point(net):
    """Flows by node balances, pressures from the anchors, loop flows by the
    pipe law (iterated), then every resistance from the rounded point."""
    loops = [a for a in net.pipes + net.comps if a.loop_flow is not None]
    given = {a.name: a.loop_flow for a in loops}
    pipe_loops = [a for a in loops if isinstance(a, Pipe)]

    def mismatch(a):
        """Drop the pressures impose on loop pipe a minus the drop of its flow."""
        flow = tree_flows(net, given)
        press = tree_pressures(net, flow)
        return (press[a.frm] ** 2 - press[a.to] ** 2
                - pipe_drop(length_resistance(net, a), given[a.name]))

    # Each loop flow by bisection with the others held (the mismatch falls
    # as the loop flow grows), sweeping until the loops agree.
    for sweep in range(200):
        moved = 0.0
        for a in pipe_loops:
            cap = pipe_capacity(net, a)
            lo, hi, old = -cap, cap, given[a.name]
            for _ in range(60):
                given[a.name] = 0.5 * (lo + hi)
                if mismatch(a) > 0:
                    lo = given[a.name]
                else:
                    hi = given[a.name]
            moved = max(moved, abs(given[a.name] - old))
        if moved < 1e-9:
            break
    else:
        fail('loop flows do not settle')
    # Round the point to values the file stores exactly; the tree flows are
    # recomputed from rounded loop flows so that every balance closes exactly.
    given = {k: round(v, 4) for k, v in given.items()}
    flow = {k: round(v, 6) for k, v in tree_flows(net, given).items()}
    press = {k: round(v, 6) for k, v in tree_pressures(net, flow).items()}
    for p in net.pipes:
        f = flow[p.name]
        if f == 0.0:
            PROBLEMS.append('pipe %s carries no flow at the reference point' % p.name)
            f = 1.0
        q = (press[p.frm] ** 2 - press[p.to] ** 2) / (f * abs(f) ** (PIPE_EXP - 1.0))
        if q <= 0:
            PROBLEMS.append('pipe %s: flow %g runs against the pressure (%g -> %g)'
                            % (p.name, f, press[p.frm], press[p.to]))
            q = 1e-3
        p.q = file_real(q)
    return press, flow


# ---------------------------------------------------------------------------
# Variables, elements and groups


def bridge_flow_sign(net, arc):
    """+1 when the topology forces the arc's flow forward, -1 backward, else 0.

    On a bridge (an arc whose removal splits the network) the flow equals the
    supplies minus the demands of the side it leaves; when the supply limits
    fix the sign of that difference, the flow cannot turn.
    """
    arcs = [a for a in net.pipes + net.comps if a is not arc]
    adj = {n.name: [] for n in net.nodes}
    for a in arcs:
        adj[a.frm].append(a.to)
        adj[a.to].append(a.frm)
    seen, stack = {arc.frm}, [arc.frm]
    while stack:
        v = stack.pop()
        for w in adj[v]:
            if w not in seen:
                seen.add(w)
                stack.append(w)
    if arc.to in seen:
        return 0                       # not a bridge
    demand = sum(net.node(v).demand for v in seen)
    smin = sum(s.smin for v in seen for s in net.node(v).supplies)
    smax = sum(s.smax for v in seen for s in net.node(v).supplies)
    if smin - demand >= 0:
        return 1
    if smax - demand <= 0:
        return -1
    return 0


def build_problem(net):
    press, flow = reference_point(net)
    prob = Problem('GASNET')
    prob.ref_press, prob.ref_flow = press, flow
    var = {}

    def add_var(name, lo, hi, x0):
        var[name] = prob.variable(name, lo, hi, x0)

    for n in net.nodes:
        p = press[n.name]
        if not (n.pmin + 0.05 <= p <= n.pmax - 0.02):
            PROBLEMS.append('reference pressure %.4f at %s outside [%g, %g] (with margin)'
                 % (p, n.name, n.pmin, n.pmax))
        add_var('P.' + n.name, n.pmin, n.pmax, p)
    for pp in net.pipes:
        cap = pipe_capacity(net, pp)
        f = flow[pp.name]
        if abs(f) > 0.9 * cap:
            PROBLEMS.append('pipe %s: reference flow %g near its capacity %g' % (pp.name, f, cap))
        sign = bridge_flow_sign(net, pp)
        add_var('Q.' + pp.name, 0.0 if sign > 0 else -cap, 0.0 if sign < 0 else cap, f)
    for c in net.comps:
        f = flow[c.name]
        if not (0.0 < f <= 0.9 * c.cap):
            PROBLEMS.append('compressor %s: reference flow %g outside (0, 0.9 cap]' % (c.name, f))
        add_var('Q.' + c.name, 0.0, c.cap, f)
    for s in net.supplies:
        if not (s.smin <= s.ref <= s.smax):
            fail('supply %s: reference %g outside its limits' % (s.name, s.ref))
        add_var('S.' + s.name, s.smin, s.smax, s.ref)

    # Element types 1, 2, 3 of the compiled routines; then the elements: the
    # pipes, then the compressor units.
    types = {t: prob.element_type(name, nv, np_)
             for t, name, nv, np_ in ((1, 'PIPE', 3, 1), (2, 'COMP', 4, 2), (3, 'COMPH', 4, 2))}
    elt_of = {}
    for pp in net.pipes:
        vars_ = [var['P.' + pp.frm], var['P.' + pp.to], var['Q.' + pp.name]]
        elt_of[pp.name] = prob.element('E.' + pp.name, types[1], vars_, [pp.q])
    for c in net.comps:
        x4 = 'Q.' + (c.through if c.etype == 3 else c.name)
        vars_ = [var['P.' + c.frm], var['P.' + c.to], var['Q.' + c.name], var[x4]]
        elt_of[c.name] = prob.element('E.' + c.name, types[c.etype], vars_,
                                      [c.loss_in, c.loss_out])

    P = net.params
    groups = []

    def group(declare, name, gs, b=0.0, lin=(), elts=(), **bound):
        groups.append(lambda: declare(name, linear=list(lin), elements=list(elts),
                                      constant=b, scale=gs, **bound))

    for pp in net.pipes:
        group(prob.equality, 'DP.' + pp.name, P['gscale_pipe'], elts=[(elt_of[pp.name], 1.0)])
    for n in net.nodes:
        lin = []
        for a in net.pipes + net.comps:
            if a.to == n.name:
                lin.append((var['Q.' + a.name], 1.0))
            if a.frm == n.name:
                lin.append((var['Q.' + a.name], -1.0))
        for s in n.supplies:
            lin.append((var['S.' + s.name], 1.0))
        group(prob.equality, 'BAL.' + n.name, P['gscale_balance'], b=n.demand, lin=lin)
    for c in net.comps:
        group(prob.inequality, 'POW.' + c.name, P['gscale_power'], b=c.power,
              elts=[(elt_of[c.name], 1.0)], upper=0.0)
        group(prob.inequality, 'RMX.' + c.name, P['gscale_ratio'],
              lin=[(var['P.' + c.to], 1.0), (var['P.' + c.frm], -c.rmax)], upper=0.0)
        group(prob.inequality, 'RMN.' + c.name, P['gscale_ratio'],
              lin=[(var['P.' + c.frm], 1.0), (var['P.' + c.to], -1.0)], upper=0.0)
    for name, limit, names in net.contracts:
        group(prob.inequality, 'CON.' + name, P['gscale_contract'], b=limit,
              lin=[(var['S.' + s], 1.0) for s in names], upper=0.0)

    # A real decoder writes groups in the order of its source; here the
    # constraints are shuffled (equalities and inequalities interleaved) and
    # the objective group sits among them.
    rng = random.Random(int(P['shuffle_seed']))
    rng.shuffle(groups)
    groups.insert(len(groups) // 3, lambda: prob.objective(
        'COST', linear=[(var['S.' + s.name], s.premium) for s in net.supplies if s.premium],
        elements=[(elt_of[c.name], c.cost) for c in net.comps]))
    for declare in groups:
        declare()
    return prob


# ---------------------------------------------------------------------------
# Reading the file back and evaluating it (the self-check)


def element_value(itype, v, p):
    """An element of type itype on variables v with parameters p, as the
    compiled routines compute it."""
    if itype in (2, 3):
        dd = v[0] - p[0] * v[3]
        ss = v[1] + p[1] * v[3]
        return v[2] * (COMP_B * ((ss / dd) ** COMP_A - 1.0))
    return (v[0] * v[0] - v[1] * v[1]) - p[0] * v[2] * abs(v[2]) ** (PIPE_EXP - 1.0)


def evaluate(d, x):
    """(objective, equality values, one-sided inequality values) at x."""
    return evaluate_file(d, x, element_value)


def grid_round(d, x):
    """Nearest point of the annealing grid (10000 points per unit of range)."""
    out = []
    for xi, lo, hi in zip(x, d['xl'], d['xu']):
        w = hi - lo
        k = math.trunc(w * GRID_PER_UNIT + 1.0e-6) if w >= 1 else GRID_PER_UNIT
        step = w / (k - 1)
        out.append(lo + step * round((xi - lo) / step))
    return out


def self_check(path, verbose=True):
    d = read_data_file(path)
    kinds = d['kndofc']
    counts = file_sizes(d)[:4]
    problems = []
    if counts != (144, 160, 123, 37):
        problems.append('sizes %s, expected (144, 160, 123, 37)' % (counts,))
    for i, k in enumerate(kinds):
        if k not in (1, 2):
            finite = (d['gl'][i] > -1e19) + (d['gu'][i] < 1e19)
            if finite != 1:
                problems.append('inequality %s has %d finite bounds' % (d['gnames'][i], finite))
    for i in range(d['n']):
        if not (-1e19 < d['xl'][i] < d['xu'][i] < 1e19):
            problems.append('variable %s has bounds %g %g' % (d['vnames'][i], d['xl'][i], d['xu'][i]))
    f, eq, ineq = evaluate(d, d['x'])
    eqmax = max(abs(v) for v in eq)
    inmax = max(ineq)
    if eqmax >= 1e-7:
        problems.append('equality residual %g at the reference point' % eqmax)
    if inmax > 0.0:
        problems.append('inequality violated by %g at the reference point' % inmax)
    # D > 0 and S > 0 over the whole box, from the bounds of each unit.
    dmin = smin = math.inf
    for e in range(1, d['nelem'] + 1):
        if d['itypee'][e - 1] not in (2, 3):
            continue
        s = d['istaev'][e - 1] - 1
        p = d['istep'][e - 1] - 1
        x1, x2, _, x4 = [d['ielvar'][s + j] - 1 for j in range(4)]
        p1, p2 = d['epvalu'][p], d['epvalu'][p + 1]
        dlow = d['xl'][x1] - max(p1 * d['xl'][x4], p1 * d['xu'][x4])
        slow = d['xl'][x2] + min(p2 * d['xl'][x4], p2 * d['xu'][x4])
        dmin, smin = min(dmin, dlow), min(smin, slow)
    if dmin <= 0 or smin <= 0:
        problems.append('a compressor can see D <= 0 or S <= 0 inside the box')
    rng = random.Random(7)
    for trial in range(200):
        x = [lo + (hi - lo) * (rng.random() if trial >= 2 else trial)
             for lo, hi in zip(d['xl'], d['xu'])]
        ft, et, it = evaluate(d, x)
        if not all(math.isfinite(v) for v in [ft] + et + it):
            problems.append('non-finite value inside the box')
            break
    gf, geq, gin = evaluate(d, grid_round(d, d['x']))
    if verbose:
        print('sizes n=%d m=%d neq=%d nineq=%d' % counts)
        print('reference point: objective %.6f, largest |equality| %.3g, largest inequality %.3g'
              % (f, eqmax, inmax))
        print('nearest grid point: objective %.6f, largest |equality| %.3g (tolerance %g),'
              ' largest inequality %.3g' % (gf, max(abs(v) for v in geq), EQ_TOL, max(gin)))
        print('smallest D %.4f, smallest S %.4f over the box' % (dmin, smin))
    return problems, d


def report(net, prob):
    """The reference point with bounds and resistances, as a plain table."""
    def bounds(name):
        i = prob.variable_number(name) - 1
        return prob.lower[i], prob.upper[i]

    print('%-6s %8s %8s %8s %8s' % ('node', 'p_ref', 'pmin', 'pmax', 'demand'))
    for n in net.nodes:
        print('%-6s %8.4f %8.2f %8.2f %8.2f' % (n.name, prob.ref_press[n.name], n.pmin,
                                                n.pmax, n.demand))
    print('%-6s %-4s %-4s %5s %5s %9s %9s %8s %8s' % ('pipe', 'from', 'to', 'km', 'mm', 'q',
                                                     'flow_ref', 'flow_lo', 'flow_hi'))
    for p in net.pipes:
        lo, hi = bounds('Q.' + p.name)
        print('%-6s %-4s %-4s %5.0f %5.0f %9.6f %9.4f %8.1f %8.1f%s'
              % (p.name, p.frm, p.to, p.length, p.diameter, p.q, prob.ref_flow[p.name], lo, hi,
                 '  loop' if p.loop_flow is not None else ''))
    print('%-6s %-4s %-4s %4s %8s %8s %8s %8s %8s %6s' % ('unit', 'suct', 'disc', 'type', 'flow_ref',
                                                       'cap', 'ratio', 'power', 'limit', 'cost'))
    for c in net.comps:
        x1 = prob.ref_press[c.frm]
        x2 = prob.ref_press[c.to]
        x4 = prob.ref_flow[c.through if c.etype == 3 else c.name]
        f = prob.ref_flow[c.name]
        pw = f * COMP_B * (((x2 + c.loss_out * x4) / (x1 - c.loss_in * x4)) ** COMP_A - 1.0)
        print('%-6s %-4s %-4s %4d %8.3f %8.1f %8.4f %8.1f %8.1f %6.3f'
              % (c.name, c.frm, c.to, c.etype, f, c.cap, x2 / x1, pw, c.power, c.cost))
    print('%-6s %-4s %8s %8s %8s %8s' % ('supply', 'node', 'ref', 'min', 'max', 'premium'))
    for s in net.supplies:
        print('%-6s %-4s %8.2f %8.2f %8.2f %8.2f' % (s.name, s.node, s.ref, s.smin, s.smax,
                                                     s.premium))


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('--network', default=os.path.join(HERE, 'network.txt'))
    ap.add_argument('--output', default='OUTSDIF.d')
    ap.add_argument('--report', action='store_true', help='print the reference point')
    ap.add_argument('--check-only', action='store_true',
                    help='only check an existing data file')
    ap.add_argument('--compare', metavar='FILE',
                    help='fail unless the written file equals FILE byte for byte')
    args = ap.parse_args(argv)
    if not args.check_only:
        net = read_network(args.network)
        prob = build_problem(net)
        if args.report:
            report(net, prob)
        if PROBLEMS:
            for p in PROBLEMS:
                print('DESIGN: ' + p)
            return 1
        prob.write(args.output)
    problems, _ = self_check(args.output)
    if args.compare:
        with open(args.output, 'rb') as a, open(args.compare, 'rb') as b:
            if a.read() != b.read():
                problems.append('%s differs from the generated file: regenerate it' % args.compare)
    for p in problems:
        print('FAILED: ' + p)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
