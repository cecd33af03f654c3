#!/usr/bin/env python3
"""Whole update jobs with real files, server and programs: the backups
rotate, the new version starts with its parameters, [NOASK] waits for the
running program, a script runs its jobs, a failed download changes nothing."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import jobs  # noqa: E402
from harness import check  # noqa: E402
from jobs import contents, write  # noqa: E402


def kelvane(ctx, words, record):
    """Kelvane with `words`; a program it starts writes how to `record`."""
    return ctx.start(words, extra_env={"DEMOAPP_RECORD": ctx.path(record), "DEMOAPP_SECONDS": "0"})


def full_job_with_autostart(ctx, server, old, new):
    folder = os.path.join(ctx.tmp, "new äpps")  # a blank: the path is quoted to start the program
    name = "demoapp" + ctx.suffix
    target = os.path.join(folder, name)
    record = os.path.join(ctx.tmp, "full.record")
    write(target, old, 0o755)
    write(target + ".old", "the build before")
    write(target + ".old2", "the build before that")
    program = kelvane(ctx, ["[URL]", f"{server.base}/{name}", "[PATH]", ctx.path(target), "[PARAM1]",
                            "--updated", "[PARAM2]", "second", "[AUTOSTART]"], record)
    try:
        harness.press(ctx.display, harness.find_window(ctx.display, "Run program?"), "Return")
        jobs.ends(program, "full job")
        check(jobs.recorded(record) == ("demoapp 2.0", ["--updated", "second"]),
              f"the new version was not started with its parameters: {jobs.recorded(record)!r}")
        check(contents(folder) == {name: new, name + ".old": old, name + ".old2": b"the build before"},
              f"wrong files after the job: {sorted(contents(folder))}")
        # The release notes were looked up next to the download, then the file.
        check(server.requests()[-2:] == ["/demoapp.txt", "/" + name], f"requests: {server.requests()!r}")
    finally:
        program.kill()


def noask_waits_for_the_program(ctx, server, old, new):
    folder = os.path.join(ctx.tmp, "polling")
    name = "demoapp" + ctx.suffix
    target = os.path.join(folder, name)
    record, first, hold = (os.path.join(ctx.tmp, n) for n in ("polling.record", "first.record", "hold"))
    write(target, old, 0o755)
    write(hold, "")
    running = ctx.start([], exe=target, cwd=folder,
                        extra_env={"DEMOAPP_HOLD": ctx.path(hold), "DEMOAPP_RECORD": ctx.path(first)})
    program = None
    try:
        check(jobs.recorded(first)[0] == "demoapp 1.0", "the old version did not start")
        asked = len(server.requests())
        program = kelvane(ctx, ["[URL]", f"{server.base}/{name}", "[PATH]", ctx.path(target), "[PARAM1]",
                                "--polled", "[NOASK]", "[SKIPINFO]"], record)
        harness.find_window(ctx.display, harness.TITLE)
        # Two and a half ticks of the timer, with the old program running.
        jobs.stays_open(program, 2.5, "[NOASK] while the old program runs")
        check(len(server.requests()) == asked, "the job started while the old program ran")
        os.remove(hold)
        check(running.ended(10), "the old program did not end")
        # No question and no click: the job starts and restarts the program.
        jobs.ends(program, "[NOASK] after the old program ended")
        check(jobs.recorded(record) == ("demoapp 2.0", ["--polled"]), f"restart: {jobs.recorded(record)!r}")
        check(contents(folder) == {name: new, name + ".old": old}, f"files: {sorted(contents(folder))}")
    finally:
        running.kill()
        if program:
            program.kill()


def script_of_two_jobs(ctx, server, served):
    targets = [os.path.join(ctx.tmp, "script", n) for n in ("one", os.path.join("sub dir", "two"))]
    for i, t in enumerate(targets):
        write(t, f"old {i}")
        write(os.path.join(served, f"job{i}"), f"new {i}")
    script = os.path.join(ctx.tmp, "jobs.txt")
    write(script, "".join(f"[URL] {server.base}/job{i} [PATH] {ctx.path(t)} [AUTOSTART]\r\n"
                          for i, t in enumerate(targets)))
    record = os.path.join(ctx.tmp, "script.record")
    program = kelvane(ctx, ["[BATCHFILE]", ctx.path(script)], record)
    try:
        def done():
            return all(jobs.read_if_there(t) == f"new {i}".encode() and jobs.read_if_there(t + ".old") ==
                       f"old {i}".encode() and not os.path.exists(t + "_") for i, t in enumerate(targets))
        harness.wait_for(done, 30, "the script did not replace both files")
        # A script neither asks nor starts anything; the window stays open.
        jobs.stays_open(program, 1.0, "after the script")
        check(not os.path.exists(record), "the script started a program")
        check(harness.visible_windows(ctx.display) == [harness.find_window(ctx.display, harness.TITLE)],
              "a box showed after the script")
    finally:
        program.kill()


def download_error_changes_nothing(ctx, server, old):
    folder = os.path.join(ctx.tmp, "error")
    target = os.path.join(folder, "demoapp" + ctx.suffix)
    record = os.path.join(ctx.tmp, "error.record")
    write(target, old, 0o755)
    write(target + ".old", "the build before")
    before = contents(folder)
    program = kelvane(ctx, ["[URL]", f"{server.base}/notfound/x", "[PATH]", ctx.path(target), "[AUTOSTART]",
                            "[SKIPINFO]"], record)
    try:
        harness.press(ctx.display, harness.find_window(ctx.display, "Kelvane"), "Return")
        jobs.ends(program, "download error", jobs.DOWNLOAD_FAILED)
        check(contents(folder) == before, "a failed download changed the files")
        check(not os.path.exists(record), "a failed download started the program")
    finally:
        program.kill()


def body(ctx):
    old, new = jobs.demo_app(ctx), jobs.demo_app(ctx, "_v2")
    served = os.path.join(ctx.tmp, "served")
    write(os.path.join(served, "demoapp" + ctx.suffix), new)
    write(os.path.join(served, "demoapp.txt"), "Demo app 2.0\r\nNew: everything.\r\n")
    server = jobs.Server(served, ctx.tmp)
    try:
        full_job_with_autostart(ctx, server, old, new)
        noask_waits_for_the_program(ctx, server, old, new)
        script_of_two_jobs(ctx, server, served)
        download_error_changes_nothing(ctx, server, old)
    finally:
        server.close()


if __name__ == "__main__":
    harness.run_test(body)
