#!/usr/bin/env python3
"""kill -9 at random instants of a job: the target is the old program, the new one or absent; never a part."""
import hashlib
import os
import random
import subprocess
import time

import harness
import jobs
from harness import check

TRIALS = 20
OLD = b"#!/bin/sh\necho old\n" * 5000
NEW = hashlib.sha256(bytes(range(256)) * 4096 * 64).hexdigest()  # what /large/64M serves


def start_job(ctx, server, folder):  # a script job: it never asks and never starts the program
    target = os.path.join(folder, "app")
    jobs.write(target, OLD, 0o755)
    jobs.write(target + ".old", "the build before")
    script = folder + ".job"
    jobs.write(script, f"[URL] {server.base}/large/64M [PATH] {target} [AUTOSTART] [SKIPINFO]\r\n")
    return target, ctx.start(["[BATCHFILE]", script])


def state(target):
    if not os.path.exists(target):
        check(jobs.read_if_there(target + ".old") == OLD, "target absent and the old program not in .old")
        return "absent"
    mode = os.stat(target).st_mode & 0o777
    if os.path.getsize(target) == len(OLD) and jobs.read(target) == OLD:
        check(mode == 0o755, f"old program with mode {mode:o}")
        return "old"
    with open(target, "rb") as f:
        whole = hashlib.file_digest(f, "sha256").hexdigest() == NEW
    check(whole, f"the target is a part of a file ({os.path.getsize(target)} bytes)")
    return "new"  # its mode: the fetch tests


def body(ctx):
    if ctx.win32:
        print("note: kill -9 of the program is tested on Linux only")
        raise SystemExit(77)
    server = jobs.Server(os.path.join(ctx.tmp, "served"), ctx.tmp)
    try:
        # One whole job first: how long it takes sets the range of the kills.
        began = time.time()
        target, program = start_job(ctx, server, os.path.join(ctx.tmp, "whole"))
        harness.wait_for(lambda: not os.path.exists(target + "_") and os.path.exists(target)
                         and os.path.getsize(target) == 64 << 20, 120, "the whole job did not finish")
        length = time.time() - began
        program.kill()
        check(state(target) == "new", "the whole job did not install the new program")
        seen = {}
        rng = random.Random(os.environ.get("KELVANE_CRASH_SEED", str(time.time())))
        for trial in range(TRIALS):
            target, program = start_job(ctx, server, os.path.join(ctx.tmp, f"trial{trial}"))
            time.sleep(rng.uniform(0, length * 1.1))
            program.kill()
            program.ended(10)
            what = state(target)
            seen[what] = seen.get(what, 0) + 1
            subprocess.run(["rm", "-rf", os.path.dirname(target)])
        print(f"whole job {length:.2f} s; after {TRIALS} kills: {seen}")
    finally:
        server.close()


if __name__ == "__main__":
    harness.run_test(body)
