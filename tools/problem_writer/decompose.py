"""Decomposition of a formula description into groups and elements.

Each function of the problem (the objective, each equality, each side of an
inequality) becomes one group. Its top-level sum is taken as written: the
constant terms give the group constant, the terms c * x give the linear
part, and every other term c * t gives an element t over its own variables
with the weight c. Terms of one shape share an element type, the numbers in
which they differ being the type's parameters (a type of one element keeps
its numbers in its formula instead); identical elements (one type, the same
variables and parameters) are made once and shared by the groups.

The data file holds nine significant digits. A number that does not keep
its double value through them never goes into the file: an element
parameter or weight stays in the element's formula (the generated code
holds it in full), and a linear coefficient or group constant goes into one
remainder element of its group.
"""

import math

import sympy as sp

import problem_writer as pw

Y = [sp.Symbol('y%d' % i, real=True) for i in range(1, 1001)]
P = [sp.Symbol('p%d' % i, real=True) for i in range(1, 1001)]

# Largest number of elemental variables of an element (the form table's
# limit, sif/decoded/element_forms.hpp).
MAX_ELEMENT_VARIABLES = 256


def fits_file(value):
    """True when the double value reads back unchanged from the file's nine
    significant digits and two-digit exponent."""
    v = float(value)
    if not math.isfinite(v):
        return False
    text = '%.8E' % v
    return float(text) == v and len(text.split('E')[1]) == 3


class ElementType:
    def __init__(self, number, nvars, nparams, expr, key):
        self.number, self.name = number, 'T%d' % number
        self.nvars, self.nparams, self.expr, self.key = nvars, nparams, expr, key
        self.elements = 0
        self._value = None

    def value(self, y, p):
        """The type's value at elemental variables y and parameters p, in
        double precision."""
        if self._value is None:
            self._value = sp.lambdify((Y[:self.nvars], P[:self.nparams]), self.expr,
                                      modules='math')
        return self._value(y, p)

    def hold_numbers(self, local):
        """The type of one element holds that element's numbers in its
        formula, local (the element's term over y1..yk): no parameters."""
        self.expr, self.nparams, self._value = local, 0, None


class Element:
    def __init__(self, number, etype, variables, params, term, local):
        self.number, self.type = number, etype
        self.variables, self.params, self.term = variables, params, term
        self.local = local          # the term over the elemental variables y1..yk


class Group:
    def __init__(self, name, kind, scale, lower, upper):
        self.name, self.kind, self.scale = name, kind, scale
        self.lower, self.upper = lower, upper
        self.linear, self.elements, self.constant = [], [], 0.0


