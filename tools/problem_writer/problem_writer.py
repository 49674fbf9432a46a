#!/usr/bin/env python3
"""Describe a constrained problem and write morlan's problem data file.

morlan reads the numbers of its problem (sizes, bounds, starting point,
coefficients, element and group structure, names) from the problem data file
OUTSDIF.d, and takes the functional forms of the problem's elements from
decoded routines compiled into the program. This module writes that file
from a description in Python; docs/own-problem.md walks through it.

The model. A problem has variables with finite bounds, elements and groups.
An element is a nonlinear function of a few variables (its elemental
variables) and of fixed parameters; its form is its element type, numbered
1, 2, ... in the order the types are declared, and the decoded routines
evaluate each type. A group is

    value = scale * (sum of coef * x[v] over its linear entries
                     + sum of weight * element over its elements
                     - constant)

and is one of: part of the objective (the objective is the sum of its
groups), an equality (value = 0), or a one-sided inequality (value <= upper,
or value >= lower). A two-sided constraint is written as two inequalities.

    from problem_writer import Problem
    p = Problem('HS071')
    x = [p.variable('X%d' % i, 1.0, 5.0, start=1.0) for i in range(1, 5)]
    prod = p.element_type('PROD4', variables=4)
    e = p.element('E1', prod, x)
    p.inequality('C1', elements=[(e, 1.0)], lower=25.0)
    p.write('OUTSDIF.d')

Command line (standard library only):

    problem_writer.py sizes FILE
        prints the variables, constraints, equalities, one-sided
        inequalities and elements of a data file
    problem_writer.py header FILE OUTPUT
        writes the C++ header with those sizes (the build's configuration)
    problem_writer.py check FILE
        reads the file record by record; one line and status 1 on a fault
"""

import math
import os
import sys

BIG = 1.0e20            # an infinite group bound, as the file stores it
CAPACITY = 1000         # largest number of variables, and of constraints
NAME_WIDTH = 10         # variable, group, element-type names
PROBLEM_NAME_WIDTH = 8

OBJECTIVE, EQUALITY, INEQUALITY = 1, 2, 3


class ProblemError(Exception):
    """A fault of the description or of a data file, in one line."""


# ---------------------------------------------------------------------------
# The description


class ElementType:
    def __init__(self, number, name, variables, parameters, value):
        self.number, self.name = number, name
        self.variables, self.parameters = variables, parameters
        self.value = value


class Element:
    def __init__(self, number, name, etype, variables, parameters):
        self.number, self.name, self.type = number, name, etype
        self.variables, self.parameters = variables, parameters


class Group:
    def __init__(self, name, kind, linear, elements, constant, scale, lower, upper):
        self.name, self.kind = name, kind
        self.linear, self.elements = linear, elements
        self.constant, self.scale = constant, scale
        self.lower, self.upper = lower, upper


def _check_name(name, width, what):
    if not isinstance(name, str) or not 1 <= len(name) <= width:
        raise ProblemError('%s name %r: 1 to %d characters' % (what, name, width))
    if not all(' ' < c <= '~' for c in name):
        raise ProblemError('%s name %r: printable characters without blanks' % (what, name))


def _check_number(value, what):
    if isinstance(value, bool) or not isinstance(value, (int, float)):
        raise ProblemError('%s: %r is not a number' % (what, value))
    value = float(value)
    if not math.isfinite(value):
        raise ProblemError('%s: %r is not finite' % (what, value))
    if len(('%.8E' % value).split('E')[1]) != 3:
        raise ProblemError('%s: %r needs a three-digit exponent (the file holds two)'
                           % (what, value))
    return value


