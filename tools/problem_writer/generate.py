#!/usr/bin/env python3
"""The formula folders of a build: each folder's data file and routines,
generated once into a cache that the build trees of one source tree share,
and several folders at a time.

    generate.py --cache DIR --into DIR [--jobs N] NAME=FOLDER ...
    generate.py --cache DIR --check NAME=FOLDER ...

A folder's cache entry, DIR/<folder>-<hash of its path>-<key>, is keyed by
the interpreter, the folder's path, its problem.py and the writer's files
(every .py beside this one); it holds the data file, routines.cpp,
reads.txt (the files the description reads) and a stamp: the key and the
content hashes of the files read. An entry without a stamp, or whose files
read changed, is generated again by running the description (up to N at a
time, the largest first); an entry that another key of the same folder
replaced is removed. Then the folder's OUTSDIF.d, and routines.cpp and
reads.txt under <into>/<NAME>/, are written from the entry where they
differ, so that an unchanged folder rebuilds nothing.

Prints one line a generated folder on standard output and the data file's
rounding notes on standard error. A description's fault is one line on
standard error, '<folder>/problem.py: <its message>' (the first failing
folder in the order given), and status 1.

--check tests that each folder's data file is what its description writes
and is so in git (see check()).
"""

import argparse
import concurrent.futures
import glob
import hashlib
import os
import shutil
import subprocess
import sys
import time

import files

WRITER_DIR = os.path.dirname(os.path.abspath(__file__))
PIECES = ('OUTSDIF.d', 'routines.cpp', 'reads.txt', 'settings.txt')


def file_hash(path):
    try:
        with open(path, 'rb') as f:
            return hashlib.sha256(f.read()).hexdigest()
    except OSError:
        return 'missing'


def writer_files():
    return sorted(glob.glob(os.path.join(WRITER_DIR, '*.py')))


class Folder:
    """One formula folder of the build and its cache entry."""

    def __init__(self, name, folder, cache, interpreter, writer):
        self.name = name
        self.folder = os.path.abspath(folder)
        self.description = os.path.join(self.folder, 'problem.py')
        lines = [interpreter, self.folder, file_hash(self.description)]
        lines += ['%s %s' % (file_hash(f), os.path.basename(f)) for f in writer]
        key = hashlib.sha256('\n'.join(lines).encode()).hexdigest()[:16]
        where = hashlib.sha256(self.folder.encode()).hexdigest()[:8]
        self.prefix = os.path.join(cache, '%s-%s-' % (os.path.basename(self.folder), where))
        self.entry = self.prefix + key
        self.key = key
        self.seconds = None
        self.error = ''

    def stamp(self):
        """The key, and the content hash of every file the description read
        when the entry was made (None without an entry)."""
        try:
            with open(os.path.join(self.entry, 'reads.txt')) as f:
                reads = f.read().split('\n')
        except OSError:
            return None
        return '\n'.join([self.key] + ['%s %s' % (file_hash(r), r) for r in reads if r]) + '\n'

    def current(self):
        try:
            with open(os.path.join(self.entry, 'stamp')) as f:
                recorded = f.read()
        except OSError:
            return False
        return recorded == self.stamp() and all(
            os.path.exists(os.path.join(self.entry, p)) for p in PIECES)

    def size(self):
        """The description's size with the files it read last time: the
        larger folders are started first."""
        total = os.path.getsize(self.description)
        for old in glob.glob(self.prefix + '*/reads.txt'):
            with open(old) as f:
                total += sum(os.path.getsize(r) for r in f.read().split('\n')
                             if r and os.path.exists(r))
        return total

    def generate(self, interpreter):
        """Runs the description into the entry; False on a fault (its
        message in self.error)."""
        os.makedirs(self.entry, exist_ok=True)
        stamp = os.path.join(self.entry, 'stamp')
        if os.path.exists(stamp):
            os.remove(stamp)
        start = time.monotonic()
        env = dict(os.environ, MORLAN_FORMULAS_INTERPRETER=interpreter)
        run = subprocess.run([interpreter, self.description, '--output',
                              os.path.join(self.entry, 'OUTSDIF.d'), '--generate', self.entry],
                             cwd=self.entry, env=env, capture_output=True, text=True)
        self.seconds = time.monotonic() - start
        self.error = run.stderr.strip()
        if run.returncode != 0:
            shutil.rmtree(self.entry, ignore_errors=True)
            return False
        files.write_if_changed(stamp, self.stamp())
        return True

    def prune(self):
        """Removes the folder's entries of other keys."""
        for old in glob.glob(self.prefix + '*'):
            if old != self.entry:
                shutil.rmtree(old, ignore_errors=True)

    def install(self, into):
        """The entry's data file into the folder, its routines and list of
        files read under into/NAME, each only where it differs."""
        files.copy_if_changed(os.path.join(self.entry, 'OUTSDIF.d'),
                              os.path.join(self.folder, 'OUTSDIF.d'))
        target = os.path.join(into, self.name)
        os.makedirs(target, exist_ok=True)
        for piece in PIECES[1:]:
            files.copy_if_changed(os.path.join(self.entry, piece), os.path.join(target, piece))


