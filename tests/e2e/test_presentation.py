#!/usr/bin/env python3
"""The window as it presents itself, under openbox: its size and cut corners,
kept above the others after start and released by a finished job, the stored
setting following every change, the push-pin that toggles it, which presses
move the window, and a settings store that is unusable or holds garbage.
With KELVANE_SCREENSHOTS=1 it also renews the screenshots in docs/."""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import jobs  # noqa: E402
from harness import HEIGHT, WIDTH, check, find_window, geometry, main_window, wait_for  # noqa: E402

GREY = (128, 128, 128)
BACKDROP = (255, 255, 255)  # the root window's colour, seen through the cut corners
# Points inside controls, in window pixels (design twips / 15).
TITLE_LABEL = (70, 22)  # Label2
PICTURE = (21, 20)  # Picture2
PATH_FIELD = (150, 92)  # Text1
START_BUTTON = (104, 125)  # StartBtn
PIN = (286, 61)  # AlwaysOnTop1
NEW_PROGRAM = b"the new program\n" * 64
OLD_PROGRAM = b"the old program\n"


class Context:
    """What every scenario needs: the program, the display and the test's folder."""

    def __init__(self, args, display, tmp):
        self.args, self.display, self.tmp = args, display, tmp
        self.win32 = args.platform == "win32"
        # On the display: a Wine server started without one has no desktop to show windows on.
        self.wine = harness.wine_env(args.build, display.env) if self.win32 else None

    def native_path(self, path):
        return "Z:" + path.replace("/", "\\") if self.win32 else path

    def start(self, arguments, lang="en_US.UTF-8"):
        return harness.Program(arguments, self.display, self.args.platform, self.args.exe, self.args.build,
                               lang=lang)

    def stop(self, program):
        """Ends `program` and waits until none of its windows is left, so that
        the next program's window is not mistaken for one of them."""
        program.kill()
        if self.win32:
            # Ends every program of the prefix's server, without starting one.
            subprocess.run(["wineserver", "-k"], env=self.wine, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60)
        wait_for(lambda: not harness.visible_windows(self.display), 15, "a window outlived its program")

    def valid_line(self):
        return ["[URL]", "http://127.0.0.1:9/x.exe", "[PATH]", self.native_path("/tmp/none/x.exe"),
                "[SKIPINFO]"]

    def reg(self, *arguments):
        return subprocess.run(["wine", "reg", *arguments], env=self.wine, capture_output=True, text=True,
                              timeout=60)

    def stored(self):
        """The stored on-top value, or None when nothing is stored."""
        if self.win32:
            out = self.reg("query", "HKCU\\Software\\Kelvane\\AlwaysOnTop", "/v", "OnTop").stdout
            for line in out.splitlines():
                fields = line.split(None, 2)
                if fields[:2] == ["OnTop", "REG_SZ"]:
                    return fields[2].strip() if len(fields) == 3 else ""
            return None
        value, section = None, None
        try:
            with open(self.ini(), encoding="utf-8", errors="replace") as f:
                for line in f:
                    line = line.strip()
                    if line.startswith("[") and line.endswith("]"):
                        section = line[1:-1].strip().lower()
                    elif section == "alwaysontop" and line.split("=")[0].strip().lower() == "ontop":
                        value = line.split("=", 1)[1].strip()
        except FileNotFoundError:
            pass
        return value

    def ini(self):
        return os.path.join(os.environ["XDG_CONFIG_HOME"], "kelvane", "kelvane.ini")

    def store_garbage(self, text):
        """Puts `text` where the program keeps its setting."""
        if self.win32:
            # A .reg file, as 1 MB does not fit on a command line.
            reg_file = os.path.join(self.tmp, "garbage.reg")
            with open(reg_file, "w", encoding="utf-8") as f:
                f.write('REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kelvane\\AlwaysOnTop]\n'
                        f'"OnTop"="{text}"\n')
            r = subprocess.run(["wine", "regedit", "/s", self.native_path(reg_file)], env=self.wine,
                               capture_output=True, timeout=120)
            check(r.returncode == 0, "regedit could not store the garbage")
            return
        os.makedirs(os.path.dirname(self.ini()), exist_ok=True)
        with open(self.ini(), "w") as f:
            f.write(f"[AlwaysOnTop]\nOnTop={text}\n" if len(text) < 100 else text)


def on_top(ctx, window):
    return "_NET_WM_STATE_ABOVE" in harness.window_property(ctx.display, window, "_NET_WM_STATE")


def expect_top(ctx, window, top, what):
    wait_for(lambda: on_top(ctx, window) == top, 10,
             f"{what}: the window is {'not ' if top else ''}kept above the others")
    wanted = "True" if top else "False"
    wait_for(lambda: ctx.stored() == wanted, 10, f"{what}: stored {ctx.stored()!r}, not {wanted!r}")


