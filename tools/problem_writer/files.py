"""Writing generated files: only when their text changes, and never
replacing what is not a regular file."""

import os
import stat


def write_if_changed(path, text):
    """Writes text to path unless it holds it already (the build then sees
    an unchanged file). A regular file is replaced whole by a renamed
    temporary, so that a reader never sees half a file; a symbolic link is
    followed (the link stays); a path that is no regular file (a device, a
    pipe) is written into as it is, never read and never replaced."""
    target = os.path.realpath(path)
    try:
        regular = stat.S_ISREG(os.stat(target).st_mode)
    except FileNotFoundError:
        regular = True
    if not regular:
        with open(target, 'w') as f:
            f.write(text)
        return
    try:
        with open(target) as f:
            if f.read() == text:
                return
    except (OSError, UnicodeDecodeError):
        pass
    tmp = '%s.%d.tmp' % (target, os.getpid())
    with open(tmp, 'w') as f:
        f.write(text)
    os.replace(tmp, target)


def copy_if_changed(source, path):
    """The text of file source into path, by write_if_changed."""
    with open(source) as f:
        write_if_changed(path, f.read())
