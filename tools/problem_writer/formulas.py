"""Problems from formulas: write the mathematics once, get the data file and
the element routines.

A description (problems/<name>/problem.py) declares the variables and states
the objective and the constraints as SymPy formulas; docs/own-problem.md
walks through one.

    from formulas import Problem, run
    import sympy as sp

    def build():
        p = Problem('HS071')
        x1, x2, x3, x4 = p.variables('X', 4, lower=1, upper=5, start=[1, 5, 5, 1])
        p.minimize(x1*x4*(x1 + x2 + x3) + x3)
        p.inequality(x1*x2*x3*x4 >= 25, name='PRODUCT')
        p.equality(x1**2 + x2**2 + x3**2 + x4**2, 40)
        return p

    if __name__ == '__main__':
        sys.exit(run(build))

The writer splits every function into one group of morlan's data file
(decompose.py), writes the file with problem_writer.py, and generates the
element routines in C++ (routines.py) when the build is configured.

    problem.py [--output FILE] [--compare FILE] [--summary] [--generate DIR]

Without options it writes OUTSDIF.d in the current directory. Runs under
Debian's /usr/bin/python3 with python3-sympy: started by another
interpreter, it starts itself again under that one, so that every machine
writes the same file and the same code.
"""

import os
import sys

DEBIAN_PYTHON = '/usr/bin/python3'

# The most annealing grid points per unit of range a build takes (the
# count is a C++ int).
MOST_POINTS_PER_UNIT = 1000000000


def _use_debian_python():
    """Run the description under Debian's Python (its SymPy decides the
    element order and the generated code), when started as a script by
    another interpreter."""
    main = sys.modules.get('__main__')
    script = getattr(main, '__file__', None)
    if (script is None or os.environ.get('MORLAN_FORMULAS_INTERPRETER')
            or not os.path.exists(DEBIAN_PYTHON)
            or os.path.realpath(sys.executable) == os.path.realpath(DEBIAN_PYTHON)):
        return
    os.environ['MORLAN_FORMULAS_INTERPRETER'] = DEBIAN_PYTHON
    os.execv(DEBIAN_PYTHON, [DEBIAN_PYTHON, os.path.abspath(script)] + sys.argv[1:])


_use_debian_python()

import math  # noqa: E402

import sympy as sp  # noqa: E402

import problem_writer as pw  # noqa: E402
from problem_writer import ProblemError  # noqa: E402,F401
import decompose  # noqa: E402
import files  # noqa: E402

# The functions the generated code evaluates (beyond +, -, *, / and powers).
FUNCTIONS = {'exp', 'log', 'sin', 'cos', 'tan', 'asin', 'acos', 'atan', 'atan2', 'sinh',
             'cosh', 'tanh', 'asinh', 'acosh', 'atanh', 'Abs', 'Min', 'Max', 'Piecewise',
             'sign', 'Heaviside', 'erf', 'erfc'}

EQUALITY, INEQUALITY = 'equality', 'inequality'


class FileFunction:
    """One group of the file: a function, its kind, scale and bounds."""

    def __init__(self, name, kind, expr, scale=1.0, lower=-pw.BIG, upper=pw.BIG):
        self.name, self.kind, self.expr = name, kind, expr
        self.scale, self.lower, self.upper = scale, lower, upper


class Constraint:
    def __init__(self, name, kind, expr, lower=None, upper=None):
        self.name, self.kind, self.expr = name, kind, expr
        self.lower, self.upper = lower, upper     # SymPy numbers or None


