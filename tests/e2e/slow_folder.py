#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A folder whose listing takes its time, like a slow or hung network share.

Mirrors BACKING at MOUNTPOINT (read only) until unmounted. Every listing first sleeps for the seconds written
in DELAY_FILE (none or unreadable: no wait); the file is read at each listing, so a test can make the share
hang and recover while it is mounted. With LOOKUP_DELAY_FILE, every lookup (stat) of a name below the root sleeps
for the seconds written there in the same way, and with READ_DELAY_FILE every read of a file.

Usage: slow_folder.py BACKING MOUNTPOINT DELAY_FILE [LOOKUP_DELAY_FILE [READ_DELAY_FILE]]
"""
import errno
import os
import sys
import time

from fusepy import FUSE, FuseOSError, Operations


class SlowFolder(Operations):
    def __init__(self, backing, delay_file, lookup_delay_file, read_delay_file):
        self.backing = backing
        self.read_delay_file = read_delay_file
        self.delay_file = delay_file
        self.lookup_delay_file = lookup_delay_file

    def _real(self, path):
        return os.path.join(self.backing, path.lstrip("/"))

    @staticmethod
    def _seconds(name):
        try:
            with open(name) as f:
                return float(f.read())
        except (OSError, TypeError, ValueError):
            return 0.0

    def _delay(self):
        return self._seconds(self.delay_file)

    def getattr(self, path, fh=None):
        if path != "/":
            time.sleep(self._seconds(self.lookup_delay_file))
        try:
            st = os.lstat(self._real(path))
        except OSError as e:
            raise FuseOSError(e.errno)
        keys = ("st_mode", "st_nlink", "st_size", "st_uid", "st_gid", "st_atime", "st_mtime", "st_ctime")
        return {k: getattr(st, k) for k in keys}

    def readdir(self, path, fh):
        time.sleep(self._delay())
        try:
            return [".", ".."] + os.listdir(self._real(path))
        except OSError as e:
            raise FuseOSError(e.errno)

    def open(self, path, flags):
        if flags & (os.O_WRONLY | os.O_RDWR):
            raise FuseOSError(errno.EROFS)
        return 0

    def read(self, path, size, offset, fh):
        time.sleep(self._seconds(self.read_delay_file))
        with open(self._real(path), "rb") as f:
            f.seek(offset)
            return f.read(size)


if __name__ == "__main__":
    if len(sys.argv) not in (4, 5, 6):
        sys.exit(__doc__)
    backing, mountpoint, delay_file, lookup_delay_file, read_delay_file = (sys.argv[1:] + [None, None])[:5]
    # Attributes are not cached: a file landing in the backing folder shows at the next listing.
    FUSE(SlowFolder(backing, delay_file, lookup_delay_file, read_delay_file), mountpoint, foreground=True, ro=True, attr_timeout=0, entry_timeout=0)
