#!/usr/bin/env python3
"""Release notes and the homepage links under openbox; the browser they open is a stub."""
import os
import re
import shutil
import subprocess
import time

import harness
import jobs
from harness import check, find_window, geometry, press
from jobs import write

WIDTH, SHORT, TALL = harness.WIDTH, harness.HEIGHT, 332
LIGHT = (224, 224, 224)  # the notes' background
# Spots inside the two links, in window pixels, away from their neighbours.
DL_VERSION = (250, 14)
LABEL4 = (290, 36)
DRIVE = "k"  # the Wine drive of the program: its probes go to our folder, not to /
DARK = (64, 64, 64)  # the frame around the controls
# Below the notes, in window pixels: (x, y, width, height), and the share that must differ from the frame.
CONTROLS = {"path field": ((20, 243, 289, 19), 0.15), "Update": ((60, 270, 89, 30), 0.6),
            "Cancel": ((180, 270, 81, 30), 0.6), "settings arrow": ((28, 303, 18, 14), 0.6)}


class Scene:
    """The program's own folder, a server with notes, a stub browser."""

    def __init__(self, ctx):
        self.ctx = ctx
        write(os.path.join(ctx.tmp, "site", "app.txt"), "Vers. 2.0\nFixed: the window\n")
        self.app = os.path.join(ctx.tmp, "app")
        os.makedirs(self.app)
        self.exe_name = os.path.basename(ctx.exe)
        shutil.copy2(ctx.exe, os.path.join(self.app, self.exe_name))
        self.record = os.path.join(ctx.tmp, "record.txt")
        self.stub = os.path.join(ctx.tmp, "stub", "browser")
        write(self.stub, f'#!/bin/sh\nprintf "%s\\n" "$*" >> "{self.record}"\n', 0o755)
        self.env, self.server, self.undo = {}, None, []
        try:
            self._wine_browser() if ctx.win32 else self._linux_browser()
            self.server = jobs.Server(os.path.join(ctx.tmp, "site"), ctx.tmp)
        except BaseException:
            self.close()
            raise

    def _linux_browser(self):
        config, data = os.path.join(self.ctx.tmp, "xdg-config"), os.path.join(self.ctx.tmp, "xdg-data")
        write(os.path.join(config, "mimeapps.list"), "[Default Applications]\ntext/html=kelvane-stub.desktop\n")
        write(os.path.join(data, "applications", "kelvane-stub.desktop"),
              f"[Desktop Entry]\nType=Application\nName=stub\nExec={self.stub} %u\n")
        self.env = {"XDG_CONFIG_HOME": config, "XDG_DATA_HOME": data, "XDG_RUNTIME_DIR": self.ctx.tmp,
                    "XDG_CURRENT_DESKTOP": "", "DESKTOP_SESSION": ""}

    def _wine_browser(self):
        self.wine = harness.wine_env(self.ctx.build, dict(self.ctx.display.env))
        # A prefix made without its HTML component has no association for ".html".
        html = r"HKLM\Software\Classes\.html"
        if self._wine(["reg", "query", html], check=False) != 0:
            self._wine(["reg", "add", html, "/ve", "/d", "htmlfile", "/f"])
            self.undo.append(lambda: self._wine(["reg", "delete", html, "/f"]))
        key = r"HKCU\Software\Wine\WineBrowser"
        self._wine(["reg", "add", key, "/v", "Browsers", "/d", self.stub, "/f"])
        self.undo.append(lambda: self._wine(["reg", "delete", key, "/v", "Browsers", "/f"]))
        link = os.path.join(self.wine["WINEPREFIX"], "dosdevices", DRIVE + ":")
        if os.path.islink(link) and os.path.basename(os.readlink(link)).startswith("kelvane-e2e-"):
            os.remove(link)  # left by a test that was killed
        check(not os.path.lexists(link), f"drive {DRIVE}: is taken in the test prefix")
        os.symlink(self.ctx.tmp, link)
        self.undo.append(lambda: os.remove(link))

    def _wine(self, args, check=True):
        return subprocess.run(["wine"] + args, env=self.wine, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, check=check, timeout=60).returncode

    def close(self):
        if self.server:
            self.server.close()
        for undo in reversed(self.undo):
            undo()

    def start(self, name):
        """The program from its folder with a job for `name`; its window."""
        if self.ctx.win32:
            target, exe = DRIVE.upper() + r":\target\app.exe", DRIVE.upper() + ":\\app\\" + self.exe_name
        else:
            target, exe = os.path.join(self.ctx.tmp, "target", "app.exe"), os.path.join(self.app, self.exe_name)
        program = self.ctx.start(["[URL]", f"{self.server.base}/{name}", "[PATH]", target], exe=exe,
                                 cwd=self.ctx.tmp, extra_env=self.env)
        return program, find_window(self.ctx.display, harness.TITLE)

    def recorded(self):
        """What the browser was started with, a line for each start."""
        return (jobs.read_if_there(self.record) or b"").decode().splitlines()


def click(display, window, spot):
    x, y, _, _ = geometry(display, window)
    harness.click(display, x + spot[0], y + spot[1])


def size(display, window):
    return geometry(display, window)[2:]


