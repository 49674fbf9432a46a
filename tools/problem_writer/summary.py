"""The one-screen summary of a formula description: what the writer made of
it (groups, element types, elements, the largest element), so that the
author sees what the program's evaluation will do."""

import problem_writer as pw

MAX_LINES = 12      # groups and types listed; the rest is counted


def text(problem):
    d = problem.decomposition()
    n = len(problem.symbols)
    kinds = [g.kind for g in d.groups]
    neq, nineq = kinds.count(pw.EQUALITY), kinds.count(pw.INEQUALITY)
    sense = 'maximised (the program minimises its negative)' if d.groups[0].scale < 0 \
        else 'minimised'
    out = ['%s: %d variables, objective %s, %d equalit%s, %d one-sided inequalit%s'
           % (problem.name, n, sense, neq, 'y' if neq == 1 else 'ies', nineq,
              'y' if nineq == 1 else 'ies'),
           '%d groups, %d element types, %d elements (%d uses in groups)'
           % (len(d.groups), len(d.types), len(d.elements),
              sum(len(g.elements) for g in d.groups))]
    largest = d.largest()
    if largest is not None:
        out.append('largest element: %d variables (type %s, %s)'
                   % (len(largest.variables), largest.type.name, _short(largest.term, 50)))
    out.append('')
    out.append('groups:')
    out += _listed([_group_line(problem, g) for g in d.groups])
    out.append('element types:' if d.types else 'element types: none (every function is linear)')
    out += _listed(['  %-5s %2d var %2d par %4d elements  %s'
                    % (t.name, t.nvars, t.nparams, t.elements, _short(t.expr, 44))
                    for t in d.types])
    return '\n'.join(out)


def _group_line(problem, g):
    kind = {pw.OBJECTIVE: 'objective', pw.EQUALITY: '= 0'}.get(g.kind)
    if kind is None:
        kind = '>= %.9g' % g.lower if g.lower > -1e19 else '<= %.9g' % g.upper
    parts = []
    if g.linear:
        parts.append('%d linear' % len(g.linear))
    if g.elements:
        types = sorted({e.type.name for e, _ in g.elements}, key=lambda s: int(s[1:]))
        listed = ', '.join(types[:5]) + (', ...' if len(types) > 5 else '')
        parts.append('%d element%s (%s)' % (len(g.elements), _s(len(g.elements)), listed))
    if g.constant:
        parts.append('constant %.9g' % g.constant)
    if g.scale != 1.0:
        parts.append('scale %g' % g.scale)
    return '  %-10s %-14s %s' % (g.name, kind, '; '.join(parts) or 'empty')


def _s(count):
    return '' if count == 1 else 's'


def _listed(lines):
    if len(lines) <= MAX_LINES:
        return lines
    return lines[:MAX_LINES - 1] + ['  ... and %d more' % (len(lines) - MAX_LINES + 1)]


def _short(expr, width):
    s = str(expr)
    return s if len(s) <= width else s[:width - 3] + '...'
