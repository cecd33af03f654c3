#!/usr/bin/env python3
"""Update jobs with real files, server and programs: [NOASK], a script, and Cancel during a download."""
import os
import select
import signal
import time

import harness
import jobs
from harness import check
from jobs import contents, write

CANCEL = (220, 125)  # Command1, from the window's top left
BAR = (20, 106, 289)  # the progress bar: left, middle row, width


def kelvane(ctx, words, record, hold=None, output=None):
    """Kelvane with `words`; a program it starts writes how to `record`, and runs while `hold` exists."""
    run = {"DEMOAPP_HOLD": ctx.path(hold)} if hold else {"DEMOAPP_SECONDS": "0"}
    # Wine hands its own standard error to every process it starts (for its debug output): under Wine
    # only standard output goes to `output`.
    return ctx.start(words, extra_env={"DEMOAPP_RECORD": ctx.path(record), **run}, stdout=output,
                     stderr=None if ctx.win32 else output)


def ends_reading(fd, seconds):
    """Whether the pipe's reader sees its end within `seconds`."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        if select.select([fd], [], [], 0.1)[0] and not os.read(fd, 4096):
            return True
    return False


def noask_job(ctx, server, stem, old, new):
    """It waits for the running old version, then rotates the backups and starts the new one, which keeps
    nothing of Kelvane's: a caller reading Kelvane's output sees its end when Kelvane ends."""
    name = stem + ctx.suffix
    folder = os.path.join(ctx.tmp, "new äpps")  # a blank: the path is quoted to start the program
    target = os.path.join(folder, name)
    write(target, old, 0o755)
    write(target + ".old", "the build before")
    write(target + ".old2", "the build before that")
    first, record, hold, hold_new = (os.path.join(ctx.tmp, n) for n in ("first.record", "job.record", "hold", "hold2"))
    write(hold, "")
    write(hold_new, "")
    reader, writer = os.pipe()
    running = ctx.start([], exe=target, cwd=folder,
                        extra_env={"DEMOAPP_HOLD": ctx.path(hold), "DEMOAPP_RECORD": ctx.path(first)})
    program = None
    try:
        check(jobs.recorded(first)[0] == "demoapp 1.0", "the old version did not start")
        program = kelvane(ctx, ["[URL]", f"{server.base}/{name}", "[PATH]", ctx.path(target), "[PARAM1]",
                                "--updated", "[PARAM2]", "second", "[NOASK]"], record, hold_new, writer)
        os.close(writer)
        harness.find_window(ctx.display, harness.TITLE)
        check(not program.ended(2.5), "[NOASK] ended while the old program runs")  # two and a half timer ticks
        check("/" + name not in server.requests(), "the job started while the old program ran")
        os.remove(hold)
        check(running.ended(10), "the old program did not end")
        jobs.ends(program, "[NOASK] after the old program ended")  # no question, no click
        check(jobs.recorded(record) == ("demoapp 2.0", ["--updated", "second"]),
              f"the new version was not started with its parameters: {jobs.recorded(record)!r}")
        check(ends_reading(reader, 5), "the output's reader waits for the started program")
        check(contents(folder) == {name: new, name + ".old": old, name + ".old2": b"the build before"},
              f"wrong files after the job: {sorted(contents(folder))}")
        check(server.requests() == [f"/{stem}.txt", "/" + name], f"asked: {server.requests()}")  # notes, file
    finally:
        os.remove(hold_new)
        os.close(reader)
        running.kill()
        if program:
            program.kill()


def script_job(ctx, server, served, name, old, new):
    """A [BATCHFILE] job replaces the file, but neither asks nor starts the program; the window stays."""
    folder, job, record = (os.path.join(ctx.tmp, n) for n in ("script", "script.job", "script.record"))
    write(os.path.join(folder, name), old, 0o755)
    write(job, f"[URL] {server.base}/{served} [PATH] {ctx.path(os.path.join(folder, name))} [AUTOSTART]\r\n")
    program = kelvane(ctx, ["[BATCHFILE]", ctx.path(job)], record)
    try:
        harness.wait_for(lambda: contents(folder) == {name: new, name + ".old": old}, 30, "the script did no job")
        check(not program.ended(1), "the window did not stay after the script")
        check(not os.path.exists(record), "the script started the program")
        check(harness.visible_windows(ctx.display) == [harness.find_window(ctx.display, harness.TITLE)],
              "a box showed after the script")
    finally:
        program.kill()


def bar_fill(display, x, y):
    """The pixels of the bar's row that differ from its unfilled right end."""
    row = harness.pixels(display, x + BAR[0], y + BAR[1], BAR[2])
    return sum(1 for colour in row if colour != row[-4])


