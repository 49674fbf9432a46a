#!/usr/bin/python3
"""Multi-start local study of the bundled problem with NLopt's SLSQP.

Reads OUTSDIF.d (the file the program reads), evaluates the groups the same
way the program does, and runs SLSQP from the reference point and from random
points of the variable box. Prints one line per start and a table of the
distinct local optima found.

    study.py [--data data/OUTSDIF.d] [--starts 60] [--seed 1]

Needs the Debian packages python3-nlopt and python3-numpy (run it with the
system interpreter, /usr/bin/python3). Not part of the build or the tests.
"""

import argparse
import math
import os
import sys
import time

import nlopt
import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import problem as gasnet  # noqa: E402

A, B, C = gasnet.COMP_A, gasnet.COMP_B, gasnet.PIPE_EXP


class Model:
    """Objective and constraints of the data file, with analytic gradients."""

    def __init__(self, d):
        self.d = d
        self.n = d['n']
        self.elts = []
        for e in range(1, d['nelem'] + 1):
            s = d['istaev'][e - 1] - 1
            cnt = d['istaev'][e] - d['istaev'][e - 1]
            p = d['istep'][e - 1] - 1
            self.elts.append((d['itypee'][e - 1], [d['ielvar'][s + j] - 1 for j in range(cnt)],
                              d['epvalu'][p:p + 2]))
        self.obj, self.eq, self.ineq = [], [], []   # (gs, b, lin, elts, sign, bound)
        for i in range(d['ngroup']):
            lin = [(d['icna'][j] - 1, d['a'][j]) for j in range(d['istada'][i] - 1, d['istada'][i + 1] - 1)]
            els = [(d['ieling'][k] - 1, d['escale'][k]) for k in range(d['istadg'][i] - 1, d['istadg'][i + 1] - 1)]
            g = (d['gscale'][i], d['b'][i], lin, els)
            k = d['kndofc'][i]
            if k == 1:
                self.obj.append(g + (1.0, 0.0))
            elif k == 2:
                self.eq.append(g + (1.0, 0.0))
            else:
                if d['gl'][i] > -1e19:
                    self.ineq.append(g + (-1.0, d['gl'][i]))
                if d['gu'][i] < 1e19:
                    self.ineq.append(g + (1.0, d['gu'][i]))
        self.xl = np.array(d['xl'])
        self.xu = np.array(d['xu'])

    def elements(self, x):
        vals, grads = [], []
        for t, v, p in self.elts:
            if t in (2, 3):
                x1, x2, x3, x4 = (x[j] for j in v)
                D = x1 - p[0] * x4
                S = x2 + p[1] * x4
                P = (S / D) ** A
                Q = A * B * P * x3
                g1, g2 = -Q / D, Q / S
                vals.append(x3 * (B * (P - 1.0)))
                grads.append((g1, g2, B * (P - 1.0), p[1] * g2 - p[0] * g1))
            else:
                y1, y2, y3 = (x[j] for j in v)
                vals.append((y1 * y1 - y2 * y2) - p[0] * y3 * abs(y3) ** (C - 1.0))
                grads.append((y1 + y1, -(y2 + y2), -p[0] * C * abs(y3) ** (C - 1.0)))
        return vals, grads

    def groups(self, x, groups, with_grad):
        vals, grads = self.elements(x) if with_grad or True else None
        out = np.zeros(len(groups))
        jac = np.zeros((len(groups), self.n)) if with_grad else None
        for r, (gs, b, lin, els, sign, bound) in enumerate(groups):
            arg = -b
            for j, a in lin:
                arg += a * x[j]
                if with_grad:
                    jac[r, j] += sign * gs * a
            for e, w in els:
                arg += w * vals[e]
                if with_grad:
                    for j, gj in zip(self.elts[e][1], grads[e]):
                        jac[r, j] += sign * gs * w * gj
            out[r] = sign * (gs * arg - bound)
        return out, jac

    def f(self, x, grad):
        v, j = self.groups(x, self.obj, grad.size > 0)
        if grad.size > 0:
            grad[:] = j.sum(axis=0)
        return float(v.sum())

    def h(self, result, x, grad):
        v, j = self.groups(x, self.eq, grad.size > 0)
        result[:] = v
        if grad.size > 0:
            grad[:] = j

    def g(self, result, x, grad):
        v, j = self.groups(x, self.ineq, grad.size > 0)
        result[:] = v
        if grad.size > 0:
            grad[:] = j

    def violation(self, x, eqtol=0.0):
        e, _ = self.groups(x, self.eq, False)
        i, _ = self.groups(x, self.ineq, False)
        return max(max(0.0, np.max(np.abs(e)) - eqtol), max(0.0, np.max(i)))


