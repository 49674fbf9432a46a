"""scripts/compare --protocol NAME: one problem after another under a
published protocol (protocol.py), every method's figures from its runs
(protocol_runs.py), then the tables (protocol_tables.py).
"""

import json
import os
import statistics
import time

import programs
import protocol_tables
from protocol import PROTOCOLS, summary, success_figures
from protocol_runs import Problem, log, morlan_outcomes, morlan_series, peer_outcomes, peer_runs

# The peers' programs and how the tables name them.
PEERS = [('isres-trace', 'ISRES'), ('multistart', 'SLSQP multi-start')]


def default_problems(name):
    prefix = 'g' if name == 'cec2006' else 'rc'
    found = sorted(d for d in os.listdir(os.path.join(programs.ROOT, 'problems'))
                   if d.startswith(prefix) and d[len(prefix):].isdigit())
    return found


def method_figures(p, label, outcome_at):
    """A method's figures: per number of evaluations recorded, the summary
    of its runs' best points; at the whole budget the feasible and
    successful runs, the evaluations and the CPU seconds per run."""
    at = {}
    final = None
    for limit in p.checkpoints:
        results = [outcome_at(limit, k) for k in range(p.runs)]
        at[limit] = summary([r[0] for r in results], p.best)
        if limit == p.budget:
            final = results
    hits = [r[2] for r in final]
    return dict(method=label, at={str(k): v for k, v in at.items()},
                feasible=sum(1 for r in final if r[0].feasible),
                success=success_figures(hits, p.runs) if p.best is not None else None,
                evaluations=statistics.fmean(r[1] for r in final))


def morlan_methods(p):
    """morlan and morlan --polish, each from its own series per number of
    evaluations recorded (a polished run's search keeps evaluations back for
    its polish, so its runs end earlier than the plain ones)."""
    rows = []
    for label, polish in (('morlan', False), ('morlan --polish', True)):
        series = {limit: morlan_series(p, limit, limit == p.budget, polish)
                  for limit in p.checkpoints}
        whole = series[p.budget]
        row = method_figures(p, label, lambda limit, k, polish=polish, series=series:
                             morlan_outcomes(p, limit, series[limit]['runs'][k], polish))
        trials = statistics.fmean(r['trials'] for r in whole['runs'])
        row['trials_per_variable'] = trials / p.n
        row['cpu'] = whole['cpu_per_run'] if polish else \
            statistics.fmean(r['cpu'] for r in whole['runs'])
        rows.append(row)
    return rows


def peer_methods(p):
    rows = []
    for method, label in PEERS:
        runs = peer_runs(p, method)['runs']
        row = method_figures(p, label, lambda limit, k, runs=runs: peer_outcomes(p, limit, runs[k]))
        row['cpu'] = statistics.fmean(r['cpu'] for r in runs)
        rows.append(row)
    return rows


def beyond_budget(p, factor):
    """morlan where it was not feasible in every run within the budget: the
    same runs with `factor` times the budget, and how many evaluations the
    runs that became feasible took."""
    limit = p.budget * factor
    runs = morlan_series(p, limit, False, False)['runs']
    results = [morlan_outcomes(p, limit, r, False) for r in runs]
    feasible = [(o, spent) for o, spent, _ in results if o.feasible]
    return dict(method='morlan, at most %dx the budget' % factor, limit=limit,
                feasible=len(feasible),
                evaluations=statistics.fmean(s for _, s in feasible) if feasible else None,
                at={str(limit): summary([o for o, _, _ in results], p.best)})


def compare_problem(name, proto, args):
    t0 = time.time()
    if args.program:
        program, peers = os.path.abspath(args.program), os.path.abspath(args.peers)
    else:
        program, peers = programs.build(name, args.work)
    p = Problem(name, proto, args.runs, args.jobs, args.work, program, peers, args.budget,
                args.polish_margin)
    rows = morlan_methods(p) + peer_methods(p)
    extra = None
    if args.beyond_budget and rows[0]['feasible'] < p.runs:
        extra = beyond_budget(p, args.beyond_budget)
    result = dict(problem=name, best=p.best, variables=p.n, equalities=p.neq,
                  inequalities=p.nineq, budget=p.budget, checkpoints=p.checkpoints,
                  runs=p.runs, answers=p.answers.describe(), rows=rows, beyond=extra,
                  wall=time.time() - t0, costs=costs(p))
    log('%s done in %.0f s' % (name, result['wall']))
    return result


def costs(p):
    """Wall seconds of each kept result of the problem (what each part cost
    when it ran)."""
    out = {}
    for name in sorted(os.listdir(p.dir)):
        if name.endswith('.json'):
            with open(os.path.join(p.dir, name)) as f:
                out[name[:-5]] = json.load(f)['result'].get('wall')
    return out


def check_programs(args, names):
    """--program and --peers come together, for one problem, and name
    programs that exist (the runs and the kept results need both)."""
    if not args.program and not args.peers:
        return
    if not (args.program and args.peers):
        raise SystemExit('--program and --peers go together: give both or neither')
    if len(names) != 1:
        raise SystemExit('--program and --peers serve one problem')
    for option, path in (('--program', args.program), ('--peers', args.peers)):
        if not (os.path.isfile(path) and os.access(path, os.X_OK)):
            raise SystemExit('%s %s: no such program' % (option, path))


def main(args):
    proto = PROTOCOLS[args.protocol]
    if args.runs is None:
        args.runs = proto.runs
    if args.jobs is None:
        args.jobs = os.cpu_count() or 1
    if args.beyond_budget is None:
        args.beyond_budget = 10 if args.protocol == 'cec2020' else 0
    names = args.problems.split(',') if args.problems else default_problems(args.protocol)
    check_programs(args, names)
    os.makedirs(args.work, exist_ok=True)
    start = time.time()
    results = [compare_problem(name, proto, args) for name in names]
    text = protocol_tables.tables(args.protocol, results)
    text += protocol_tables.footer(results, time.time() - start, args.jobs)
    print(text)
    if args.output:
        with open(args.output, 'w') as f:
            f.write(text)
    return 0