SKIPPED = 77        # --check outside a git checkout: the committed file is unknown


def git(folder, *args):
    return subprocess.run(['git', '-C', folder] + list(args), capture_output=True)


def check(f):
    """The folder's data file is what its description writes (its current
    cache entry's), and so is the one in git's index (the committed one in
    a fresh clone): the configure step writes the folder's data file, so
    only the comparison with git's says that the committed file is
    current. Returns the exit status after one line."""
    if not f.current():
        print('%s: changed since the build was configured: build again' % f.description)
        return 1
    with open(os.path.join(f.entry, 'OUTSDIF.d')) as g:
        written = g.read()
    try:
        with open(os.path.join(f.folder, 'OUTSDIF.d')) as g:
            present = g.read()
    except OSError:
        present = None
    if present != written:
        print('%s/OUTSDIF.d differs from what problem.py writes: configure again' % f.folder)
        return 1
    if git(f.folder, 'rev-parse', '--is-inside-work-tree').returncode != 0:
        print('not a git checkout: the committed data file is not checked')
        return SKIPPED
    if git(f.folder, 'ls-files', '--error-unmatch', 'OUTSDIF.d').returncode != 0:
        print('%s/OUTSDIF.d is not in git: add the data file problem.py writes' % f.folder)
        return 1
    committed = git(f.folder, 'show', ':./OUTSDIF.d')
    if committed.returncode != 0 or committed.stdout.decode() != written:
        print('%s/OUTSDIF.d in git differs from what problem.py writes: commit the data file '
              'that the configure step wrote' % f.folder)
        return 1
    return 0


def has_sympy(interpreter):
    return subprocess.run([interpreter, '-c', 'import sympy'], capture_output=True).returncode == 0


def main(argv=None):
    ap = argparse.ArgumentParser(description='Generate the formula folders of a build.')
    ap.add_argument('--cache', required=True, help='the generation cache')
    ap.add_argument('--into', help='where each folder\'s routines go (NAME/)')
    ap.add_argument('--jobs', type=int, default=os.cpu_count() or 1)
    ap.add_argument('--interpreter', default=sys.executable)
    ap.add_argument('--check', action='store_true',
                    help='check each folder\'s data file against its entry and git; '
                         'generate nothing')
    ap.add_argument('folders', nargs='*', metavar='NAME=FOLDER')
    args = ap.parse_args(argv)
    writer = writer_files()
    folders = []
    for item in args.folders:
        name, _, folder = item.partition('=')
        folders.append(Folder(name, folder, os.path.abspath(args.cache), args.interpreter,
                              writer))
    if args.check:
        statuses = [check(f) for f in folders]
        return 1 if 1 in statuses else SKIPPED if SKIPPED in statuses else 0
    if not args.into:
        ap.error('--into is needed to generate')
    stale = list({f.entry: f for f in folders if not f.current()}.values())
    if stale and not has_sympy(args.interpreter):
        print('%s has no SymPy: install python3-sympy (scripts/install-deps)'
              % args.interpreter, file=sys.stderr)
        return 1
    stale.sort(key=lambda f: -f.size())
    with concurrent.futures.ThreadPoolExecutor(max(1, args.jobs)) as pool:
        done = dict(zip([f.entry for f in stale],
                        pool.map(lambda f: f.generate(args.interpreter), stale)))
    for f in folders:
        if not done.get(f.entry, True):
            print('%s: %s' % (f.description, f.error.split('\n')[-1]), file=sys.stderr)
            return 1
    for f in folders:
        if f in stale:
            f.prune()
            print('%s: generated in %.1f s' % (f.name, f.seconds))
            if f.error:
                print('%s: the data file rounds:\n%s' % (f.description, f.error),
                      file=sys.stderr)
        f.install(args.into)
    return 0


if __name__ == '__main__':
    sys.exit(main())
