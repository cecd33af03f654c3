#!/usr/bin/env python3
"""A whole [NOASK] job with real files, server and programs, waiting for the running old version."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import jobs  # noqa: E402
from harness import check  # noqa: E402
from jobs import contents, write  # noqa: E402


def body(ctx):
    old, new = jobs.demo_app(ctx), jobs.demo_app(ctx, "_v2")
    # A name of its own: a program of that name running elsewhere on the machine would count as the target.
    stem = f"demoapp{os.getpid()}"
    name = stem + ctx.suffix
    served, folder = os.path.join(ctx.tmp, "served"), os.path.join(ctx.tmp, "new äpps")  # quoted to start it
    write(os.path.join(served, name), new)
    write(os.path.join(served, stem + ".txt"), "Demo app 2.0\r\nNew: everything.\r\n")
    target = os.path.join(folder, name)
    write(target, old, 0o755)
    write(target + ".old", "the build before")
    write(target + ".old2", "the build before that")
    first, record, hold = (os.path.join(ctx.tmp, n) for n in ("first.record", "job.record", "hold"))
    write(hold, "")
    server = jobs.Server(served, ctx.tmp)
    running = ctx.start([], exe=target, cwd=folder,
                        extra_env={"DEMOAPP_HOLD": ctx.path(hold), "DEMOAPP_RECORD": ctx.path(first)})
    program = None
    try:
        check(jobs.recorded(first)[0] == "demoapp 1.0", "the old version did not start")
        program = ctx.start(["[URL]", f"{server.base}/{name}", "[PATH]", ctx.path(target), "[PARAM1]", "--updated",
                             "[PARAM2]", "second", "[NOASK]"],
                            extra_env={"DEMOAPP_RECORD": ctx.path(record), "DEMOAPP_SECONDS": "0"})
        harness.find_window(ctx.display, harness.TITLE)
        # Two and a half ticks of the timer, with the old program running.
        check(not program.ended(2.5), "[NOASK] ended while the old program runs")
        check("/" + name not in server.requests(), "the job started while the old program ran")
        os.remove(hold)
        check(running.ended(10), "the old program did not end")
        # No question and no click: the job starts and restarts the program.
        jobs.ends(program, "[NOASK] after the old program ended")
        check(jobs.recorded(record) == ("demoapp 2.0", ["--updated", "second"]),
              f"the new version was not started with its parameters: {jobs.recorded(record)!r}")
        check(contents(folder) == {name: new, name + ".old": old, name + ".old2": b"the build before"},
              f"wrong files after the job: {sorted(contents(folder))}")
        # The release notes were looked up next to the download, then the file.
        check(server.requests() == [f"/{stem}.txt", "/" + name], f"asked: {server.requests()}")
    finally:
        running.kill()
        if program:
            program.kill()
        server.close()


if __name__ == "__main__":
    harness.run_test(body)