def solve(model, x0, maxeval=3000, eqtol=0.0):
    opt = nlopt.opt(nlopt.LD_SLSQP, model.n)
    opt.set_lower_bounds(model.xl)
    opt.set_upper_bounds(model.xu)
    opt.set_min_objective(model.f)
    if eqtol > 0.0:
        # The annealing's notion of feasibility: |h| <= eqtol for every
        # equality, written as two inequalities each.
        def band(result, x, grad):
            ne = len(model.eq)
            v = np.zeros(ne)
            g = np.zeros((ne, model.n)) if grad.size > 0 else np.zeros(0)
            model.h(v, x, g)
            result[:ne] = v - eqtol
            result[ne:] = -v - eqtol
            if grad.size > 0:
                grad[:ne] = g
                grad[ne:] = -g
        opt.add_inequality_mconstraint(band, [1e-9] * (2 * len(model.eq)))
    else:
        opt.add_equality_mconstraint(model.h, [1e-9] * len(model.eq))
    opt.add_inequality_mconstraint(model.g, [1e-9] * len(model.ineq))
    opt.set_xtol_rel(1e-10)
    opt.set_ftol_rel(1e-12)
    opt.set_maxeval(maxeval)
    try:
        x = opt.optimize(np.clip(x0, model.xl, model.xu))
        status = opt.last_optimize_result()
    except (nlopt.RoundoffLimited, RuntimeError, ValueError) as exc:
        return None, type(exc).__name__
    return x, status


def describe(model, x):
    """Which compressor units run and how much each field supplies."""
    names = [s.strip() for s in model.d['vnames']]
    units = ''.join('1' if x[names.index('Q.C%02d' % k)] > 0.01 else '0' for k in range(1, 13))
    sup = ' '.join('%5.1f' % x[i] for i, nm in enumerate(names) if nm.startswith('S.'))
    return units, sup


def main():
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('--data', default=os.path.join(gasnet.HERE, 'OUTSDIF.d'))
    ap.add_argument('--starts', type=int, default=60)
    ap.add_argument('--seed', type=int, default=1)
    ap.add_argument('--quiet', action='store_true', help='print the summary only')
    ap.add_argument('--eqtol', type=float, default=0.0,
                    help='count an equality as met within this value (0.001: as the annealing)')
    args = ap.parse_args()
    d = gasnet.read_data_file(args.data)
    model = Model(d)
    rng = np.random.default_rng(args.seed)
    starts = [('reference', np.array(d['x']))]
    for k in range(args.starts):
        starts.append(('random %d' % (k + 1), model.xl + rng.random(model.n) * (model.xu - model.xl)))
    found = []
    t0 = time.time()
    print('%-11s %-9s %12s %10s  %-12s %s' % ('start', 'status', 'objective', 'violation',
                                               'units 1..12', 'supplies'))
    for label, x0 in starts:
        x, status = solve(model, x0, eqtol=args.eqtol)
        if x is None:
            if not args.quiet:
                print('%-11s %-9s' % (label, status))
            continue
        v = model.violation(x, args.eqtol)
        fx = model.f(x, np.zeros(0))
        units, sup = describe(model, x)
        ok = v < 1e-6 and status > 0
        if not args.quiet:
            print('%-11s %-9s %12.5f %10.2e  %-12s %s' % (label, status, fx, v, units, sup))
        if ok:
            found.append((fx, units, sup, x))
    print('time %.1f s for %d starts' % (time.time() - t0, len(starts)))
    # Distinct local optima: objective values more than 1e-5 (relative) apart.
    # Points are not compared: a closed unit leaves its pressure ratio free, so
    # one optimum may be reached at many points of a flat set.
    optima = []
    for fx, units, sup, x in sorted(found, key=lambda t: t[0]):
        if optima and abs(fx - optima[-1][0]) <= 1e-5 * max(1.0, abs(optima[-1][0])):
            optima[-1][4] += 1
        else:
            optima.append([fx, units, sup, x, 1])
    print('%d feasible local solutions, %d distinct local optima' % (len(found), len(optima)))
    for fx, units, sup, x, count in optima:
        print('  %12.5f  reached %3d times  units %s  supplies %s' % (fx, count, units, sup))


if __name__ == '__main__':
    main()
