"""The programs scripts/compare runs and how to read them: a problem's build
of morlan and of the peers' program, the folder's dialogue answers, what a
series of morlan prints and writes, and the peers' lines.

Python 3 standard library only.
"""

import hashlib
import os
import re
import subprocess

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def folder(problem):
    return os.path.join(ROOT, 'problems', problem)


def build(problem, work):
    """The morlan program and the peers' program of a problem, built under
    work/<problem> without the tests."""
    out = os.path.join(work, problem)
    subprocess.run(['cmake', '-S', ROOT, '-B', out, '-G', 'Ninja', '-DCMAKE_BUILD_TYPE=Release',
                    '-DMORLAN_PROBLEM=' + problem, '-DMORLAN_BUILD_TESTS=OFF'],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(['cmake', '--build', out, '--target', 'morlan', 'morlan_peers_' + problem],
                   check=True, stdout=subprocess.DEVNULL)
    return (os.path.join(out, 'driver', 'morlan'),
            os.path.join(out, 'tools', 'peers', 'morlan_peers_' + problem))


def sizes(program):
    """(variables, constraints, equalities, one-sided inequalities) of the
    problem a morlan program was built for, as its --help states them."""
    text = subprocess.run([program, '--help'], check=True, capture_output=True,
                          text=True).stdout
    m = re.search(r'problem: (\d+)\s+variables, (\d+) constraints \((\d+) equalities, then (\d+)'
                  r' inequalities\)', text)
    if not m:
        raise SystemExit('%s --help does not state the sizes' % program)
    return tuple(int(g) for g in m.groups())


def fingerprint(*parts):
    """A short digest of what a cached result was made from."""
    digest = hashlib.sha256()
    for part in parts:
        digest.update(repr(part).encode())
        digest.update(b'\0')
    return digest.hexdigest()[:16]


def file_digest(path):
    with open(path, 'rb') as f:
        return hashlib.sha256(f.read()).hexdigest()[:16]


# ---------------------------------------------------------------------------
# Dialogue answers


class Answers:
    """The dialogue's answers of a series: objective scale, Lagrangian form,
    rule (or for form 10 the relaxed radius), multi-level scheme (with its
    count of agreeing levels), and the cooling ratio; the number of runs is
    given when the answers are written."""

    def __init__(self, scale, form, third, multilevel, nconsec, ratio):
        self.scale, self.form, self.third = scale, form, third
        self.multilevel, self.nconsec, self.ratio = multilevel, nconsec, ratio

    def text(self, runs):
        words = [self.scale, self.form, self.third, self.multilevel]
        if self.multilevel != '0':
            words.append(self.nconsec)
        words += ['1', str(runs), self.ratio]
        return '\n'.join(words) + '\n'

    def describe(self):
        level = 'single level' if self.multilevel == '0' else \
            'multi-level, %s agreeing levels' % self.nconsec
        third = 'radius %s' % self.third if self.form == '10' else 'rule %s' % self.third
        return 'scale %s, form %s, %s, %s, ratio %s' % (self.scale, self.form, third, level,
                                                        self.ratio)


def parse_answers(text):
    """The answers of a dialogue written one a line (the first value of each
    line; the rest of a line is ignored, as the program ignores it). A single
    run's answers become a series' (the starting-point file is dropped)."""
    values = []
    for line in text.split('\n'):
        words = line.replace(',', ' ').split()
        if words:
            values.append(words[0])
    it = iter(values)
    try:
        scale, form = next(it), next(it)
        third = next(it)
        multilevel = next(it)
        nconsec = next(it) if multilevel != '0' else '1'
        mode = next(it)
        if mode == '1':
            next(it)  # the number of runs
        ratio = next(it)
    except StopIteration:
        raise ValueError('the answers end before the cooling ratio') from None
    return Answers(scale, form, third, multilevel, nconsec, ratio)


def read_answers(problem):
    with open(os.path.join(folder(problem), 'answers.txt')) as f:
        return parse_answers(f.read())


def best_known(problem):
    """The folder's best-known objective (best_known.txt), or None."""
    path = os.path.join(folder(problem), 'best_known.txt')
    if not os.path.exists(path):
        return None
    with open(path) as f:
        words = ' '.join(l for l in f if not l.startswith('#')).split()
    return float(words[words.index('objective') + 1])


# ---------------------------------------------------------------------------
# What morlan prints and writes


def numbers_after(lines, i, label):
    """The numbers of the list-directed line i that starts with label, with
    its continuation lines (they start with a number)."""
    text = lines[i].split(label, 1)[1]
    j = i + 1
    while j < len(lines) and re.match(r'^\s+-?[0-9.]', lines[j]) and '=' not in lines[j]:
        text += ' ' + lines[j]
        j += 1
    return [float(t.replace('D', 'E')) for t in text.split()]


def parse_series(out, err):
    """Per run: start point, result point, success, objective, CPU time,
    polished objective, violation and iterations, evaluations. The result
    point is the one the run hands back: under the multi-level scheme its
    'return x = ' line after the levels (the best level's point), else its
    last 'cSA: x = ' line."""
    lines = out.split('\n')
    runs, current = [], {}
    for i, line in enumerate(lines):
        if line.startswith(' x0 = '):
            current = {'start': numbers_after(lines, i, 'x0 = ')}
        elif line.startswith((' cSA: x = ', ' cSA: stop x = ', ' return x = ')):
            current['result'] = numbers_after(lines, i, 'x = ')
        elif line.startswith(' run_id ='):
            m = re.match(r' run_id = (\d+) : (Obj|obj) =\s*(\S+) time =\s*(\S+)', line)
            current.update(success=m.group(2) == 'Obj', objective=float(m.group(3)),
                           cpu=float(m.group(4)))
            runs.append(current)
        elif line.startswith(' polished: Obj ='):
            m = re.match(r' polished: Obj =\s*(\S+) maxvio =\s*(\S+) iters =\s*(\S+)', line)
            runs[-1].update(polished=float(m.group(1)), polished_violation=float(m.group(2)),
                            polished_iterations=int(m.group(3)))
    counts = [int(c) for c in re.findall(r'run \d+: (\d+) Lagrangian evaluations', err)]
    for run, count in zip(runs, counts):
        run['evaluations'] = count
    return runs


def cpu_per_run(out):
    """The final line's CPU seconds per run (every process, polish included)."""
    m = re.search(r'time per Obj =\s*(\S+)', out)
    return float(m.group(1)) if m else float('nan')


def read_table(path):
    """A tab-separated file with a header row, as a list of dicts."""
    with open(path) as f:
        rows = [line.rstrip('\n').split('\t') for line in f if line.strip()]
    if not rows:
        return []
    return [dict(zip(rows[0], row)) for row in rows[1:]]


def read_points(path):
    """--points: {run: {'best': [...], 'polished': [...]}}."""
    points = {}
    with open(path) as f:
        next(f, None)
        for line in f:
            fields = line.rstrip('\n').split('\t')
            if len(fields) > 2:
                points.setdefault(int(fields[0]), {})[fields[1]] = [float(v) for v in fields[2:]]
    return points


# ---------------------------------------------------------------------------
# The peers' program


def parse_peer_line(line):
    return {k: float(v) for k, v in (w.split('=') for w in line.split())}


def check_points(peers, problem, points, path):
    """Objective and violations (hmax, gmax, bmax) of each point, from the
    peers' evaluation."""
    if not points:
        return []
    with open(path, 'w') as f:
        for x in points:
            f.write(' '.join('%.17g' % v for v in x) + '\n')
    out = subprocess.run([peers, 'check', path], cwd=folder(problem), check=True,
                         capture_output=True, text=True).stdout
    return [parse_peer_line(line) for line in out.split('\n') if line]
