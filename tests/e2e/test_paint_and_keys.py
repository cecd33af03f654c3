#!/usr/bin/env python3
"""The window with release notes as the user meets it under a window manager:
every control below the notes drawn without the mouse, also after the window
was covered, and Return on the focused Update button starting the job."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import geometry  # noqa: E402
from test_version_info import TALL, WIDTH, Scene  # noqa: E402

DARK = (64, 64, 64)  # the frame around the controls
# In window pixels once the notes show: (x, y, width, height) and the share of
# pixels that must differ from the frame (the path field is dark inside too).
CONTROLS = {"path field": ((20, 243, 289, 19), 0.15), "Update": ((60, 270, 89, 30), 0.6),
            "Cancel": ((180, 270, 81, 30), 0.6), "settings arrow": ((28, 303, 18, 14), 0.6)}


def pixels(display, x, y, w, h):
    raw = subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "-depth", "8", "rgb:-"],
                         env=display.env, capture_output=True, timeout=30).stdout
    return [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]


def undrawn(display, window):
    """The controls that do not show (yet), by the share of their pixels that
    are neither the frame's colour nor black (never painted)."""
    x, y, _, _ = geometry(display, window)
    missing = []
    for name, ((cx, cy, w, h), share) in CONTROLS.items():
        shown = [p for p in pixels(display, x + cx, y + cy, w, h) if p not in (DARK, (0, 0, 0))]
        if len(shown) < share * w * h:
            missing.append(name)
    return missing


def all_drawn(display, window, when, shots):
    try:
        harness.wait_for(lambda: not undrawn(display, window), 3, "", interval=0.2)
    except harness.Failure:
        if shots:
            harness.screenshot(display, os.path.join(shots, when.replace(" ", "-") + ".png"))
        raise harness.Failure(f"{when}: not drawn: {undrawn(display, window)}")


def body(ctx, display, tmp):
    if ctx.platform != "win32":
        print("skipped: the Linux window is covered by test_presentation")
        raise SystemExit(77)
    shots = os.environ.get("KELVANE_E2E_SHOTS")  # keeps the pictures of a failure
    scene = Scene(ctx, display, tmp)
    os.makedirs(os.path.join(tmp, "target"))  # the job asks for the download only if its folder is there
    program = cover = None
    try:
        display.run(["xdotool", "mousemove", "1", "1"])  # away from the window
        program, window = scene.start("app.exe")
        harness.wait_for(lambda: geometry(display, window)[2:] == (WIDTH, TALL), 15, "the window did not grow")
        all_drawn(display, window, "after the window grew", shots)

        x, y, w, h = geometry(display, window)
        # A black window, override-redirect: above every managed one, topmost too.
        cover = subprocess.Popen(["xlogo", "-xrm", "*overrideRedirect: true", "-bg", "black", "-fg", "black",
                                  "-geometry", f"{w}x{h}+{x}+{y}"], env=display.env,
                                 stderr=subprocess.DEVNULL, start_new_session=True)
        harness.wait_for(lambda: len(undrawn(display, window)) == len(CONTROLS), 10, "the cover did not show")
        harness.kill_group(cover)
        all_drawn(display, window, "after the window was uncovered", shots)

        harness.press(display, window, "Return")
        harness.wait_for(lambda: scene.asked("/app.exe"), 15, "Return on the focused Update started no job")
    finally:
        if cover:
            harness.kill_group(cover)
        if program:
            program.kill()
        scene.close()


if __name__ == "__main__":
    harness.run_test(body, window_manager=True)
