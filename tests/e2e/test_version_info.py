#!/usr/bin/env python3
"""Release notes beside the download and the two homepage links, as the user
sees them: the taller window with the notes, the unchanged one without, the
"Download?" question and the browser it opens (a stub that writes down its
arguments), with no probe or temporary file left behind."""
import os
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import jobs  # noqa: E402
from harness import check, find_window, geometry, press, visible_windows  # noqa: E402
from jobs import write  # noqa: E402

WIDTH, SHORT, TALL = harness.WIDTH, harness.HEIGHT, 332
LIGHT = (224, 224, 224)  # the notes' background
# Spots inside the two links, in window pixels, away from their neighbours.
DL_VERSION = (250, 14)
LABEL4 = (290, 36)
DRIVE = "k"  # the Wine drive that holds the program, so its root is ours to watch
PROBE_NAMES = re.compile(r"^(QrxX00001\.html|zzzzzzzTemp_.*|RunFileTmp.*)$")


def homepage():
    with open(os.path.join(harness.ROOT, "src", "ui", "form1.h")) as f:
        return re.search(r'kHomepage = "([^"]+)"', f.read()).group(1)


class Scene:
    """The program's folder, a loopback server with the notes, a stub browser
    on the platform's association, and where the probes go."""

    def __init__(self, ctx, display, tmp):
        self.ctx, self.display, self.tmp = ctx, display, tmp
        self.win = ctx.platform == "win32"
        self.site = os.path.join(tmp, "site")
        write(os.path.join(self.site, "app.txt"), "Vers. 2.0\nFixed: the window\n")
        self.app = os.path.join(tmp, "app")
        os.makedirs(self.app)
        self.exe_name = os.path.basename(ctx.exe)
        shutil.copy2(ctx.exe, os.path.join(self.app, self.exe_name))
        self.record = os.path.join(tmp, "record.txt")
        self.stub = os.path.join(tmp, "stub", "browser")
        write(self.stub, f'#!/bin/sh\nprintf "%s\\n" "$*" >> "{self.record}"\n', 0o755)
        self.env = {}
        self.server = None
        self.undo = []
        try:
            if self.win:
                self._wine_browser()
            else:
                self._linux_browser()
            self.server = jobs.Server(self.site, self.tmp)
            self.base = self.server.base
        except BaseException:
            self.close()
            raise

    def _linux_browser(self):
        config, data = os.path.join(self.tmp, "xdg-config"), os.path.join(self.tmp, "xdg-data")
        write(os.path.join(config, "mimeapps.list"),
              "[Default Applications]\ntext/html=kelvane-stub.desktop\n")
        write(os.path.join(data, "applications", "kelvane-stub.desktop"),
              f"[Desktop Entry]\nType=Application\nName=stub\nExec={self.stub} %u\n")
        self.probes = os.path.join(self.tmp, "run")
        os.makedirs(self.probes, 0o700)
        self.env = {"XDG_CONFIG_HOME": config, "XDG_DATA_HOME": data, "XDG_RUNTIME_DIR": self.probes,
                    "XDG_CURRENT_DESKTOP": "", "DESKTOP_SESSION": ""}

    def _wine_browser(self):
        self.wine = harness.wine_env(self.ctx.build, dict(self.display.env))
        # Web pages open in the browser, as on every Windows: a prefix made
        # without its HTML component has no association for ".html".
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
        os.symlink(self.tmp, link)
        self.undo.append(lambda: os.remove(link))
        self.probes = self.tmp

    def _wine(self, args, check=True):
        return subprocess.run(["wine"] + args, env=self.wine, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, check=check, timeout=60).returncode

    def close(self):
        if self.server:
            self.server.close()
        for undo in reversed(self.undo):
            undo()

    def path(self, *parts):
        """A path below the test folder as the program names it."""
        if self.win:
            return DRIVE.upper() + ":\\" + "\\".join(parts)
        return os.path.join(self.tmp, *parts)

    def start(self, name):
        """The program with a job for `name` on the server; its window."""
        args = ["[URL]", f"{self.base}/{name}", "[PATH]", self.path("target", "app.exe")]
        exe = self.path("app", self.exe_name)
        program = harness.Program(args, self.display, self.ctx.platform, exe, self.ctx.build,
                                  cwd=self.tmp, extra_env=self.env)
        return program, find_window(self.display, harness.TITLE)

    def asked(self, path):
        """How often the server was asked for `path`."""
        return self.server.requests().count(path)

    def recorded(self):
        """What the browser was started with, a line for each start."""
        return (jobs.read_if_there(self.record) or b"").decode().splitlines()

    def expect_nothing_left(self, what):
        check(sorted(os.listdir(self.app)) == [self.exe_name],
              f"{what}: left in the program's folder: {sorted(os.listdir(self.app))}")
        if self.win:  # the drive root holds the test's own files too
            left = [n for n in os.listdir(self.probes) if PROBE_NAMES.match(n)]
        else:
            folder = os.path.join(self.probes, "kelvane")
            left = os.listdir(folder) if os.path.isdir(folder) else []
        check(not left, f"{what}: probes left: {left}")


