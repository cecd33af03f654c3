"""Drives the real program on a private X display, like a user would.

Every test starts its own Xvfb (and, when asked, openbox), starts the program
natively or under Wine, finds windows with xdotool, answers boxes with keys
and kills everything it started by its process id.
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SUPPORT = os.path.join(ROOT, "tests", "support")
# The main window's title once a job line is loaded, and its design size.
TITLE = "Kelvane  Vers.Vers. 1.4b"
WIDTH, HEIGHT = 313, 167


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--platform", choices=["linux", "win32"], required=True)
    p.add_argument("--exe", required=True)
    p.add_argument("--build", required=True)
    return p.parse_args()


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Display:
    """A private Xvfb display, optionally with openbox."""

    def __init__(self, window_manager=False, size="1024x768x24"):
        self.procs = []
        # Now and then a display that Xvfb has just announced cannot be used
        # (seen while other tests start and stop displays): start another.
        for attempt in range(3):
            try:
                self.start(window_manager, size)
                return
            except Failure:
                self.close()
                self.procs = []
                if attempt == 2:
                    raise

    def start(self, window_manager, size):
        rfd, wfd = os.pipe()
        # -noreset: a server reset when the last client leaves refuses the
        # clients that connect meanwhile ("Can't open display").
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(wfd), "-screen", "0", size, "-nolisten", "tcp", "-dpi", "96",
             "-noreset"],
            pass_fds=[wfd], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(wfd)
        self.procs.append(xvfb)
        number = b""
        deadline = time.time() + 15
        while not number.endswith(b"\n") and time.time() < deadline:
            chunk = os.read(rfd, 16)
            if not chunk:
                break
            number += chunk
        os.close(rfd)
        check(number.strip(), "Xvfb did not start")
        self.name = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.name)
        if window_manager:
            self.procs.append(subprocess.Popen(["openbox"], env=self.env, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL, start_new_session=True))
            wait_for(lambda: self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]).find("window id") >= 0,
                     10, "openbox did not start")
            self._wait_until_windows_are_managed()

    def _wait_until_windows_are_managed(self):
        """openbox announces itself before it handles map requests, and drops
        the ones that come too early: map probe windows until one shows."""
        deadline = time.time() + 15
        while time.time() < deadline:
            probe = subprocess.Popen(["xlogo", "-name", "kelvane-wm-probe"], env=self.env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                     start_new_session=True)
            try:
                wait_for(lambda: self.run(["xdotool", "search", "--onlyvisible", "--classname",
                                           "^kelvane-wm-probe$"]).strip(), 1, "")
                return
            except Failure:
                pass
            finally:
                kill_group(probe)
        raise Failure("openbox does not map windows")

    def run(self, args, timeout=10):
        r = subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=timeout)
        return r.stdout

    def close(self):
        for p in reversed(self.procs):
            kill_group(p)


def kill_group(proc):
    if proc.poll() is not None:
        return
    try:
        os.killpg(proc.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    try:
        proc.wait(5)
    except subprocess.TimeoutExpired:
        pass


def wait_for(predicate, timeout, message, interval=0.01):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    raise Failure(message)


def wine_env(build, env):
    """The environment of the Windows build's Wine prefix, with a warm server."""
    out = subprocess.run(["bash", "-c", f'source "{SUPPORT}/wine-env.sh" && env -0'],
                         env=dict(env, KELVANE_WINE_ROOT=build), capture_output=True, timeout=120)
    pairs = [kv.split("=", 1) for kv in out.stdout.decode().split("\0") if "=" in kv]
    return dict(env, **{k: v for k, v in pairs if k.startswith("WINE")})


class Program:
    """The program under test, started with a list of arguments."""

    def __init__(self, args, display, platform, exe, build, lang="en_US.UTF-8", cwd=None, extra_env=None,
                 raw_command_line=None):
        env = dict(display.env, LANG=lang, LC_ALL=lang, LANGUAGE="")
        env.update(extra_env or {})
        if platform == "win32":
            env = wine_env(build, env)
            command = ["wine", exe] + args
        else:
            command = [exe] + args
        self.display = display
        # KELVANE_E2E_STDERR=1 lets the program's complaints through.
        errors = None if os.environ.get("KELVANE_E2E_STDERR") == "1" else subprocess.DEVNULL
        self.proc = subprocess.Popen(command, env=env, cwd=cwd, stdout=subprocess.DEVNULL,
                                     stderr=errors, start_new_session=True)

    def ended(self, timeout):
        try:
            self.proc.wait(timeout)
            return True
        except subprocess.TimeoutExpired:
            return False

    def kill(self):
        kill_group(self.proc)


