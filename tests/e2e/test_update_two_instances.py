#!/usr/bin/env python3
"""Two Kelvane processes for the same target at the same time: the second
waits until the first has finished with the file, then runs its own job, so
the three versions end up in the target and its two backups and both
processes end. Pairs run a few at a time, each on its own target."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import jobs  # noqa: E402
from harness import check  # noqa: E402
from jobs import contents, write  # noqa: E402

VERSIONS = {name: f"#!/bin/sh\n# version {name}\n".encode() for name in ("0", "a", "b")}


def all_end(display, running, timeout):
    """Waits until every program has ended. The first of a pair restarts the
    program, which the second may still find running: its warning is
    answered, as a user would once the program has gone."""
    deadline = time.time() + timeout
    while any(program.proc.poll() is None for _, program in running) and time.time() < deadline:
        for window in harness.visible_windows(display):
            if harness.window_name(display, window) == "Close program..":
                harness.press(display, window, "Return")
        time.sleep(0.2)


def body(ctx, display, tmp):
    p = jobs.Platform(ctx)
    pairs, at_once = (50, 5) if not p.win32 else (6, 3)
    served = os.path.join(tmp, "served")
    for name in ("a", "b"):
        write(os.path.join(served, name), VERSIONS[name])
    server = jobs.Server(served, tmp)
    name = p.app_name("app")
    try:
        for first in range(0, pairs, at_once):
            running = []
            for pair in range(first, min(first + at_once, pairs)):
                folder = os.path.join(tmp, f"pair{pair}")
                write(os.path.join(folder, name), VERSIONS["0"], 0o755)
                for version in ("a", "b"):
                    words = ["[URL]", f"{server.base}/{version}", "[PATH]", p.path(os.path.join(folder, name)),
                             "[AUTOSTART]", "[SKIPINFO]", "[NOASK]"]
                    running.append((folder, harness.Program(words, display, ctx.platform, ctx.exe, ctx.build)))
            try:
                all_end(display, running, 120)
                for folder, program in running:
                    jobs.ends(program, folder, timeout=1)
            finally:
                for _, program in running:
                    jobs.stop(program)
            for folder in sorted({folder for folder, _ in running}):
                files = contents(folder)
                order = ("a", "b") if files.get(name) == VERSIONS["b"] else ("b", "a")
                check(files == {name: VERSIONS[order[1]], name + ".old": VERSIONS[order[0]],
                                name + ".old2": VERSIONS["0"]},
                      f"{folder}: a job was lost: {sorted(files)}")
    finally:
        server.close()


if __name__ == "__main__":
    harness.run_test(body)
