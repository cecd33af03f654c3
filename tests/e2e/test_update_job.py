#!/usr/bin/env python3
"""Update jobs with real files, server and programs: [NOASK], a script, checked downloads, Cancel, the faults."""
import hashlib
import os
import re
import select
import signal
import subprocess
import time

import harness
import jobs
from harness import check
from jobs import contents, write

CANCEL = (220, 125)  # Command1, from the window's top left
BAR = (20, 106, 289)  # the progress bar: left, middle row, width


def kelvane(ctx, words, record, hold=None, output=None, stderr=None):
    """Kelvane with `words`; a program it starts writes how to `record`, and runs while `hold` exists."""
    run = {"DEMOAPP_HOLD": ctx.path(hold)} if hold else {"DEMOAPP_SECONDS": "0"}
    # Wine hands its own standard error to every process it starts (for its debug output): under Wine
    # only standard output goes to `output`.
    return ctx.start(words, extra_env={"DEMOAPP_RECORD": ctx.path(record), **run}, stdout=output,
                     stderr=stderr or (None if ctx.win32 else output))


def ends_reading(fd, seconds):
    """Whether the pipe's reader sees its end within `seconds`."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        if select.select([fd], [], [], 0.1)[0] and not os.read(fd, 4096):
            return True
    return False


def noask_job(ctx, server, stem, old, new):
    """It waits for the running old version, then rotates the backups and starts the new one, which keeps
    nothing of Kelvane's: a caller reading Kelvane's output sees its end when Kelvane ends."""
    name = stem + ctx.suffix
    folder = os.path.join(ctx.tmp, "new äpps")  # a blank: the path is quoted to start the program
    target = os.path.join(folder, name)
    write(target, old, 0o755)
    write(target + ".old", "the build before")
    write(target + ".old2", "the build before that")
    first, record, hold, hold_new = (os.path.join(ctx.tmp, n) for n in ("first.record", "job.record", "hold", "hold2"))
    write(hold, "")
    write(hold_new, "")
    reader, writer = os.pipe()
    running = ctx.start([], exe=target, cwd=folder,
                        extra_env={"DEMOAPP_HOLD": ctx.path(hold), "DEMOAPP_RECORD": ctx.path(first)})
    program = None
    try:
        check(jobs.recorded(first)[0] == "demoapp 1.0", "the old version did not start")
        program = kelvane(ctx, ["[URL]", f"{server.base}/{name}", "[PATH]", ctx.path(target), "[PARAM1]",
                                "--updated", "[PARAM2]", "second", "[NOASK]"], record, hold_new, writer)
        os.close(writer)
        harness.find_window(ctx.display, harness.TITLE)
        check(not program.ended(2.5), "[NOASK] ended while the old program runs")  # two and a half timer ticks
        check("/" + name not in server.requests(), "the job started while the old program ran")
        os.remove(hold)
        check(running.ended(10), "the old program did not end")
        jobs.ends(program, "[NOASK] after the old program ended")  # no question, no click
        check(jobs.recorded(record) == ("demoapp 2.0", ["--updated", "second"]),
              f"the new version was not started with its parameters: {jobs.recorded(record)!r}")
        check(ends_reading(reader, 5), "the output's reader waits for the started program")
        check(contents(folder) == {name: new, name + ".old": old, name + ".old2": b"the build before"},
              f"wrong files after the job: {sorted(contents(folder))}")
        check(server.requests() == [f"/{stem}.txt", "/" + name], f"asked: {server.requests()}")  # notes, file
    finally:
        os.remove(hold_new)
        os.close(reader)
        running.kill()
        if program:
            program.kill()


def script_job(ctx, server, served, name, old, new):
    """A [BATCHFILE] job replaces the file, but neither asks nor starts the program; the window stays."""
    folder, job, record = (os.path.join(ctx.tmp, n) for n in ("script", "script.job", "script.record"))
    write(os.path.join(folder, name), old, 0o755)
    write(job, f"[URL] {server.base}/{served} [PATH] {ctx.path(os.path.join(folder, name))} [AUTOSTART]\r\n")
    program = kelvane(ctx, ["[BATCHFILE]", ctx.path(job)], record)
    try:
        harness.wait_for(lambda: contents(folder) == {name: new, name + ".old": old}, 30, "the script did no job")
        check(not program.ended(1), "the window did not stay after the script")
        check(not os.path.exists(record), "the script started the program")
        check(harness.visible_windows(ctx.display) == [harness.find_window(ctx.display, harness.TITLE)],
              "a box showed after the script")
    finally:
        program.kill()


def minisign(ctx, *args):
    subprocess.run(["minisign", *args], cwd=ctx.tmp, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   check=True, timeout=30)


def signature(ctx, data, key, comment, legacy=False):
    """The .minisig of `data` by `key` with the trusted comment `comment`."""
    write(os.path.join(ctx.tmp, "signed"), data)
    minisign(ctx, "-S", "-s", key + ".sec", "-m", "signed", "-t", comment, *(["-l"] if legacy else []))
    return jobs.read(os.path.join(ctx.tmp, "signed.minisig"))


def checked_jobs(ctx, server, served, old, new):
    """[SHA256] and [PUBKEY]: a download that fails its check leaves every file as it was and starts nothing."""
    name = f"app{os.getpid()}{ctx.suffix}"
    keys = {}
    for key in ("k1", "k2"):
        minisign(ctx, "-G", "-W", "-p", key + ".pub", "-s", key + ".sec")
        comment, keys[key] = jobs.read(os.path.join(ctx.tmp, key + ".pub")).decode().split("\n")[:2]
        keys[key + " id"] = comment.split()[-1]
    good = signature(ctx, new, "k1", f"timestamp:2000\tfile:{name}\thashed")
    sha = hashlib.sha256(new).hexdigest()
    altered = new[:100] + bytes([new[100] ^ 1]) + new[101:]
    pub = ["[PUBKEY]", keys["k1"]]
    mismatch = "signature does not match the file"
    rows = [  # target, served file, .minisig (None: 404), words, exit status, reason
        ("good signature", "a", new, good, pub, 0, None),
        ("older timestamp", "a", new, signature(ctx, new, "k1", f"timestamp:1999\tfile:{name}"), pub, 7,
         "signed earlier than the file installed here (timestamp 1999 < 2000)"),
        ("good hash", "b", new, None, ["[SHA256]", sha], 0, None),
        ("hash in upper case", "c", new, None, ["[sha256]", sha.upper()], 0, None),
        ("both, legacy signature", "d", new, signature(ctx, new, "k1", f"timestamp:5\tfile:{name}", legacy=True),
         pub + ["[Sha256]", sha], 0, None),
        ("wrong hash", "e", new, None, ["[SHA256]", sha[::-1]], 7, f"SHA-256 differs ({sha})"),
        ("wrong key", "e", new, signature(ctx, new, "k2", f"timestamp:1\tfile:{name}"), pub, 7,
         f"signature made with another key (id {keys['k2 id']})"),
        ("altered byte", "e", altered, good, pub, 7, mismatch),
        ("altered legacy byte", "e", altered, signature(ctx, new, "k1", f"file:{name}", legacy=True), pub, 7, mismatch),
        ("altered trusted comment", "e", new, good.replace(b"timestamp:2000", b"timestamp:2001"), pub, 7,
         "trusted comment does not match its signature"),
        ("another file's signature", "e", new, signature(ctx, new, "k1", "timestamp:3000\tfile:other"), pub, 7,
         "signature is for another file (other)"),
        ("missing .minisig", "e", new, None, pub, 7, "no signature file"),
        ("empty .minisig", "e", new, b"", pub, 7, "no signature file"),
        ("truncated .minisig", "e", new, good[:len(good) // 2], pub, 7, "malformed signature file"),
        ("10 MB .minisig", "e", new, good + b"\n" * (10 << 20), pub, 7, "signature file too long"),
        ("malformed key", "e", new, good, ["[PUBKEY]", keys["k1"][:-1]], 2, None),
        ("malformed hash", "e", new, None, ["[SHA256]", sha[1:]], 2, None),
    ]
    before = {name: old, name + ".old": b"before", name + ".old2": b"before that"}
    for i, (label, target_key, file, sig, words, status, reason) in enumerate(rows):
        folder = os.path.join(ctx.tmp, "checked", target_key)
        target = os.path.join(folder, name)
        for n, data in before.items():
            write(os.path.join(folder, n), data, 0o755)
        for n, data in ((name, file), (name + ".minisig", sig)):
            if data is not None:
                write(os.path.join(served, str(i), n), data)
        url = f"{server.base}/ok/{i}/{name}"
        record, errors = (os.path.join(ctx.tmp, f"{i}.{n}") for n in ("record", "stderr"))
        with open(errors, "w") as stderr:
            program = kelvane(ctx, ["[URL]", url, "[PATH]", ctx.path(target), "[NOASK]", "[AUTOSTART]",
                                    "[SKIPINFO]"] + words, record, stderr=stderr)
        try:
            if status:
                harness.answer(ctx.display, "Kelvane")
            jobs.ends(program, label, status)
            # Before the process group goes: the started program is in it.
            started = jobs.recorded(record)[0] == "demoapp 2.0" if status == 0 else os.path.exists(record)
        finally:
            program.kill()
        check(started == (status == 0), f"{label}: the program was {'' if started else 'not '}started")
        lines = [line for line in jobs.read(errors).decode(errors="replace").splitlines()
                 if line.startswith("kelvane: check failed")]
        check(lines == ([f"kelvane: check failed: {reason}: {url}"] if reason else []), f"{label}: stderr {lines}")
        files = {name: new, name + ".old": old, name + ".old2": b"before"} if status == 0 else before
        check(contents(folder) == files, f"{label}: files {sorted(contents(folder))}")


def bar_fill(display, x, y):
    """The pixels of the bar's row that differ from its unfilled right end."""
    row = harness.pixels(display, x + BAR[0], y + BAR[1], BAR[2])
    return sum(1 for colour in row if colour != row[-4])


