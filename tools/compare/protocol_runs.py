"""The runs of a published protocol on one problem, method by method, each
kept under the work directory so that an interrupted comparison resumes
where it stopped.

morlan and morlan --polish each come from one series per number of
evaluations recorded (the runs are the same whatever the limit until it is
reached, so a series cut at 5e3 evaluations shows each run as it stood
after 5e3): `morlan --max-evaluations E` and `morlan --polish
--polish-margin 1e-10 --max-evaluations E`, with --results, --points
(every run's result point and polished point with all their digits,
evaluated by the peers' program as the peers' points are) and, for the
whole budget, --log (when each run first came within the success
accuracy). Under --polish the program keeps evaluations back from E for
the polish (its search ends earlier) and stops the polish when E is spent;
the polish costs n + 1 evaluations per gradient evaluation of SLSQP (its
iterations and the first), counted after the run's own; a polished point
counts at E only when the run and its polish fit in E. The margin makes a
polished point on an active inequality lie strictly inside it, as the
protocols' feasibility (g <= 0) asks, instead of on it within round-off.

ISRES and multi-start SLSQP run once per seed with the whole budget; their
traces give the best point at every number of evaluations.
"""

import concurrent.futures
import json
import os
import subprocess
import sys
import time

import programs
from protocol import Outcome, excess, feasible

# The margin by which the polish tightens the inequalities (scripts/compare
# --polish-margin): beyond the round-off SLSQP leaves on an active
# inequality (seen up to 1e-11). The objective moves by the margin times the
# multipliers: 2.3e-7 on g06 (multipliers near 2300), far within the
# CEC 2006 accuracy 1e-4, not within CEC 2020's 1e-8.
POLISH_MARGIN = 1.0e-10


class Problem:
    """One problem under one protocol: its programs, sizes, answers, budget
    and where its results are kept."""

    def __init__(self, name, protocol, runs, jobs, work, program, peers, budget=None,
                 margin=POLISH_MARGIN):
        self.name, self.protocol, self.runs, self.jobs = name, protocol, runs, jobs
        self.margin = margin
        self.program, self.peers = program, peers
        self.n, self.m, self.neq, self.nineq = programs.sizes(program)
        self.answers = programs.read_answers(name)
        self.best = programs.best_known(name)
        self.budget = budget or protocol.budget_of(self.n)
        self.checkpoints = protocol.checkpoints_of(self.budget)
        self.tolerance = protocol.success_tolerance(self.best) if self.best is not None else None
        self.dir = os.path.join(work, name, protocol.name)
        os.makedirs(self.dir, exist_ok=True)
        self.key = programs.fingerprint(
            protocol.name, runs, programs.file_digest(os.path.join(programs.folder(name),
                                                                   'OUTSDIF.d')),
            programs.file_digest(program), programs.file_digest(peers))

    def success(self, objective):
        return self.best is not None and objective is not None and \
            objective - self.best <= self.tolerance

    def kept(self, what, key, make):
        """The result kept under `what` when it was made from the same key;
        otherwise made, kept and returned."""
        path = os.path.join(self.dir, what + '.json')
        if os.path.exists(path):
            with open(path) as f:
                stored = json.load(f)
            if stored.get('key') == key:
                return stored['result']
        t0 = time.time()
        result = make()
        result['wall'] = time.time() - t0
        with open(path, 'w') as f:
            json.dump({'key': key, 'result': result}, f, indent=1)
        return result


def log(message):
    print('[compare %s] %s' % (time.strftime('%H:%M:%S'), message), file=sys.stderr, flush=True)


# ---------------------------------------------------------------------------
# morlan


def morlan_series(p, limit, with_log, polish):
    """One series of p.runs runs cut at `limit` evaluations, with or without
    --polish: per run its evaluations, CPU seconds, result point and
    polished point (checked by the peers), the polish's evaluations and,
    with the log, when the run's best first came within the success
    accuracy."""
    options = ['--polish', '--polish-margin', repr(p.margin)] if polish else []
    key = programs.fingerprint(p.key, p.answers.text(p.runs), limit, with_log, options)
    name = 'morlan%s-%d' % ('-polish' if polish else '', limit)

    def make():
        log('%s: morlan%s series of %d runs, at most %d evaluations each (%s)'
            % (p.name, ' --polish' if polish else '', p.runs, limit, p.answers.describe()))
        files = {k: os.path.join(p.dir, '%s.%s' % (name, k)) for k in ('results', 'points', 'log')}
        command = [p.program] + options + [
            '--count-evaluations', '--max-evaluations', str(limit), '--results', files['results'],
            '--points', files['points'], '-j', str(p.jobs)]
        if with_log:
            command += ['--log', files['log']]
        done = subprocess.run(command, input=p.answers.text(p.runs), cwd=programs.folder(p.name),
                              capture_output=True, text=True)
        if done.returncode != 0:
            raise SystemExit('%s: morlan ended with status %d:\n%s%s' % (
                p.name, done.returncode, done.stdout[-2000:], done.stderr[-2000:]))
        return read_series(p, done.stdout, done.stderr, files, with_log)
    return p.kept(name, key, make)


