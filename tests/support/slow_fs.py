#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A share that hangs, for the tests: slow_fs.py MOUNTPOINT GATE [--lookups | --through BACKING TICK].

Mounted with FUSE in the foreground until unmounted. Without --lookups every listing hangs; with it every lookup
(getattr) of a name below the root hangs instead, as a share whose server no longer answers `stat` or `open`,
while listings answer at once. A hanging call first creates GATE.entered, then waits until the file GATE exists.
The root holds a.txt, b.txt and the folder sub; folders can be made (mkdir), in memory. With --through nothing
hangs: BACKING is served as a server would, its times cut to whole TICK seconds.
"""
import errno
import os
import stat
import sys
import time

from fusepy import FUSE, FuseOSError, Operations

FILES = {"/a.txt", "/b.txt"}


class SlowShare(Operations):
    def __init__(self, gate, lookups):
        self.gate = gate
        self.lookups = lookups
        self.folders = {"/", "/sub"}

    def _hang(self):
        open(self.gate + ".entered", "w").close()
        while not os.path.exists(self.gate):
            time.sleep(0.05)

    def getattr(self, path, fh=None):
        if self.lookups and path != "/":
            self._hang()
        if path in self.folders:
            return {"st_mode": stat.S_IFDIR | 0o755, "st_nlink": 2}
        if path in FILES:
            return {"st_mode": stat.S_IFREG | 0o644, "st_nlink": 1, "st_size": 0}
        raise FuseOSError(errno.ENOENT)

    def mkdir(self, path, mode):
        if path in self.folders or path in FILES:
            raise FuseOSError(errno.EEXIST)
        if os.path.dirname(path) not in self.folders:
            raise FuseOSError(errno.ENOENT)
        self.folders.add(path)

    def readdir(self, path, fh):
        if not self.lookups:
            self._hang()
        entries = [".", ".."]
        # The entry's type comes with its name, so a listing needs no lookup of its own.
        for name in sorted(FILES | self.folders):
            if name != "/" and os.path.dirname(name) == path:
                kind = stat.S_IFDIR if name in self.folders else stat.S_IFREG
                entries.append((os.path.basename(name), {"st_mode": kind | 0o755}, 0))
        return entries


class PassThrough(Operations):
    def __init__(self, backing, tick):
        self.backing, self.tick = backing, int(float(tick) * 1e9)

    def getattr(self, path, fh=None):
        st = os.lstat(self.backing + path)  # its OSError answers with its errno
        times = {k: getattr(st, k + "_ns") // self.tick * self.tick / 1e9 for k in ("st_atime", "st_mtime", "st_ctime")}
        return dict(times, **{k: getattr(st, k) for k in ("st_mode", "st_nlink", "st_size", "st_uid", "st_gid")})

    def readdir(self, path, fh):
        entries = os.scandir(self.backing + path)
        return [".", ".."] + [(e.name, {"st_mode": e.stat(follow_symlinks=False).st_mode}, 0) for e in entries]


if __name__ == "__main__":
    share = PassThrough(*sys.argv[4:6]) if "--through" in sys.argv else SlowShare(sys.argv[2], "--lookups" in sys.argv)
    # Nothing cached: every stat reaches getattr.
    FUSE(share, sys.argv[1], foreground=True, nothreads=False, attr_timeout=0, entry_timeout=0)
