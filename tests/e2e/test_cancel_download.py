#!/usr/bin/env python3
"""A slow download the user watches and stops: the bar under the path field
fills, Cancel ends the transfer, no partial file stays, the old program is
started and the exit status says cancelled."""
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import jobs  # noqa: E402
from harness import check  # noqa: E402

BAR_ROW = (20, 106, 289)  # x, y, width of the progress bar in window pixels
CANCEL = (220, 125)  # inside Command1
BAR_COLOUR = (0, 120, 215)


def bar_fill(display, wx, wy):
    """How many pixels of the bar's row show the bar's colour."""
    x, y, width = BAR_ROW
    out = subprocess.run(["import", "-window", "root", "-crop", f"{width}x1+{wx + x}+{wy + y}", "-depth",
                          "8", "txt:-"], env=display.env, capture_output=True, text=True, timeout=30).stdout
    return out.count("(%d,%d,%d)" % BAR_COLOUR)


def body(ctx, display, tmp):
    if ctx.platform == "win32":
        print("skipped: the Windows build has its own case")
        raise SystemExit(77)
    p = jobs.Platform(ctx)
    os.makedirs(os.path.join(tmp, "served"))
    server = jobs.Server(os.path.join(tmp, "served"), tmp)
    folder = os.path.join(tmp, "app")
    target = os.path.join(folder, p.app_name())
    record = os.path.join(tmp, "cancel.record")
    jobs.write(target, p.old_app, 0o755)
    before = jobs.snapshot(folder)
    program = harness.Program(["[URL]", f"{server.base}/slow/1M/100M", "[PATH]", target, "[PARAM1]",
                               "--updated", "[AUTOSTART]", "[SKIPINFO]"], display, ctx.platform,
                              ctx.exe, ctx.build,
                              extra_env={"DEMOAPP_RECORD": record, "DEMOAPP_SECONDS": "0"})
    try:
        window, wx, wy = harness.main_window(display, jobs.MAIN_TITLE)
        first = harness.wait_for(lambda: bar_fill(display, wx, wy), 30, "the bar did not show")
        harness.wait_for(lambda: bar_fill(display, wx, wy) > first, 30, "the bar did not move")
        if os.environ.get("KELVANE_SCREENSHOTS") == "1":
            shot = os.path.join(ctx.build, "cancel-download.png")
            harness.screenshot(display, shot, window)
            print("screenshot:", shot)
        # Only the target, and on Linux the job's lock.
        check(set(os.listdir(folder)) - {p.app_name() + ".lock"} == {p.app_name()},
              f"files while it runs: {os.listdir(folder)}")
        started = time.monotonic()
        harness.click(display, wx + CANCEL[0], wy + CANCEL[1])
        jobs.ends(program, "Cancel during the download", jobs.CANCELLED)
        print("Cancel ended the program in %.2f s" % (time.monotonic() - started))
        check(jobs.snapshot(folder) == before, f"files after Cancel: {sorted(os.listdir(folder))}")
        # As at any time before the job is done: without the job's parameters.
        check(jobs.recorded(record) == ("demoapp 1.0", []),
              f"Cancel did not start the old program: {jobs.recorded(record)!r}")
    finally:
        jobs.stop(program)
        server.close()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    harness.run_test(body)
