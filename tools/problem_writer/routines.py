"""The decoded routines of a formula description, generated in C++.

For every element type: its value (common subexpressions computed once),
and its gradient with (when asked) its Hessian packed by columns as the
upper triangle, exact derivatives carried through the value's code
operation by operation (derivatives.py); then the table of forms
(sif/decoded/element_forms.hpp) and the routines every folder of trivial
groups has (groups, ranges, settyp).

At a kink the derivative is that of the branch which holds there: Abs(y)
counts as y at 0 (the right derivative, 1), Max and Min as one of the tied
arguments (the first in SymPy's order), Piecewise as its first true
condition; sign and Heaviside are constant on each side (derivative 0). Numbers are printed in
full (17 significant digits; fractions as a division of exact doubles).
"""

import os

import sympy as sp
from sympy.printing.cxx import CXX17CodePrinter

import decompose
import derivatives
import files

HEADER = """\
// The decoded routines of {name}, generated from {description}
// by tools/problem_writer/routines.py when the build was configured.
// Generated: do not edit (edit the description instead).
#include <cmath>

#include "sif/decoded/decoded.hpp"
#include "sif/decoded/element_forms.hpp"

namespace morlan {{

namespace {{
"""

FOOTER = """
}}  // namespace

MORLAN_ELEMENT_FORMS(kForms)

// Every group is trivial, and every element uses its elemental variables as
// its internal ones.
void groups(Vec, int, CVec, CVec, int, CIVec, CIVec, CIVec, bool) {{}}
void ranges(int, bool, CVec w1, Vec w2, int nelvar, int) {{ identity_ranges(w1, w2, nelvar); }}
void settyp(int nelem, CIVec itypee) {{ record_element_types(nelem, itypee); }}

}}  // namespace morlan
"""


class Printer(CXX17CodePrinter):
    """C++ of one formula: y[j], p[j], temporaries t<k>, full-precision
    numbers, integer powers as products."""

    def __init__(self):
        super().__init__()
        self.names = {}
        for j, s in enumerate(decompose.Y):
            self.names[s] = 'y[%d]' % j
        for j, s in enumerate(decompose.P):
            self.names[s] = 'p[%d]' % j

    def _print_Symbol(self, s):
        return self.names.get(s, s.name)

    def _print_Integer(self, n):
        return '%d.0' % int(n)

    def _print_Zero(self, n):
        return '0.0'

    def _print_Float(self, n):
        return _double(float(n))

    def _print_Rational(self, n):
        return '(%d.0 / %d.0)' % (n.p, n.q)

    def _print_NumberSymbol(self, n):
        return _double(float(n))

    _print_Pi = _print_Exp1 = _print_GoldenRatio = _print_EulerGamma = _print_NumberSymbol
    _print_Catalan = _print_NumberSymbol

    def _print_Pow(self, e):
        base, n = self.parenthesize(e.base, 100), e.exp
        if n.is_Integer and 2 <= abs(int(n)) <= 3:
            product = '(%s)' % ' * '.join([base] * abs(int(n)))
            return product if n > 0 else '(1.0 / %s)' % product
        if n == -1:
            return '(1.0 / %s)' % base
        if n == sp.S.Half:
            return 'std::sqrt(%s)' % self._print(e.base)
        if n == -sp.S.Half:
            return '(1.0 / std::sqrt(%s))' % self._print(e.base)
        return 'std::pow(%s, %s)' % (self._print(e.base), self._print(n))

    def _print_Piecewise(self, e):
        text = None
        for value, cond in reversed(e.args):
            v = self._print(value)
            if cond == sp.true and text is None:
                text = v
            else:
                text = '(%s ? %s : %s)' % (self._print(cond), v,
                                            'NAN' if text is None else text)
        return text


# A problem without elements: no types, and routines that are never called.
NO_ELEMENTS = """
}  // namespace

int element_type_count() { return 0; }
ElementShape element_type_shape(int) { return {0, 0}; }
void elfuns(Vec, CVec, CVec, int, CIVec, CIVec, CIVec, CIVec, CIVec, CIVec, CIVec, int) {}
double element_value(int, CVec, CVec, CIVec, CIVec, CIVec, CIVec) { return 0.0; }
"""


