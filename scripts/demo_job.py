#!/usr/bin/env python3
"""One whole update job on a demo program, told step by step.

  demo_job.py BUILD_FOLDER      (scripts/demo.sh builds it and calls this)

A folder holds the demo program (version 1.0) and the backup of an older
build (0.9); a loopback server offers version 2.0 and its release notes.
Version 1.0 runs for a few seconds while Kelvane, started with [NOASK],
waits for it; then Kelvane downloads 2.0, checks its signature (made with a
key of the demo's own by `minisign`), rotates the backups, puts the new file
in place and starts it with "--updated". The windows show on the
user's display when there is one, else on a private Xvfb; screenshots are
kept in BUILD_FOLDER/demo. Everything else is removed at the end.
"""
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import harness  # noqa: E402
import jobs  # noqa: E402

OLD_SECONDS = 6  # how long version 1.0 runs while Kelvane waits
NEW_SECONDS = 4  # how long the restarted version shows its window
OLDER_BUILD = b'#!/bin/sh\necho "Demo app 0.9 started with: $*"\n'


class UserDisplay:
    """The display the demo was started on."""

    def __init__(self):
        self.name = os.environ["DISPLAY"]
        self.env = dict(os.environ)

    run = harness.Display.run

    def close(self):
        pass


def open_display():
    if os.environ.get("DISPLAY") and subprocess.run(["xdpyinfo"], capture_output=True).returncode == 0:
        display = UserDisplay()
        return display, f"{display.name}, yours: watch the windows"
    display = harness.Display()
    return display, f"{display.name}, a private Xvfb (no display was set): see the screenshots"


def show_files(folder, versions):
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        data = jobs.read(path)
        what = versions.get(data, "something else")
        print(f"    {stat.filemode(os.stat(path).st_mode)} {len(data):6d} bytes  {name:13} {what}")


def shoot(display, path):
    """Saves a screenshot of the whole screen; the line that tells where."""
    try:
        harness.screenshot(display, path)
        return f"    Screenshot: {path}"
    except (subprocess.SubprocessError, OSError) as e:
        return f"    (no screenshot: {e})"


