#!/usr/bin/env python3
"""Start-up as the user sees it: the version box, the usage message, the
rejection of unusable lines and the main window in English and German."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import HEIGHT, WIDTH, check, find_window, geometry, main_window, press  # noqa: E402
from harness import visible_windows  # noqa: E402

VALID_LINE = ["[URL]", "http://127.0.0.1:9/x.exe", "[PATH]", "/tmp/none/x.exe", "[SKIPINFO]"]


def start(args, display, ctx, lang="en_US.UTF-8"):
    return harness.Program(args, display, ctx.platform, ctx.exe, ctx.build, lang=lang)


def answer_and_end(display, program, title, what, status=0):
    """Return on the box titled `title`; the program must then end at once,
    and no other window may have shown meanwhile."""
    box = find_window(display, title)
    check(visible_windows(display) == [box], f"{what}: more than the box {title!r} is shown")
    press(display, box, "Return")
    deadline = 10
    for _ in range(deadline * 20):
        if program.ended(0.05):
            break
        check(set(visible_windows(display)) <= {box}, f"{what}: a window showed after the box")
    check(program.ended(0), f"{what}: the program did not end after the box {title!r}")
    check(program.proc.returncode == status, f"{what}: exit status {program.proc.returncode}")


def version_box(ctx, display):
    program = start(["/?"], display, ctx)
    try:
        answer_and_end(display, program, "Kelvane Info", "/?")
    finally:
        program.kill()


def usage_then_window(ctx, display):
    program = start([], display, ctx)
    try:
        press(display, find_window(display, "Missing commandline parameter"), "Return")
        # The usage path ends the load before the title is set: the window
        # keeps its design title.
        window, x, y = main_window(display, "Form1")
        check(not program.ended(1.0), "the program ended after the usage message")
        check(window in visible_windows(display), "the main window did not stay")
        # Centred on the 1024 x 768 screen (its shape: test_presentation).
        check((x, y) == ((1024 - WIDTH) // 2, (768 - HEIGHT) // 2), f"window at {x},{y}, not centred")
    finally:
        program.kill()


def rejected_lines(ctx, display):
    cases = {
        "[NOASK] only": ["[NOASK]"],
        "blank": ["   "],
        "keywords only": ["[URL]", "[PATH]"],
        "unbalanced quote": ["[URL]", '"http://127.0.0.1:9/x.exe', "[NOASK]"],
        "10,000 characters": ["[URL]" + "x" * 10000],
        "binary": [bytes(range(1, 256))],
    }
    for what, args in cases.items():
        program = start(args, display, ctx)
        try:
            answer_and_end(display, program, "Kelvane", what, status=2)
        finally:
            program.kill()


def window_in(ctx, display, lang, managed=False):
    program = start(VALID_LINE, display, ctx, lang=lang)
    try:
        window, _, _ = main_window(display)
        if managed:
            press(display, window, "Escape")  # does not close it
        check(not program.ended(0.5), f"the program ended under {lang}")
        check(window in visible_windows(display), f"the window closed under {lang}")
        # The cancel button ends the program (no file is at the path to start).
        x, y, _, _ = geometry(display, window)
        display.run(["xdotool", "mousemove", "--sync", str(x + 220), str(y + 125), "click", "1"])
        check(program.ended(15), f"the cancel button did not end the program under {lang}")
        check(program.proc.returncode == 6, f"Cancel: exit status {program.proc.returncode}")  # cancelled
    finally:
        program.kill()


def body(ctx, display, tmp):
    version_box(ctx, display)
    usage_then_window(ctx, display)
    rejected_lines(ctx, display)
    window_in(ctx, display, "de_DE.UTF-8")
    managed = harness.Display(window_manager=True)
    try:
        window_in(ctx, managed, "en_US.UTF-8", managed=True)
    finally:
        managed.close()


if __name__ == "__main__":
    harness.run_test(body)
