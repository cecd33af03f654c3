#!/usr/bin/env python3
"""The window under openbox: its shape, on top and the stored pin, which presses move it; the screenshots."""
import os
import re
import select
import subprocess
import time

import harness
from harness import HEIGHT, WIDTH, check, find_window, geometry, main_window, wait_for

GREY = (128, 128, 128)
BACKDROP = (255, 255, 255)  # the root window's colour, seen through the cut corners
# Points inside controls, in window pixels (design twips / 15).
TITLE_LABEL = (70, 22)  # Label2
PICTURE = (21, 20)  # Picture2
PATH_FIELD = (150, 92)  # Text1
START_BUTTON = (104, 125)  # StartBtn
PIN = (286, 61)  # AlwaysOnTop1


def stop(ctx, program):
    """Ends `program` and waits until none of its windows is left."""
    program.kill()
    if ctx.win32:
        harness.end_wine(ctx.build)
    wait_for(lambda: not harness.visible_windows(ctx.display), 15, "a window outlived its program")


def stored(ctx):
    """The stored on-top value, or None when nothing is stored."""
    if ctx.win32:
        text = subprocess.run(["wine", "reg", "query", "HKCU\\Software\\Kelvane\\AlwaysOnTop", "/v", "OnTop"],
                              env=ctx.wine, capture_output=True, text=True, timeout=60).stdout
    else:
        ini = os.path.join(os.environ["XDG_CONFIG_HOME"], "kelvane", "kelvane.ini")
        text = open(ini).read() if os.path.exists(ini) else ""
    found = re.search(r"^\s*OnTop(?:=|\s+REG_SZ\s+)(.*?)\s*$", text, re.M)
    return found and found.group(1)


def window_property(ctx, window, name):
    return ctx.display.run(["xprop", "-id", window, name])


def expect_top(ctx, window, top, what):
    wait_for(lambda: ("_NET_WM_STATE_ABOVE" in window_property(ctx, window, "_NET_WM_STATE")) == top, 10,
             f"{what}: the window is {'not ' if top else ''}kept above the others")
    wanted = "True" if top else "False"
    wait_for(lambda: stored(ctx) == wanted, 10, f"{what}: stored {stored(ctx)!r}, not {wanted!r}")