class Problem:
    """A problem being described; write() checks it and writes the file."""

    def __init__(self, name):
        _check_name(name, PROBLEM_NAME_WIDTH, 'problem')
        self.name = name
        self.vnames, self.lower, self.upper, self.start = [], [], [], []
        self._vindex = {}
        self.types, self._tindex = [], {}
        self.elements = []
        self.groups = []
        self.notes = []      # values the file's nine digits change

    # Variables -------------------------------------------------------------

    def variable(self, name, lower, upper, start=None):
        """A variable with finite bounds; the start defaults to the middle.
        Returns its number (1, 2, ...), which the other calls accept."""
        _check_name(name, NAME_WIDTH, 'variable')
        if name in self._vindex:
            raise ProblemError('variable %s declared twice' % name)
        what = 'variable %s' % name
        lo = _check_number(lower, what + ' lower bound')
        hi = _check_number(upper, what + ' upper bound')
        if not -1.0e19 < lo <= hi < 1.0e19:
            raise ProblemError('%s: bounds %r, %r must be finite and ordered (morlan draws '
                               'starting points in the box)' % (what, lower, upper))
        x0 = 0.5 * (lo + hi) if start is None else _check_number(start, what + ' start')
        if not lo <= x0 <= hi:
            raise ProblemError('%s: start %r outside its bounds' % (what, start))
        self.vnames.append(name)
        self.lower.append(lo)
        self.upper.append(hi)
        self.start.append(x0)
        self._vindex[name] = len(self.vnames)
        return len(self.vnames)

    def variable_number(self, name):
        """The number of the variable called name."""
        return self._var(name, 'variable_number')

    def _var(self, v, where):
        if isinstance(v, str):
            if v not in self._vindex:
                raise ProblemError('%s: unknown variable %s' % (where, v))
            return self._vindex[v]
        if isinstance(v, bool) or not isinstance(v, int) or not 1 <= v <= len(self.vnames):
            raise ProblemError('%s: no variable %r' % (where, v))
        return v

    # Element types and elements ------------------------------------------

    def element_type(self, name, variables, parameters=0, value=None):
        """An element type with its counts of elemental variables and
        parameters. `value(y, p)`, optional, computes an element of the type
        in Python (for evaluate()). Returns the type number (1, 2, ...)."""
        _check_name(name, NAME_WIDTH, 'element type')
        if name in self._tindex:
            raise ProblemError('element type %s declared twice' % name)
        for count, what in ((variables, 'variables'), (parameters, 'parameters')):
            if isinstance(count, bool) or not isinstance(count, int) or count < 0:
                raise ProblemError('element type %s: %s must be a count' % (name, what))
        if variables < 1:
            raise ProblemError('element type %s needs at least one variable' % name)
        t = ElementType(len(self.types) + 1, name, variables, parameters, value)
        self.types.append(t)
        self._tindex[name] = t
        return t.number

    def _type(self, t, where):
        if isinstance(t, str) and t in self._tindex:
            return self._tindex[t]
        if isinstance(t, int) and not isinstance(t, bool) and 1 <= t <= len(self.types):
            return self.types[t - 1]
        raise ProblemError('%s: unknown element type %r' % (where, t))

    def element(self, name, etype, variables, parameters=()):
        """An element of a declared type on the given variables, with its
        parameters. Returns its number (1, 2, ...)."""
        where = 'element %s' % name
        t = self._type(etype, where)
        vars_ = [self._var(v, where) for v in variables]
        pars = [_check_number(p, where + ' parameter') for p in parameters]
        if len(vars_) != t.variables or len(pars) != t.parameters:
            raise ProblemError('%s: type %s takes %d variables and %d parameters, given %d and %d'
                               % (where, t.name, t.variables, t.parameters, len(vars_), len(pars)))
        self.elements.append(Element(len(self.elements) + 1, name, t, vars_, pars))
        return len(self.elements)

    # Groups ----------------------------------------------------------------

    def _group(self, name, kind, linear, elements, constant, scale, lower, upper):
        _check_name(name, NAME_WIDTH, 'group')
        where = 'group %s' % name
        pairs = linear.items() if isinstance(linear, dict) else (linear or [])
        lin = [(self._var(v, where), _check_number(c, where + ' coefficient')) for v, c in pairs]
        elts = []
        for item in elements or []:
            e, w = item if isinstance(item, tuple) else (item, 1.0)
            if isinstance(e, bool) or not isinstance(e, int) or not 1 <= e <= len(self.elements):
                raise ProblemError('%s: no element %r' % (where, e))
            elts.append((e, _check_number(w, where + ' element weight')))
        g = Group(name, kind, lin, elts, _check_number(constant, where + ' constant'),
                  _check_number(scale, where + ' scale'), lower, upper)
        self.groups.append(g)
        return len(self.groups)

    def objective(self, name, linear=None, elements=None, constant=0.0, scale=1.0):
        """A group of the objective (the objective sums its groups)."""
        return self._group(name, OBJECTIVE, linear, elements, constant, scale, -BIG, BIG)

    def equality(self, name, linear=None, elements=None, constant=0.0, scale=1.0):
        """A constraint group whose value must be zero."""
        return self._group(name, EQUALITY, linear, elements, constant, scale, 0.0, 0.0)

    def inequality(self, name, linear=None, elements=None, constant=0.0, scale=1.0,
                   lower=None, upper=None):
        """A one-sided constraint: value <= upper, or value >= lower."""
        if (lower is None) == (upper is None):
            raise ProblemError('inequality %s: give lower or upper, not both (write a range '
                               'as two inequalities)' % name)
        lo = -BIG if lower is None else _check_number(lower, 'inequality %s lower' % name)
        hi = BIG if upper is None else _check_number(upper, 'inequality %s upper' % name)
        return self._group(name, INEQUALITY, linear, elements, constant, scale, lo, hi)

    # Checks, sizes, evaluation ----------------------------------------------

    def check(self):
        """The checks that need the whole description."""
        n, m = len(self.vnames), sum(1 for g in self.groups if g.kind != OBJECTIVE)
        if n < 1:
            raise ProblemError('the problem has no variables')
        if not self.groups:
            raise ProblemError('the problem has no groups')
        if n > CAPACITY or m > CAPACITY:
            raise ProblemError('%d variables and %d constraints: the program holds at most %d '
                               'of each' % (n, m, CAPACITY))

    def sizes(self):
        """(variables, constraints, equalities, one-sided inequalities, elements)."""
        kinds = [g.kind for g in self.groups]
        neq = kinds.count(EQUALITY)
        nineq = kinds.count(INEQUALITY)
        return len(self.vnames), neq + nineq, neq, nineq, len(self.elements)

    def evaluate(self, x):
        """(objective, equality values, one-sided values) at x (a list of n
        values), each one-sided value holding at or below zero, as morlan
        sees them. Needs the value function of every element type."""
        if len(x) != len(self.vnames):
            raise ProblemError('evaluate: %d values for %d variables' % (len(x), len(self.vnames)))
        elem = []
        for e in self.elements:
            if e.type.value is None:
                raise ProblemError('evaluate: element type %s has no value function' % e.type.name)
            elem.append(e.type.value([x[v - 1] for v in e.variables], e.parameters))
        f, eq, ineq = 0.0, [], []
        for g in self.groups:
            arg = -g.constant
            for v, c in g.linear:
                arg += c * x[v - 1]
            for e, w in g.elements:
                arg += w * elem[e - 1]
            value = g.scale * arg
            if g.kind == OBJECTIVE:
                f += value
            elif g.kind == EQUALITY:
                eq.append(value)
            elif g.lower > -1.0e19:
                ineq.append(g.lower - value)
            else:
                ineq.append(value - g.upper)
        return f, eq, ineq

    # The data file ---------------------------------------------------------

    def lines(self):
        """The data file, line by line, in its record formats."""
        self.check()
        self.notes = []
        n, groups, elements = len(self.vnames), self.groups, self.elements
        istadg, ieling, escale, istada, icna, a = [1], [], [], [1], [], []
        for g in groups:
            for e, w in g.elements:
                ieling.append(e)
                escale.append(w)
            istadg.append(len(ieling) + 1)
            for v, c in g.linear:
                icna.append(v)
                a.append(c)
            istada.append(len(icna) + 1)
        istaev, ielvar, istep, epvalu = [1], [], [1], []
        for e in elements:
            ielvar.extend(e.variables)
            istaev.append(len(ielvar) + 1)
            epvalu.extend(e.parameters)
            istep.append(len(epvalu) + 1)
        ngroup, nelem = len(groups), len(elements)
        header = [n, ngroup, nelem, len(ieling), len(ielvar), len(icna), 0, len(epvalu),
                  len(self.types), 0]
        reals = self._reals
        out = [''.join('%6d' % v for v in header), '%2d%-8s' % (3, self.name)]
        out += _ints(istadg)
        out += _ints([1] * (ngroup + 1))                  # ISTGP: no group parameters
        out += _ints(istada)
        out += _ints(istaev)
        out += _ints(istep)
        out += _ints([0] * ngroup)                        # ITYPEG: trivial groups
        out += _ints([g.kind for g in groups])            # KNDOFC
        out += _ints([e.type.number for e in elements])   # ITYPEE
        out += _ints([len(e.variables) for e in elements])  # INTVAR: internal = elemental
        out += _ints(ieling)
        out += _ints(ielvar)
        out += _ints(icna)
        out += reals(a, 'linear coefficients')
        out += reals([g.constant for g in groups], 'group constants')
        out += reals(self.lower + [g.lower for g in groups], 'lower bounds')
        out += reals(self.upper + [g.upper for g in groups], 'upper bounds')
        out += reals(self.start, 'starting point')
        out += _reals([0.0] * ngroup)                     # U: multiplier estimates
        out += _reals([])                                 # GPVALU: none
        out += reals(epvalu, 'element parameters')
        out += reals(escale, 'element weights')
        out += reals([g.scale for g in groups], 'group scales')
        out += _reals([1.0] * n)                          # VSCALE
        out.append(_d16(-BIG) + _d16(BIG))                # OBFBND
        out += _logicals([False] * nelem)                 # INTREP
        out += _logicals([True] * ngroup)                 # GXEQX: trivial groups
        out += _names([g.name for g in groups])
        out += _names(self.vnames)
        out += _names([t.name for t in self.types])
        out += _names([])                                 # no group types
        out += _ints([0] * n)                             # IVTYPE
        return out

    def _reals(self, values, what):
        changed = [v for v in values if float('%.8E' % v) != v]
        if changed:
            self.notes.append('%s: %d value(s) rounded to nine significant digits, e.g. %r -> %s'
                              % (what, len(changed), changed[0], '%.8E' % changed[0]))
        return _reals(values)

    def write(self, path):
        text = '\n'.join(self.lines()) + '\n'
        with open(path, 'w') as f:
            f.write(text)


