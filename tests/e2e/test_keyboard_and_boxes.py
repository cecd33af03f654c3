#!/usr/bin/env python3
"""The Linux window's boxes and keys: every line of a box whole above its buttons, Tab walking and wrapping."""
import os
import subprocess

import harness
from harness import check, find_window, main_window, press

LINE = ["[URL]", "http://127.0.0.1:9/x.exe", "[PATH]", "/tmp/none/x.exe", "[SKIPINFO]", "[PARAM1]",
        "/install --target=/opt/some where/else --quiet --log=/var/log/app-install.log --keep", "[PARAM2]", "it's"]
TITLE_LABEL = (70, 22)
ICON_RIGHT = 62  # the box's text starts right of its icon


def ink_bands(image, left):
    """The runs of rows with dark pixels right of `left` as (top, bottom, leftmost, rightmost), and the width."""
    pgm = subprocess.run(["convert", image, "-colorspace", "gray", "-depth", "8", "pgm:-"], capture_output=True,
                         check=True, timeout=30).stdout
    magic, size, _, pixels = pgm.split(b"\n", 3)
    width, height = map(int, size.split())
    bands = []
    for y in range(height):
        ink = [x for x in range(left, width) if pixels[y * width + x] < 90]
        if not ink:
            continue
        if bands and bands[-1][1] == y - 1:
            top, _, lo, hi = bands[-1]
            bands[-1] = (top, y, min(lo, ink[0]), max(hi, ink[-1]))
        else:
            bands.append((y, y, ink[0], ink[-1]))
    return bands, width


def box_shows_every_line(ctx, x, y):
    """The parameters box: four lines that need not wrap, then the OK button."""
    harness.click(ctx.display, x + TITLE_LABEL[0], y + TITLE_LABEL[1], times=2)
    box = find_window(ctx.display, "Kelvane")
    image = os.path.join(ctx.tmp, "parameters.png")
    harness.wait_for(lambda: harness.screenshot(ctx.display, image, box) or len(ink_bands(image, ICON_RIGHT)[0]) > 1,
                     10, "the box shows no text")
    bands, width = ink_bands(image, ICON_RIGHT)
    text, button = bands[:-1], bands[-1]
    check(len(text) == 4, f"the box shows {len(text)} lines of text, not 4 (bands {bands})")
    check(all(hi < width - 3 for _, _, _, hi in text), f"a line is cut at the box's right edge: {bands}")
    check(button[2] > text[0][2] + 20, f"text runs into the rows of the button: {bands}")
    harness.answer(ctx.display, "Kelvane")


def body(ctx):
    """Shift+Tab twice wraps to Cancel; Tab three times to the settings arrow, Tab twice more to Cancel."""
    if ctx.win32:
        raise SystemExit(77)  # the Windows build's boxes and Tab are the system's own
    for walk, then in ((["shift+Tab", "shift+Tab"], None), (["Tab"] * 3 + ["space"], ["Tab", "Tab"])):
        program = ctx.start(LINE)
        try:
            window, x, y = main_window(ctx.display)
            if then is None:
                box_shows_every_line(ctx, x, y)
            press(ctx.display, window, *walk)
            if then:
                check(not program.ended(1), f"{walk} ended the program")
                press(ctx.display, window, *then)
            press(ctx.display, window, "Return")
            check(program.ended(15) and program.returncode == 6, f"{walk} {then or ''} and Return did not reach Cancel")
        finally:
            program.kill()


if __name__ == "__main__":
    harness.run_test(body)
