"""What the update job tests share: the demo program, real files, the loopback server, exit statuses."""
import contextlib
import os
import subprocess

import harness
from harness import check

DONE, REPLACE_FAILED, CANCELLED = 0, 4, 6  # exit statuses


def demo_app(ctx, version=""):
    """The bytes of the demo program, "" for 1.0 or "_v2" for 2.0."""
    return read(os.path.join(ctx.build, "helpers", "demoapp" + version + ctx.suffix))


class Server:
    """tests/support/http_server.py serving `root`, logging every request."""

    def __init__(self, root, tmp):
        self.port_file = os.path.join(tmp, "port")
        self.log = open(os.path.join(tmp, "requests.log"), "w+")
        os.makedirs(root, exist_ok=True)
        self.proc = subprocess.Popen(
            ["python3", os.path.join(harness.SUPPORT, "http_server.py"), "--root", root, "--port-file",
             self.port_file, "--while-file", self.port_file, "--lifetime", "280"],
            stdout=self.log, stderr=subprocess.DEVNULL, start_new_session=True)
        harness.wait_for(lambda: os.path.exists(self.port_file), 15, "the loopback server did not start")
        with open(self.port_file) as f:
            self.base = "http://127.0.0.1:" + f.read().strip()

    def requests(self):
        """The paths asked for so far, in order."""
        with open(self.log.name) as f:
            return [line.split()[1] for line in f if line.startswith("GET ")]

    def close(self):
        harness.kill_group(self.proc)
        self.log.close()


def read(path):
    with open(path, "rb") as f:
        return f.read()


def read_if_there(path):
    with contextlib.suppress(FileNotFoundError):
        return read(path)


def write(path, data, mode=None):
    """A new file at `path`: a program that still runs from the old one (started by the job before) is not
    written into, which the system refuses."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if os.path.isfile(path) and not os.path.islink(path):
        os.remove(path)
    with open(path, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())
    if mode is not None:
        os.chmod(path, mode)


def contents(folder):
    """{name: bytes} of every file in `folder`."""
    return {n: read(os.path.join(folder, n)) for n in sorted(os.listdir(folder))
            if os.path.isfile(os.path.join(folder, n))}


def recorded(record_file, timeout=15):
    """The (version, arguments) that a started demo program recorded."""
    harness.wait_for(lambda: os.path.exists(record_file), timeout, "no program was started")
    lines = read(record_file).decode().rstrip("\n").split("\n")
    return lines[0], lines[2:]


def ends(program, what, status=DONE, timeout=20):
    check(program.ended(timeout), f"{what}: the program did not end")
    check(program.returncode == status, f"{what}: exit status {program.returncode}, not {status}")