# ---------------------------------------------------------------------------
# Record formats


def _ints(values, per_line=12):
    if not values:
        return ['']
    return [''.join('%6d' % v for v in values[i:i + per_line])
            for i in range(0, len(values), per_line)]


def _d16(x):
    mant, exp = ('%.8E' % x).split('E')
    return (mant + 'D' + exp).rjust(16)


def _reals(values, per_line=4):
    if not values:
        return ['']
    return [''.join(_d16(v) for v in values[i:i + per_line])
            for i in range(0, len(values), per_line)]


def _logicals(values, per_line=72):
    if not values:
        return ['']
    return [''.join('T' if v else 'F' for v in values[i:i + per_line])
            for i in range(0, len(values), per_line)]


def _names(values, per_line=8):
    if not values:
        return ['']
    return [''.join(v.ljust(NAME_WIDTH) for v in values[i:i + per_line])
            for i in range(0, len(values), per_line)]


# ---------------------------------------------------------------------------
# Reading a data file back


class _Reader:
    """The records of a data file in their fixed formats."""

    def __init__(self, path):
        self.path = path
        try:
            with open(path) as f:
                self.lines = f.read().split('\n')
        except (OSError, UnicodeDecodeError) as exc:
            raise ProblemError('%s: cannot be read (%s)' % (path, exc))
        if self.lines and self.lines[-1] == '':
            self.lines.pop()
        self.pos = 0
        self.record = (0, '')

    def begin(self, number, name):
        self.record = (number, name)

    def fail(self, what):
        raise ProblemError('%s: record %d (%s): %s' % (self.path, self.record[0],
                                                       self.record[1], what))

    def line(self):
        if self.pos >= len(self.lines):
            self.fail('the file ends before the record')
        self.pos += 1
        return self.lines[self.pos - 1]

    def _list(self, count, per_line, width, conv):
        out = []
        if count == 0:
            self.line()
            return out
        while len(out) < count:
            text = self.line()
            for k in range(per_line):
                if len(out) == count:
                    break
                field = text[k * width:(k + 1) * width]
                if not field:
                    self.fail('entry %d: the line ends before it' % (len(out) + 1))
                try:
                    out.append(conv(field))
                except ValueError:
                    self.fail('entry %d: %r is not readable' % (len(out) + 1, field))
        return out

    def ints(self, count):
        return self._list(count, 12, 6, lambda s: int(s) if s.strip() else 0)

    def reals(self, count):
        def real(s):
            v = float(s.replace('D', 'E').replace('d', 'e'))
            if not math.isfinite(v):
                raise ValueError
            return v
        return self._list(count, 4, 16, real)

    def logicals(self, count):
        return self._list(count, 72, 1, lambda s: s in 'Tt')

    def names(self, count):
        return self._list(count, 8, 10, lambda s: s.rstrip())


