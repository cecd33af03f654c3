#!/usr/bin/env python3
"""Cancel during a slow download: the progress bar moves while the window
waits, Cancel ends the transfer at once, nothing of the download is left, the
present program is started and the exit status says
"cancelled"."""
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import jobs  # noqa: E402
from harness import check  # noqa: E402
from jobs import contents, write  # noqa: E402

CANCEL = (220, 125)  # Command1, from the window's top left
BAR = (20, 106, 289)  # DownloadProgress: left, middle row, width
EXIT_CANCELLED = 6


def bar_fill(display, x, y):
    """How many pixels of the bar's middle row differ from its right end,
    which stays unfilled (0 while the bar is hidden)."""
    out = subprocess.run(
        ["import", "-window", "root", "-crop", f"{BAR[2]}x1+{x + BAR[0]}+{y + BAR[1]}", "-depth", "8",
         "txt:-"], env=display.env, capture_output=True, text=True, timeout=30).stdout
    row = re.findall(r"#[0-9A-Fa-f]{6}", out)
    return sum(1 for colour in row if colour != row[-4])


def body(ctx, display, tmp):
    p = jobs.Platform(ctx)
    os.makedirs(os.path.join(tmp, "served"))  # the slow body is made up on the fly
    server = jobs.Server(os.path.join(tmp, "served"), tmp)
    folder = os.path.join(tmp, "app")
    target = os.path.join(folder, p.app_name())
    record = os.path.join(tmp, "cancel.record")
    write(target, p.old_app, 0o755)
    program = harness.Program(
        ["[URL]", f"{server.base}/slow/2M/200M", "[PATH]", p.path(target), "[AUTOSTART]",
         "[SKIPINFO]"], display, ctx.platform, ctx.exe, ctx.build,
        extra_env={"DEMOAPP_RECORD": p.path(record), "DEMOAPP_SECONDS": "0"})
    try:
        _, x, y = harness.main_window(display, jobs.MAIN_TITLE)
        harness.wait_for(lambda: bar_fill(display, x, y) > 0, 30, "no progress bar showed")
        first = bar_fill(display, x, y)
        harness.wait_for(lambda: bar_fill(display, x, y) > first, 30, "the progress bar did not move")
        harness.click(display, x + CANCEL[0], y + CANCEL[1])
        clicked = time.time()
        check(program.ended(20), "Cancel did not end the program")
        print(f"Cancel ended the program after {time.time() - clicked:.2f} s")
        check(program.proc.returncode == EXIT_CANCELLED, f"exit status {program.proc.returncode}")
        check(contents(folder) == {p.app_name(): p.old_app},
              f"left after Cancel: {sorted(contents(folder))}")
        check(jobs.recorded(record)[0] == "demoapp 1.0",
              f"Cancel did not start the present program: {jobs.recorded(record)!r}")
    finally:
        jobs.stop(program)
        server.close()


if __name__ == "__main__":
    harness.run_test(body)
