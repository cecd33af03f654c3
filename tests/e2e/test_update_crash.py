#!/usr/bin/env python3
"""kill -9 at random instants of a job on a 64 MiB download: each time the
target is the old program, the complete new one (with its final mode), or
absent with the old program in ".old"; never a part of a file."""
import hashlib
import os
import random
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import jobs  # noqa: E402
from harness import check  # noqa: E402
from jobs import write  # noqa: E402

TRIALS = 20
OLD = b"#!/bin/sh\necho old\n" * 5000
NEW = hashlib.sha256(bytes(range(256)) * 4096 * 64).hexdigest()  # what /large/64M serves


def digest(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def start_job(ctx, display, server, folder):
    """A one-line script job: it never asks and never starts the program."""
    target = os.path.join(folder, "app")
    write(target, OLD, 0o755)
    write(target + ".old", "the build before")
    script = os.path.join(folder, "..", os.path.basename(folder) + ".job")
    write(script, f"[URL] {server.base}/large/64M [PATH] {target} [AUTOSTART] [SKIPINFO]\r\n")
    return target, harness.Program(["[BATCHFILE]", script], display, ctx.platform, ctx.exe, ctx.build)


def finished(target):
    return not os.path.exists(target + "_") and os.path.exists(target) and os.path.getsize(target) == 64 << 20


def state(target):
    """What the files hold after a kill, or a failure."""
    if not os.path.exists(target):
        check(jobs.read_if_there(target + ".old") == OLD, "target absent and the old program not in .old")
        return "absent"
    mode = os.stat(target).st_mode & 0o777
    if os.path.getsize(target) == len(OLD) and jobs.read(target) == OLD:
        check(mode == 0o755, f"old program with mode {mode:o}")
        return "old"
    check(digest(target) == NEW, f"the target is a part of a file ({os.path.getsize(target)} bytes)")
    check(mode == 0o644 & ~current_umask(), f"new program with mode {mode:o}")
    return "new"


def current_umask():
    mask = os.umask(0)
    os.umask(mask)
    return mask


def body(ctx, display, tmp):
    if ctx.platform == "win32":
        print("note: kill -9 of the program is tested on Linux only")
        raise SystemExit(77)
    server = jobs.Server(os.path.join(tmp, "served"), tmp)
    try:
        # One whole job first: how long it takes sets the range of the kills.
        began = time.time()
        target, program = start_job(ctx, display, server, os.path.join(tmp, "whole"))
        harness.wait_for(lambda: finished(target), 120, "the whole job did not finish")
        length = time.time() - began
        jobs.stop(program)
        check(state(target) == "new", "the whole job did not install the new program")
        seen = {}
        rng = random.Random(os.environ.get("KELVANE_CRASH_SEED", str(time.time())))
        for trial in range(TRIALS):
            target, program = start_job(ctx, display, server, os.path.join(tmp, f"trial{trial}"))
            time.sleep(rng.uniform(0, length * 1.1))
            jobs.stop(program)
            program.ended(10)
            what = state(target)
            seen[what] = seen.get(what, 0) + 1
            subprocess.run(["rm", "-rf", os.path.dirname(target)])
        print(f"whole job {length:.2f} s; after {TRIALS} kills: {seen}")
    finally:
        server.close()


if __name__ == "__main__":
    harness.run_test(body)
