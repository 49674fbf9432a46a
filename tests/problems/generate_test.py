#!/usr/bin/env python3
"""Tests of tools/problem_writer/generate.py: formula folders generated once
into the shared cache and installed only where they differ, again when a
description or a file it reads changes, a description's fault as one line,
and the check of a folder's data file against git."""

import contextlib
import io
import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.environ.get('MORLAN_SOURCE_DIR',
                      os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
WRITER = os.path.join(ROOT, 'tools', 'problem_writer')
sys.path.insert(0, WRITER)
import generate  # noqa: E402
import problem_writer as pw  # noqa: E402

DESCRIPTION = '''
import os, sys
sys.path.insert(0, {writer!r})
from formulas import Problem, run
import sympy as sp

def build():
    p = Problem('T')
    x, y = p.variables('X', 2, lower=0, upper={upper})
    p.reads('table.txt')
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), 'table.txt')) as f:
        c = float(f.read())
    p.minimize(sp.exp(c*x) + {term})
    {grid}
    return p

sys.exit(run(build))
'''


def folder(parent, name, upper=2, term='y**2', table='1.5', grid=''):
    path = os.path.join(parent, name)
    os.makedirs(path, exist_ok=True)
    with open(os.path.join(path, 'problem.py'), 'w') as f:
        f.write(DESCRIPTION.format(writer=WRITER, upper=upper, term=term, grid=grid))
    with open(os.path.join(path, 'table.txt'), 'w') as f:
        f.write(table)
    return path


class Generation(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.root = self.tmp.name
        self.cache = os.path.join(self.root, 'cache')
        self.into = os.path.join(self.root, 'build')

    def tearDown(self):
        self.tmp.cleanup()

    def generate(self, *folders):
        out, err = io.StringIO(), io.StringIO()
        with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
            status = generate.main(['--cache', self.cache, '--into', self.into, '--jobs', '2',
                                    '--interpreter', sys.executable]
                                   + ['%s=%s' % (os.path.basename(f), f) for f in folders])
        return status, out.getvalue(), err.getvalue()

    def generated(self, out):
        return sorted(line.split(':')[0] for line in out.splitlines())

    def stamps(self, *paths):
        return [os.stat(p).st_mtime_ns for p in paths]

    def test_generated_once_then_again_only_where_an_input_changed(self):
        a, b = folder(self.root, 'a'), folder(self.root, 'b', term='y**3')
        status, out, _ = self.generate(a, b)
        self.assertEqual((status, self.generated(out)), (0, ['a', 'b']))
        installed = [os.path.join(a, 'OUTSDIF.d'), os.path.join(self.into, 'a', 'routines.cpp'),
                     os.path.join(self.into, 'b', 'routines.cpp')]
        before = self.stamps(*installed)
        # Nothing changed: nothing generated, nothing written.
        self.assertEqual(self.generate(a, b)[:2], (0, ''))
        self.assertEqual(self.stamps(*installed), before)
        # A file a reads: a alone again, its routines rewritten, not b's.
        with open(os.path.join(a, 'table.txt'), 'w') as f:
            f.write('2.5')
        status, out, _ = self.generate(a, b)
        self.assertEqual((status, self.generated(out)), (0, ['a']))
        with open(os.path.join(self.into, 'a', 'routines.cpp')) as f:
            self.assertIn('2.5', f.read())
        self.assertEqual(self.stamps(installed[2]), before[2:])
        # A changed description: a new entry, the old one removed.
        folder(self.root, 'a', upper=3, table='2.5')
        status, out, _ = self.generate(a, b)
        self.assertEqual((status, self.generated(out)), (0, ['a']))
        self.assertEqual(sorted(n.split('-')[0] for n in os.listdir(self.cache)), ['a', 'b'])
        with open(os.path.join(a, 'OUTSDIF.d')) as f:
            self.assertIn('3.00000000D+00', f.read())

    def header(self, name):
        path = os.path.join(self.root, 'sizes.hpp')
        status = pw.main(['header', os.path.join(self.root, name, 'OUTSDIF.d'), path, name,
                          os.path.join(self.into, name, 'settings.txt')])
        self.assertEqual(status, 0)
        with open(path) as f:
            return f.read()

    def test_a_declared_grid_reaches_the_build_header_and_a_change_generates_again(self):
        a, b = folder(self.root, 'a', grid='p.grid(points_per_unit=100000000)'), \
            folder(self.root, 'b')
        self.assertEqual(self.generate(a, b)[0], 0)
        self.assertIn('kGridPointsPerUnit = 100000000;', self.header('a'))
        self.assertIn('kGridPointsPerUnit = 10000;', self.header('b'))
        folder(self.root, 'a', grid='p.grid(points_per_unit=1000000)')
        status, out, _ = self.generate(a, b)
        self.assertEqual((status, self.generated(out)), (0, ['a']))
        self.assertIn('kGridPointsPerUnit = 1000000;', self.header('a'))

    def test_a_grid_that_is_no_whole_number_in_range_is_one_line(self):
        for bad in ('1e8', '1', '0', '2000000000', 'True'):
            a = folder(self.root, 'a', grid='p.grid(points_per_unit=%s)' % bad)
            status, _, err = self.generate(a)
            self.assertEqual(status, 1, bad)
            self.assertIn('grid: points per unit', err)
            self.assertEqual(len(err.strip().splitlines()), 1, err)

    def test_a_fault_is_one_line_naming_the_description(self):
        good, bad = folder(self.root, 'good'), folder(self.root, 'bad', term="sp.Symbol('Q')")
        status, _, err = self.generate(good, bad)
        self.assertEqual(status, 1)
        self.assertEqual(err, '%s/problem.py: problem description: function OBJ, term Q: '
                              'undeclared symbol Q\n' % bad)
        self.assertEqual([n.split('-')[0] for n in os.listdir(self.cache)], ['good'])
        self.assertFalse(os.path.exists(os.path.join(bad, 'OUTSDIF.d')))


class CommittedDataFile(unittest.TestCase):
    """The folder's data file must be in git as its description writes it:
    the configure step writes the folder's file, so the file alone would
    always pass."""

    def check(self, path):
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            status = generate.main(['--cache', self.cache, '--interpreter', sys.executable,
                                    '--check', 'a=%s' % path])
        return status, out.getvalue()

    def test_a_stale_committed_file_fails(self):
        with tempfile.TemporaryDirectory() as root:
            self.cache = os.path.join(root, 'cache')
            a = folder(root, 'a')
            args = ['--cache', self.cache, '--into', os.path.join(root, 'build'),
                    '--interpreter', sys.executable, 'a=%s' % a]
            with contextlib.redirect_stdout(io.StringIO()):
                self.assertEqual(generate.main(args), 0)
            # Outside a git checkout: skipped.
            self.assertEqual(self.check(a)[0], generate.SKIPPED)
            subprocess.run(['git', 'init', '-q', root], check=True)
            status, out = self.check(a)
            self.assertEqual(status, 1)
            self.assertIn('is not in git', out)
            subprocess.run(['git', '-C', a, 'add', 'OUTSDIF.d'], check=True)
            self.assertEqual(self.check(a), (0, ''))
            # The description changes and the configure step writes the new
            # file: git's is stale until it is added.
            folder(root, 'a', upper=3)
            with contextlib.redirect_stdout(io.StringIO()):
                self.assertEqual(generate.main(args), 0)
            status, out = self.check(a)
            self.assertEqual(status, 1)
            self.assertIn('OUTSDIF.d in git differs from what problem.py writes', out)
            subprocess.run(['git', '-C', a, 'add', 'OUTSDIF.d'], check=True)
            self.assertEqual(self.check(a), (0, ''))
            # An edit not yet configured, and a file edited by hand.
            folder(root, 'a', upper=4)
            self.assertIn('changed since the build was configured', self.check(a)[1])
            folder(root, 'a', upper=3)
            with open(os.path.join(a, 'OUTSDIF.d'), 'a') as f:
                f.write('\n')
            self.assertIn('differs from what problem.py writes: configure again',
                          self.check(a)[1])


if __name__ == '__main__':
    unittest.main()