def read_data_file(path):
    """The records of a data file as a dict of lists (entries 0-based)."""
    r = _Reader(path)
    r.begin(1, 'header')
    rec1 = r.line()
    try:
        h = [int(rec1[i * 6:(i + 1) * 6]) for i in range(10)]
    except ValueError:
        r.fail('ten integers of six columns expected')
    n, ngroup, nelem, neling, _, nlina, ngpval, nepval, netype, ngtype = h
    if n < 1 or ngroup < 1 or min(h) < 0:
        r.fail('counts %s: no variables, no groups or a negative count' % h)
    r.begin(2, 'KCLASS, PRBNAM')
    rec2 = r.line()
    try:
        kclass = int(rec2[:2])
    except ValueError:
        r.fail('class %r is not an integer' % rec2[:2])
    d = dict(n=n, ngroup=ngroup, nelem=nelem, kclass=kclass, name=rec2[2:10].rstrip())
    if kclass == 2:
        r.begin(3, 'IOBJGR')
        r.ints(2)
    for number, key, count in ((4, 'istadg', ngroup + 1), (5, 'istgp', ngroup + 1),
                               (6, 'istada', ngroup + 1), (7, 'istaev', nelem + 1),
                               (8, 'istep', nelem + 1), (9, 'itypeg', ngroup)):
        r.begin(number, key.upper())
        d[key] = r.ints(count)
    if kclass > 1:
        r.begin(10, 'KNDOFC')
        d['kndofc'] = r.ints(ngroup)
    else:
        d['kndofc'] = [OBJECTIVE] * ngroup
    nelvar = d['istaev'][-1] - 1
    for number, key, count in ((11, 'itypee', nelem), (12, 'intvar', nelem),
                               (13, 'ieling', neling), (14, 'ielvar', nelvar),
                               (15, 'icna', nlina)):
        r.begin(number, key.upper())
        d[key] = r.ints(count)
    ngbnd = ngroup if kclass > 2 else 0
    for number, key, count in ((16, 'a', nlina), (17, 'b', ngroup), (18, 'bl', n + ngbnd),
                               (19, 'bu', n + ngbnd), (20, 'x', n)):
        r.begin(number, key.upper())
        d[key] = r.reals(count)
    d['xl'], d['gl'] = d['bl'][:n], d['bl'][n:] or [-BIG] * ngroup
    d['xu'], d['gu'] = d['bu'][:n], d['bu'][n:] or [BIG] * ngroup
    if kclass > 1:
        r.begin(21, 'U')
        d['u'] = r.reals(ngroup)
    for number, key, count in ((22, 'gpvalu', ngpval), (23, 'epvalu', nepval),
                               (24, 'escale', neling), (25, 'gscale', ngroup), (26, 'vscale', n),
                               (27, 'obfbnd', 2)):
        r.begin(number, key.upper())
        d[key] = r.reals(count)
    r.begin(28, 'INTREP')
    d['intrep'] = r.logicals(nelem)
    r.begin(29, 'GXEQX')
    d['gxeqx'] = r.logicals(ngroup)
    for number, key, count in ((30, 'gnames', ngroup), (31, 'vnames', n),
                               (32, 'etypes', netype), (33, 'gtypes', ngtype)):
        r.begin(number, key.upper())
        d[key] = r.names(count)
    r.begin(34, 'IVTYPE')
    d['ivtype'] = r.ints(n)
    if r.pos != len(r.lines):
        raise ProblemError('%s: %d lines after the last record' % (path, len(r.lines) - r.pos))
    return d


