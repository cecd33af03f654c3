#!/usr/bin/env python3
"""kill -9 at random instants of a job: the target is the old program, the new one or absent, and every job name
holds a whole file or none. Under Wine the old program is as large as the new one, so that kills fall in its copies."""
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
BEFORE = b"the build before"
NEW = hashlib.sha256(bytes(range(256)) * 4096 * 64).hexdigest()  # what /large/64M serves


def start_job(ctx, server, folder, old):  # a script job: it never asks and never starts the program
    target = os.path.join(folder, "app" + ctx.suffix)
    jobs.write(target, old, 0o755)
    jobs.write(target + ".old", BEFORE)
    script = folder + ".job"
    jobs.write(script, f"[URL] {server.base}/large/64M [PATH] {ctx.path(target)} [AUTOSTART] [SKIPINFO]\r\n")
    return target, ctx.start(["[BATCHFILE]", ctx.path(script)])


def copies(target):
    return [n for n in os.listdir(os.path.dirname(target)) if n.startswith(".kelvane-") and n.endswith(".copy")]


def state(ctx, target, old):
    check(jobs.read_if_there(target + ".old") in (None, BEFORE, old), "a part of a file in .old")
    check(jobs.read_if_there(target + ".old2") in (None, BEFORE), "a part of a file in .old2")
    if not os.path.exists(target):
        check(jobs.read_if_there(target + ".old") == old, "target absent and the old program not in .old")
        return "absent"
    mode = os.stat(target).st_mode & 0o777
    if os.path.getsize(target) == len(old) and jobs.read(target) == old:
        check(ctx.win32 or mode == 0o755, f"old program with mode {mode:o}")
        return "old"
    with open(target, "rb") as f:
        whole = hashlib.file_digest(f, "sha256").hexdigest() == NEW
    check(whole, f"the target is a part of a file ({os.path.getsize(target)} bytes)")
    return "new"  # its mode: the fetch tests


def body(ctx):
    old = os.urandom(64 << 20) if ctx.win32 else OLD  # copied to .old there, renamed on Linux
    server = jobs.Server(os.path.join(ctx.tmp, "served"), ctx.tmp)
    try:
        # One whole job first: how long it takes, and how long its copies take, set the range of the kills.
        began = time.time()
        target, program = start_job(ctx, server, os.path.join(ctx.tmp, "whole"), old)
        copying = began  # Linux renames: no copies
        if ctx.win32:
            harness.wait_for(lambda: copies(target), 120, "the whole job made no copy")
            copying = time.time()
        harness.wait_for(lambda: not os.path.exists(target + "_") and os.path.exists(target)
                         and jobs.read_if_there(target + ".old") == old, 120, "the whole job did not finish", 0.2)
        length, copies_last = time.time() - began, time.time() - copying if ctx.win32 else 0
        program.kill()
        check(state(ctx, target, old) == "new", "the whole job did not install the new program")
        seen = {}
        rng = random.Random(os.environ.get("KELVANE_CRASH_SEED", str(time.time())))
        for trial in range(TRIALS):
            target, program = start_job(ctx, server, os.path.join(ctx.tmp, f"trial{trial}"), old)
            if ctx.win32 and trial % 2:  # every second kill under Wine falls while the job copies
                harness.wait_for(lambda: copies(target), 120, "the job made no copy", 0.002)
                time.sleep(rng.uniform(0, copies_last))
            else:
                time.sleep(rng.uniform(0, length * 1.1))
            program.kill()
            program.ended(10)
            what = state(ctx, target, old)
            seen[what] = seen.get(what, 0) + 1
            # A copy cut by the kill stays under a temporary name only, which the next job removes.
            if copies(target):
                seen["in a copy"] = seen.get("in a copy", 0) + 1
            subprocess.run(["rm", "-rf", os.path.dirname(target)])
        print(f"whole job {length:.2f} s, its copies {copies_last:.2f} s; after {TRIALS} kills: {seen}")
    finally:
        server.close()


if __name__ == "__main__":
    harness.run_test(body)