def cancel_during_download(ctx, server, name, old):
    """The bar grows; Cancel leaves no partial file and starts the old program without the job's parameters."""
    folder = os.path.join(ctx.tmp, "cancel")
    record = os.path.join(ctx.tmp, "cancel.record")
    write(os.path.join(folder, name), old, 0o755)
    program = kelvane(ctx, ["[URL]", f"{server.base}/slow/4M/200M", "[PATH]", ctx.path(os.path.join(folder, name)),
                            "[PARAM1]", "--updated", "[AUTOSTART]", "[SKIPINFO]"], record)
    try:
        _, x, y = harness.main_window(ctx.display)
        # Two growing fills in a row: a sliding block (no size known yet) keeps its width.
        fills = [0]
        harness.wait_for(lambda: fills.append(bar_fill(ctx.display, x, y)) or 0 < fills[-2] < fills[-1], 30,
                         "the progress bar did not grow")
        harness.click(ctx.display, x + CANCEL[0], y + CANCEL[1])
        jobs.ends(program, "Cancel during the download", jobs.CANCELLED)
        check(contents(folder) == {name: old}, f"left after Cancel: {sorted(contents(folder))}")
        check(jobs.recorded(record) == ("demoapp 1.0", []), f"after Cancel: {jobs.recorded(record)!r}")
    finally:
        program.kill()