class Problem:
    """A problem described by formulas."""

    def __init__(self, name):
        pw._check_name(name, pw.PROBLEM_NAME_WIDTH, 'problem')
        self.name = name
        self.symbols, self.lower, self.upper, self.start = [], [], [], []
        self.objective = None          # (name, expression, sign)
        self.constraints = []
        self.read_files = []
        self.points_per_unit = pw.DEFAULT_POINTS_PER_UNIT
        self._names = set()
        self._decomposition = None
        self._functions = {}

    # Variables -------------------------------------------------------------

    def variable(self, name, lower, upper, start=None):
        """A variable with finite bounds (start: the middle by default);
        returns its SymPy symbol."""
        pw._check_name(name, pw.NAME_WIDTH, 'variable')
        if any(s.name == name for s in self.symbols):
            raise ProblemError('variable %s declared twice' % name)
        where = 'variable %s' % name
        lo, hi = _bound(lower, where + ' lower bound'), _bound(upper, where + ' upper bound')
        if not lo <= hi:
            raise ProblemError('%s: bounds %r, %r are not ordered' % (where, lower, upper))
        x0 = 0.5 * (lo + hi) if start is None else _number(start, where + ' start')
        if not lo <= x0 <= hi:
            raise ProblemError('%s: start %r outside its bounds' % (where, start))
        symbol = sp.Symbol(name, real=True)
        self.symbols.append(symbol)
        self.lower.append(lo)
        self.upper.append(hi)
        self.start.append(x0)
        self._changed()
        return symbol

    def variables(self, prefix, count, lower, upper, start=None):
        """Variables prefix1 .. prefix<count>; lower, upper and start are
        numbers or lists of count numbers. Returns their symbols."""
        if isinstance(count, bool) or not isinstance(count, int) or count < 1:
            raise ProblemError('variables %s: count %r is not a positive integer'
                               % (prefix, count))

        def each(value, what):
            if isinstance(value, (list, tuple)):
                if len(value) != count:
                    raise ProblemError('variables %s: %d %s values for %d variables'
                                       % (prefix, len(value), what, count))
                return list(value)
            return [value] * count
        los, his = each(lower, 'lower'), each(upper, 'upper')
        starts = each(start, 'start')
        return [self.variable('%s%d' % (prefix, i + 1), los[i], his[i], starts[i])
                for i in range(count)]

    # Objective and constraints ---------------------------------------------

    def minimize(self, expr, name='OBJ'):
        """The objective, minimised."""
        self._objective(expr, name, 1.0)

    def maximize(self, expr, name='OBJ'):
        """The objective, maximised: the program minimises its negative (the
        group's scale is -1), and prints and evaluates that."""
        self._objective(expr, name, -1.0)

    def _objective(self, expr, name, sign):
        if self.objective is not None:
            raise ProblemError('objective %s: the problem has an objective already (%s)'
                               % (name, self.objective[0]))
        self._name(name)
        self.objective = (name, self._function(expr, name), sign)
        self._changed()

    def equality(self, lhs, rhs=0, name=None):
        """The constraint lhs = rhs (an expression, = 0 by default, or an
        sp.Eq)."""
        name = name or 'H%d' % (1 + sum(c.kind == EQUALITY for c in self.constraints))
        self._name(name)
        lhs = _sympify(lhs, name)
        if isinstance(lhs, sp.Equality):
            if rhs != 0:
                raise ProblemError('function %s: an equation and a right-hand side' % name)
            lhs, rhs = lhs.lhs, lhs.rhs
        if _is_relation(lhs):
            raise ProblemError('function %s: %s is not an equation' % (name, decompose.short(lhs)))
        expr = self._function(lhs - _sympify(rhs, name), name)
        self.constraints.append(Constraint(name, EQUALITY, expr))
        self._changed()

    def inequality(self, relation, name=None, lower=None, upper=None):
        """A one-sided constraint written as expr <= b, expr >= b, b <= expr
        (b a number or another expression), or expr with lower=, upper= or
        both (a two-sided constraint: two groups, NAME_L and NAME_U)."""
        name = name or 'G%d' % (1 + sum(c.kind == INEQUALITY for c in self.constraints))
        both = lower is not None and upper is not None
        self._name(name, 8 if both else pw.NAME_WIDTH)
        relation = _sympify(relation, name)
        if lower is None and upper is None:
            expr, lo, hi = self._relation(relation, name)
        else:
            if _is_relation(relation):
                raise ProblemError('function %s: give an expression with lower= or upper=, '
                                   'not %s' % (name, decompose.short(relation)))
            expr = relation
            lo = None if lower is None else _constant(lower, name + ' lower bound')
            hi = None if upper is None else _constant(upper, name + ' upper bound')
            if both and not lo <= hi:
                raise ProblemError('function %s: lower bound %s above upper bound %s'
                                   % (name, lo, hi))
        expr = self._function(expr, name)
        self.constraints.append(Constraint(name, INEQUALITY, expr, lo, hi))
        self._changed()

    def _relation(self, rel, name):
        """(expression, lower, upper) of a relation; the side without
        variables becomes the bound."""
        if isinstance(rel, (sp.LessThan, sp.StrictLessThan)):
            small, big = rel.lhs, rel.rhs
        elif isinstance(rel, (sp.GreaterThan, sp.StrictGreaterThan)):
            small, big = rel.rhs, rel.lhs
        elif rel in (sp.true, sp.false):
            raise ProblemError('function %s: the relation is always %s, not an inequality'
                               % (name, 'true' if rel == sp.true else 'false'))
        else:
            raise ProblemError('function %s: %s is not an inequality (<=, >=)'
                               % (name, decompose.short(rel)))
        if not big.free_symbols:
            return small, None, _constant(big, name + ' bound')
        if not small.free_symbols:
            return big, _constant(small, name + ' bound'), None
        return small - big, None, sp.S.Zero

    def grid(self, points_per_unit):
        """The annealing grid of the build: every variable takes
        points_per_unit points per unit of its range (at least that many
        on a range shorter than one). Trial moves are whole grid steps, so a
        problem whose equalities change by much more than the equality band
        over one step of 1/10000 needs a finer grid."""
        if (isinstance(points_per_unit, bool) or not isinstance(points_per_unit, int)
                or not 2 <= points_per_unit <= MOST_POINTS_PER_UNIT):
            raise ProblemError('grid: points per unit %r is not a whole number from 2 to %d'
                               % (points_per_unit, MOST_POINTS_PER_UNIT))
        self.points_per_unit = points_per_unit

    def reads(self, *paths):
        """Files the description reads (paths relative to problem.py): the
        build generates the routines again when one of them changes."""
        self.read_files.extend(paths)

    # Checks ----------------------------------------------------------------

    def _name(self, name, width=pw.NAME_WIDTH):
        pw._check_name(name, width, 'function')
        if name in self._names:
            raise ProblemError('function %s: the name is used twice' % name)
        self._names.add(name)

    def _function(self, expr, name):
        """expr checked term by term: declared symbols, finite real
        constants, functions the code generator knows, a finite value at
        the starting point."""
        expr = _sympify(expr, name)
        if _is_relation(expr):
            raise ProblemError('function %s: %s is a relation, not an expression'
                               % (name, decompose.short(expr)))
        declared = set(self.symbols)
        if not expr.free_symbols:
            raise ProblemError('function %s: %s has no variables' % (name, decompose.short(expr)))
        for term in sp.Add.make_args(expr):
            where = 'function %s, term %s' % (name, decompose.short(term))
            unknown = sorted(s.name for s in term.free_symbols - declared)
            if unknown:
                raise ProblemError('%s: undeclared symbol %s' % (where, unknown[0]))
            if term.has(sp.oo, -sp.oo, sp.zoo, sp.nan) or any(
                    not math.isfinite(float(n)) for n in term.atoms(sp.Float)):
                raise ProblemError('%s: non-finite constant' % where)
            if term.has(sp.I):
                raise ProblemError('%s: complex constant' % where)
            for f in term.atoms(sp.Function):
                fname = type(f).__name__
                if fname not in FUNCTIONS:
                    raise ProblemError('%s: %s is not a function the writer differentiates '
                                       'into code' % (where, fname))
            value = self._value(term, self.start)
            if not math.isfinite(value):
                raise ProblemError('%s: not finite at the starting point (%r)' % (where, value))
        return expr

    def _changed(self):
        self._decomposition = None

    # Evaluation ------------------------------------------------------------

    def _value(self, expr, x):
        """expr at x (a value for every variable) in double precision; NaN
        where it is not a real number."""
        known = self._functions.get(expr)
        if known is None:
            # Over the formula's own variables: a function of all of them
            # costs as much to make for each term of a large problem.
            index = {s: i for i, s in enumerate(self.symbols)}
            uses = sorted((index[s] for s in expr.free_symbols if s in index))
            f = sp.lambdify([self.symbols[i] for i in uses], expr, modules='math')
            known = self._functions[expr] = (f, uses)
        f, uses = known
        try:
            return float(f(*[x[i] for i in uses]))
        except (ValueError, ZeroDivisionError, OverflowError, TypeError):
            return math.nan

    def evaluate(self, x):
        """(objective, equality values, one-sided values) at x, in double
        precision from the formulas: the objective as the program minimises
        it, each equality's lhs - rhs, and each one-sided value (<= 0 when
        met; a two-sided constraint its lower then its upper one)."""
        if len(x) != len(self.symbols):
            raise ProblemError('evaluate: %d values for %d variables'
                               % (len(x), len(self.symbols)))
        x = [float(v) for v in x]
        f = 0.0
        if self.objective is not None:
            f = self.objective[2] * self._value(self.objective[1], x)
        h, g = [], []
        for c in self.constraints:
            value = self._value(c.expr, x)
            if c.kind == EQUALITY:
                h.append(value)
                continue
            if c.lower is not None:
                g.append(float(c.lower) - value)
            if c.upper is not None:
                g.append(value - float(c.upper))
        return f, h, g

    # The file --------------------------------------------------------------

    def file_functions(self):
        """The groups of the file in order: the objective, the equalities,
        the inequalities (a two-sided one as its lower then its upper side).
        A bound the file would round moves into its function."""
        if self.objective is None:
            raise ProblemError('the problem has no objective (p.minimize or p.maximize)')
        name, expr, sign = self.objective
        out = [FileFunction(name, pw.OBJECTIVE, expr, scale=sign)]
        out += [FileFunction(c.name, pw.EQUALITY, c.expr)
                for c in self.constraints if c.kind == EQUALITY]
        for c in self.constraints:
            if c.kind != INEQUALITY:
                continue
            sides = [(s, b) for s, b in (('_L', c.lower), ('_U', c.upper)) if b is not None]
            for suffix, bound in sides:
                gname = c.name + suffix if len(sides) == 2 else c.name
                expr, b = c.expr, bound
                if not decompose.fits_file(b):
                    expr, b = expr - b, sp.S.Zero
                lo, hi = (float(b), pw.BIG) if suffix == '_L' else (-pw.BIG, float(b))
                out.append(FileFunction(gname, pw.INEQUALITY, expr, lower=lo, upper=hi))
        return out

    def decomposition(self):
        if self._decomposition is None:
            self._decomposition = decompose.Decomposition(self)
        return self._decomposition

    def lines(self):
        """The data file, line by line."""
        return self.decomposition().writer_problem().lines()

    def write(self, path):
        files.write_if_changed(path, '\n'.join(self.lines()) + '\n')

    def notes(self):
        """What the file's nine digits change: variable bounds and starts."""
        out = []
        for s, lo, hi, x0 in zip(self.symbols, self.lower, self.upper, self.start):
            for what, v in (('lower bound', lo), ('upper bound', hi), ('start', x0)):
                if not decompose.fits_file(v):
                    kept = float('%.8E' % v)
                    out.append('variable %s %s %r is %r in the file (by %.3g)'
                               % (s.name, what, v, kept, kept - v))
        return out