def file_sizes(d):
    """(variables, constraints, equalities, one-sided inequalities, elements,
    ranges) of a file read by read_data_file."""
    neq = nineq = ranges = 0
    for i, kind in enumerate(d['kndofc']):
        if kind == OBJECTIVE:
            continue
        if kind == EQUALITY:
            neq += 1
            continue
        both = d['gl'][i] > -1.0e19 and d['gu'][i] < 1.0e19
        nineq += 2 if both else 1
        ranges += 1 if both else 0
    return d['n'], neq + nineq - ranges, neq, nineq, d['nelem'], ranges


def evaluate_file(d, x, element_value):
    """(objective, equality values, one-sided values) of trivial groups at x,
    from a file read by read_data_file; element_value(type, y, p) gives an
    element's value."""
    elem = []
    for e in range(d['nelem']):
        s, t = d['istaev'][e] - 1, d['istaev'][e + 1] - 1
        p, q = d['istep'][e] - 1, d['istep'][e + 1] - 1
        elem.append(element_value(d['itypee'][e], [x[v - 1] for v in d['ielvar'][s:t]],
                                  d['epvalu'][p:q]))
    f, eq, ineq = 0.0, [], []
    for i in range(d['ngroup']):
        arg = -d['b'][i]
        for j in range(d['istada'][i] - 1, d['istada'][i + 1] - 1):
            arg += d['a'][j] * x[d['icna'][j] - 1]
        for k in range(d['istadg'][i] - 1, d['istadg'][i + 1] - 1):
            arg += d['escale'][k] * elem[d['ieling'][k] - 1]
        value = d['gscale'][i] * arg
        kind = d['kndofc'][i]
        if kind == OBJECTIVE:
            f += value
        elif kind == EQUALITY:
            eq.append(value)
        else:
            if d['gl'][i] > -1.0e19:
                ineq.append(d['gl'][i] - value)
            if d['gu'][i] < 1.0e19 or d['gl'][i] <= -1.0e19:
                ineq.append(value - d['gu'][i])
    return f, eq, ineq


