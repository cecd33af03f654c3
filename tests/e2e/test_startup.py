#!/usr/bin/env python3
"""Start-up as the user sees it: the version box, the usage message, the
rejection of unusable lines and the main window in English and German."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import jobs  # noqa: E402
from harness import HEIGHT, WIDTH, check, find_window, main_window, press, visible_windows  # noqa: E402


def box_ends_it(ctx, words, title, status=jobs.DONE):
    """Return on the only window, the box `title`, ends the program at once."""
    program = ctx.start(words)
    try:
        box = find_window(ctx.display, title)
        check(visible_windows(ctx.display) == [box], f"{title}: more than the box is shown")
        press(ctx.display, box, "Return")

        def ended_alone():
            check(set(visible_windows(ctx.display)) <= {box}, f"{title}: a window showed after the box")
            return program.ended(0.05)
        harness.wait_for(ended_alone, 10, f"{title}: the program did not end")
        jobs.ends(program, title, status)
    finally:
        program.kill()


def usage_then_window(ctx):
    program = ctx.start([])
    try:
        press(ctx.display, find_window(ctx.display, "Missing commandline parameter"), "Return")
        # The usage path ends the load before the title is set.
        window, x, y = main_window(ctx.display, "Form1")
        jobs.stays_open(program, 1.0, "after the usage message")
        check((x, y) == ((1024 - WIDTH) // 2, (768 - HEIGHT) // 2), f"window at {x},{y}, not centred")
    finally:
        program.kill()


def cancel_in(ctx, display, lang):
    """The cancel button ends the program (no file is at the path to start)."""
    program = ctx.start(ctx.valid_line(), lang=lang, display=display)
    try:
        window, x, y = main_window(display)
        press(display, window, "Escape")  # does not close it
        jobs.stays_open(program, 0.5, f"Escape under {lang}")
        display.run(["xdotool", "mousemove", "--sync", str(x + 220), str(y + 125), "click", "1"])
        jobs.ends(program, f"Cancel under {lang}", jobs.CANCELLED, timeout=15)
    finally:
        program.kill()


def body(ctx):
    box_ends_it(ctx, ["/?"], "Kelvane Info")
    usage_then_window(ctx)
    # Which lines are rejected is the unit tests' matter; here the box and the end.
    box_ends_it(ctx, [bytes(range(1, 256))], "Kelvane", jobs.WRONG_PARAMETER)
    cancel_in(ctx, ctx.display, "de_DE.UTF-8")
    managed = harness.Display(window_manager=True)
    try:
        cancel_in(ctx, managed, "en_US.UTF-8")
    finally:
        managed.close()


if __name__ == "__main__":
    harness.run_test(body)
