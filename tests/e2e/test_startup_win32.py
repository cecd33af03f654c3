"""Start-up of the Windows program under Wine, on a private display with openbox.

"/?" answers with the version and ends; no arguments give the usage message and
then the main window; a line without [URL] and [PATH] is rejected and ends; a
usable line shows the titled window on top, which moves with a press on its
title and ends by its cancel button; a German locale gives German captions.
Ends every program it started through the Wine server of the build's prefix.
"""
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import check, find_window, press  # noqa: E402

SKIPPED = 77
TITLE = "Kelvane  Vers.Vers. 1.4b"
# Without arguments the load ends before the title is set: the design title.
USAGE_TITLE = "Form1"
WIDTH, HEIGHT = 313, 167
SHOTS = os.path.join(harness.ROOT, "docs", "screenshots")


def visible(display, title):
    pattern = "^" + title.replace(".", r"\.") + "$"
    return display.run(["xdotool", "search", "--onlyvisible", "--name", pattern]).split()


def start(args, display, arguments, lang="en_US.UTF-8"):
    return harness.Program(arguments, display, "win32", args.exe, args.build, lang=lang)


def main_window_after_usage(args, display, lang):
    """Starts without arguments, answers the usage box; the main window's id."""
    program = start(args, display, [], lang)
    box = find_window(display, "Missing commandline parameter")
    time.sleep(2)  # the window must stay hidden while the box is open
    check(not visible(display, USAGE_TITLE), "the main window shows before the usage message is closed")
    press(display, box, "Return")
    window = find_window(display, USAGE_TITLE)
    _, _, width, height = harness.geometry(display, window)
    check((width, height) == (WIDTH, HEIGHT), f"main window is {width} x {height}")
    check(not program.ended(1), "the program ended after the usage message")
    return window


def window_pixels(display, window, path):
    harness.screenshot(display, path, window)
    out = subprocess.run(["convert", path, "rgb:-"], capture_output=True, timeout=30).stdout
    check(len(out) == WIDTH * HEIGHT * 3, "screenshot of the main window has the wrong size")
    return out


def body(args, display, tmp):
    # "/?": the version box only, then the end.
    program = start(args, display, ["/?"])
    box = find_window(display, "Kelvane Info")
    time.sleep(2)
    check(not visible(display, USAGE_TITLE), "the main window shows with the version box")
    press(display, box, "Return")
    check(program.ended(15), "the program did not end after the version box")
    check(not visible(display, TITLE), "a main window was left after the version box")

    # No arguments: the usage message, then the main window, which stays.
    english = window_pixels(display, main_window_after_usage(args, display, "en_US.UTF-8"),
                            os.path.join(tmp, "en.png"))
    # Every main window is centred; only one is on screen at a time.
    harness.end_wine(args.build)

    # Only [NOASK]: "Wrong parameter" with the default title, then the end.
    program = start(args, display, ["[NOASK]"])
    box = find_window(display, "Kelvane")
    press(display, box, "Return")
    check(program.ended(15), "the program did not end after the rejection")
    check(not visible(display, TITLE), "a main window was shown for a rejected line")

    # A usable line: the main window with its full title, kept on top, moved
    # by its title, and ended by its cancel button (Command1).
    program = start(args, display, ["[URL]", "http://127.0.0.1:9/MyApp.exe", "[PATH]",
                                    "C:\\Programme\\MyApp.exe", "[SKIPINFO]"])
    window = find_window(display, TITLE)
    x, y, width, height = harness.geometry(display, window)
    check((width, height) == (WIDTH, HEIGHT), f"main window is {width} x {height}")
    harness.wait_for(lambda: "_NET_WM_STATE_ABOVE" in display.run(["xprop", "-id", window, "_NET_WM_STATE"]),
                     10, "the main window is not kept on top")
    # A press on the title (Label2) moves the window with the mouse.
    display.run(["xdotool", "mousemove", "--sync", str(x + 70), str(y + 22), "mousedown", "1"])
    time.sleep(0.3)
    display.run(["xdotool", "mousemove", "--sync", str(x + 170), str(y + 122)])
    time.sleep(0.3)
    display.run(["xdotool", "mouseup", "1"])
    harness.wait_for(lambda: harness.geometry(display, window)[:2] == (x + 100, y + 100), 5,
                     "the window did not follow the mouse pressed on its title")
    x, y = x + 100, y + 100
    cancel = (x + 180 + 40, y + 110 + 15)  # Command1's middle: twips (2700, 1650) + half its size
    display.run(["xdotool", "mousemove", "--sync", str(cancel[0]), str(cancel[1]), "click", "1"])
    check(program.ended(15), "the cancel button did not end the program")

    # German: the same window with German captions ("Starten", "&Abbrechen").
    german_window = main_window_after_usage(args, display, "de_DE.UTF-8")
    german = window_pixels(display, german_window, os.path.join(tmp, "de.png"))
    check(german != english, "the German window looks like the English one")
    if os.environ.get("KELVANE_SCREENSHOTS") == "1":
        os.makedirs(SHOTS, exist_ok=True)
        for lang in ("en", "de"):
            shutil.move(os.path.join(tmp, lang + ".png"), os.path.join(SHOTS, f"win32-{lang}.png"))


if __name__ == "__main__":
    if harness.parse_args().platform != "win32":
        print("skipped: the Windows start-up runs only for the win32 build")
        sys.exit(SKIPPED)
    harness.run_test(body, window_manager=True)
