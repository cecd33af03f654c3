#!/usr/bin/env python3
"""Jobs that meet files a user may not change: a read-only first backup is
reported and kept while the target is still replaced, and a target that
cannot be deleted is reported and stays, the download discarded.

Root may change any file, so as root the program runs as the unprivileged
user 65534 in a folder of that user's. On Linux a file whose owner has no
write bit counts as read-only, and a file in a sticky folder (like /tmp)
that belongs to someone else cannot be deleted, while new files can still
be made there."""
import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import jobs  # noqa: E402
from harness import check  # noqa: E402
from jobs import contents, write  # noqa: E402

NOBODY = 65534
AS_ROOT = os.geteuid() == 0


class User:
    """Runs Kelvane as the unprivileged user, in a folder of that user's."""

    def __init__(self, ctx, tmp):
        self.ctx = ctx
        self.home = os.path.join(tmp, "user")
        os.chmod(tmp, 0o755)  # the user must reach its folder
        os.makedirs(os.path.join(self.home, "config"))
        # A copy of the program that the user may run wherever the build is.
        self.exe = os.path.join(self.home, "kelvane")
        shutil.copy(ctx.exe, self.exe)
        self.give(self.home)
        self.give(os.path.join(self.home, "config"))

    def give(self, path):
        if AS_ROOT:
            os.chown(path, NOBODY, NOBODY)

    def kelvane(self, display, words, record):
        prefix = ["--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups", self.exe] if AS_ROOT else []
        return harness.Program(prefix + words, display, "linux", "setpriv" if AS_ROOT else self.exe,
                               self.ctx.build,
                               extra_env={"DEMOAPP_RECORD": record, "DEMOAPP_SECONDS": "0",
                                          "XDG_CONFIG_HOME": os.path.join(self.home, "config")})


def job_line(server, target):
    return ["[URL]", f"{server.base}/demoapp", "[PATH]", target, "[PARAM1]", "--updated", "[AUTOSTART]",
            "[SKIPINFO]", "[NOASK]"]


def read_only_first_backup(p, user, display, server):
    folder = os.path.join(user.home, "readonly")
    target = os.path.join(folder, "demoapp")
    record = os.path.join(user.home, "readonly.record")
    write(target, p.old_app, 0o755)
    write(target + ".old", "the build before", 0o444)
    for path in (folder, target, target + ".old"):
        user.give(path)
    program = user.kelvane(display, job_line(server, target), record)
    try:
        jobs.answer(display, "Kelvane")  # the backup is write-protected
        # The job goes on: the new version is in place and started.
        jobs.ends(program, "read-only backup")
        check(jobs.recorded(record) == ("demoapp 2.0", ["--updated"]),
              f"restart: {jobs.recorded(record)!r}")
        check(contents(folder) == {"demoapp": p.new_app, "demoapp.old": b"the build before",
                                   "demoapp.old2": b"the build before"},
              f"wrong files: {sorted(contents(folder))}")
        check(os.stat(target + ".old").st_mode & 0o777 == 0o444, "the read-only backup changed its mode")
    finally:
        jobs.stop(program)


def target_that_cannot_be_deleted(p, user, display, server):
    folder = os.path.join(user.home, "sticky")
    target = os.path.join(folder, "demoapp")
    record = os.path.join(user.home, "sticky.record")
    write(target, p.old_app, 0o755)  # root's file in a folder everyone may add to
    os.chmod(folder, 0o1777)
    program = user.kelvane(display, job_line(server, target), record)
    try:
        jobs.answer(display, "Kelvane")  # could not delete the target
        # The download is discarded; the old program stays and is started.
        jobs.ends(program, "target not deleted")
        check(jobs.recorded(record) == ("demoapp 1.0", ["--updated"]),
              f"restart: {jobs.recorded(record)!r}")
        check(contents(folder) == {"demoapp": p.old_app, "demoapp.old": p.old_app},
              f"wrong files: {sorted(contents(folder))}")
    finally:
        jobs.stop(program)


def body(ctx, display, tmp):
    if ctx.platform == "win32":
        print("SKIPPED: Wine runs only as the owner of its prefix, so an unprivileged user would need "
              "a prefix of its own; the job's handling of these files is the same core on both platforms")
        raise SystemExit(77)
    p = jobs.Platform(ctx)
    user = User(ctx, tmp)
    served = os.path.join(tmp, "served")
    write(os.path.join(served, "demoapp"), p.new_app)
    server = jobs.Server(served, tmp)
    try:
        read_only_first_backup(p, user, display, server)
        if AS_ROOT:
            target_that_cannot_be_deleted(p, user, display, server)
        else:
            print("note: an undeletable target needs a file of another user; run as root to test it")
    finally:
        server.close()


if __name__ == "__main__":
    harness.run_test(body)
