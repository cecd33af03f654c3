"""What the end-to-end tests of update jobs share: the demo program in its two
versions, a folder of real files, the loopback server and the program's
paths as the platform under test writes them."""
import os
import signal
import subprocess
import time

import harness
from harness import check

MAIN_TITLE = "Kelvane  Vers.Vers. 1.4b"


class Platform:
    def __init__(self, ctx):
        self.ctx = ctx
        self.win32 = ctx.platform == "win32"
        self.exe_suffix = ".exe" if self.win32 else ""
        helpers = os.path.join(ctx.build, "helpers")
        self.old_app = read(os.path.join(helpers, "demoapp" + self.exe_suffix))
        self.new_app = read(os.path.join(helpers, "demoapp_v2" + self.exe_suffix))

    def path(self, unix_path):
        """A path as the program under test names it."""
        return "Z:" + unix_path.replace("/", "\\") if self.win32 else unix_path

    def app_name(self, stem="demoapp"):
        return stem + self.exe_suffix


class Server:
    """tests/support/http_server.py serving `root`, logging every request."""

    def __init__(self, root, tmp):
        self.port_file = os.path.join(tmp, "port")
        self.log = open(os.path.join(tmp, "requests.log"), "w+")
        self.proc = subprocess.Popen(
            ["python3", os.path.join(harness.SUPPORT, "http_server.py"), "--root", root, "--port-file",
             self.port_file, "--while-file", self.port_file, "--lifetime", "280"],
            stdout=self.log, stderr=subprocess.DEVNULL, start_new_session=True)
        harness.wait_for(lambda: os.path.exists(self.port_file), 15, "the loopback server did not start")
        with open(self.port_file) as f:
            self.base = "http://127.0.0.1:" + f.read().strip()

    def requests(self):
        """The paths asked for so far, in order."""
        self.log.flush()
        with open(self.log.name) as f:
            return [line.split()[1] for line in f if line.startswith("GET ")]

    def close(self):
        try:
            os.remove(self.port_file)
        except FileNotFoundError:
            pass
        harness.kill_group(self.proc)
        self.log.close()


def read(path):
    with open(path, "rb") as f:
        return f.read()


def read_if_there(path):
    """The file's bytes, or None while it is missing (a job deletes its
    target before it copies the new file into place)."""
    try:
        return read(path)
    except FileNotFoundError:
        return None


def write(path, data, mode=None):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())
    if mode is not None:
        os.chmod(path, mode)


def snapshot(folder):
    """{name: (bytes, mode)} of every file in `folder`."""
    return {n: (read(os.path.join(folder, n)), os.stat(os.path.join(folder, n)).st_mode & 0o7777)
            for n in sorted(os.listdir(folder)) if os.path.isfile(os.path.join(folder, n))}


def contents(folder):
    return {name: data for name, (data, _) in snapshot(folder).items()}


def recorded(record_file, timeout=15):
    """The (version, arguments) that a started demo program recorded."""
    harness.wait_for(lambda: os.path.exists(record_file), timeout, "no program was started")
    lines = read(record_file).decode().rstrip("\n").split("\n")
    return lines[0], lines[2:]


# Exit statuses of the program (see the README).
DONE, WRONG_PARAMETER, DOWNLOAD_FAILED, REPLACE_FAILED, DECLINED, CANCELLED = 0, 2, 3, 4, 5, 6


def ends(program, what, status=DONE, timeout=20):
    check(program.ended(timeout), f"{what}: the program did not end")
    check(program.proc.returncode == status, f"{what}: exit status {program.proc.returncode}, not {status}")


def answer(display, title, key="Return", timeout=30):
    box = harness.find_window(display, title, timeout)
    harness.press(display, box, key)
    return box


def stays_open(program, seconds, what):
    """The program is still running `seconds` later (a bounded look for
    something that must not happen)."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        check(program.proc.poll() is None, f"{what}: the program ended")
        time.sleep(0.05)


def stop(program):
    """Ends the program and what it started: a restarted program stays in
    its process group after the program itself has ended."""
    program.kill()
    try:
        os.killpg(program.proc.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
