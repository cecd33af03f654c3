#!/usr/bin/env python3
"""Whole update jobs with real files, a real server and real programs: the
backups rotate, the new version is started with its parameters, [NOASK]
waits for the running program, a script runs three jobs, a failed download
changes nothing."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import jobs  # noqa: E402
from harness import check  # noqa: E402
from jobs import contents, write  # noqa: E402


def kelvane(ctx, display, words, record):
    """Kelvane with `words` as its command line; a program it starts records
    how it was started in `record`."""
    return harness.Program(words, display, ctx.platform, ctx.exe, ctx.build,
                           extra_env={"DEMOAPP_RECORD": record.native, "DEMOAPP_SECONDS": "0"})


class Place:
    """A file the test makes, with the name the program under test uses."""

    def __init__(self, p, unix):
        self.unix = unix
        self.native = p.path(unix)


def full_job_with_autostart(p, ctx, display, server, tmp):
    folder = os.path.join(tmp, "new äpps")  # a blank: the path is quoted to start the program
    target = Place(p, os.path.join(folder, p.app_name()))
    record = Place(p, os.path.join(tmp, "full.record"))
    write(target.unix, p.old_app, 0o755)
    write(target.unix + ".old", "the build before")
    write(target.unix + ".old2", "the build before that")
    program = kelvane(ctx, display, ["[URL]", f"{server.base}/{p.app_name()}", "[PATH]", target.native,
                                     "[PARAM1]", "--updated", "[PARAM2]", "second", "[AUTOSTART]"], record)
    try:
        jobs.answer(display, "Run program?")
        jobs.ends(program, "full job")
        check(jobs.recorded(record.unix) == ("demoapp 2.0", ["--updated", "second"]),
              f"the new version was not started with its parameters: {jobs.recorded(record.unix)!r}")
        name = p.app_name()
        check(contents(folder) == {name: p.new_app, name + ".old": p.old_app,
                                   name + ".old2": b"the build before"},
              f"wrong files after the job: {sorted(contents(folder))}")
        # The release notes were looked up next to the download, then the file.
        check(server.requests()[-2:] == ["/demoapp.txt", "/" + name],
              f"requests: {server.requests()!r}")
    finally:
        jobs.stop(program)


def noask_waits_for_the_program(p, ctx, display, server, tmp):
    folder = os.path.join(tmp, "polling")
    target = Place(p, os.path.join(folder, p.app_name()))
    record = Place(p, os.path.join(tmp, "polling.record"))
    hold = Place(p, os.path.join(tmp, "polling.hold"))
    first = Place(p, os.path.join(tmp, "first.record"))
    write(target.unix, p.old_app, 0o755)
    write(hold.unix, "")
    running = harness.Program([], display, ctx.platform, target.unix, ctx.build, cwd=folder,
                              extra_env={"DEMOAPP_HOLD": hold.native, "DEMOAPP_RECORD": first.native})
    program = None
    try:
        check(jobs.recorded(first.unix)[0] == "demoapp 1.0", "the old version did not start")
        asked = len(server.requests())
        program = kelvane(ctx, display, ["[URL]", f"{server.base}/{p.app_name()}", "[PATH]", target.native,
                                         "[PARAM1]", "--polled", "[NOASK]", "[SKIPINFO]"], record)
        harness.find_window(display, jobs.MAIN_TITLE)
        # Two and a half ticks of the timer, with the old program running.
        jobs.stays_open(program, 2.5, "[NOASK] while the old program runs")
        check(len(server.requests()) == asked, "the job started while the old program ran")
        check(contents(folder) == {p.app_name(): p.old_app}, "the target changed while it ran")
        os.remove(hold.unix)
        check(running.ended(10), "the old program did not end")
        # No question and no click: the job starts and restarts the program.
        jobs.ends(program, "[NOASK] after the old program ended")
        check(jobs.recorded(record.unix) == ("demoapp 2.0", ["--polled"]),
              f"restart: {jobs.recorded(record.unix)!r}")
        check(contents(folder) == {p.app_name(): p.new_app, p.app_name() + ".old": p.old_app},
              f"wrong files after polling: {sorted(contents(folder))}")
    finally:
        running.kill()
        if program:
            jobs.stop(program)


def script_of_three_jobs(p, ctx, display, server, served, tmp):
    folder = os.path.join(tmp, "script")
    names = ["one", os.path.join("sub dir", "two"), "three"]
    targets = [Place(p, os.path.join(folder, n)) for n in names]
    for i, t in enumerate(targets):
        write(t.unix, f"old {i}")
        write(os.path.join(served, f"job{i}"), f"new {i}")
    lines = [f"[URL] {server.base}/job0 [PATH] {targets[0].native} [AUTOSTART] [SKIPINFO]", "", "   ",
             f"[URL] {server.base}/job1 [PATH] {targets[1].native}",
             f"[URL] {server.base}/job2 [PATH] {targets[2].native} [PARAM1] x"]
    script = Place(p, os.path.join(tmp, "jobs.txt"))
    # CR LF line ends, and a lone CR before the last line.
    write(script.unix, "\r\n".join(lines[:-1]) + "\r" + lines[-1] + "\r\n")
    record = Place(p, os.path.join(tmp, "script.record"))
    asked = len(server.requests())
    program = kelvane(ctx, display, ["[BATCHFILE]", script.native], record)
    try:
        def done():
            return all(jobs.read_if_there(t.unix) == f"new {i}".encode() and not os.path.exists(t.unix + "_")
                       for i, t in enumerate(targets))
        harness.wait_for(done, 30, "the script did not replace all three files")
        for i, t in enumerate(targets):
            check(jobs.read(t.unix + ".old") == f"old {i}".encode(), f"job {i + 1} kept no backup")
        check(server.requests()[asked:] == ["/job0", "/job1", "/job2"],
              f"requests: {server.requests()[asked:]!r}")
        # A script neither asks nor starts anything; the window stays open.
        jobs.stays_open(program, 1.0, "after the script")
        check(not os.path.exists(record.unix), "the script started a program")
        check(harness.visible_windows(display) == [harness.find_window(display, jobs.MAIN_TITLE)],
              "a box showed after the script")
    finally:
        jobs.stop(program)


def download_error_changes_nothing(p, ctx, display, server, tmp):
    folder = os.path.join(tmp, "error")
    target = Place(p, os.path.join(folder, p.app_name()))
    record = Place(p, os.path.join(tmp, "error.record"))
    write(target.unix, p.old_app, 0o755)
    write(target.unix + ".old", "the build before")
    before = jobs.snapshot(folder)
    program = kelvane(ctx, display, ["[URL]", f"{server.base}/notfound/{p.app_name()}", "[PATH]",
                                     target.native, "[AUTOSTART]", "[SKIPINFO]"], record)
    try:
        jobs.answer(display, "Kelvane")
        jobs.ends(program, "download error", jobs.DOWNLOAD_FAILED)
        check(jobs.snapshot(folder) == before, "a failed download changed the files")
        check(not os.path.exists(record.unix), "a failed download started the program")
    finally:
        jobs.stop(program)


def body(ctx, display, tmp):
    p = jobs.Platform(ctx)
    served = os.path.join(tmp, "served")
    write(os.path.join(served, p.app_name()), p.new_app)
    write(os.path.join(served, "demoapp.txt"), "Demo app 2.0\r\nNew: everything.\r\n")
    server = jobs.Server(served, tmp)
    try:
        full_job_with_autostart(p, ctx, display, server, tmp)
        noask_waits_for_the_program(p, ctx, display, server, tmp)
        script_of_three_jobs(p, ctx, display, server, served, tmp)
        download_error_changes_nothing(p, ctx, display, server, tmp)
    finally:
        server.close()


if __name__ == "__main__":
    harness.run_test(body)