class Decomposition:
    """The groups, element types and elements of a formula Problem."""

    def __init__(self, problem):
        self.problem = problem
        self.index = {s: i for i, s in enumerate(problem.symbols, 1)}
        self.types, self._types = [], {}
        self.elements, self._elements = [], {}
        self.groups = [self._group(f) for f in problem.file_functions()]
        self._hold_lone_numbers()

    # One function -------------------------------------------------------

    def _group(self, f):
        g = Group(f.name, f.kind, f.scale, f.lower, f.upper)
        constant, remainder = sp.S.Zero, []
        for term in sp.Add.make_args(f.expr):
            if not term.free_symbols:
                constant += term
                continue
            coef, rest = term.as_independent(*term.free_symbols, as_Add=False)
            if rest.is_Symbol:
                if fits_file(coef):
                    g.linear.append((self.index[rest], float(coef)))
                else:
                    remainder.append(term)
            elif fits_file(coef):
                g.elements.append((self._element(rest), float(coef)))
            else:
                g.elements.append((self._element(term), 1.0))
        if fits_file(-constant):
            g.constant = float(-constant)
        elif constant != 0:
            remainder.append(constant)
        if remainder:
            expr = sp.Add(*remainder)
            variables = self._variables(expr) or [self._variables(f.expr)[0]]
            g.elements.append((self._element(expr, variables), 1.0))
        g.linear.sort()
        return g

    def _variables(self, expr):
        return sorted(self.index[s] for s in expr.free_symbols)

    # Elements and their types -------------------------------------------

    def _element(self, expr, variables=None):
        variables = variables or self._variables(expr)
        if len(variables) > MAX_ELEMENT_VARIABLES:
            raise pw.ProblemError('term %s: an element of %d variables; at most %d'
                                  % (short(expr), len(variables), MAX_ELEMENT_VARIABLES))
        local = expr.xreplace({self.problem.symbols[v - 1]: Y[j]
                               for j, v in enumerate(variables)})
        shape, numbers = parametrize(local)
        key = (len(variables), sp.srepr(shape))
        etype = self._types.get(key)
        if etype is None:
            etype = ElementType(len(self.types) + 1, len(variables), len(numbers), shape, key)
            self.types.append(etype)
            self._types[key] = etype
        params = tuple(float(n) for n in numbers)
        ekey = (etype.number, tuple(variables), params)
        element = self._elements.get(ekey)
        if element is None:
            element = Element(len(self.elements) + 1, etype, variables, params, expr, local)
            etype.elements += 1
            self.elements.append(element)
            self._elements[ekey] = element
        return element

    def _hold_lone_numbers(self):
        """A type of one element keeps its numbers in its code rather than
        as parameters in the file (the same doubles: a parameter is one only
        when the file holds its value exactly)."""
        for e in self.elements:
            if e.type.elements == 1 and e.type.nparams:
                e.type.hold_numbers(e.local)
                e.params = ()

    # The writer's problem -----------------------------------------------

    def writer_problem(self):
        """The problem_writer.Problem of the decomposition (for the file)."""
        prob = self.problem
        w = pw.Problem(prob.name)
        for s, lo, hi, x0 in zip(prob.symbols, prob.lower, prob.upper, prob.start):
            w.variable(s.name, lo, hi, start=x0)
        for t in self.types:
            w.element_type(t.name, variables=t.nvars, parameters=t.nparams,
                           value=t.value)
        for e in self.elements:
            w.element('E%d' % e.number, e.type.number, e.variables, e.params)
        for g in self.groups:
            parts = dict(linear=g.linear, elements=[(e.number, wt) for e, wt in g.elements],
                         constant=g.constant, scale=g.scale)
            if g.kind == pw.OBJECTIVE:
                w.objective(g.name, **parts)
            elif g.kind == pw.EQUALITY:
                w.equality(g.name, **parts)
            else:
                w.inequality(g.name, lower=g.lower if g.lower > -pw.BIG else None,
                             upper=g.upper if g.upper < pw.BIG else None, **parts)
        return w

    def largest(self):
        """The element of most variables (None without elements)."""
        return max(self.elements, key=lambda e: len(e.variables), default=None)


def parametrize(expr):
    """expr with its numbers replaced by the parameters p1, p2, ... in the
    order met, and those numbers. Exponents that are integers or fractions,
    the sign -1 of a product, and numbers the file would round stay in the
    formula. Falls back to no parameters when the replaced formula does not
    give expr back."""
    numbers = []

    def walk(e):
        if e.is_Number:
            if not fits_file(e) or len(numbers) == len(P):
                return e
            numbers.append(e)
            return P[len(numbers) - 1]
        if not e.args or not e.free_symbols:
            return e
        if e.is_Pow:
            return sp.Pow(walk(e.base), e.exp if e.exp.is_Rational else walk(e.exp))
        if e.is_Mul:
            return sp.Mul(*[a if a is sp.S.NegativeOne else walk(a) for a in e.args])
        return e.func(*[walk(a) for a in e.args])

    shape = walk(expr)
    if shape.xreplace(dict(zip(P, numbers))) != expr:
        return expr, []
    return shape, numbers


def short(expr, width=60):
    text = str(expr)
    return text if len(text) <= width else text[:width - 3] + '...'
