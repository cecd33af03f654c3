"""Drives the real program on a private Xvfb (and openbox), natively or under Wine, like a user would."""
import argparse
import contextlib
import glob
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


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Display:
    def __init__(self, window_manager=False):
        # Now and then a display that Xvfb has just announced cannot be used: start another.
        for _ in range(3):
            self.procs = []
            try:
                return self.start(window_manager)
            except Failure:
                self.close()
        raise Failure("no display")

    def start(self, window_manager):
        rfd, wfd = os.pipe()
        # -noreset: a reset when the last client leaves refuses those that connect meanwhile.
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(wfd), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-dpi", "96",
             "-noreset"],
            pass_fds=[wfd], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(wfd)
        self.procs.append(xvfb)
        with os.fdopen(rfd) as announced:
            number = announced.readline().strip()
        check(number, "Xvfb did not start")
        self.name = ":" + number
        self.env = dict(os.environ, DISPLAY=self.name)
        if window_manager:
            self.procs.append(subprocess.Popen(["openbox"], env=self.env, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL, start_new_session=True))
            wait_for(self.manages_windows, 20, "openbox does not map windows", interval=0)

    def manages_windows(self):
        # openbox drops the map requests that come before it is ready: a probe shows when it is.
        probe = subprocess.Popen(["xlogo", "-name", "kelvane-wm-probe"], env=self.env, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL, start_new_session=True)
        try:
            return wait_for(lambda: self.run(["xdotool", "search", "--onlyvisible", "--classname",
                                              "^kelvane-wm-probe$"]).strip(), 1, "")
        except Failure:
            return False
        finally:
            kill_group(probe)

    def run(self, args, timeout=10):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=timeout).stdout

    def close(self):
        for p in reversed(self.procs):
            kill_group(p)


def kill_group(proc):
    """Ends `proc` and what it started, which stays in its process group."""
    with contextlib.suppress(ProcessLookupError):
        os.killpg(proc.pid, signal.SIGKILL)
    with contextlib.suppress(subprocess.TimeoutExpired):
        proc.wait(5)


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


class Program(subprocess.Popen):
    def ended(self, timeout):
        with contextlib.suppress(subprocess.TimeoutExpired):
            self.wait(timeout)
        return self.poll() is not None

    def kill(self):
        kill_group(self)


class Context:  # the build under test, the test's display and folder
    def __init__(self, args, display, tmp):
        self.platform, self.exe, self.build = args.platform, args.exe, args.build
        self.display, self.tmp, self.win32 = display, tmp, args.platform == "win32"
        self.suffix = ".exe" if self.win32 else ""

    def path(self, unix_path):
        """A path as the program under test names it."""
        return "Z:" + unix_path.replace("/", "\\") if self.win32 else unix_path

    def valid_line(self):
        """A job for a file that is nowhere: nothing to start, Cancel ends it."""
        return ["[URL]", "http://127.0.0.1:9/x.exe", "[PATH]", self.path("/tmp/none/x.exe"), "[SKIPINFO]"]

    def start(self, words, exe=None, lang="en_US.UTF-8", cwd=None, extra_env=None, stdout=None, stderr=None):
        env = dict(self.display.env, LANG=lang, LC_ALL=lang, LANGUAGE="", **(extra_env or {}))
        command = [exe or self.exe] + words
        if self.win32:
            env = wine_env(self.build, env)
            command = ["wine"] + command
        # KELVANE_E2E_STDERR=1 lets the program's complaints through.
        errors = None if os.environ.get("KELVANE_E2E_STDERR") == "1" else subprocess.DEVNULL
        return Program(command, env=env, cwd=cwd, stdout=stdout or subprocess.DEVNULL, stderr=stderr or errors,
                       start_new_session=True)


def find_window(display, title, timeout=30):
    """The id of the visible window whose title is exactly `title`."""
    try:
        return wait_for(lambda: next((w for w in visible_windows(display) if window_name(display, w) == title),
                                     None), timeout, "")
    except Failure:
        shown = [window_name(display, w) for w in visible_windows(display)]
        raise Failure(f"no window titled {title!r}; visible: {shown!r}")