def version_check(scene, display):
    """No notes: the size stays; "Download?" No opens nothing, Yes the newest build and hides its link."""
    with open(os.path.join(scene.ctx.build, "generated", "version.h")) as f:
        home = re.search(r'KELVANE_HOMEPAGE "([^"]+)"', f.read()).group(1)
    program, window = scene.start("none.exe")
    try:
        harness.wait_for(lambda: "/none.txt" in scene.server.requests(), 15, "the job's notes were not asked for")
        click(display, window, DL_VERSION)
        # The deadline covers a fetch's longest give-up (connect, then stall).
        box = find_window(display, "Download?", timeout=30)
        check(size(display, window) == (WIDTH, SHORT), f"without notes the window is {size(display, window)}")
        # Escape answers nothing: the question stays (Wine closes the box and it is asked again).
        press(display, box, "Escape")
        time.sleep(0.3)
        harness.answer(display, "Download?", "n")

        click(display, window, LABEL4)
        harness.wait_for(scene.recorded, 15, "Homepage opened nothing")
        time.sleep(0.3)  # a browser that No had started would show here too
        check(scene.recorded() == [home], f"after No and Homepage: {scene.recorded()}")

        click(display, window, DL_VERSION)
        press(display, find_window(display, "Download?", timeout=30), "Return")
        harness.wait_for(lambda: len(scene.recorded()) == 2, 15, "Yes opened nothing")
        check(scene.recorded()[1] == home + "Update.exe", f"Yes opened {scene.recorded()[1]!r}")

        # The link is gone: a press on its place asks nothing.
        click(display, window, DL_VERSION)
        click(display, window, LABEL4)
        harness.wait_for(lambda: len(scene.recorded()) == 3, 15, "Homepage opened nothing")
        time.sleep(1.0)
        names = [harness.window_name(display, w) for w in harness.visible_windows(display)]
        check("Download?" not in names, "the hidden link still asks")
        check(scene.recorded() == [home, home + "Update.exe", home], f"opened {scene.recorded()}")
        check(not program.ended(0), "the program ended")
    finally:
        program.kill()


def undrawn(display, window):
    """The controls with too few pixels neither the frame's colour nor black."""
    x, y, _, _ = geometry(display, window)
    return [name for name, ((cx, cy, w, h), share) in CONTROLS.items()
            if sum(p not in (DARK, (0, 0, 0)) for p in harness.pixels(display, x + cx, y + cy, w, h)) < share * w * h]


def notes_and_return(scene, display):
    """Notes grow the window (on Windows drawn whole, also once uncovered); Return on Update starts the job."""
    os.makedirs(os.path.join(scene.ctx.tmp, "target"))  # else Update asks for no download
    display.run(["xdotool", "mousemove", "1", "1"])  # away from the window
    program, window = scene.start("app.exe")
    try:
        harness.wait_for(lambda: size(display, window) == (WIDTH, TALL), 15, "the window did not grow")
        x, y, w, h = geometry(display, window)
        # Right of the short lines, the notes' box shows its own background.
        harness.wait_for(lambda: harness.pixels(display, x + 250, y + 120)[0] == LIGHT, 5, "the notes are not shown")
        if scene.ctx.win32:  # FLTK draws its own controls (test_presentation)
            harness.wait_for(lambda: not undrawn(display, window), 3, "not drawn after the window grew", 0.2)
            # A black window, override-redirect: above every managed one, topmost too.
            cover = subprocess.Popen(["xlogo", "-xrm", "*overrideRedirect: true", "-bg", "black", "-fg", "black",
                                      "-geometry", f"{w}x{h}+{x}+{y}"], env=display.env,
                                     stderr=subprocess.DEVNULL, start_new_session=True)
            harness.wait_for(lambda: len(undrawn(display, window)) == len(CONTROLS), 10, "the cover did not show")
            harness.kill_group(cover)
            harness.wait_for(lambda: not undrawn(display, window), 3, "not drawn after being uncovered", 0.2)
        press(display, window, "Return")
        harness.wait_for(lambda: "/app.exe" in scene.server.requests(), 15, "Return on Update started no job")
    finally:
        program.kill()  # a cover left by a failure ends with the display


# Release notes "5 € –" in each common encoding; each shows the same text, its byte order mark not.
ENCODINGS = {"utf8": "5 € –".encode(), "utf8bom": "\ufeff5 € –".encode(), "utf16": "\ufeff5 € –".encode("utf-16-le"),
             "cp1252": "5 € –".encode("cp1252")}


def clipboard(display):
    out = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=display.env, capture_output=True, timeout=10)
    return out.stdout.decode(errors="replace")


def shown_notes(display, window):
    """The notes' text as the box holds it: Tab to it (which selects it on Windows), select all, copy."""
    for _ in range(12):
        press(display, window, "Tab", "ctrl+a", "ctrl+c")
        text = clipboard(display)
        if text.startswith(("5", "\ufeff", "ï»¿")) or "\ufffd" in text:
            return text.rstrip("\r\n")
    raise harness.Failure(f"the notes could not be copied; the clipboard holds {clipboard(display)!r}")


def encodings(scene, display):
    for name, data in ENCODINGS.items():
        with open(os.path.join(scene.ctx.tmp, "site", name + ".txt"), "wb") as f:
            f.write(data)
        program, window = scene.start(name + ".exe")
        try:
            harness.wait_for(lambda: size(display, window) == (WIDTH, TALL), 15, f"{name}: the notes do not show")
            text = shown_notes(display, window)
            check(text == "5 € –", f"{name}: the notes show {text!r}")
        finally:
            program.kill()
            harness.window_gone(display, window)


def body(ctx):
    scene = Scene(ctx)
    try:
        encodings(scene, ctx.display)
        notes_and_return(scene, ctx.display)
        version_check(scene, ctx.display)
    finally:
        scene.close()


if __name__ == "__main__":
    harness.run_test(body, window_manager=True)