# ---------------------------------------------------------------------------
# The build's configuration header


HEADER = """\
// Generated from the problem data file of {name} when the build was
// configured (tools/problem_writer/problem_writer.py header); do not edit.
// The linked problem: its name, variables, constraints, equalities
// (constraints 1..kNeq), one-sided inequalities after them, elements, and
// the grid the description declares (10000 points per unit unless it says).
#pragma once

namespace morlan::cfg::linked {{
inline constexpr const char* kName = "{name}";
inline constexpr int kNvar = {n};
inline constexpr int kNcon = {m};
inline constexpr int kNeq = {neq};
inline constexpr int kNineq = {nineq};
inline constexpr int kNelem = {nelem};
// Annealing grid points per unit of a variable's range.
inline constexpr int kGridPointsPerUnit = {points};
}}  // namespace morlan::cfg::linked
"""


DEFAULT_POINTS_PER_UNIT = 10000


def read_settings(path):
    """The build settings a formula folder's generation wrote (settings.txt:
    'points_per_unit N'); the defaults without a file."""
    settings = {'points_per_unit': DEFAULT_POINTS_PER_UNIT}
    if path is None:
        return settings
    try:
        with open(path) as f:
            lines = f.read().split('\n')
    except OSError as exc:
        raise ProblemError('%s: cannot be read (%s)' % (path, exc.strerror or exc))
    for number, line in enumerate(lines, 1):
        words = line.split()
        if not words:
            continue
        if len(words) != 2 or words[0] not in settings or not words[1].isdigit():
            raise ProblemError('%s line %d: %r is not a setting' % (path, number, line))
        settings[words[0]] = int(words[1])
    return settings