def visible_windows(display):
    return display.run(["xdotool", "search", "--onlyvisible", "--name", "."]).split()


def window_gone(display, window, timeout=15):
    wait_for(lambda: "IsViewable" not in display.run(["xwininfo", "-id", window]), timeout,
             f"window {window} is still shown")


def press(display, window, *keys):
    display.run(["xdotool", "windowfocus", "--sync", window])
    display.run(["xdotool", "key", *keys])


def answer(display, title, *keys):
    """Answers the box `title` with `keys` (Return) and waits until it is gone. A key that a box under Wine
    took before it had the focus is lost: the box still shown after a while gets the keys again."""
    box = find_window(display, title)
    for _ in range(3):
        press(display, box, *(keys or ["Return"]))
        try:
            return window_gone(display, box, timeout=5)
        except Failure:
            pass
    raise Failure(f"the box {title!r} ({box}) is still shown")


def geometry(display, window):
    info = display.run(["xwininfo", "-id", window])
    get = lambda field: int(re.search(field + r":\s+(-?\d+)", info).group(1))
    return get("Absolute upper-left X"), get("Absolute upper-left Y"), get("Width"), get("Height")


def main_window(display, title=TITLE):
    """(id, x, y) of the main window at its design size."""
    window = find_window(display, title)
    x, y, w, h = geometry(display, window)
    check((w, h) == (WIDTH, HEIGHT), f"the window is {w} x {h}, not {WIDTH} x {HEIGHT}")
    return window, x, y


def click(display, x, y, times=1):
    display.run(["xdotool", "mousemove", str(x), str(y), "click", "--repeat", str(times), "--delay", "80", "1"])


def window_name(display, window):
    return display.run(["xdotool", "getwindowname", window]).rstrip("\n")


def screenshot(display, path, window=None):
    subprocess.run(["import", "-window", window or "root", path], env=display.env, check=True, timeout=30)


def pixels(display, x, y, w=1, h=1):
    """The (r, g, b) of the screen's pixels in a rectangle, row by row."""
    raw = subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "-depth", "8", "rgb:-"],
                         env=display.env, capture_output=True, timeout=30).stdout
    return list(zip(raw[0::3], raw[1::3], raw[2::3]))


def end_wine(build):
    """Ends the build prefix's Wine server and its programs, starting none."""
    env = dict(os.environ, WINEPREFIX=os.environ.get("WINEPREFIX", os.path.join(build, "wineprefix")))
    subprocess.run(["wineserver", "-k"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=60)


def run_test(body, window_manager=False):
    """Runs `body(Context)` on a fresh display; exit status 1 on failure."""
    p = argparse.ArgumentParser()
    for option in ("--platform", "--exe", "--build"):
        p.add_argument(option, required=True)
    args = p.parse_args()
    if args.platform == "win32":
        # A server left running by earlier tests has its desktop on no display or on another one.
        end_wine(args.build)
    tmp = tempfile.mkdtemp(prefix="kelvane-e2e-")
    # The stored settings go to the test's folder; set before the display, whose environment programs get.
    os.environ["XDG_CONFIG_HOME"] = os.path.join(tmp, "config")
    # A sanitized build writes its reports here (leaks aside: the program ends without tidying up).
    reports = os.path.join(tmp, "sanitizer")
    os.environ["ASAN_OPTIONS"] = f"log_path={reports}:detect_leaks=0"
    os.environ["UBSAN_OPTIONS"] = f"log_path={reports}:print_stacktrace=1"
    display = Display(window_manager=window_manager)
    try:
        body(Context(args, display, tmp))
        for report in glob.glob(reports + ".*"):
            with open(report) as f:
                raise Failure("a sanitizer reported:\n" + f.read())
    except Failure as e:
        print("FAILED:", e)
        raise SystemExit(1)
    finally:
        display.close()
        if args.platform == "win32":
            # Programs under Wine are children of the wineserver, not ours: ending it ends them all.
            end_wine(args.build)
        shutil.rmtree(tmp, ignore_errors=True)
    print("passed")
