#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A share whose listing hangs, for the tests: slow_fs.py MOUNTPOINT GATE.

Mounted with FUSE in the foreground until unmounted. Every listing first creates GATE.entered, then waits until
the file GATE exists, as a dead network share keeps a listing waiting. The root holds a.txt, b.txt and the folder
sub.
"""
import errno
import os
import stat
import sys
import time

from fusepy import FUSE, FuseOSError, Operations

FILES = {"a.txt", "b.txt"}
FOLDERS = {"sub"}


class SlowShare(Operations):
    def __init__(self, gate):
        self.gate = gate

    def getattr(self, path, fh=None):
        name = path.lstrip("/")
        if path == "/" or name in FOLDERS:
            return {"st_mode": stat.S_IFDIR | 0o755, "st_nlink": 2}
        if name in FILES:
            return {"st_mode": stat.S_IFREG | 0o644, "st_nlink": 1, "st_size": 0}
        raise FuseOSError(errno.ENOENT)

    def readdir(self, path, fh):
        open(self.gate + ".entered", "w").close()
        while not os.path.exists(self.gate):
            time.sleep(0.05)
        return [".", ".."] + (sorted(FILES | FOLDERS) if path == "/" else [])


if __name__ == "__main__":
    FUSE(SlowShare(sys.argv[2]), sys.argv[1], foreground=True, nothreads=False)