def links(target, victim):
    """Links at the download's and the older backup's names, to a file of the user's."""
    for name in ("_", ".old2"):
        os.symlink(victim, target + name)


def full_disk(target, _):
    """A target on a disk with room for it and the download, but not for its backup (read-only: copied)."""
    folder = os.path.dirname(target)
    os.makedirs(folder)
    if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=1m", "tmpfs", folder], capture_output=True).returncode:
        return False
    write(target, b"p" * (400 << 10), 0o444)
    return True


def fault_table(ctx, server, stem, old, new):
    """A row per fault: what is planted, the box, the exit status, the files left and the line on stderr."""
    victim = os.path.join(ctx.tmp, "victim")
    write(victim, "the user's")
    rows = [  # name, words, plant, box, status, files left beside the target, stderr line
        ("a user's lock", [], lambda t, _: write(t + ".lock", "the user's"), None, jobs.DONE,
         {"": new, ".old": old, ".lock": b"the user's"}, None),
        ("planted links", [], links, None, jobs.DONE, {"": new, ".old": old}, None),
        ("a relative path", ["[PATH]", stem + ctx.suffix], None, None, jobs.DONE, {"": new, ".old": old}, None),
        ("a full disk", ["[URL]", f"{server.base}/big"], full_disk, "Kelvane", jobs.REPLACE_FAILED,
         {"": b"p" * (400 << 10), "_": b"n" * (400 << 10)}, "could not create backup file: No space left on device"),
    ]
    for row, (what, words, plant, box, status, left, line) in enumerate(rows):
        folder = os.path.join(ctx.tmp, f"fault{row}")
        target = os.path.join(folder, stem + ctx.suffix)
        if plant is full_disk and not full_disk(target, victim):
            print(f"note: mounting a small tmpfs needs root; {what} is not tested")
            continue
        if plant is not full_disk:
            write(target, old, 0o755)
        if plant and plant is not full_disk:
            plant(target, victim)
        record, errors = os.path.join(ctx.tmp, f"fault{row}.record"), os.path.join(ctx.tmp, f"fault{row}.err")
        job = ["[URL]", f"{server.base}/{stem}{ctx.suffix}", "[PATH]", ctx.path(target)]
        for i in range(0, len(words), 2):
            job[job.index(words[i]) + 1] = words[i + 1]
        with open(errors, "w") as err:
            program = ctx.start(job + ["[NOASK]", "[SKIPINFO]"], cwd=folder, stderr=err,
                                extra_env={"DEMOAPP_RECORD": ctx.path(record), "DEMOAPP_SECONDS": "0"})
        try:
            if box:
                harness.answer(ctx.display, box)
            jobs.ends(program, what, status, timeout=60)
            check(contents(folder) == {os.path.basename(target) + k: v for k, v in left.items()},
                  f"{what}: left {sorted(contents(folder))}")
            check(jobs.read_if_there(victim) == b"the user's", f"{what}: the user's file changed")
            if status == jobs.DONE:
                check(jobs.recorded(record)[0] == "demoapp 2.0", f"{what}: the new version did not start")
            if line:
                said = jobs.read(errors).decode(errors="replace")
                # English on both builds; the system's own text may follow in parentheses.
                check(re.search(rf"^kelvane: {line}( \(.+\))?: {re.escape(ctx.path(target))}\.old\n", said, re.M),
                      f"{what}: said {said!r}")
        finally:
            program.kill()
            if plant is full_disk:
                subprocess.run(["umount", folder])


