#!/usr/bin/env python3
"""A job that meets a target the user may not delete: it is reported and
stays, the download discarded, and the old program is started. (A read-only
first backup is in the job table of the integration tests.)

On Linux root may change any file, so as root the program runs as the
unprivileged user 65534 in a folder of that user's: a file in a sticky
folder (like /tmp) that belongs to someone else can neither be deleted nor
renamed, while new files can still be made there. Under Wine a read-only
file (no write bit) cannot be deleted even by root."""
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
    """Runs Kelvane as a user whom file permissions bind: on Linux as the
    unprivileged user (when run as root), in a folder of that user's."""

    def __init__(self, p, tmp):
        self.p = p
        self.home = os.path.join(tmp, "user")
        self.linux_as_nobody = not p.win32 and AS_ROOT
        os.chmod(tmp, 0o755)  # the user must reach its folder
        os.makedirs(os.path.join(self.home, "config"))
        # A copy of the program that the user may run wherever the build is.
        self.exe = os.path.join(self.home, os.path.basename(p.ctx.exe))
        shutil.copy(p.ctx.exe, self.exe)
        self.give(self.home)
        self.give(os.path.join(self.home, "config"))

    def give(self, path):
        if self.linux_as_nobody:
            os.chown(path, NOBODY, NOBODY)

    def kelvane(self, display, words, record):
        prefix = ["--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups", self.exe]
        return harness.Program(prefix + words if self.linux_as_nobody else words, display,
                               self.p.ctx.platform, "setpriv" if self.linux_as_nobody else self.exe,
                               self.p.ctx.build,
                               extra_env={"DEMOAPP_RECORD": self.p.path(record), "DEMOAPP_SECONDS": "0",
                                          "XDG_CONFIG_HOME": os.path.join(self.home, "config")})


def job_line(p, server, target):
    return ["[URL]", f"{server.base}/{p.app_name()}", "[PATH]", p.path(target), "[PARAM1]", "--updated",
            "[AUTOSTART]", "[SKIPINFO]", "[NOASK]"]


def target_that_cannot_be_deleted(p, user, display, server):
    folder = os.path.join(user.home, "undeletable")
    target = os.path.join(folder, p.app_name())
    record = os.path.join(user.home, "undeletable.record")
    if p.win32:
        write(target, p.old_app, 0o555)  # read-only
    else:
        write(target, p.old_app, 0o755)  # root's file in a folder everyone may add to
        os.chmod(folder, 0o1777)
    program = user.kelvane(display, job_line(p, server, target), record)
    try:
        jobs.answer(display, "Kelvane")  # could not delete the target
        # The download is discarded; the old program stays and is started.
        jobs.ends(program, "target not deleted")
        check(jobs.recorded(record) == ("demoapp 1.0", ["--updated"]),
              f"restart: {jobs.recorded(record)!r}")
        check(contents(folder) == {p.app_name(): p.old_app, p.app_name() + ".old": p.old_app},
              f"wrong files: {sorted(contents(folder))}")
    finally:
        jobs.stop(program)


def body(ctx, display, tmp):
    p = jobs.Platform(ctx)
    user = User(p, tmp)
    served = os.path.join(tmp, "served")
    write(os.path.join(served, p.app_name()), p.new_app)
    server = jobs.Server(served, tmp)
    try:
        if p.win32 or AS_ROOT:
            target_that_cannot_be_deleted(p, user, display, server)
        else:
            print("note: an undeletable target needs a file of another user; run as root to test it")
    finally:
        server.close()


if __name__ == "__main__":
    harness.run_test(body)
