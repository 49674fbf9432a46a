"""Exact first and second derivatives of a formula, as straight-line code
grown from the code of its value.

The value's common subexpressions are taken first (SymPy's cse), and every
temporary is split further into operations whose arguments are variables,
parameters, numbers or earlier temporaries. Each operation u = f(a1..am)
then gets its gradient and Hessian with respect to the elemental variables
from those of its arguments (forward mode):

    du/dy_i       = sum_k f_k da_k/dy_i
    d2u/dy_i dy_j = sum_k f_k d2a_k/dy_i dy_j + sum_k,l f_kl da_k/dy_i da_l/dy_j

with f_k and f_kl SymPy's derivatives of that one operation. Every entry
that is not zero by its structure is a new temporary (an entry that is a
variable, a number or an earlier temporary is used as it is, and equal
expressions are made once), so the code grows with the size of the value's
code, not with the size of the expanded derivative expressions. It is the
exact calculus of the same formula; only the order of the floating-point
operations differs from a derivative written out whole.

A Piecewise takes the gradient and Hessian of the branch whose condition
holds (never a product of a zero with an untaken branch's derivative, which
may be infinite).
"""

import itertools

import sympy as sp

BOOLEAN = sp.logic.boolalg.Boolean


def is_boolean(e):
    return isinstance(e, BOOLEAN) and not isinstance(e, sp.Expr)


class Code:
    """The temporaries of one formula's derivatives, in order, with the
    gradient and packed Hessian of each active one."""

    def __init__(self, variables):
        self.variables = list(variables)
        self.temps = []                     # (symbol, expression) in order
        self._names = (sp.Symbol('t%d' % i, real=True) for i in itertools.count())
        self._made = {}                     # expression -> its temporary
        # Temporaries whose derivatives are known: a temporary first made
        # for a factor of a derivative has none until it is met as an
        # operation of the value.
        self._derived = set()
        # Gradient {i: entry} and Hessian {(i, j), i <= j: entry} of every
        # symbol with a gradient; a variable's gradient is a unit vector.
        self.gradient = {y: {i: sp.S.One} for i, y in enumerate(self.variables)}
        self.hessian = {y: {} for y in self.variables}

    def temp(self, expr):
        """expr as an atom: itself when it is one, else its temporary."""
        if expr.is_Atom:
            return expr
        made = self._made.get(expr)
        if made is None:
            made = next(self._names)
            self.temps.append((made, expr))
            self._made[expr] = made
        return made

    # The value -----------------------------------------------------------

    def value(self, expr):
        """The temporaries of expr's value, with their derivatives; returns
        the atom that holds the value."""
        replacements, (reduced,) = sp.cse([expr], symbols=self._names, optimizations=None)
        renamed = {}
        for s, e in replacements:
            e = e.xreplace(renamed)
            if is_boolean(e):
                renamed[s] = self.temp(e)
            else:
                renamed[s] = self._operation(e)
        return self._operation(reduced.xreplace(renamed))

    def _operation(self, e):
        """e split into operations on atoms (each with its derivatives)."""
        if e.is_Atom or is_boolean(e):
            return e
        if isinstance(e, sp.Piecewise):
            node = sp.Piecewise(*[(self._operation(v), c) for v, c in e.args])
        else:
            node = e.func(*[self._argument(a) for a in e.args], evaluate=False)
        if node.is_Atom:
            return node
        s = self.temp(node)
        if s not in self._derived:
            self._derived.add(s)
            self._derivatives(s, node)
        return s

    def _argument(self, a):
        """An argument of an operation: an atom, a number times an atom (kept
        inline), or the temporary of its own operations."""
        if a.is_Atom or is_boolean(a):
            return a
        if a.is_Mul and len(a.args) == 2 and a.args[0].is_Number and a.args[1].is_Atom:
            return a
        return self._operation(a)

    # Derivatives ---------------------------------------------------------

    def _derivatives(self, s, node):
        if isinstance(node, sp.Piecewise):
            self._piecewise_derivatives(s, node)
            return
        active = [u for u in _ordered(node.free_symbols) if self.gradient.get(u)]
        if not active:
            return
        # The operation's own derivatives, written with s where they hold
        # the operation itself (d exp(u) / du is exp(u)).
        first = {u: sp.diff(node, u) for u in active}
        g, h = {}, {}
        for u in active:
            f = first[u].xreplace({node: s})
            if f == 0:
                continue
            f = self.temp(f)
            for i, d in self.gradient[u].items():
                g.setdefault(i, []).append(f * d)
            for ij, d in self.hessian[u].items():
                h.setdefault(ij, []).append(f * d)
        for k, u in enumerate(active):
            for v in active[k:]:
                if v not in first[u].free_symbols:
                    continue
                f = self.temp(sp.diff(first[u], v).xreplace({node: s}))
                if f == 0:
                    continue
                self._cross(h, f, self.gradient[u], self.gradient[v], u == v)
        self.gradient[s] = {i: self.temp(sp.Add(*t)) for i, t in sorted(g.items())}
        self.hessian[s] = {ij: self.temp(sp.Add(*t)) for ij, t in sorted(h.items())}
        _prune(self.gradient[s])
        _prune(self.hessian[s])

    @staticmethod
    def _cross(h, f, gu, gv, same):
        """The terms f du/dy_i dv/dy_j (and f dv/dy_i du/dy_j when u and v
        differ) of the Hessian entries (i, j), i <= j."""
        pairs = [(gu, gv)] if same else [(gu, gv), (gv, gu)]
        for a, b in pairs:
            for i, da in a.items():
                for j, db in b.items():
                    if i <= j:
                        h.setdefault((i, j), []).append(f * da * db)

    def _piecewise_derivatives(self, s, node):
        values = [v for v, _ in node.args]
        if not any(self.gradient.get(v) for v in values):
            return
        for table in (self.gradient, self.hessian):
            keys = sorted(set().union(*[table.get(v, {}).keys() for v in values]))
            entries = {}
            for key in keys:
                entry = sp.Piecewise(*[(table.get(v, {}).get(key, sp.S.Zero), c)
                                       for v, c in node.args])
                entries[key] = self.temp(entry)
            _prune(entries)
            table[s] = entries


def _ordered(symbols):
    return sorted(symbols, key=sp.default_sort_key)


def _prune(entries):
    for key in [k for k, v in entries.items() if v == 0]:
        del entries[key]


def derivative_code(expr, variables):
    """(temporaries, gradient, hessian) of expr over variables: the
    temporaries in order as (symbol, expression); gradient[i] and the packed
    Hessian's entries (column j, row i <= j at j (j + 1) / 2 + i) as atoms
    (zero where the formula's structure makes them zero)."""
    code = Code(variables)
    root = code.value(expr)
    k = len(variables)
    grad = code.gradient.get(root, {}) if root in code.gradient else {}
    hess = code.hessian.get(root, {}) if root in code.hessian else {}
    gradient = [grad.get(i, sp.S.Zero) for i in range(k)]
    hessian = [hess.get((i, j), sp.S.Zero) for j in range(k) for i in range(j + 1)]
    return code.temps, gradient, hessian


def needed(temps, targets):
    """The temporaries the targets use, in order."""
    uses = set()
    for t in targets:
        uses |= t.free_symbols if isinstance(t, sp.Basic) else set()
    out = []
    for s, e in reversed(temps):
        if s in uses:
            out.append((s, e))
            uses |= e.free_symbols
    return out[::-1]