def stop_signal_during_download(ctx, server, name, old):
    """SIGTERM stops the download as Cancel would, but nothing starts, and no lock or partial file stays; the
    line on standard error, whose reader has gone, does not end the program before."""
    folder = os.path.join(ctx.tmp, "signal")
    record = os.path.join(ctx.tmp, "signal.record")
    write(os.path.join(folder, name), old, 0o755)
    reader, writer = os.pipe()
    os.close(reader)
    program = kelvane(ctx, ["[URL]", f"{server.base}/slow/4M/200M", "[PATH]", os.path.join(folder, name),
                            "[AUTOSTART]", "[SKIPINFO]"], record, output=writer)
    os.close(writer)
    try:
        _, x, y = harness.main_window(ctx.display)
        harness.wait_for(lambda: bar_fill(ctx.display, x, y) > 5, 30, "the download did not start")
        # The bar's tool tip shows while its text changes (a sanitized build watches its memory).
        windows = lambda: len(ctx.display.run(["xdotool", "search", "--onlyvisible", "--name", ""]).split())
        shown = windows()
        ctx.display.run(["xdotool", "mousemove", str(x + BAR[0] + 50), str(y + BAR[1])])
        harness.wait_for(lambda: windows() > shown, 10, "no tool tip showed")
        program.send_signal(signal.SIGTERM)
        jobs.ends(program, "SIGTERM during the download", jobs.CANCELLED)
        check(contents(folder) == {name: old}, f"left after SIGTERM: {sorted(os.listdir(folder))}")
        check(not os.path.exists(record), "a program was started after SIGTERM")
    finally:
        program.kill()


def restart_fails(ctx, server, served, name, old):
    """A new file that is no program replaces the old one, then cannot start: a box says so, and status 8."""
    folder = os.path.join(ctx.tmp, "broken")
    write(os.path.join(folder, name), old, 0o755)
    program = kelvane(ctx, ["[URL]", f"{server.base}/{served}", "[PATH]", ctx.path(os.path.join(folder, name)),
                            "[NOASK]", "[SKIPINFO]"], os.path.join(ctx.tmp, "broken.record"))
    try:
        harness.answer(ctx.display, "Kelvane")
        jobs.ends(program, "a restart that fails", 8)
        check(contents(folder) == {name: b"no program", name + ".old": old}, f"left: {sorted(contents(folder))}")
    finally:
        program.kill()


def body(ctx):
    old, new = jobs.demo_app(ctx), jobs.demo_app(ctx, "_v2")
    # Names of their own: a program of that name running elsewhere on the machine would count as the target.
    stem = f"demoapp{os.getpid()}"
    served = os.path.join(ctx.tmp, "served")
    write(os.path.join(served, stem + ctx.suffix), new)
    write(os.path.join(served, stem + ".txt"), "Demo app 2.0\r\nNew: everything.\r\n")
    write(os.path.join(served, "big"), b"n" * (400 << 10))
    write(os.path.join(served, "broken" + ctx.suffix), "no program")
    server = jobs.Server(served, ctx.tmp)
    try:
        noask_job(ctx, server, stem, old, new)
        script_job(ctx, server, stem + ctx.suffix, f"script{os.getpid()}{ctx.suffix}", old, new)
        checked_jobs(ctx, server, served, old, new)
        cancel_during_download(ctx, server, f"cancel{os.getpid()}{ctx.suffix}", old)
        fault_table(ctx, server, stem, old, new)
        restart_fails(ctx, server, "broken" + ctx.suffix, f"broken{os.getpid()}{ctx.suffix}", old)
        if not ctx.win32:
            stop_signal_during_download(ctx, server, f"signal{os.getpid()}", old)
    finally:
        server.close()


if __name__ == "__main__":
    harness.run_test(body)