def click(display, window, spot):
    x, y, _, _ = geometry(display, window)
    harness.click(display, x + spot[0], y + spot[1])


def size(display, window):
    return geometry(display, window)[2:]


def no_box_within(display, seconds, what):
    deadline = time.time() + seconds
    while time.time() < deadline:
        names = [harness.window_name(display, w) for w in visible_windows(display)]
        check("Download?" not in names, what)
        time.sleep(0.05)


def notes_enlarge_the_window(scene):
    program, window = scene.start("app.exe")
    try:
        harness.wait_for(lambda: size(scene.display, window) == (WIDTH, TALL), 15,
                         f"the window stayed {size(scene.display, window)} with notes beside the download")
        x, y, _, _ = geometry(scene.display, window)
        # Right of the short lines, the notes' box shows its own background.
        harness.wait_for(lambda: harness.pixel(scene.display, x + 250, y + 120) == LIGHT, 5,
                         "the notes are not shown")
        scene.expect_nothing_left("notes")
    finally:
        program.kill()


def version_check(scene):
    """No notes for the job: the window keeps its size. The version check asks
    with the homepage out of reach; No opens nothing, Yes opens the newest
    build and hides the link; "Homepage" opens the homepage."""
    home = homepage()
    asked = scene.asked("/none.txt")
    program, window = scene.start("none.exe")
    try:
        harness.wait_for(lambda: scene.asked("/none.txt") > asked, 15, "the job's notes were not asked for")
        started = time.time()
        click(scene.display, window, DL_VERSION)
        # The deadline covers a fetch's longest give-up (connect, then stall).
        box = find_window(scene.display, "Download?", timeout=30)
        print(f"the unreachable homepage gave up after {time.time() - started:.2f} s")
        check(size(scene.display, window) == (WIDTH, SHORT),
              f"without notes the window is {size(scene.display, window)}")
        press(scene.display, box, "n" if scene.win else "Escape")
        harness.window_gone(scene.display, box)

        click(scene.display, window, LABEL4)
        harness.wait_for(scene.recorded, 15, "Homepage opened nothing")
        time.sleep(0.3)  # a browser that No had started would show here too
        check(scene.recorded() == [home], f"after No and Homepage: {scene.recorded()}")

        click(scene.display, window, DL_VERSION)
        press(scene.display, find_window(scene.display, "Download?", timeout=30), "Return")
        harness.wait_for(lambda: len(scene.recorded()) == 2, 15, "Yes opened nothing")
        check(scene.recorded()[1] == home + "Update.exe", f"Yes opened {scene.recorded()[1]!r}")

        # The link is gone: a press on its place asks nothing.
        click(scene.display, window, DL_VERSION)
        click(scene.display, window, LABEL4)
        harness.wait_for(lambda: len(scene.recorded()) == 3, 15, "Homepage opened nothing")
        no_box_within(scene.display, 1.0, "the hidden link still asks")
        check(scene.recorded() == [home, home + "Update.exe", home], f"opened {scene.recorded()}")
        check(not program.ended(0), "the program ended")
        scene.expect_nothing_left("version check")
    finally:
        program.kill()


def body(ctx, display, tmp):
    scene = Scene(ctx, display, tmp)
    try:
        notes_enlarge_the_window(scene)
        version_check(scene)
    finally:
        scene.close()


if __name__ == "__main__":
    harness.run_test(body)