# ---------------------------------------------------------------------------
# Numbers


def _sympify(expr, name):
    try:
        return sp.sympify(expr, strict=False)
    except (sp.SympifyError, TypeError) as exc:
        raise ProblemError('function %s: %r is not a formula (%s)' % (name, expr, exc))


def _is_relation(expr):
    """True for a relation or a logical formula (x <= 1, And(...), true),
    never for an expression: a SymPy symbol is a Boolean too, and a bare
    variable is an expression."""
    return isinstance(expr, sp.logic.boolalg.Boolean) and not isinstance(expr, sp.Expr)


def _constant(value, what):
    """A finite real constant as a SymPy number (exact when given exactly)."""
    c = sp.sympify(value)
    if c.free_symbols:
        raise ProblemError('%s: %s is not a constant' % (what, value))
    v = float(c) if c.is_real else math.nan
    if not math.isfinite(v):
        raise ProblemError('%s: %s is not finite' % (what, value))
    return c


def _number(value, what):
    if value is None or isinstance(value, bool):
        raise ProblemError('%s: %r is not a number' % (what, value))
    try:
        v = float(value)
    except (TypeError, ValueError):
        raise ProblemError('%s: %r is not a number' % (what, value))
    if not math.isfinite(v):
        raise ProblemError('%s: %r is not finite' % (what, value))
    return v