def cancel_during_download(ctx, server, name, old):
    """The bar grows; Cancel leaves no partial file and starts the old program without the job's parameters."""
    folder = os.path.join(ctx.tmp, "cancel")
    record = os.path.join(ctx.tmp, "cancel.record")
    write(os.path.join(folder, name), old, 0o755)
    program = kelvane(ctx, ["[URL]", f"{server.base}/slow/4M/200M", "[PATH]", ctx.path(os.path.join(folder, name)),
                            "[PARAM1]", "--updated", "[AUTOSTART]", "[SKIPINFO]"], record)
    try:
        _, x, y = harness.main_window(ctx.display)
        # Two growing fills in a row: a sliding block (no size known yet) keeps its width.
        fills = [0]
        harness.wait_for(lambda: fills.append(bar_fill(ctx.display, x, y)) or 0 < fills[-2] < fills[-1], 30,
                         "the progress bar did not grow")
        harness.click(ctx.display, x + CANCEL[0], y + CANCEL[1])
        jobs.ends(program, "Cancel during the download", jobs.CANCELLED)
        check(contents(folder) == {name: old}, f"left after Cancel: {sorted(contents(folder))}")
        check(jobs.recorded(record) == ("demoapp 1.0", []), f"after Cancel: {jobs.recorded(record)!r}")
    finally:
        program.kill()


def stop_signal_during_download(ctx, server, name, old):
    """SIGTERM stops the download as Cancel would, but nothing starts, and no lock or partial file stays; the
    line on standard error, whose reader has gone, does not end the program before."""
    folder = os.path.join(ctx.tmp, "signal")
    record = os.path.join(ctx.tmp, "signal.record")
    write(os.path.join(folder, name), old, 0o755)
    reader, writer = os.pipe()
    os.close(reader)
    program = kelvane(ctx, ["[URL]", f"{server.base}/slow/4M/200M", "[PATH]", os.path.join(folder, name),
                            "[AUTOSTART]", "[SKIPINFO]"], record, output=writer)
    os.close(writer)
    try:
        _, x, y = harness.main_window(ctx.display)
        harness.wait_for(lambda: bar_fill(ctx.display, x, y) > 5, 30, "the download did not start")
        # The bar's tool tip shows while its text changes (a sanitized build watches its memory).
        windows = lambda: len(ctx.display.run(["xdotool", "search", "--onlyvisible", "--name", ""]).split())
        shown = windows()
        ctx.display.run(["xdotool", "mousemove", str(x + BAR[0] + 50), str(y + BAR[1])])
        harness.wait_for(lambda: windows() > shown, 10, "no tool tip showed")
        program.send_signal(signal.SIGTERM)
        jobs.ends(program, "SIGTERM during the download", jobs.CANCELLED)
        check(contents(folder) == {name: old}, f"left after SIGTERM: {sorted(os.listdir(folder))}")
        check(not os.path.exists(record), "a program was started after SIGTERM")
    finally:
        program.kill()


def restart_fails(ctx, server, served, name, old):
    """A new file that is no program replaces the old one, then cannot start: a box says so, and status 8."""
    folder = os.path.join(ctx.tmp, "broken")
    write(os.path.join(folder, name), old, 0o755)
    program = kelvane(ctx, ["[URL]", f"{server.base}/{served}", "[PATH]", ctx.path(os.path.join(folder, name)),
                            "[NOASK]", "[SKIPINFO]"], os.path.join(ctx.tmp, "broken.record"))
    try:
        harness.answer(ctx.display, "Kelvane")
        jobs.ends(program, "a restart that fails", 8)
        check(contents(folder) == {name: b"no program", name + ".old": old}, f"left: {sorted(contents(folder))}")
    finally:
        program.kill()


def body(ctx):
    old, new = jobs.demo_app(ctx), jobs.demo_app(ctx, "_v2")
    # Names of their own: a program of that name running elsewhere on the machine would count as the target.
    stem = f"demoapp{os.getpid()}"
    served = os.path.join(ctx.tmp, "served")
    write(os.path.join(served, stem + ctx.suffix), new)
    write(os.path.join(served, stem + ".txt"), "Demo app 2.0\r\nNew: everything.\r\n")
    write(os.path.join(served, "broken" + ctx.suffix), "no program")
    server = jobs.Server(served, ctx.tmp)
    try:
        noask_job(ctx, server, stem, old, new)
        script_job(ctx, server, stem + ctx.suffix, f"script{os.getpid()}{ctx.suffix}", old, new)
        cancel_during_download(ctx, server, f"cancel{os.getpid()}{ctx.suffix}", old)
        restart_fails(ctx, server, "broken" + ctx.suffix, f"broken{os.getpid()}{ctx.suffix}", old)
        if not ctx.win32:
            stop_signal_during_download(ctx, server, f"signal{os.getpid()}", old)
    finally:
        server.close()


if __name__ == "__main__":
    harness.run_test(body)
