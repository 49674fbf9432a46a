"""The tables of scripts/compare --protocol (Markdown).

cec2006: the rates, evaluations and CPU of each method, then the error
f - f* of its runs' best points after each number of evaluations recorded.
cec2020: each method's rates and objectives at the whole budget, with the
published figures of the competition's leading methods beside them
(data/cec2020_leaders.tsv).
"""

import datetime
import math
import os
import platform

import programs
from protocol import PROTOCOLS, Outcome

LEADERS = os.path.join(programs.ROOT, 'data', 'cec2020_leaders.tsv')
# The published objectives' significant digits.
PUBLISHED_DIGITS = 8


def count(v):
    if v is None:
        return '-'
    if v >= 1e6:
        return '%.2fM' % (v / 1e6)
    if v >= 1e4:
        return '%.1fk' % (v / 1e3)
    return '%.0f' % v


def seconds(v):
    return '-' if v is None or v != v else '<0.01' if v < 0.01 else '%.3g' % v


def point(o, best, error):
    """A run's best point in a cell: its error (or objective), or that it is
    infeasible and by how much beyond the tolerances."""
    o = o if isinstance(o, Outcome) else Outcome.from_json(o)
    if o.feasible:
        if error and best is not None:
            return '%.4e' % (o.objective - best)
        return '%.8g' % o.objective
    if o.excess is None:
        return 'none'
    return 'infeasible (%.2g)' % o.excess


def plain(v, digits='%.4e'):
    return '-' if v is None else digits % v


def rates_table(results):
    lines = ['| Problem | f* | Method | Feasible | Success | Evaluations per run | Trials / n '
             '| Mean evaluations of successful runs | Success performance | CPU s per run |',
             '|---|---|---|---|---|---|---|---|---|---|']
    for res in results:
        for k, row in enumerate(res['rows']):
            s = row['success']
            lines.append('| %s | %s | %s | %d/%d | %s | %s | %s | %s | %s | %s |' % (
                res['problem'] if k == 0 else '', known(res) if k == 0 else '', row['method'],
                row['feasible'], res['runs'],
                '%d/%d' % (s['successes'], res['runs']) if s else '-',
                count(row['evaluations']), count(row.get('trials_per_variable')),
                count(s['mean']) if s else '-', count(s['performance']) if s else '-',
                seconds(row['cpu'])))
    return '\n'.join(lines)


def errors_table(results):
    lines = ['| Problem | Method | Evaluations | Best | Median | Worst | Mean | SD | Feasible |',
             '|---|---|---|---|---|---|---|---|---|']
    for res in results:
        first = True
        for row in res['rows']:
            for limit in res['checkpoints']:
                a = row['at'][str(limit)]
                lines.append('| %s | %s | %s | %s | %s | %s | %s | %s | %d/%d |' % (
                    res['problem'] if first else '', row['method'], count(limit),
                    point(a['best'], res['best'], True), point(a['median'], res['best'], True),
                    point(a['worst'], res['best'], True), plain(a['mean']), plain(a['sd']),
                    a['feasible'], res['runs']))
                first = False
    return '\n'.join(lines)


def known(res):
    return '-' if res['best'] is None else '%.10g' % res['best']


def read_leaders():
    rows = {}
    if not os.path.exists(LEADERS):
        return rows
    with open(LEADERS) as f:
        lines = [l.rstrip('\n').split('\t') for l in f if l.strip() and not l.startswith('#')]
    header = lines[0]
    for fields in lines[1:]:
        row = dict(zip(header, fields))
        rows.setdefault(row['problem'], []).append(row)
    return rows


def half_unit(value, digits):
    """Half a unit in the last of `digits` significant digits of value."""
    if value == 0.0:
        return 0.0
    return 0.5 * 10.0 ** (math.floor(math.log10(abs(value))) - digits + 1)


def leader_cell(value, violation, best):
    """A published objective: marked when its run was infeasible, or when it
    lies below the folder's best-known value by more than the success
    accuracy and more than the rounding of its published 8 significant
    digits (the best value known is then the published one)."""
    v, f = float(violation), float(value)
    text = '%.8g' % f
    if v != 0.0:
        return '%s (infeasible, %.2g)' % (text, v)
    if best is not None and f < best - max(PROTOCOLS['cec2020'].success_tolerance(best),
                                           half_unit(f, PUBLISHED_DIGITS)):
        return '%s (below f*)' % text
    return text


def cec2020_table(results):
    leaders = read_leaders()
    lines = ['| Problem | D | Budget | f* | Method | Feasible | Success | Best | Median | Worst '
             '| CPU s per run |',
             '|---|---|---|---|---|---|---|---|---|---|---|']
    for res in results:
        label = res['problem'].upper()
        for k, row in enumerate(res['rows']):
            a = row['at'][str(res['budget'])]
            s = row['success']
            lines.append('| %s | %s | %s | %s | %s | %d/%d | %s | %s | %s | %s | %s |' % (
                label if k == 0 else '', res['variables'] if k == 0 else '',
                count(res['budget']) if k == 0 else '', known(res) if k == 0 else '',
                row['method'], row['feasible'], res['runs'],
                '%d/%d' % (s['successes'], res['runs']) if s else '-',
                point(a['best'], res['best'], False), point(a['median'], res['best'], False),
                point(a['worst'], res['best'], False), seconds(row['cpu'])))
        extra = res.get('beyond')
        if extra:
            a = extra['at'][str(extra['limit'])]
            lines.append('|  |  |  |  | %s | %d/%d | - | %s | %s | %s | %s evaluations per '
                         'feasible run |' % (extra['method'], extra['feasible'], res['runs'],
                                             point(a['best'], res['best'], False),
                                             point(a['median'], res['best'], False),
                                             point(a['worst'], res['best'], False),
                                             count(extra['evaluations'])))
        for lead in leaders.get(label, []):
            lines.append('|  |  |  |  | %s (published, rank %s) | %s/%s | - | %s | %s | - | - |' % (
                lead['method'], lead['rank'], lead['feasible_runs'], lead['runs'],
                leader_cell(lead['best'], lead['best_violation'], res['best']),
                leader_cell(lead['median'], lead['median_violation'], res['best'])))
    return '\n'.join(lines)


def tables(name, results):
    if name == 'cec2006':
        return rates_table(results) + '\n\n' + errors_table(results) + '\n'
    return cec2020_table(results) + '\n'


def machine():
    model = ''
    try:
        with open('/proc/cpuinfo') as f:
            for line in f:
                if line.startswith('model name'):
                    model = line.split(':', 1)[1].strip()
                    break
    except OSError:
        pass
    return '%s, %d cores, %s' % (model or platform.processor(), os.cpu_count(), platform.platform())


def footer(results, wall, jobs):
    lines = ['', 'Machine: %s. Date: %s. Jobs: %d. Whole comparison: %.0f s wall.'
             % (machine(), datetime.date.today().isoformat(), jobs, wall),
             'Per problem (wall s, answers): %s.' % '; '.join(
                 '%s %.0f (%s)' % (r['problem'], r['wall'], r['answers']) for r in results),
             'Cost of each part when it ran (wall s): %s.' % '; '.join(
                 '%s: %s' % (r['problem'], ', '.join('%s %.0f' % (k, v)
                                                     for k, v in r['costs'].items() if v))
                 for r in results)]
    return '\n'.join(lines) + '\n'