def drag(ctx, start, by, button=1):
    # Wine's own move loop starts a moment after the press and ends after the release.
    pace = ["sleep", "0.3"] if ctx.win32 else []
    x, y = start
    ctx.display.run(["xdotool", "mousemove", str(x), str(y), "mousedown", str(button), *pace, "mousemove",
                     str(x + by[0] // 2), str(y + by[1] // 2), *pace, "mousemove", str(x + by[0]), str(y + by[1]),
                     *pace, "mouseup", str(button), *pace])


def expect_at(ctx, window, position, what):
    wait_for(lambda: geometry(ctx.display, window)[:2] == position, 10,
             f"{what}: the window is at {geometry(ctx.display, window)[:2]}, not at {position}")


def identity(ctx, window, what):
    """The icon's sizes; on Linux also the class (that of the desktop entry)."""
    sizes = (32,) if ctx.win32 else (16, 32, 48)
    wait_for(lambda: all(f"Icon ({n} x {n})" in window_property(ctx, window, "_NET_WM_ICON") for n in sizes), 10,
             f"{what}: the icon lacks a size")
    check(ctx.win32 or '"kelvane", "Kelvane"' in window_property(ctx, window, "WM_CLASS"),
          f"{what}: WM_CLASS is not kelvane / Kelvane")


def shape_top_pin_and_drag(ctx):
    program = ctx.start(ctx.valid_line())
    try:
        window, x, y = main_window(ctx.display)
        expect_top(ctx, window, True, "after start")
        identity(ctx, window, "the window")
        if not ctx.win32:
            wait_for(lambda: "SKIP_TASKBAR" not in window_property(ctx, window, "_NET_WM_STATE"),
                     10, "the window is kept out of task bars")
        wait_for(lambda: harness.pixels(ctx.display, x + 150, y + 3)[0] == GREY, 10,
                 "the window's surface is not grey")
        for cx, cy in ((x, y), (x + WIDTH - 1, y), (x, y + HEIGHT - 1), (x + WIDTH - 1, y + HEIGHT - 1)):
            seen = harness.pixels(ctx.display, cx, cy)[0]
            check(seen == BACKDROP, f"corner {cx - x},{cy - y} shows {seen}, not what lies behind")

        # The pin releases the window, and makes it topmost again; each click is stored.
        harness.click(ctx.display, x + PIN[0], y + PIN[1])
        expect_top(ctx, window, False, "first click on the pin")
        harness.click(ctx.display, x + PIN[0], y + PIN[1])
        expect_top(ctx, window, True, "second click on the pin")

        # A drag on the path field leaves the window; one on the title then
        # moves it by exactly that drag, with the left or the right button.
        drag(ctx, (x + PATH_FIELD[0], y + PATH_FIELD[1]), (40, 40))
        drag(ctx, (x + TITLE_LABEL[0], y + TITLE_LABEL[1]), (50, 30))
        expect_at(ctx, window, (x + 50, y + 30), "path field, then title")
        x, y = x + 50, y + 30
        drag(ctx, (x + TITLE_LABEL[0], y + TITLE_LABEL[1]), (-80, 20), button=3)
        expect_at(ctx, window, (x - 80, y + 20), "right button on the title")
        x, y = x - 80, y + 20

        # Double clicks do not move it: the title shows the parameters, the
        # picture asks before it ends the program.
        harness.click(ctx.display, x + TITLE_LABEL[0], y + TITLE_LABEL[1], times=2)
        harness.answer(ctx.display, "Kelvane", "Return")
        expect_at(ctx, window, (x, y), "double click on the title")
        harness.click(ctx.display, x + PICTURE[0], y + PICTURE[1], times=2)
        if not ctx.win32:  # the Windows box is the system's own
            identity(ctx, find_window(ctx.display, "Close Program?"), "the close question")
        # Escape, or on Linux Return on the focused Cancel, keeps the program.
        harness.answer(ctx.display, "Close Program?", *(["Escape"] if ctx.win32 else ["Tab", "Return"]))
        check(not program.ended(1), "Cancel to closing ended the program")
        expect_at(ctx, window, (x, y), "double click on the picture")
        harness.click(ctx.display, x + PICTURE[0], y + PICTURE[1], times=2)
        harness.answer(ctx.display, "Close Program?", "Return")
        check(program.ended(15), "OK to closing did not end the program")
    finally:
        stop(ctx, program)


def usage_window(ctx):
    """The usage box and its line on standard error (LF, as on every build), then the centred window; Escape
    and a drag on the disabled start button do nothing."""
    program = ctx.start([], stderr=subprocess.PIPE)
    try:
        harness.answer(ctx.display, "Missing commandline parameter")
        line = select.select([program.stderr], [], [], 5)[0] and program.stderr.readline()
        check(line == b"kelvane: missing commandline parameter: no job given: kelvane\n", f"stderr: {line!r}")
        window, x, y = main_window(ctx.display, "Form1")  # the usage path ends the load before the title
        check((x, y) == ((1024 - WIDTH) // 2, (768 - HEIGHT) // 2), f"window at {x},{y}, not centred")
        harness.press(ctx.display, window, "Escape")
        drag(ctx, (x + START_BUTTON[0], y + START_BUTTON[1]), (40, 40))
        check(not program.ended(1.5), "the program ended")  # drags on the title move the window at once
        position = geometry(ctx.display, window)[:2]
        check(position == (x, y), f"a drag on the disabled start button moved the window to {position}")
    finally:
        stop(ctx, program)
    if not ctx.win32:  # without a display FLTK ends the program, with the line of every failure
        ended = subprocess.run([ctx.exe], env={k: v for k, v in os.environ.items() if k != "DISPLAY"},
                               capture_output=True, timeout=30)
        check((ended.returncode, ended.stderr) == (1, b"kelvane: no window: Can't open display: no DISPLAY set\n"),
              f"without a display: {ended.returncode} {ended.stderr!r}")


def screenshots(ctx):
    """English and German, cropped from the screen: the cut corners show the backdrop."""
    folder = os.path.join(harness.ROOT, "docs", "screenshots")
    for lang, locale in (("en", "en_US.UTF-8"), ("de", "de_DE.UTF-8")):
        program = ctx.start(ctx.valid_line(), lang=locale)
        try:
            window, x, y = main_window(ctx.display)
            wait_for(lambda: harness.pixels(ctx.display, x + 150, y + 3)[0] == GREY, 10, "the window is not drawn")
            # Away from the controls, so no hover state shows.
            ctx.display.run(["xdotool", "mousemove", str(x - 50), str(y - 50)])
            path = os.path.join(folder, f"{ctx.platform}-{lang}.png")
            subprocess.run(["import", "-window", "root", "-crop", f"{WIDTH}x{HEIGHT}+{x}+{y}", "+repage", path],
                           env=ctx.display.env, check=True, timeout=30)
        finally:
            stop(ctx, program)


# Where the globe (Picture2) and the pin (AlwaysOnTop1) lie in the window, in twips.
PICTURE_TWIPS = (60, 45, 525, 525)
PIN_TWIPS = (-90 + 4230, 645 + 120, 315, 300)
MAGENTA = (255, 0, 255)  # in none of the pictures


def opaque(name, x, y):
    """Whether the picture covers (x, y), in shares of its place: the globe's disc and the monitor's case (its
    drawing in tools/draw_artwork.py, less a margin), or the whole pushed pin."""
    if name == "pin":
        return True
    return (x - 0.6) ** 2 + (y - 0.4) ** 2 < 0.36 ** 2 or (0.05 < x < 0.67 and 0.4 < y < 0.8)


def dark_box(shot, width, rect):
    """The extent (width, height) of the dark pixels (outlines, the globe) in `rect` of the shot."""
    x0, y0, w, h = rect
    dark = [(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w) if sum(shot[y * width + x]) < 250]
    if not dark:
        return 0, 0
    return max(x for x, _ in dark) - min(x for x, _ in dark) + 1, max(y for _, y in dark) - min(y for _, y in dark) + 1


def set_dpi(ctx, dpi):
    if ctx.win32:
        subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                        "/d", str(dpi), "/f"], env=ctx.wine, capture_output=True, check=True, timeout=60)
    else:
        subprocess.run(["xrdb", "-merge"], input=f"Xft.dpi: {dpi}\n", text=True, env=ctx.display.env, check=True,
                       timeout=10)


def scales(ctx):
    """At 100 and 150 %: the globe and the pin drawn for the scale, filling their places, inside the shape."""
    ctx.display.run(["xsetroot", "-solid", "#%02x%02x%02x" % MAGENTA])
    shots = os.environ.get("KELVANE_SHOTS")  # a folder that keeps the screenshots
    try:
        for dpi in (96, 144):
            set_dpi(ctx, dpi)
            program = ctx.start(ctx.valid_line())
            try:
                window = find_window(ctx.display, harness.TITLE)
                ctx.display.run(["xdotool", "mousemove", "0", "0"])
                twips = 1440 / dpi
                w, h = round(WIDTH * 15 / twips), round(HEIGHT * 15 / twips)
                wait_for(lambda: geometry(ctx.display, window)[2:] == (w, h), 10, f"{dpi} dpi: not {w}x{h}")
                x, y = geometry(ctx.display, window)[:2]
                time.sleep(0.5)  # drawn
                shot = harness.pixels(ctx.display, x, y, w, h)
                if shots:
                    subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage",
                                    os.path.join(shots, f"{ctx.platform}-{dpi * 100 // 96}.png")],
                                   env=ctx.display.env, check=True, timeout=30)
                for name, place in (("globe", PICTURE_TWIPS), ("pin", PIN_TWIPS)):
                    rect = [round(v / twips) for v in place]
                    covered = [shot[(rect[1] + j) * w + rect[0] + i] for j in range(rect[3]) for i in range(rect[2])
                               if opaque(name, (i + 0.5) / rect[2], (j + 0.5) / rect[3])]
                    check(MAGENTA not in covered, f"{dpi} dpi: the {name} is cut by the window's shape")
                    drawn = dark_box(shot, w, rect)
                    check(drawn[0] >= 0.7 * rect[2] and drawn[1] >= 0.7 * rect[3],
                          f"{dpi} dpi: the {name} is drawn {drawn[0]}x{drawn[1]} in a place of {rect[2]}x{rect[3]}")
            finally:
                stop(ctx, program)
    finally:
        set_dpi(ctx, 96)
        ctx.display.run(["xsetroot", "-solid", "#%02x%02x%02x" % BACKDROP])


def body(ctx):
    ctx.display.run(["xsetroot", "-solid", "#%02x%02x%02x" % BACKDROP])
    ctx.wine = harness.wine_env(ctx.build, ctx.display.env) if ctx.win32 else None  # for `stored`
    scales(ctx)
    shape_top_pin_and_drag(ctx)
    usage_window(ctx)
    if os.environ.get("KELVANE_SCREENSHOTS") == "1":
        screenshots(ctx)


if __name__ == "__main__":
    harness.run_test(body, window_manager=True)
