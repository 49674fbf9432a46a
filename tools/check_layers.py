#!/usr/bin/env python3
"""Check that the source folders are layers: no include runs upward.

Each folder of the program may include headers of its own folder and of the
folders below it in LAYERS; folders on the same level (anneal/ and sqp/) do
not include each other. Prints every offending include and exits 1 when
there is one; exits 0 otherwise.

    check_layers.py [SOURCE_DIR]
"""

import os
import re
import sys

# Folder -> level, from the ground up.
LAYERS = {
    'base': 0,
    'io': 1,
    'sif': 2,
    'problems': 3,   # a problem folder's decoded routines, called by sif at link time
    'problem': 3,
    'measures': 4,
    'anneal': 5,
    'sqp': 5,
    'series': 6,     # the plan of the runs and the execution of a series
    'watch': 7,      # the watching of runs
    'driver': 8,     # the program: dialogue, options, main
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def layer_of(path):
    top = path.split('/', 1)[0]
    return top if top in LAYERS else None


def offences(root):
    found = []
    for folder in LAYERS:
        for dirpath, _, names in os.walk(os.path.join(root, folder)):
            for name in sorted(names):
                if not name.endswith(('.cpp', '.hpp')):
                    continue
                path = os.path.join(dirpath, name)
                rel = os.path.relpath(path, root)
                with open(path, encoding='utf-8') as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = layer_of(m.group(1))
                        if target is None or target == folder:
                            continue
                        if folder == 'problems' and target == 'problem':
                            found.append(f'{rel}:{number}: includes {m.group(1)} '
                                         f'(a problem folder uses only base/ and sif/)')
                            continue
                        if LAYERS[target] >= LAYERS[folder]:
                            found.append(f'{rel}:{number}: includes {m.group(1)} '
                                         f'({target}/ is not below {folder}/)')
    return found


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..')
    found = offences(os.path.abspath(root))
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main())
