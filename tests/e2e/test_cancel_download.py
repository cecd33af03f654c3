#!/usr/bin/env python3
"""Cancel during a slow download: the bar moves, no partial file stays, the old program is started."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import jobs  # noqa: E402
from harness import check  # noqa: E402

CANCEL = (220, 125)  # Command1, from the window's top left
BAR = (20, 106, 289)  # the progress bar: left, middle row, width


def bar_fill(display, x, y):
    """The pixels of the bar's row that differ from its unfilled right end."""
    row = harness.pixels(display, x + BAR[0], y + BAR[1], BAR[2])
    return sum(1 for colour in row if colour != row[-4])


def body(ctx):
    server = jobs.Server(os.path.join(ctx.tmp, "served"), ctx.tmp)
    folder = os.path.join(ctx.tmp, "app")
    target = os.path.join(folder, "demoapp" + ctx.suffix)
    record = os.path.join(ctx.tmp, "cancel.record")
    jobs.write(target, jobs.demo_app(ctx), 0o755)
    program = ctx.start(["[URL]", f"{server.base}/slow/4M/200M", "[PATH]", ctx.path(target), "[PARAM1]",
                         "--updated", "[AUTOSTART]", "[SKIPINFO]"],
                        extra_env={"DEMOAPP_RECORD": ctx.path(record), "DEMOAPP_SECONDS": "0"})
    try:
        _, x, y = harness.main_window(ctx.display)
        # Two growing fills in a row: a sliding block (no size known yet) keeps its width.
        fills = [0]
        harness.wait_for(lambda: fills.append(bar_fill(ctx.display, x, y)) or 0 < fills[-2] < fills[-1], 30,
                         "the progress bar did not grow")
        harness.click(ctx.display, x + CANCEL[0], y + CANCEL[1])
        jobs.ends(program, "Cancel during the download", jobs.CANCELLED)
        check(jobs.contents(folder) == {"demoapp" + ctx.suffix: jobs.demo_app(ctx)},
              f"left after Cancel: {sorted(jobs.contents(folder))}")
        # As at any time before the job is done: without the job's parameters.
        check(jobs.recorded(record) == ("demoapp 1.0", []),
              f"Cancel did not start the old program as it was: {jobs.recorded(record)!r}")
    finally:
        program.kill()
        server.close()


if __name__ == "__main__":
    harness.run_test(body)