def find_window(display, title, timeout=30):
    """The id of the visible window whose title is exactly `title`."""
    # xdotool takes a POSIX regular expression: escape only what is special
    # there (Python's re.escape also escapes blanks, which POSIX leaves undefined).
    pattern = "^" + re.sub(r"([.\[\]()*+?{}|^$\\])", r"\\\1", title) + "$"

    def search():
        ids = display.run(["xdotool", "search", "--onlyvisible", "--name", pattern]).split()
        return ids[0] if ids else None

    try:
        return wait_for(search, timeout, "")
    except Failure:
        shown = [window_name(display, w) for w in visible_windows(display)]
        raise Failure(f"no window titled {title!r}; visible: {shown!r}")


def visible_windows(display):
    """The ids of every visible window that has a title."""
    return display.run(["xdotool", "search", "--onlyvisible", "--name", "."]).split()


def window_property(display, window, name):
    return display.run(["xprop", "-id", window, name])


def window_gone(display, window, timeout=15):
    def gone():
        r = subprocess.run(["xdotool", "getwindowname", window], env=display.env, capture_output=True)
        if r.returncode != 0:
            return True
        state = display.run(["xwininfo", "-id", window])
        return "IsViewable" not in state
    wait_for(gone, timeout, f"window {window} is still shown")


def press(display, window, key):
    display.run(["xdotool", "windowfocus", "--sync", window])
    display.run(["xdotool", "key", key])


def geometry(display, window):
    """(x, y, width, height) of a window on the screen."""
    info = display.run(["xwininfo", "-id", window])
    get = lambda field: int(re.search(field + r":\s+(-?\d+)", info).group(1))
    return get("Absolute upper-left X"), get("Absolute upper-left Y"), get("Width"), get("Height")


def main_window(display, title=TITLE):
    """The main window at its design size: (id, x, y)."""
    window = find_window(display, title)
    x, y, w, h = geometry(display, window)
    check((w, h) == (WIDTH, HEIGHT), f"the window is {w} x {h}, not {WIDTH} x {HEIGHT}")
    return window, x, y


def click(display, x, y):
    display.run(["xdotool", "mousemove", str(x), str(y), "click", "1"])


def window_name(display, window):
    return display.run(["xdotool", "getwindowname", window]).rstrip("\n")


def screenshot(display, path, window=None):
    subprocess.run(["import", "-window", window or "root", path], env=display.env, check=True, timeout=30)


def pixel(display, x, y):
    """The (r, g, b) of one screen pixel."""
    out = subprocess.run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"],
                         env=display.env,
                         capture_output=True, text=True, timeout=30).stdout
    m = re.search(r"\((\d+),(\d+),(\d+)", out.splitlines()[-1])
    return tuple(int(v) for v in m.groups())


def end_wine(build):
    """Ends the Wine server of the build's prefix and every program it runs,
    without starting one (wine_env would boot Wine first)."""
    env = dict(os.environ, WINEPREFIX=os.environ.get("WINEPREFIX", os.path.join(build, "wineprefix")))
    subprocess.run(["wineserver", "-k"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=60)


def run_test(body, window_manager=False):
    """Runs `body(args, display)` with a fresh display; exit status 1 on failure."""
    args = parse_args()
    if args.platform == "win32":
        # A server left running by earlier tests has its desktop on no display
        # or on another one: the programs of this test need one on theirs.
        end_wine(args.build)
    tmp = tempfile.mkdtemp(prefix="kelvane-e2e-")
    # The program's stored settings go to the test's own folder; set before
    # the display, whose environment every program started on it inherits.
    os.environ["XDG_CONFIG_HOME"] = os.path.join(tmp, "config")
    display = Display(window_manager=window_manager)
    try:
        body(args, display, tmp)
    except Failure as e:
        print("FAILED:", e)
        raise SystemExit(1)
    finally:
        display.close()
        if args.platform == "win32":
            # Programs under Wine are children of the wineserver, not ours:
            # end the server of the build's prefix, which ends them all.
            end_wine(args.build)
        shutil.rmtree(tmp, ignore_errors=True)
    print("passed")
