#!/usr/bin/env python3
"""Tests of tools/problem_writer/formulas.py: the decomposition of formulas
into groups and elements, the file it writes, the faults it refuses with one
line, its evaluation, and the routines it generates."""

import math
import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.environ.get('MORLAN_SOURCE_DIR',
                      os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tools', 'problem_writer'))
import sympy as sp  # noqa: E402

import derivatives  # noqa: E402
import files  # noqa: E402
import formulas  # noqa: E402
import routines  # noqa: E402
import problem_writer as pw  # noqa: E402
from formulas import Problem, ProblemError  # noqa: E402


def hs071():
    p = Problem('HS071')
    x1, x2, x3, x4 = p.variables('X', 4, lower=1, upper=5, start=[1, 5, 5, 1])
    p.minimize(x1*x4*(x1 + x2 + x3) + x3)
    p.inequality(x1*x2*x3*x4 >= 25, name='PRODUCT')
    p.equality(x1**2 + x2**2 + x3**2 + x4**2, 40)
    return p


def shifted_squares():
    """Terms of one shape with different constants, shared elements, a
    two-sided constraint, a maximised objective."""
    p = Problem('SHAPES')
    x = p.variables('X', 3, lower=-10, upper=10)
    p.maximize(-(x[0] - 1)**2 - 4*(x[1] - 2)**2 - x[0]*x[1] + 3*x[2] + 7)
    p.inequality((x[0] - 1)**2 + x[2], lower=-1, upper=8, name='RANGE')
    p.inequality(2*x[0] - x[1] <= 3)
    p.equality(x[0]*x[1], x[2])
    return p


class Decomposition(unittest.TestCase):
    def test_hs071_becomes_three_groups_of_three_types(self):
        d = hs071().decomposition()
        self.assertEqual([g.name for g in d.groups], ['OBJ', 'H1', 'PRODUCT'])
        self.assertEqual([(t.nvars, t.nparams, t.elements) for t in d.types],
                         [(4, 0, 1), (1, 0, 4), (4, 0, 1)])
        obj, sphere, product = d.groups
        self.assertEqual(obj.linear, [(3, 1.0)])
        self.assertEqual(sphere.constant, 40.0)
        self.assertEqual(product.lower, 25.0)
        self.assertEqual(len(d.elements), 6)
        self.assertEqual(len(d.largest().variables), 4)

    def test_same_shape_shares_a_type_and_identical_elements_are_made_once(self):
        d = shifted_squares().decomposition()
        names = [g.name for g in d.groups]
        # Objective, the equality, then the inequalities in order, the
        # two-sided one as its lower and upper side.
        self.assertEqual(names, ['OBJ', 'H1', 'RANGE_L', 'RANGE_U', 'G2'])
        obj = d.groups[0]
        self.assertEqual(obj.scale, -1.0)
        square = [e for e, _ in obj.elements if e.type.nparams == 1]
        self.assertEqual(len(square), 2)
        self.assertIs(square[0].type, square[1].type)       # (y + p)^2
        self.assertEqual(sorted(e.params for e in square), [(-2.0,), (-1.0,)])
        self.assertEqual(sorted(w for _, w in obj.elements), [-4.0, -1.0, -1.0])
        # (x1 - 1)^2 of the objective is the element of both sides of RANGE.
        lower, upper = d.groups[2], d.groups[3]
        self.assertIs(lower.elements[0][0], upper.elements[0][0])
        self.assertIn(lower.elements[0][0], square)
        self.assertEqual((lower.lower, upper.upper), (-1.0, 8.0))
        self.assertEqual(d.groups[4].linear, [(1, 2.0), (2, -1.0)])
        self.assertEqual(d.groups[4].elements, [])

    def test_a_bare_variable_is_a_function(self):
        # A SymPy symbol is a Boolean as well as an expression: as the
        # objective, an equality or a two-sided constraint it is a linear
        # function of one variable.
        p = Problem('BARE')
        x1, x2 = p.variables('X', 2, lower=0, upper=10)
        p.minimize(x1)
        p.equality(x2)
        p.equality(x1, 5)
        p.inequality(x2, lower=1, upper=2)
        p.inequality(x1 >= 3)
        d = p.decomposition()
        self.assertEqual([(g.name, g.linear, g.constant, g.elements) for g in d.groups],
                         [('OBJ', [(1, 1.0)], 0.0, []), ('H1', [(2, 1.0)], 0.0, []),
                          ('H2', [(1, 1.0)], 5.0, []), ('G1_L', [(2, 1.0)], 0.0, []),
                          ('G1_U', [(2, 1.0)], 0.0, []), ('G2', [(1, 1.0)], 0.0, [])])
        self.assertEqual(p.evaluate([4.0, 1.5]), (4.0, [1.5, -1.0], [-0.5, -0.5, -1.0]))

    def test_file_evaluates_as_the_formulas(self):
        for build in (hs071, shifted_squares, long_constants):
            p = build()
            with tempfile.TemporaryDirectory() as tmp:
                path = os.path.join(tmp, 'OUTSDIF.d')
                p.write(path)
                d = pw.read_data_file(path)
            types = {t.number: t.value for t in p.decomposition().types}
            x = [1.25, 2.5, 3.75, 4.5][:len(p.symbols)]
            f, h, g = pw.evaluate_file(d, x, lambda t, y, q: types[t](y, q))
            f0, h0, g0 = p.evaluate(x)
            for a, b in zip([f] + h + g, [f0] + h0 + g0):
                self.assertLessEqual(abs(a - b), 1e-13 * max(1.0, abs(b)), build.__name__)
            self.assertEqual((len(h), len(g)), (len(h0), len(g0)))


def long_constants():
    """Numbers the file's nine digits would round."""
    p = Problem('LONG')
    x, y = p.variables('X', 2, lower=0.5, upper=3)
    p.minimize(sp.pi*x**2*y + x/3 + 0.1*y + sp.Rational(1, 7))
    p.inequality(sp.sqrt(2)*x + (y - 1/3)**2 <= 2/3)
    return p


class Precision(unittest.TestCase):
    def test_numbers_the_file_would_round_stay_in_the_formulas(self):
        p = long_constants()
        d = p.decomposition()
        obj, g1 = d.groups
        # 0.1 reads back as the same double: a linear entry. 1/3 and 1/7 do
        # not: one remainder element holds them; pi stays in its element.
        self.assertEqual(obj.linear, [(2, 0.1)])
        self.assertEqual(obj.constant, 0.0)
        formulas_of = sorted(str(e.type.expr) for e, _ in obj.elements)
        self.assertEqual(formulas_of, ['pi*y1**2*y2', 'y1/3 + 1/7'])
        # The bound 2/3 moves into the function; 1/3 is no parameter.
        self.assertEqual(g1.upper, 0.0)
        for e, _ in g1.elements:
            self.assertEqual(e.params, ())
        lines = '\n'.join(p.lines())
        self.assertNotIn('3.33333333D-01', lines)
        self.assertNotIn('6.66666667D-01', lines)

    def test_rounded_bounds_are_noted_with_the_change(self):
        p = Problem('NOTE')
        x = p.variable('X', 0.1 + 0.2, 1.0)
        p.minimize(x**2)
        (note,) = p.notes()
        self.assertIn('variable X lower bound 0.30000000000000004 is 0.3', note)


class Faults(unittest.TestCase):
    """Each fault: one line naming the function and the term."""

    def refused(self, action, *words):
        p = Problem('F')
        x, y = p.variables('X', 2, lower=0, upper=2, start=[1, 0])
        with self.assertRaises(ProblemError) as ctx:
            action(p, x, y)
        message = str(ctx.exception)
        self.assertNotIn('\n', message)
        for w in words:
            self.assertIn(w, message)

    def test_each_fault_is_one_line(self):
        z = sp.Symbol('Z', real=True)
        self.refused(lambda p, x, y: p.minimize(x*z + y), 'function OBJ, term X1*Z',
                     'undeclared symbol Z')
        self.refused(lambda p, x, y: p.inequality(x + y, name='C1'), 'function C1',
                     'not an inequality')
        self.refused(lambda p, x, y: p.equality(x <= y, name='E1'), 'function E1',
                     'not an equation')
        self.refused(lambda p, x, y: p.variable('U', 0, sp.oo), 'variable U upper bound',
                     'finite bounds')
        self.refused(lambda p, x, y: p.variable('U', None, 1), 'variable U lower bound')
        self.refused(lambda p, x, y: p.minimize(x + float('inf')*y),
                     'function OBJ, term', 'non-finite constant')
        self.refused(lambda p, x, y: p.minimize(x + sp.log(y), name='COST'),
                     'function COST, term log(X2)', 'not finite at the starting point')
        self.refused(lambda p, x, y: p.minimize(x + 1/y), 'term 1/X2', 'not finite')
        self.refused(lambda p, x, y: p.variable('ELEVENCHARS', 0, 1), 'variable name',
                     '1 to 10 characters')
        self.refused(lambda p, x, y: p.inequality(x <= 1, name='ELEVENCHARS'),
                     'function name', '1 to 10 characters')
        self.refused(lambda p, x, y: p.inequality(x, lower=0, upper=1, name='NINECHARS'),
                     'function name')
        self.refused(lambda p, x, y: p.minimize(sp.gamma(x)), 'gamma is not a function')
        self.refused(lambda p, x, y: p.inequality(x <= x + 1), 'always true')

    def test_description_faults_stop_the_command_with_status_1(self):
        with tempfile.TemporaryDirectory() as tmp:
            script = os.path.join(tmp, 'problem.py')
            with open(script, 'w') as f:
                f.write(DESCRIPTION.format(root=os.path.join(ROOT, 'tools', 'problem_writer'),
                                           body='p.minimize(x*Y)'))
            out = subprocess.run([formulas.DEBIAN_PYTHON, script, '--generate', tmp],
                                 cwd=tmp, capture_output=True, text=True)
            self.assertEqual(out.returncode, 1)
            self.assertEqual(out.stderr, 'problem description: function OBJ, term X*Y: '
                                         'undeclared symbol Y\n')
            self.assertEqual(sorted(os.listdir(tmp)), ['problem.py'])


DESCRIPTION = '''
import sys
sys.path.insert(0, {root!r})
from formulas import Problem, run
import sympy as sp

def build():
    p = Problem('T')
    x = p.variable('X', 0, 1)
    Y = sp.Symbol('Y', real=True)
    {body}
    return p

sys.exit(run(build))
'''


class Generation(unittest.TestCase):
    def test_generate_writes_routines_and_reads_and_leaves_unchanged_files_alone(self):
        with tempfile.TemporaryDirectory() as tmp:
            script = os.path.join(tmp, 'problem.py')
            body = "p.reads('table.txt')\n    p.minimize(sp.exp(x) + x**2)"
            with open(script, 'w') as f:
                f.write(DESCRIPTION.format(root=os.path.join(ROOT, 'tools', 'problem_writer'),
                                           body=body))
            gen = os.path.join(tmp, 'gen')
            command = [formulas.DEBIAN_PYTHON, script, '--generate', gen, '--output',
                       os.path.join(tmp, 'OUTSDIF.d')]
            subprocess.run(command, check=True, cwd=tmp)
            with open(os.path.join(gen, 'reads.txt')) as f:
                self.assertEqual(f.read(), os.path.join(tmp, 'table.txt') + '\n')
            with open(os.path.join(gen, 'routines.cpp')) as f:
                code = f.read()
            self.assertIn('MORLAN_ELEMENT_FORMS(kForms)', code)
            self.assertIn('std::exp(y[0])', code)
            stamps = [os.stat(os.path.join(d, n)).st_mtime_ns
                      for d, n in ((gen, 'routines.cpp'), (tmp, 'OUTSDIF.d'))]
            subprocess.run(command, check=True, cwd=tmp)
            self.assertEqual(stamps, [os.stat(os.path.join(d, n)).st_mtime_ns
                                      for d, n in ((gen, 'routines.cpp'), (tmp, 'OUTSDIF.d'))])

    def test_a_path_that_is_no_regular_file_is_written_into_never_replaced(self):
        import stat
        import threading
        with tempfile.TemporaryDirectory() as tmp:
            # A symbolic link: its target gets the text, the link stays.
            target, link = os.path.join(tmp, 'target'), os.path.join(tmp, 'link')
            with open(target, 'w') as f:
                f.write('old\n')
            os.symlink(target, link)
            files.write_if_changed(link, 'new\n')
            self.assertTrue(os.path.islink(link))
            with open(target) as f:
                self.assertEqual(f.read(), 'new\n')
            self.assertEqual(sorted(os.listdir(tmp)), ['link', 'target'])
            # A pipe: written into without being read first, and still a pipe.
            fifo = os.path.join(tmp, 'fifo')
            os.mkfifo(fifo)
            received = []

            def read():
                with open(fifo) as f:
                    received.append(f.read())

            def write():
                files.write_if_changed(fifo, 'through\n')
            threads = [threading.Thread(target=t, daemon=True) for t in (read, write)]
            for t in threads:
                t.start()
            for t in threads:
                t.join(timeout=20)
            self.assertFalse(any(t.is_alive() for t in threads), 'the write waits')
            self.assertEqual(received, ['through\n'])
            self.assertTrue(stat.S_ISFIFO(os.stat(fifo).st_mode))
            # A folder cannot be written: one line and status 1.
            script = os.path.join(tmp, 'problem.py')
            with open(script, 'w') as f:
                f.write(DESCRIPTION.format(root=os.path.join(ROOT, 'tools', 'problem_writer'),
                                           body='p.minimize(x**2)'))
            out = subprocess.run([formulas.DEBIAN_PYTHON, script, '--output', tmp],
                                 capture_output=True, text=True)
            self.assertEqual(out.returncode, 1)
            self.assertEqual(out.stderr.count('\n'), 1)
            self.assertIn('%s: cannot be written' % tmp, out.stderr)

    def test_every_run_writes_the_same_file_and_code(self):
        # The build generates once and shares the result: two runs of a
        # description with other hash seeds write the same bytes.
        kinds = os.path.join(ROOT, 'tests', 'problems', 'formula_kinds', 'problem.py')
        with tempfile.TemporaryDirectory() as tmp:
            texts = []
            for seed in ('1', '2'):
                out = os.path.join(tmp, seed)
                subprocess.run([formulas.DEBIAN_PYTHON, kinds, '--output', out + '.d',
                                '--generate', out], check=True,
                               env=dict(os.environ, PYTHONHASHSEED=seed))
                texts.append([open(f).read() for f in (out + '.d', out + '/routines.cpp')])
            self.assertEqual(texts[0], texts[1])

    def test_a_linear_problem_has_routines_without_types(self):
        import routines
        p = Problem('LIN')
        x, y = p.variables('X', 2, lower=0, upper=4)
        p.minimize(-x - 2*y)
        p.inequality(x + y <= 3)
        code = routines.source(p)
        self.assertIn('int element_type_count() { return 0; }', code)
        self.assertNotIn('kForms', code)
        self.assertEqual(code.count('{'), code.count('}'))

    def test_numbers_are_printed_in_full(self):
        import routines
        printer = routines.Printer()
        y = formulas.decompose.Y[0]
        self.assertEqual(printer.doprint(sp.Rational(1, 3) * y), '((1.0 / 3.0))*y[0]')
        self.assertEqual(printer.doprint(sp.pi * y), '3.141592653589793*y[0]')
        self.assertEqual(printer.doprint(0.1 * y), '0.1*y[0]')
        self.assertEqual(printer.doprint(y**-2), '(1.0 / (y[0] * y[0]))')
        self.assertEqual(printer.doprint(sp.Abs(y).rewrite(sp.Piecewise)),
                         '(y[0] >= 0.0 ? y[0] : -y[0])')


def tape_value(temps, target, y, p=()):
    """target evaluated from the temporaries at the point y (parameters p),
    in double precision; a temporary that is not a real number (the log of
    a negative number in a branch not taken) is NaN."""
    env = {s: sp.Float(v) for s, v in zip(formulas.decompose.Y, y)}
    env.update({s: sp.Float(v) for s, v in zip(formulas.decompose.P, p)})
    for s, e in temps:
        v = e.xreplace(env)
        if not derivatives.is_boolean(e):
            try:
                v = sp.Float(float(v))
            except (TypeError, ValueError):
                v = sp.nan
        env[s] = v
    return float(sp.sympify(target).xreplace(env))


class Derivatives(unittest.TestCase):
    """Derivatives carried through the value's code: exact calculus of the
    formula, with a size that follows the size of the value's code."""

    def test_entries_are_the_exact_derivatives(self):
        y1, y2, y3 = formulas.decompose.Y[:3]
        p1 = formulas.decompose.P[0]
        cases = [
            (y1*y2/(1 + y3**2) + sp.exp(y1*y3) - sp.sqrt(y1 + y2**2), (0.7, 1.3, -0.4)),
            (((y1 + 1/(y2 + 3))**2 + p1)/(y3 + (y1*y2)**sp.Rational(1, 3)), (1.1, 0.6, 2.0)),
            (y1**y2 + sp.atan2(y2, y3) * sp.log(y1 + y3), (1.4, 0.8, 0.9)),
            (sp.exp(sp.exp(y1) * y2) + sp.tanh(y1 - y3)**3, (0.3, -0.5, 0.2)),
            # 1/y1 is first made as the log's derivative, then met as an
            # operation of the value: it still gets derivatives of its own.
            (y2*sp.log(y1) + y3/y1, (1.4, 0.8, 0.9)),
        ]
        for expr, y in cases:
            temps, gradient, hessian = derivatives.derivative_code(expr, [y1, y2, y3])
            env = {y1: y[0], y2: y[1], y3: y[2], p1: 2.5}
            for j in range(3):
                exact = float(sp.diff(expr, [y1, y2, y3][j]).subs(env))
                got = tape_value(temps, gradient[j], y, (2.5,))
                self.assertLessEqual(abs(got - exact), 1e-12 * max(1.0, abs(exact)), expr)
                for i in range(j + 1):
                    exact = float(sp.diff(expr, [y1, y2, y3][i], [y1, y2, y3][j]).subs(env))
                    got = tape_value(temps, hessian[j * (j + 1) // 2 + i], y, (2.5,))
                    self.assertLessEqual(abs(got - exact), 1e-12 * max(1.0, abs(exact)),
                                         (expr, i, j))

    def test_structural_zeros_stay_zero(self):
        y1, y2, y3 = formulas.decompose.Y[:3]
        temps, gradient, hessian = derivatives.derivative_code(y1**2 + y2*y3 + sp.sin(y3),
                                                               [y1, y2, y3])
        self.assertEqual(dict(temps)[gradient[0]], 2*y1)
        self.assertEqual(gradient[1], y3)
        self.assertEqual([hessian[1], hessian[3]], [0, 0])      # (1, 2) and (1, 3)
        self.assertEqual(hessian[2], 0)                         # (2, 2)

    def test_a_branch_not_taken_gives_no_nan(self):
        # The log's derivative is infinite (or not real) where its branch is
        # not taken: the derivatives are those of the branch that holds.
        y1, y2 = formulas.decompose.Y[:2]
        expr = routines.smooth_pieces(sp.Piecewise((sp.log(y1) * y2, y1 > 0), (y2**2, True))
                                      + sp.Abs(y2) * y1)
        temps, gradient, hessian = derivatives.derivative_code(expr, [y1, y2])
        at = (-1.0, -3.0)
        self.assertEqual([tape_value(temps, g, at) for g in gradient], [3.0, -6.0 + 1.0])
        self.assertEqual([tape_value(temps, h, at) for h in hessian], [0.0, -1.0, 2.0])

    def test_code_grows_with_the_value_not_with_the_expanded_derivatives(self):
        # A formula nested d times: its expanded derivatives grow far faster
        # than d, its derivative code by the same number of temporaries for
        # every two levels.
        y1, y2, y3 = formulas.decompose.Y[:3]

        def nested(depth):
            f = y1
            for k in range(depth):
                f = (f * y2 + y3) / (1 + f**2) + k
            return f
        sizes = [len(derivatives.derivative_code(nested(depth), [y1, y2, y3])[0])
                 for depth in (4, 6, 8)]
        self.assertLessEqual(abs((sizes[2] - sizes[1]) - (sizes[1] - sizes[0])),
                             0.1 * (sizes[1] - sizes[0]), sizes)

    def test_a_type_of_one_element_holds_its_numbers(self):
        p = Problem('LONE')
        x, y = p.variables('X', 2, lower=0, upper=2)
        p.minimize(sp.exp(2.5*x) + (x - 3)**2 + (y - 4)**2)
        d = p.decomposition()
        by_formula = {str(t.expr): (t.nparams, t.elements) for t in d.types}
        self.assertEqual(by_formula, {'exp(2.5*y1)': (0, 1), '(p1 + y1)**2': (1, 2)})
        lone = [e for e in d.elements if e.type.elements == 1]
        self.assertEqual([e.params for e in lone], [()])
        self.assertNotIn('2.50000000D+00', '\n'.join(p.lines()))
        self.assertEqual(p.evaluate([1.0, 1.0])[0], math.exp(2.5) + 4 + 9)


class Evaluation(unittest.TestCase):
    def test_values_in_the_description_order(self):
        p = shifted_squares()
        f, h, g = p.evaluate([2.0, 3.0, 4.0])
        self.assertEqual(f, -(-(2 - 1)**2 - 4*(3 - 2)**2 - 6 + 12 + 7))
        self.assertEqual(h, [6.0 - 4.0])
        self.assertEqual(g, [-1 - (1 + 4), (1 + 4) - 8, 2*2 - 3 - 3])

    def test_non_smooth_functions_evaluate(self):
        p = Problem('KINKS')
        x, y = p.variables('X', 2, lower=-2, upper=2, start=[0.5, -1])
        p.minimize(sp.Abs(x) + sp.Max(x, y) + sp.Min(x, y, 0) + sp.sign(y)
                   + sp.Piecewise((x**2, x > 0), (0, True)))
        f, _, _ = p.evaluate([-1.5, 1.0])
        self.assertEqual(f, 1.5 + 1.0 - 1.5 + 1.0 + 0.0)
        self.assertTrue(math.isnan(Problem.evaluate(hs071(), [0, 0, 0, 0])[0]) is False)


if __name__ == '__main__':
    unittest.main()
