#!/usr/bin/python3
"""A FUSE file system for tests: it shows the files of a source folder read-only, and every read
of a file whose name contains "stall" sleeps for STALL_SECONDS (20) before it answers, as a
hung network share would.

usage: stalling_fs.py MOUNTPOINT -f -o source=FOLDER
"""
import errno
import os
import stat
import time

import fuse

fuse.fuse_python_api = (0, 2)
STALL_SECONDS = 20


class StallingFs(fuse.Fuse):
    def __init__(self, *args, **kw):
        super().__init__(*args, **kw)
        self.source = "."

    def _real(self, path):
        return os.path.join(self.source, path.lstrip("/"))

    def getattr(self, path):
        if path == "/":
            return fuse.Stat(st_mode=stat.S_IFDIR | 0o755, st_nlink=2)
        try:
            s = os.stat(self._real(path))
        except OSError:
            return -errno.ENOENT
        return fuse.Stat(st_mode=stat.S_IFREG | 0o444, st_nlink=1, st_size=s.st_size,
                         st_mtime=s.st_mtime, st_atime=s.st_atime, st_ctime=s.st_ctime)

    def readdir(self, path, offset):
        for name in [".", ".."] + os.listdir(self.source):
            yield fuse.Direntry(name)

    def open(self, path, flags):
        if not os.path.exists(self._real(path)):
            return -errno.ENOENT
        if flags & (os.O_WRONLY | os.O_RDWR):
            return -errno.EACCES
        return 0

    def read(self, path, size, offset):
        if "stall" in path:
            time.sleep(STALL_SECONDS)
        with open(self._real(path), "rb") as f:
            f.seek(offset)
            return f.read(size)


def main():
    server = StallingFs(version="%prog 1", usage=__doc__, dash_s_do="setsingle")
    server.multithreaded = True
    server.parser.add_option(mountopt="source", metavar="FOLDER", help="folder shown")
    server.parse(values=server, errex=1)
    server.source = os.path.abspath(server.source)
    server.main()


if __name__ == "__main__":
    main()
