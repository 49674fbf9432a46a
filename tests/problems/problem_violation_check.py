#!/usr/bin/env python3
"""The program on the problem it was built for: a short series of one run
with --results and --points. Beside the program's own violation measure,
the results give the largest violation of the problem as its data file states
it (|h|, the excess of each one-sided inequality, the bounds; no band): at
every successful run's best point, as --points writes it with all its
digits, it equals what the peers' own evaluation gives there; at the point
the run prints ("cSA: x = ", nine digits), it agrees to the printed digits;
and it is never below the program's measure, which forgives equality
residuals up to 0.001.

    problem_violation_check.py MORLAN PEERS FOLDER WORK
"""

import os
import re
import subprocess
import sys


def fail(message):
    print('problem_violation_check: ' + message)
    sys.exit(1)


def table(path):
    with open(path) as f:
        rows = [line.rstrip('\n').split('\t') for line in f if line.strip()]
    return [dict(zip(rows[0], row)) for row in rows[1:]]


def checked(peers, folder, points, path):
    """The largest violation of each kind at each point, by the peers."""
    with open(path, 'w') as f:
        for x in points:
            f.write(' '.join(x) + '\n')
    out = subprocess.run([peers, 'check', path], cwd=folder, check=True, capture_output=True,
                         text=True).stdout
    return [{k: float(v) for k, v in (w.split('=') for w in line.split())}
            for line in out.split('\n') if line]


def printed_points(out, n):
    """The "cSA: x = " points of the output, n numbers each."""
    points = []
    for m in re.finditer(r' cSA: x = ((?:\s+-?[0-9.]+(?:E[-+][0-9]+)?)+)', out):
        values = m.group(1).split()
        if len(values) != n:
            fail('a printed point of %d values, expected %d' % (len(values), n))
        points.append(values)
    return points


def main():
    morlan, peers, folder, work = sys.argv[1:5]
    os.makedirs(work, exist_ok=True)
    scale = '1.0'
    answers_file = os.path.join(folder, 'answers.txt')
    if os.path.exists(answers_file):
        with open(answers_file) as f:
            scale = f.read().split()[0]
    results_file = os.path.join(work, 'violation.results.tsv')
    points_file = os.path.join(work, 'violation.points.tsv')
    done = subprocess.run([morlan, '--results', results_file, '--points', points_file],
                          input='%s\n0\n0\n0\n1\n1\n0.0001\n' % scale, cwd=folder,
                          capture_output=True, text=True)
    if done.returncode != 0:
        fail('morlan ended with status %d:\n%s%s' % (done.returncode, done.stdout, done.stderr))
    runs = [r for r in table(results_file) if r['success'] == '1']
    if not runs:
        fail('no run of the short series succeeded: nothing to check')
    points = {r[0]: r[2:] for r in (line.split('\t') for line in
                                    open(points_file).read().split('\n')[1:] if line)
              if r[1] == 'best'}
    exact = checked(peers, folder, [points[r['run']] for r in runs],
                    os.path.join(work, 'violation.exact.txt'))
    shown = checked(peers, folder, printed_points(done.stdout, len(points[runs[0]['run']])),
                    os.path.join(work, 'violation.printed.txt'))
    if len(shown) != len(runs):
        fail('%d printed points for %d successful runs' % (len(shown), len(runs)))
    for r, e, s in zip(runs, exact, shown):
        reported = float(r['problem_violation'])
        expected = max(e['hmax'], e['gmax'], e['bmax'])
        if abs(reported - expected) > 1e-12 * max(1.0, expected):
            fail('run %s: problem_violation %r, the peers give %r' % (r['run'], reported,
                                                                      expected))
        at_printed = max(s['hmax'], s['gmax'], s['bmax'])
        if abs(reported - at_printed) > 1e-6 * max(1.0, at_printed):
            fail('run %s: problem_violation %r, at the printed point %r' % (r['run'], reported,
                                                                          at_printed))
        if reported < float(r['violation']):
            fail('run %s: problem_violation %r below the program\'s %s' % (
                r['run'], reported, r['violation']))
        print('run %s: problem_violation %.17g (largest |h| %.17g), the program\'s %s'
              % (r['run'], reported, e['hmax'], r['violation']))
    return 0


if __name__ == '__main__':
    sys.exit(main())