def read_series(p, out, err, files, with_log):
    printed = programs.parse_series(out, err)
    results = {int(r['run']): r for r in programs.read_table(files['results'])}
    points = programs.read_points(files['points'])
    stages = programs.read_table(files['log']) if with_log else []
    # Every point checked by the peers in one call.
    wanted = [(run, kind) for run in sorted(points) for kind in ('best', 'polished')
              if kind in points[run]]
    checked = dict(zip(wanted, programs.check_points(
        p.peers, p.name, [points[r][k] for r, k in wanted], os.path.join(p.dir, 'points.txt'))))
    runs = []
    for k, printed_run in enumerate(printed, start=1):
        row = results.get(k, {})
        iterations = printed_run.get('polished_iterations')
        runs.append(dict(
            run=k, trials=printed_run.get('evaluations', 0), cpu=printed_run['cpu'],
            plain=outcome_of(checked.get((k, 'best'))),
            polished=outcome_of(checked.get((k, 'polished'))) if (k, 'polished') in checked
            else None,
            polish_evaluations=(iterations + 1) * (p.n + 1) if iterations is not None else 0,
            program_violation=row.get('violation'),
            reached=first_within(p, stages, k)))
    return dict(runs=runs, cpu_per_run=programs.cpu_per_run(out))


def outcome_of(values):
    if values is None:
        return Outcome().to_json()
    if feasible(values):
        return Outcome(objective=values['objective']).to_json()
    return Outcome(excess=excess(values)).to_json()


def first_within(p, stages, run):
    """The evaluations at the end of the first temperature stage of the run
    whose best objective (by morlan's own test) was within the success
    accuracy of the best-known value, or None."""
    if p.best is None:
        return None
    for s in stages:
        if int(s['run']) != run or s['best_objective'] == 'NaN':
            continue
        if float(s['best_objective']) - p.best <= p.tolerance:
            return int(s['counted_evaluations'])
    return None


def morlan_outcomes(p, limit, run, polish):
    """The run's best point after `limit` evaluations, the evaluations it
    spent, and (for the whole budget) when it first succeeded."""
    plain = Outcome.from_json(run['plain'])
    spent = run['trials']
    hit = None
    if p.success(plain.objective):
        # Without a log row that shows it (a series without --log), the
        # run's whole evaluations bound its first success.
        hit = run['reached'] if run['reached'] is not None else spent
    if not polish or run['polished'] is None:
        return plain, spent, hit
    polished = Outcome.from_json(run['polished'])
    total = run['trials'] + run['polish_evaluations']
    if total > limit:
        return plain, limit, hit
    best = plain
    if polished.feasible and (not plain.feasible or polished.objective < plain.objective):
        best = polished
    elif not plain.feasible and not polished.feasible and polished.excess is not None and \
            (plain.excess is None or polished.excess < plain.excess):
        best = polished
    if hit is None and p.success(polished.objective):
        hit = total
    return best, total, hit


# ---------------------------------------------------------------------------
# The peers


def peer_runs(p, method):
    """One run per seed 1..runs of the peers' method with the whole budget,
    as many at once as there are jobs: its trace and its end."""
    key = programs.fingerprint(p.key, method, p.budget)

    def make():
        log('%s: %s, %d seeds of %d evaluations' % (p.name, method, p.runs, p.budget))

        def one(seed):
            out = subprocess.run([p.peers, method, str(seed), str(p.budget)],
                                 cwd=programs.folder(p.name), check=True, capture_output=True,
                                 text=True).stdout
            return read_trace(seed, out)
        with concurrent.futures.ThreadPoolExecutor(p.jobs) as pool:
            return dict(runs=list(pool.map(one, range(1, p.runs + 1))))
    return p.kept(method, key, make)


def read_trace(seed, out):
    trace, end, final = [], {}, {}
    for line in out.split('\n'):
        words = line.split()
        if not words:
            continue
        values = {k: float(v) for k, v in (w.split('=') for w in words[1:] if '=' in w)}
        if words[0] in ('feasible', 'infeasible'):
            trace.append([words[0] == 'feasible', int(values['evaluations']),
                          values.get('objective'), values.get('excess')])
        elif words[0] == 'end':
            end = values
        else:
            final = programs.parse_peer_line(line)
    return dict(run=seed, trace=trace, evaluations=int(end.get('evaluations', 0)),
                cpu=end.get('cpu', float('nan')), starts=int(end.get('starts', 0)), final=final)


def peer_outcomes(p, limit, run):
    best = Outcome()
    hit = None
    for is_feasible, evaluations, objective, over in run['trace']:
        if is_feasible and hit is None and p.success(objective):
            hit = evaluations
        if evaluations > limit:
            continue
        best = Outcome(objective=objective) if is_feasible else Outcome(excess=over)
    return best, min(run['evaluations'], limit), hit