def _double(v):
    text = repr(v)
    return text if any(c in text for c in '.en') else text + '.0'


def smooth_pieces(expr):
    """expr with its non-smooth functions as Piecewise (the branch that
    holds at a kink gives the derivative there)."""
    return expr.replace(lambda e: isinstance(e, (sp.Abs, sp.Min, sp.Max, sp.sign,
                                                 sp.Heaviside)),
                        lambda e: e.rewrite(sp.Piecewise))


def _declarations(temps, indent, printer):
    return ['%sconst %s %s = %s;' % (indent, 'bool' if derivatives.is_boolean(v) else 'double',
                                     s.name, printer.doprint(v))
            for s, v in temps]


def _block(exprs, targets, indent, printer):
    """Lines computing exprs into targets, common subexpressions first."""
    temps = sp.numbered_symbols('t')
    replacements, reduced = sp.cse(exprs, symbols=temps)
    out = _declarations(replacements, indent, printer)
    out += ['%s%s = %s;' % (indent, t, printer.doprint(v)) for t, v in zip(targets, reduced)]
    return out


def _derivative_block(temps, exprs, targets, indent, printer):
    """Lines computing the derivative entries exprs into targets from the
    temporaries they use."""
    out = _declarations(derivatives.needed(temps, exprs), indent, printer)
    out += ['%s%s = %s;' % (indent, t, printer.doprint(v)) for t, v in zip(targets, exprs)]
    return out


def type_source(t, printer):
    """The value and derivative functions of element type t."""
    y, k = decompose.Y[:t.nvars], t.nvars
    value = t.expr.replace(lambda e: isinstance(e, (sp.Min, sp.Max, sp.sign, sp.Heaviside)),
                           lambda e: e.rewrite(sp.Piecewise))
    temps, gradient, hessian = derivatives.derivative_code(smooth_pieces(t.expr), y)
    g = ['g[%d]' % j for j in range(k)]
    args = '[[maybe_unused]] const double* y, [[maybe_unused]] const double* p'
    lines = ['', '// %s: %s' % (t.name, decompose.short(t.expr, 66).replace('\\', '/')),
             'double value_%d(%s) {' % (t.number, args)]
    lines += _block([value], ['const double value'], '  ', printer)
    lines += ['  return value;', '}',
              'void derivatives_%d(%s, double* g, double* h) {' % (t.number, args),
              '  if (h == nullptr) {']
    lines += _derivative_block(temps, gradient, g, '    ', printer)
    lines += ['    return;', '  }']
    lines += _derivative_block(temps, gradient + hessian,
                               g + ['h[%d]' % i for i in range(len(hessian))], '  ', printer)
    lines.append('}')
    return lines


def source(problem, description='problem.py'):
    """The C++ source of the routines of a formula Problem."""
    d = problem.decomposition()
    printer = Printer()
    lines = [HEADER.format(name=problem.name, description=description).rstrip('\n')]
    for t in d.types:
        lines += type_source(t, printer)
    if not d.types:
        return '\n'.join(lines + [NO_ELEMENTS]) + \
            FOOTER.format().split('MORLAN_ELEMENT_FORMS(kForms)')[1]
    lines += ['', 'constexpr ElementForm kForms[] = {']
    lines += ['    {{%d, %d}, value_%d, derivatives_%d},' % (t.nvars, t.nparams, t.number, t.number)
              for t in d.types]
    lines.append('};')
    return '\n'.join(lines) + '\n' + FOOTER.format()


def write(problem, text, directory, base_dir):
    """routines.cpp into directory (only when it changes), reads.txt: the
    files the description reads, one absolute path a line, and
    settings.txt: the build settings the description declares."""
    os.makedirs(directory, exist_ok=True)
    files.write_if_changed(os.path.join(directory, 'routines.cpp'), text)
    reads = [os.path.normpath(os.path.join(base_dir, f)) for f in problem.read_files]
    files.write_if_changed(os.path.join(directory, 'reads.txt'),
                           ''.join(r + '\n' for r in reads))
    files.write_if_changed(os.path.join(directory, 'settings.txt'),
                           'points_per_unit %d\n' % problem.points_per_unit)