def drag(ctx, start, by, button=1):
    """Presses `button` at `start`, moves the mouse by `by` and lets go."""
    d = ctx.display
    # Wine's own move loop starts a moment after the press: give it the time.
    pace = ["sleep", "0.3"] if ctx.win32 else []
    d.run(["xdotool", "mousemove", str(start[0]), str(start[1]), "mousedown", str(button), *pace,
           "mousemove", str(start[0] + by[0] // 2), str(start[1] + by[1] // 2), *pace,
           "mousemove", str(start[0] + by[0]), str(start[1] + by[1]), *pace, "mouseup", str(button),
           *pace])  # and for the loop to end before the next press


def double_click(ctx, at):
    ctx.display.run(["xdotool", "mousemove", str(at[0]), str(at[1]), "click", "--repeat", "2", "--delay", "80",
                     "1"])


def answer(ctx, title, key):
    """Answers the box titled `title` with `key` and waits until it is gone."""
    box = find_window(ctx.display, title)
    harness.press(ctx.display, box, key)
    harness.window_gone(ctx.display, box)


def expect_at(ctx, window, position, what):
    wait_for(lambda: geometry(ctx.display, window)[:2] == position, 10,
             f"{what}: the window is at {geometry(ctx.display, window)[:2]}, not at {position}")


def linux_identity(ctx, window, what):
    """WM_CLASS kelvane/Kelvane and the program's icon in several sizes."""
    props = "".join(harness.window_property(ctx.display, window, p) for p in ("WM_CLASS", "_NET_WM_ICON"))
    check('"kelvane", "Kelvane"' in props, f"{what}: WM_CLASS is not kelvane / Kelvane")
    check(all(f"Icon ({n} x {n})" in props for n in (16, 32, 48)), f"{what}: the icon lacks a size")


def shape_top_pin_and_drag(ctx):
    """One window: its shape, icon and class, its on-top state through start and the
    pin, which presses move it and the double clicks that do not."""
    program = ctx.start(ctx.valid_line())
    try:
        window, x, y = main_window(ctx.display)
        expect_top(ctx, window, True, "after start")
        wait_for(lambda: "Icon (32 x 32)" in harness.window_property(ctx.display, window, "_NET_WM_ICON"), 10,
                 "the window has no 32 x 32 icon")
        if not ctx.win32:
            linux_identity(ctx, window, "the window")
            wait_for(lambda: "SKIP_TASKBAR" not in harness.window_property(ctx.display, window, "_NET_WM_STATE"),
                     10, "the window is kept out of task bars")
        wait_for(lambda: harness.pixel(ctx.display, x + 150, y + 3) == GREY, 10,
                 "the window's surface is not grey")
        for cx, cy in ((x, y), (x + WIDTH - 1, y), (x, y + HEIGHT - 1), (x + WIDTH - 1, y + HEIGHT - 1)):
            seen = harness.pixel(ctx.display, cx, cy)
            check(seen == BACKDROP, f"corner {cx - x},{cy - y} shows {seen}, not what lies behind")

        # The pin releases the window, and makes it topmost again.
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
        double_click(ctx, (x + TITLE_LABEL[0], y + TITLE_LABEL[1]))
        answer(ctx, "Kelvane", "Return")
        expect_at(ctx, window, (x, y), "double click on the title")
        double_click(ctx, (x + PICTURE[0], y + PICTURE[1]))
        if not ctx.win32:
            linux_identity(ctx, find_window(ctx.display, "Close Program?"), "the close question")
        answer(ctx, "Close Program?", "Escape")
        check(not program.ended(1), "Cancel to closing ended the program")
        expect_at(ctx, window, (x, y), "double click on the picture")
        double_click(ctx, (x + PICTURE[0], y + PICTURE[1]))
        answer(ctx, "Close Program?", "Return")
        check(program.ended(15), "OK to closing did not end the program")
    finally:
        ctx.stop(program)


def disabled_button_does_not_drag(ctx):
    """Without arguments the start button is disabled: a drag on it must not
    move the window either."""
    program = ctx.start([])
    try:
        harness.press(ctx.display, find_window(ctx.display, "Missing commandline parameter"), "Return")
        window, x, y = main_window(ctx.display, "Form1")
        drag(ctx, (x + START_BUTTON[0], y + START_BUTTON[1]), (40, 40))
        # A move would have shown within this time (drags on the title move
        # the window at once, see above).
        deadline = time.time() + 1.5
        while time.time() < deadline:
            position = geometry(ctx.display, window)[:2]
            check(position == (x, y), f"a drag on the disabled start button moved the window to {position}")
            time.sleep(0.05)
    finally:
        ctx.stop(program)


def job_releases_the_window(ctx):
    """A real job replaces the program and releases the window before it asks
    whether to run it; No then ends the program."""
    served, app = os.path.join(ctx.tmp, "served"), os.path.join(ctx.tmp, "app")
    jobs.write(os.path.join(served, "x.exe"), NEW_PROGRAM)
    target = os.path.join(app, "x.exe")
    jobs.write(target, OLD_PROGRAM)
    server = jobs.Server(served, ctx.tmp)
    program = None
    try:
        program = ctx.start(["[URL]", f"{server.base}/x.exe", "[PATH]", ctx.native_path(target),
                             "[AUTOSTART]", "[SKIPINFO]"])
        box = find_window(ctx.display, "Run program?")
        window = find_window(ctx.display, harness.TITLE)
        expect_top(ctx, window, False, "after the job")
        check(jobs.read(target) == NEW_PROGRAM, "the job did not replace the program")
        harness.press(ctx.display, box, "n")
        check(program.ended(15), "No to running the program did not end it")
    finally:
        if program:
            ctx.stop(program)
        server.close()


def clipboard(display):
    """The text on the display's clipboard, or None when nobody offers one."""
    r = subprocess.run(["xclip", "-selection", "clipboard", "-o"], env=display.env, capture_output=True,
                       timeout=10)
    return r.stdout.decode("utf-8", "replace") if r.returncode == 0 else None


def entering_the_path_field(ctx):
    """Entering the path field, by Tab from the focused start button or by a
    click, selects all of its text but the first character."""
    wanted = ctx.native_path("/tmp/none/x.exe")[1:]
    for how in ("Tab", "a click"):
        # A program of its own each time: the clipboard empties when it ends.
        program = ctx.start(ctx.valid_line())
        try:
            window, x, y = main_window(ctx.display)
            if how == "Tab":
                harness.press(ctx.display, window, "Tab")
            else:
                harness.click(ctx.display, x + PATH_FIELD[0], y + PATH_FIELD[1])
            harness.press(ctx.display, window, "ctrl+c")
            wait_for(lambda: clipboard(ctx.display) == wanted, 10,
                     f"{how}: the selection copied is {clipboard(ctx.display)!r}, not {wanted!r}")
        finally:
            ctx.stop(program)


def bad_store(ctx):
    """The window starts as always, on top, whatever the store holds."""
    cases = {"maybe": "maybe", "empty": "", "1 MB": ("garbage " * 15 + "\n") * 8738}
    if not ctx.win32:
        cases["unwritable"] = None  # the settings folder's place is taken by a file
    for what, text in cases.items():
        if text is None:
            os.remove(ctx.ini())
            os.rmdir(os.path.dirname(ctx.ini()))
            with open(os.path.dirname(ctx.ini()), "w") as f:
                f.write("not a folder\n")
        else:
            ctx.store_garbage(text)
        program = ctx.start(ctx.valid_line())
        try:
            window, _, _ = main_window(ctx.display)
            wait_for(lambda: on_top(ctx, window), 10, f"{what}: the window is not on top")
            if text is not None:
                wait_for(lambda: ctx.stored() == "True", 10, f"{what}: stored {ctx.stored()!r}, not 'True'")
            else:
                # Nothing can be stored, yet the pin still releases the window.
                x, y, _, _ = geometry(ctx.display, window)
                harness.click(ctx.display, x + PIN[0], y + PIN[1])
                wait_for(lambda: not on_top(ctx, window), 10, f"{what}: the pin does not release the window")
            check(not program.ended(0.3), f"{what}: the program ended")
        finally:
            ctx.stop(program)


def screenshots(ctx):
    """The window in English and in German, cropped from the screen so the
    cut corners show the backdrop."""
    folder = os.path.join(harness.ROOT, "docs", "screenshots")
    os.makedirs(folder, exist_ok=True)
    for lang, locale in (("en", "en_US.UTF-8"), ("de", "de_DE.UTF-8")):
        program = ctx.start(ctx.valid_line(), lang=locale)
        try:
            window, x, y = main_window(ctx.display)
            wait_for(lambda: harness.pixel(ctx.display, x + 150, y + 3) == GREY, 10, "the window is not drawn")
            # Away from the controls, so no hover state shows.
            ctx.display.run(["xdotool", "mousemove", str(x - 50), str(y - 50)])
            path = os.path.join(folder, f"{ctx.args.platform}-{lang}.png")
            subprocess.run(["import", "-window", "root", "-crop", f"{WIDTH}x{HEIGHT}+{x}+{y}", "+repage", path],
                           env=ctx.display.env, check=True, timeout=30)
        finally:
            ctx.stop(program)


def body(args, display, tmp):
    display.run(["xsetroot", "-solid", "#%02x%02x%02x" % BACKDROP])
    ctx = Context(args, display, tmp)
    shape_top_pin_and_drag(ctx)
    disabled_button_does_not_drag(ctx)
    job_releases_the_window(ctx)
    entering_the_path_field(ctx)
    bad_store(ctx)
    if os.environ.get("KELVANE_SCREENSHOTS") == "1":
        screenshots(ctx)


if __name__ == "__main__":
    harness.run_test(body, window_manager=True)