def _bound(value, what):
    try:
        v = float(value)
    except (TypeError, ValueError):
        v = math.nan
    if value is None or not -1.0e19 < v < 1.0e19:
        raise ProblemError('%s: %r; every variable needs finite bounds (the program draws '
                           'its starting points in the box)' % (what, value))
    return _number(value, what)


# ---------------------------------------------------------------------------
# Command line


def run(build, argv=None):
    """The command line of a description: build() returns the Problem.
    Returns the exit status (1 after one line on a fault)."""
    import argparse
    ap = argparse.ArgumentParser(description='Write the problem data file and routines.')
    ap.add_argument('--output', metavar='FILE',
                    help='write the data file (default OUTSDIF.d when nothing else is asked)')
    ap.add_argument('--compare', metavar='FILE',
                    help='fail unless FILE holds exactly the data file the description writes')
    ap.add_argument('--summary', action='store_true',
                    help='print the groups, element types and elements')
    ap.add_argument('--generate', metavar='DIR',
                    help='write the element routines (C++) into DIR')
    args = ap.parse_args(argv)
    if not (args.output or args.compare or args.summary or args.generate):
        args.output = 'OUTSDIF.d'
    try:
        problem = build()
        if not isinstance(problem, Problem):
            raise ProblemError('build() returned %r, not a formulas.Problem' % (problem,))
        text = '\n'.join(problem.lines()) + '\n'
        routines = None
        if args.generate:
            import routines as generator
            routines = generator.source(problem, _description_name())
    except ProblemError as exc:
        print('problem description: %s' % exc, file=sys.stderr)
        return 1
    except Exception as exc:  # a fault of the description's Python
        print('problem description: %s' % _python_fault(exc), file=sys.stderr)
        return 1
    for note in problem.notes():
        print('note: %s' % note, file=sys.stderr)
    if args.summary:
        import summary
        print(summary.text(problem))
    try:
        if args.output:
            files.write_if_changed(args.output, text)
        if args.generate:
            generator.write(problem, routines, args.generate, _description_dir())
    except OSError as exc:
        print('%s: cannot be written (%s)' % (exc.filename or args.output,
                                             exc.strerror or exc), file=sys.stderr)
        return 1
    if args.compare:
        try:
            with open(args.compare) as f:
                same = f.read() == text
        except OSError as exc:
            print('%s: cannot be read (%s)' % (args.compare, exc), file=sys.stderr)
            return 1
        if not same:
            print('%s differs from what the description writes: regenerate it'
                  % args.compare, file=sys.stderr)
            return 1
    return 0


def _description_dir():
    main = getattr(sys.modules.get('__main__'), '__file__', None)
    return os.path.dirname(os.path.abspath(main)) if main else os.getcwd()


def _description_name():
    """problems/<folder>/problem.py, or as much of it as there is."""
    main = getattr(sys.modules.get('__main__'), '__file__', None) or 'problem.py'
    parts = os.path.abspath(main).split(os.sep)
    return '/'.join(parts[-3:]) if len(parts) >= 3 else main


def _python_fault(exc):
    """One line for an exception raised by the description's own code: its
    type, message and the line of problem.py it came from."""
    import traceback
    where = ''
    main = getattr(sys.modules.get('__main__'), '__file__', None)
    for frame in traceback.extract_tb(exc.__traceback__):
        if main and os.path.abspath(frame.filename) == os.path.abspath(main):
            where = ' (%s line %d)' % (os.path.basename(frame.filename), frame.lineno)
    message = str(exc).split('\n')[0]
    if 'truth value of Relational' in message:
        message += ': write a two-sided constraint as p.inequality(expr, lower=a, upper=b)'
    return '%s: %s%s' % (type(exc).__name__, message, where)