def configuration_header(path, name, settings_path=None):
    d = read_data_file(path)
    n, m, neq, nineq, nelem, ranges = file_sizes(d)
    if ranges:
        raise ProblemError('%s: %d constraint(s) with two finite bounds; morlan takes one-sided '
                           'inequalities: write each as two' % (path, ranges))
    if m > CAPACITY or n > CAPACITY:
        raise ProblemError('%s: %d variables and %d constraints, at most %d of each'
                           % (path, n, m, CAPACITY))
    points = read_settings(settings_path)['points_per_unit']
    return HEADER.format(name=name, n=n, m=m, neq=neq,
                         nineq=nineq, nelem=nelem, points=points)


# ---------------------------------------------------------------------------
# Command line


def main(argv=None):
    argv = sys.argv[1:] if argv is None else argv
    usage = ('usage: problem_writer.py sizes FILE | header FILE OUTPUT [NAME [SETTINGS]]'
             ' | check FILE')
    if not argv or argv[0] not in ('sizes', 'header', 'check'):
        print(usage, file=sys.stderr)
        return 2
    try:
        if argv[0] == 'sizes' and len(argv) == 2:
            print(*file_sizes(read_data_file(argv[1]))[:5])
        elif argv[0] == 'check' and len(argv) == 2:
            read_data_file(argv[1])
        elif argv[0] == 'header' and len(argv) in (3, 4, 5):
            name = argv[3] if len(argv) >= 4 else os.path.basename(os.path.dirname(
                os.path.abspath(argv[1])))
            text = configuration_header(argv[1], name, argv[4] if len(argv) == 5 else None)
            old = None
            if os.path.exists(argv[2]):
                with open(argv[2]) as f:
                    old = f.read()
            if old != text:     # an unchanged header keeps the build up to date
                with open(argv[2], 'w') as f:
                    f.write(text)
        else:
            print(usage, file=sys.stderr)
            return 2
    except ProblemError as exc:
        print(exc, file=sys.stderr)
        return 1
    return 0


def run_description(build, argv=None):
    """The command line of a problem description (problem.py): build()
    returns the Problem, which is written to --output (default OUTSDIF.d in
    the current directory); with --compare FILE it fails unless FILE holds
    exactly what was written. Returns the exit status."""
    import argparse
    ap = argparse.ArgumentParser(description='Write the problem data file.')
    ap.add_argument('--output', default='OUTSDIF.d')
    ap.add_argument('--compare', metavar='FILE',
                    help='fail unless FILE equals the written file byte for byte')
    args = ap.parse_args(argv)
    try:
        problem = build()
        problem.write(args.output)
    except ProblemError as exc:
        print('problem description: %s' % exc, file=sys.stderr)
        return 1
    for note in problem.notes:
        print('note: %s' % note, file=sys.stderr)
    if args.compare:
        with open(args.output, 'rb') as a, open(args.compare, 'rb') as b:
            if a.read() != b.read():
                print('%s differs from what the description writes: regenerate it'
                      % args.compare, file=sys.stderr)
                return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
