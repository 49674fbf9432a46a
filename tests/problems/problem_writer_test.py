#!/usr/bin/env python3
"""Tests of tools/problem_writer: descriptions it refuses, the file it
writes read back, the values it evaluates, and the build's size header."""

import math
import os
import sys
import tempfile
import unittest

ROOT = os.environ.get('MORLAN_SOURCE_DIR',
                      os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tools', 'problem_writer'))
import problem_writer as pw  # noqa: E402


def small_problem():
    """HS071-like: a product element, an equality and an inequality, an
    objective of an element and a linear entry, a constant and a scale."""
    p = pw.Problem('SMALL')
    x = [p.variable('X%d' % i, 1.0, 5.0, start=1.0 + i) for i in range(1, 4)]
    prod = p.element_type('PROD', variables=2, value=lambda y, _: y[0] * y[1])
    sq = p.element_type('SQS', variables=1, parameters=1,
                        value=lambda y, c: (y[0] - c[0]) ** 2)
    e1 = p.element('P12', prod, [x[0], x[1]])
    e2 = p.element('S3', sq, [x[2]], [0.5])
    p.objective('OBJ', linear={x[2]: 2.0}, elements=[(e1, 3.0)], constant=1.0)
    p.equality('EQ', elements=[e2], linear=[(x[0], -1.0)], constant=4.0, scale=0.5)
    p.inequality('UP', linear={'X1': 1.0, 'X2': 1.0}, upper=6.0)
    p.inequality('LO', elements=[(e1, 1.0)], lower=3.0)
    return p


class Descriptions(unittest.TestCase):
    def refused(self, build, words):
        with self.assertRaises(pw.ProblemError) as ctx:
            build()
        self.assertIn(words, str(ctx.exception))
        self.assertNotIn('\n', str(ctx.exception))

    def test_faults_are_refused_with_one_line_naming_them(self):
        p = pw.Problem('T')
        x = p.variable('X', 0.0, 1.0)
        t = p.element_type('SQ', variables=1)
        self.refused(lambda: pw.Problem('NAMEISTOOLONG'), 'problem name')
        self.refused(lambda: p.variable('X', 0.0, 1.0), 'declared twice')
        self.refused(lambda: p.variable('Y', 1.0, 0.0), 'finite and ordered')
        self.refused(lambda: p.variable('Y', 0.0, 1.0e20), 'finite and ordered')
        self.refused(lambda: p.variable('Y', 0.0, 1.0, start=2.0), 'outside its bounds')
        self.refused(lambda: p.variable('A NAME', 0.0, 1.0), 'without blanks')
        self.refused(lambda: p.element('E', t, [x, x]), 'takes 1 variables')
        self.refused(lambda: p.element('E', 'CUBE', [x]), 'unknown element type')
        self.refused(lambda: p.element('E', t, ['Z']), 'unknown variable Z')
        self.refused(lambda: p.objective('O', elements=[7]), 'no element 7')
        self.refused(lambda: p.inequality('G', linear={x: 1.0}), 'give lower or upper')
        self.refused(lambda: p.inequality('G', linear={x: 1.0}, lower=0.0, upper=1.0),
                     'write a range as two')
        self.refused(lambda: p.objective('O', linear={x: math.nan}), 'not finite')
        self.refused(lambda: p.objective('O', linear={x: 1.0e-120}), 'three-digit exponent')
        self.refused(lambda: pw.Problem('EMPTY').lines(), 'no variables')

    def test_more_variables_than_the_program_holds_is_refused(self):
        p = pw.Problem('BIG')
        for i in range(pw.CAPACITY + 1):
            p.variable('X%d' % i, 0.0, 1.0)
        p.objective('O', linear={1: 1.0})
        with self.assertRaises(pw.ProblemError):
            p.lines()


class WrittenFile(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.dir.name, 'OUTSDIF.d')

    def tearDown(self):
        self.dir.cleanup()

    def test_file_reads_back_with_the_description_sizes_and_values(self):
        p = small_problem()
        p.write(self.path)
        d = pw.read_data_file(self.path)
        self.assertEqual(pw.file_sizes(d), (3, 3, 1, 2, 2, 0))
        self.assertEqual(d['name'], 'SMALL')
        self.assertEqual(d['x'], [2.0, 3.0, 4.0])
        # Objective first, equality, then the two inequalities, in order.
        self.assertEqual(d['kndofc'], [1, 2, 3, 3])
        self.assertEqual(d['etypes'], ['PROD', 'SQS'])
        x = [1.5, 2.5, 3.5]
        values = {1: lambda y, q: y[0] * y[1], 2: lambda y, q: (y[0] - q[0]) ** 2}
        from_file = pw.evaluate_file(d, x, lambda t, y, q: values[t](y, q))
        self.assertEqual(from_file, p.evaluate(x))
        f, eq, ineq = from_file
        self.assertAlmostEqual(f, 2.0 * 3.5 + 3.0 * 1.5 * 2.5 - 1.0)
        self.assertAlmostEqual(eq[0], 0.5 * ((3.5 - 0.5) ** 2 - 1.5 - 4.0))
        self.assertAlmostEqual(ineq[0], 1.5 + 2.5 - 6.0)      # upper side: value - upper
        self.assertAlmostEqual(ineq[1], 3.0 - 1.5 * 2.5)      # lower side: lower - value

    def test_lists_span_lines_in_their_record_formats(self):
        p = pw.Problem('WIDE')
        xs = [p.variable('V%d' % i, -1.0, 1.0, start=0.001 * i) for i in range(1, 31)]
        p.objective('O', linear={v: 1.0 / v for v in xs})
        lines = p.lines()
        self.assertEqual(lines[0][:12], '    30     1')
        self.assertEqual(lines[1], ' 3WIDE    ')
        self.assertTrue(all(len(line) <= 80 for line in lines))  # 8 names of 10
        self.assertIn('  1.00000000D-03  2.00000000D-03', '\n'.join(lines))
        self.assertTrue(any('rounded to nine significant digits' in n for n in p.notes))
        p.write(self.path)
        self.assertEqual(pw.read_data_file(self.path)['a'][2], float('%.8E' % (1.0 / 3)))

    def test_damaged_file_is_reported_with_its_record(self):
        small_problem().write(self.path)
        with open(self.path) as f:
            lines = f.read().split('\n')
        lines[4] = lines[4][:3] + 'xx' + lines[4][5:]       # record 6 (ISTADA)
        with open(self.path, 'w') as f:
            f.write('\n'.join(lines))
        with self.assertRaises(pw.ProblemError) as ctx:
            pw.read_data_file(self.path)
        self.assertIn('record 6 (ISTADA)', str(ctx.exception))
        with open(self.path, 'w') as f:
            f.write('\n'.join(small_problem().lines()[:20]) + '\n')
        with self.assertRaises(pw.ProblemError) as ctx:
            pw.read_data_file(self.path)
        self.assertIn('ends before the record', str(ctx.exception))


class SizeHeader(unittest.TestCase):
    def test_header_carries_the_sizes_and_refuses_ranges(self):
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, 'OUTSDIF.d')
            small_problem().write(path)
            text = pw.configuration_header(path, 'small')
            for line in ('kName = "small"', 'kNvar = 3;', 'kNcon = 3;', 'kNeq = 1;',
                         'kNineq = 2;', 'kNelem = 2;'):
                self.assertIn(line, text)
            # A range (both bounds finite) written by hand into the file.
            lines = small_problem().lines()
            d = pw.read_data_file(path)
            bl = d['bl'][:]
            bl[3 + 2] = -1.0                      # group UP gets a lower bound too
            start = lines.index(pw._reals(d['bl'])[0])
            lines[start:start + len(pw._reals(bl))] = pw._reals(bl)
            with open(path, 'w') as f:
                f.write('\n'.join(lines) + '\n')
            with self.assertRaises(pw.ProblemError) as ctx:
                pw.configuration_header(path, 'small')
            self.assertIn('write each as two', str(ctx.exception))

    def test_every_committed_problem_has_the_sizes_its_folder_states(self):
        sizes = {'gasnet': (144, 160, 123, 37), 'g01': (13, 9, 0, 9), 'g05': (4, 5, 3, 2),
                 'g13': (5, 3, 3, 0)}
        for name, expected in sizes.items():
            d = pw.read_data_file(os.path.join(ROOT, 'problems', name, 'OUTSDIF.d'))
            self.assertEqual(pw.file_sizes(d)[:4], expected, name)


if __name__ == '__main__':
    unittest.main()