def run(build, tmp, shots):
    helpers = os.path.join(build, "helpers")
    old_app, new_app = jobs.read(os.path.join(helpers, "demoapp")), jobs.read(os.path.join(helpers, "demoapp_v2"))
    versions = {old_app: "demo app 1.0", new_app: "demo app 2.0", OLDER_BUILD: "demo app 0.9 (a script)"}
    app = os.path.join(tmp, "app")
    target = os.path.join(app, "demoapp")
    jobs.write(target, old_app, 0o755)
    jobs.write(target + ".old", OLDER_BUILD, 0o755)
    served = os.path.join(tmp, "served")
    jobs.write(os.path.join(served, "demoapp"), new_app)
    jobs.write(os.path.join(served, "demoapp.txt"),
               "Demo app 2.0\n\n- says that it was updated\n- shows the arguments it was started with\n")

    # The publisher's side: a key, and the release signed with it.
    minisign = lambda *a: subprocess.run(["minisign", *a], cwd=tmp, stdin=subprocess.DEVNULL,
                                         stdout=subprocess.DEVNULL, check=True, timeout=30)
    minisign("-G", "-W", "-p", "demo.pub", "-s", "demo.sec")
    minisign("-S", "-s", "demo.sec", "-m", os.path.join(served, "demoapp"))
    key = jobs.read(os.path.join(tmp, "demo.pub")).decode().split("\n")[1]

    print("Kelvane demo: one update job from start to restart\n")
    print(f"  The installed program, in {app}:")
    show_files(app, versions)
    display, about_display = open_display()
    procs = {}
    server = jobs.Server(served, tmp)
    try:
        print(f"\n  Display: {about_display}")
        print(f"  Server:  {server.base}/ offers demoapp (demo app 2.0), demoapp.minisig (its signature)\n"
              f"           and demoapp.txt (release notes)")

        first = os.path.join(tmp, "first.record")
        env = dict(display.env, DEMOAPP_RECORD=first, DEMOAPP_SECONDS=str(OLD_SECONDS))
        procs["old"] = subprocess.Popen([target], cwd=app, env=env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, start_new_session=True)
        harness.wait_for(lambda: os.path.exists(first), 10, "demo app 1.0 did not start")
        started = time.time()
        print(f"\n  Demo app 1.0 runs; it ends by itself after {OLD_SECONDS} s (or close its window).")

        words = ["[URL]", f"{server.base}/demoapp", "[PATH]", target, "[PARAM1]", "--updated", "[NOASK]",
                 "[PUBKEY]", key]
        record = os.path.join(tmp, "restarted.record")
        env = dict(display.env, XDG_CONFIG_HOME=os.path.join(tmp, "config"), DEMOAPP_RECORD=record,
                   DEMOAPP_SECONDS=str(NEW_SECONDS))
        log = open(os.path.join(tmp, "kelvane.log"), "w")
        procs["kelvane"] = subprocess.Popen([os.path.join(build, "kelvane")] + words, env=env, stdout=log,
                                            stderr=subprocess.STDOUT, start_new_session=True)
        kelvane = procs["kelvane"]
        print("  Kelvane starts:  kelvane " + " ".join(words))

        window = harness.find_window(display, harness.TITLE, 15)
        # The release notes make the window taller once they are loaded.
        try:
            harness.wait_for(lambda: harness.geometry(display, window)[3] > 200, 5, "")
        except harness.Failure:
            print("  (the release notes did not show)")
        print("  Kelvane shows its window and waits for demo app 1.0 to end.")
        print(shoot(display, os.path.join(shots, "kelvane-waiting.png")))

        harness.wait_for(lambda: procs["old"].poll() is not None, OLD_SECONDS + 60, "demo app 1.0 did not end")
        print(f"  Demo app 1.0 ended after {time.time() - started:.1f} s; Kelvane's timer starts the job.")
        if kelvane.wait(30) != 0:
            raise harness.Failure(f"Kelvane ended with status {kelvane.returncode}")
        print(f"  Kelvane checked the signature, replaced the program, started it again and ended "
              f"({time.time() - started:.1f} s after the start of the demo app).")

        version, args = jobs.recorded(record, 10)
        restarted = harness.find_window(display, "Demo app 2.0", 10)
        print("  The restarted program shows its window.")
        print(shoot(display, os.path.join(shots, "restarted.png")))
        harness.window_gone(display, restarted, NEW_SECONDS + 30)
        log.close()

        print("\n  The folder afterwards:")
        show_files(app, versions)
        print(f"\n  The server was asked for: {', '.join(server.requests())}")
        print(f"  It recorded: {version}, arguments {args}")

        after = jobs.contents(app)
        expected = {"demoapp": new_app, "demoapp.old": old_app, "demoapp.old2": OLDER_BUILD}
        if after != expected or (version, args) != ("demoapp 2.0", ["--updated"]) or \
                "/demoapp.minisig" not in server.requests():
            raise harness.Failure("the files or the restart are not what the job should leave")
        print("\n  Done: demoapp is version 2.0, demoapp.old the former 1.0, demoapp.old2 the former 0.9,\n"
              "  and version 2.0 was started with --updated.")
    finally:
        for proc in procs.values():
            if proc is not None:
                harness.kill_group(proc)
        server.close()
        display.close()


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "linux"))
    shots = os.path.join(build, "demo")
    os.makedirs(shots, exist_ok=True)
    tmp = tempfile.mkdtemp(prefix="kelvane-demo-")
    try:
        run(build, tmp, shots)
    except harness.Failure as e:
        print(f"\nThe demo went wrong: {e}")
        raise SystemExit(1)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
