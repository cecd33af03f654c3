#!/usr/bin/env python3
"""Two Kelvane processes for one target at once: all three versions end up in the target and its backups."""
import os

import harness
import jobs
from harness import check
from jobs import contents, write

VERSIONS = {name: f"#!/bin/sh\n# version {name}\n".encode() for name in ("0", "a", "b")}


def all_ended(display, running):
    """Whether all ended; answers the warning about a program that the first of a pair restarted."""
    for window in harness.visible_windows(display):
        if harness.window_name(display, window) == "Close program..":
            harness.press(display, window, "Return")
    return all(program.poll() is not None for *_, program in running)


def body(ctx):
    pairs, at_once = (6, 3) if ctx.win32 else (50, 5)
    served = os.path.join(ctx.tmp, "served")
    for name in ("a", "b"):
        write(os.path.join(served, name), VERSIONS[name])
    server = jobs.Server(served, ctx.tmp)
    try:
        for first in range(0, pairs, at_once):
            running = []
            for pair in range(first, min(first + at_once, pairs)):
                # A name of its own: no other pair's restarted program counts as this one running.
                folder, name = os.path.join(ctx.tmp, f"pair{pair}"), f"app{pair}{ctx.suffix}"
                write(os.path.join(folder, name), VERSIONS["0"], 0o755)
                for version in ("a", "b"):
                    words = ["[URL]", f"{server.base}/{version}", "[PATH]", ctx.path(os.path.join(folder, name)),
                             "[AUTOSTART]", "[SKIPINFO]", "[NOASK]"]
                    running.append((folder, name, ctx.start(words)))
            try:
                harness.wait_for(lambda: all_ended(ctx.display, running), 120, "a job did not end", 0.2)
                for folder, _, program in running:
                    jobs.ends(program, folder, timeout=1)
            finally:
                for *_, program in running:
                    program.kill()
            for folder, name in sorted({(folder, name) for folder, name, _ in running}):
                files = contents(folder)
                check(len(files) == 3 and files.get(name + ".old2") == VERSIONS["0"] and
                      {files.get(name), files.get(name + ".old")} == {VERSIONS["a"], VERSIONS["b"]},
                      f"{folder}: a job was lost: {sorted(files)}")
    finally:
        server.close()


if __name__ == "__main__":
    harness.run_test(body)
