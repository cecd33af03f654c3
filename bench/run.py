#!/usr/bin/env python3
"""Kelvane next to public tools, timed as whole processes on loopback.

  bench/run.py --build build/linux [--win32-build build/win32] [--rounds N]

bench/run.sh builds what this needs and calls it. Every contender is a whole
process (start to end, as a user or a script would start it); each round
runs all contenders of a comparison once, in an order turned by one place
per round, after one untimed warm-up run each. A ratio is taken within a
round, then the median and the minimum over the rounds are printed. The
files come from the tests' loopback server; downloads are a "#!/bin/true"
line padded to the size, so the program that a job starts again ends at
once. Nothing here passes or fails on a figure: a run fails only when a
contender fails or leaves the wrong files.
"""
import argparse
import ctypes
import hashlib
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile
import textwrap
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import harness  # noqa: E402

MIB = 1 << 20
SIZES = [("1 MiB", MIB), ("64 MiB", 64 * MIB), ("256 MiB", 256 * MIB)]
MEMORY_SIZES = [("1 MiB", MIB), ("1 GiB", 1024 * MIB)]
LARGE_WRITE = 512 * MIB  # what another program writes just before a start
PROCESS_DEADLINE = 300
# A job that asks nothing, starts at once and ends after it started the new file.
UNATTENDED = ["[NOASK]", "[AUTOSTART]", "[SKIPINFO]"]


class Failure(Exception):
    pass


class Bench:
    def __init__(self, args, work, display, base):
        self.rounds = args.rounds
        self.rounds_text = f"{args.rounds} round" + ("s" if args.rounds > 1 else "")
        self.work = work
        self.base = base
        self.linux = os.path.abspath(args.build)
        self.kelvane = os.path.join(self.linux, "kelvane")
        self.tool = lambda name: os.path.join(self.linux, "bench", name)
        self.env = dict(display.env, HOME=os.path.join(work, "home"),
                        XDG_CONFIG_HOME=os.path.join(work, "config"))
        os.makedirs(self.env["HOME"])

    def url(self, size):
        return f"{self.base}/app-{size}"

    def job(self, size, target, *extra):
        return [self.kelvane, "[URL]", self.url(size), "[PATH]", target] + list(extra)


def run(cmd, env, cwd=None):
    """Runs a whole process to its end; (seconds, stdout, stderr)."""
    start = time.perf_counter()
    try:
        r = subprocess.run(cmd, env=env, cwd=cwd, capture_output=True, timeout=PROCESS_DEADLINE)
    except subprocess.TimeoutExpired:
        raise Failure(f"{' '.join(cmd)}: still running after {PROCESS_DEADLINE} s")
    took = time.perf_counter() - start
    reap_orphans()
    if r.returncode != 0:
        raise Failure(f"{' '.join(cmd)}: exit status {r.returncode}: {r.stderr.decode(errors='replace')}")
    return took, r.stdout.decode(), r.stderr.decode()


def become_subreaper():
    """Programs that a job starts again outlive it: they become our children
    (not init's, which leaves them unreaped here) so that we can reap them."""
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(36, 1, 0, 0, 0)  # PR_SET_CHILD_SUBREAPER


def reap_orphans():
    try:
        while os.waitpid(-1, os.WNOHANG)[0] > 0:
            pass
    except ChildProcessError:
        pass


def rounds(bench, contenders):
    """{name: [seconds per round]} for [(name, run_once)]."""
    for _, once in contenders:
        once()
    times = {name: [] for name, _ in contenders}
    for r in range(bench.rounds):
        turn = r % len(contenders)
        for name, once in contenders[turn:] + contenders[:turn]:
            times[name].append(once())
    return times


def heading(text):
    print("\n" + textwrap.fill(text, 100))


def ratio(numerators, denominators):
    values = [a / b for a, b in zip(numerators, denominators)]
    return f"{statistics.median(values):6.2f} {min(values):6.2f}"


def ms(times):
    return f"{statistics.median(times) * 1000:9.1f}"


def remove(*paths):
    for path in paths:
        try:
            os.remove(path)
        except FileNotFoundError:
            pass


def program_file(path, size):
    """A "#!/bin/true" script padded to `size` with a hole (no disk writes)."""
    with open(path, "wb") as f:
        f.write(b"#!/bin/true\n")
        f.truncate(size)


def expect_files(folder, names, size):
    found = {n: os.path.getsize(os.path.join(folder, n)) for n in os.listdir(folder)}
    if found != {n: size for n in names}:
        raise Failure(f"{folder} holds {found}, expected {names} of {size} bytes each")


def fetch_section(bench):
    fetched = os.path.join(bench.work, "fetched")
    os.makedirs(fetched)
    out = os.path.join(fetched, "out")
    heading(f"Fetch, {bench.rounds_text}: median time of each tool (ms), and its time over the fetcher's "
            "(median, minimum; above 1 means the fetcher is faster; goal: at least 0.95 against curl)")
    print(f"  {'size':8} {'fetcher':>9} {'curl -o':>9} {'wget -O':>9}   {'curl/fetcher':>13}   "
          f"{'wget/fetcher':>13}")
    for label, size in SIZES:
        url = bench.url(size)

        def once(cmd):
            def go():
                remove(out)
                took = run(cmd, bench.env)[0]
                expect_files(fetched, ["out"], size)
                remove(out)
                return took
            return go

        t = rounds(bench, [("fetcher", once([bench.tool("fetch_bench"), url, out])),
                           ("curl", once(["curl", "-sf", "-o", out, url])),
                           ("wget", once(["wget", "-q", "-O", out, url]))])
        print(f"  {label:8} {ms(t['fetcher'])} {ms(t['curl'])} {ms(t['wget'])}   "
              f"{ratio(t['curl'], t['fetcher'])}   {ratio(t['wget'], t['fetcher'])}", flush=True)


# The same outcome as a job (the new file as t, the former t as t.old, the
# former t.old as t.old2), the download made durable first: by renames, the
# floor, and by the copies and deletes that a job without renames makes.
FLOOR = 'curl -sf -o t_ "$1" && sync t_ && rm -f t.old2 && mv t.old t.old2 && mv t t.old && mv t_ t'
COPIES = ('curl -sf -o t_ "$1" && sync t_ && rm -f t.old2 && cp t.old t.old2 && rm t.old && '
          'cp t t.old && rm t && cp t_ t && rm t_')


def job_section(bench):
    heading(f"Whole job ({' '.join(UNATTENDED)}: download, backups, replace, start the new file, end), "
            f"target, .old and .old2 present, {bench.rounds_text}: median time (ms), and the job's time over "
            "the rename floor and over the same with cp (median, minimum; goal: at most 1.2x the floor at "
            "256 MiB)")
    print(f"  floor: {FLOOR}\n  cp:    {COPIES}")
    print(f"  {'size':8} {'job':>9} {'floor':>9} {'cp':>9}   {'job/floor':>13}   {'job/cp':>13}")
    for label, size in SIZES:
        folder = os.path.join(bench.work, f"job-{size}")
        os.makedirs(folder)
        for name in ("t", "t.old"):
            program_file(os.path.join(folder, name), size)

        def once(cmd):
            def go():
                os.sync()  # the previous run's writes are not this one's
                took = run(cmd, bench.env, cwd=folder)[0]
                expect_files(folder, ["t", "t.old", "t.old2"], size)
                return took
            return go

        url = bench.url(size)
        t = rounds(bench, [("job", once(bench.job(size, os.path.join(folder, "t"), *UNATTENDED))),
                           ("floor", once(["sh", "-c", FLOOR, "floor", url])),
                           ("cp", once(["sh", "-c", COPIES, "cp", url]))])
        print(f"  {label:8} {ms(t['job'])} {ms(t['floor'])} {ms(t['cp'])}   "
              f"{ratio(t['job'], t['floor'])}   {ratio(t['job'], t['cp'])}", flush=True)
        shutil.rmtree(folder)


def check_section(bench, win32_build):
    """The same 256 MiB job with and without [PUBKEY] and [SHA256], paired in each round; Linux, then Wine."""
    label, size = SIZES[-1]
    heading(f"Checked job ({label}, {' '.join(UNATTENDED)}), {bench.rounds_text}: median time (ms) with "
            "[PUBKEY] and [SHA256], with [PUBKEY] alone and without, and the ratios (median, minimum; goal for "
            "both: at most 1.1, under Wine 1.2)")
    keys = os.path.join(bench.work, "keys")
    os.makedirs(keys)
    minisign = lambda *a: subprocess.run(["minisign", *a], cwd=keys, stdin=subprocess.DEVNULL,
                                         capture_output=True, check=True)
    minisign("-G", "-W", "-p", "k.pub", "-s", "k.sec")
    with open(os.path.join(keys, "k.pub")) as f:
        key = f.read().split("\n")[1]

    def signed(name):
        """[PUBKEY] and [SHA256] for the served file `name`, signed now."""
        served = os.path.join(bench.work, "served", name)
        minisign("-S", "-s", "k.sec", "-m", served)
        with open(served, "rb") as f:
            return ["[PUBKEY]", key, "[SHA256]", hashlib.file_digest(f, "sha256").hexdigest()]

    def pair(platform, command, target, env):
        """Times command(extra words) in a folder of its own for each contender."""
        folders = {}
        for name in ("checked", "signed", "plain"):
            folders[name] = os.path.join(bench.work, f"{name}-{platform}")
            os.makedirs(folders[name])
            for file in (target, target + ".old"):
                program_file(os.path.join(folders[name], file), size)

        def once(name, extra):
            def go():
                os.sync()
                path = os.path.join(folders[name], target)
                took = run(command(path, extra), env, cwd=folders[name])[0]
                expect_files(folders[name], [target, target + ".old", target + ".old2"], size)
                return took
            return go

        t = rounds(bench, [("checked", once("checked", checks)), ("signed", once("signed", checks[:2])),
                           ("plain", once("plain", []))])
        print(f"  {platform:8} {ms(t['checked'])} {ms(t['signed'])} {ms(t['plain'])}   "
              f"{ratio(t['checked'], t['plain'])}   {ratio(t['signed'], t['plain'])}", flush=True)
        for folder in folders.values():
            shutil.rmtree(folder)

    print(f"  {'':8} {'checked':>9} {'signed':>9} {'plain':>9}   {'checked/plain':>13}   {'signed/plain':>13}")
    checks = signed(f"app-{size}")
    pair("Linux", lambda path, extra: bench.job(size, path, *UNATTENDED, *extra), "t", bench.env)
    exe = os.path.join(win32_build or "", "kelvane.exe")
    if not win32_build or not shutil.which("wine") or not os.path.exists(exe):
        print("  Wine: skipped (no Wine or no win32 build)")
        return
    # Under Wine the job starts the new file: the demo program, padded to the size, ends at once.
    name = f"wapp-{size}.exe"
    shutil.copy(os.path.join(win32_build, "helpers", "demoapp.exe"), os.path.join(bench.work, "served", name))
    os.truncate(os.path.join(bench.work, "served", name), size)
    checks = signed(name)
    env = harness.wine_env(win32_build, dict(bench.env, DEMOAPP_SECONDS="0"))
    try:
        pair("Wine", lambda path, extra: ["wine", exe, "[URL]", f"{bench.base}/{name}", "[PATH]",
                                          "Z:" + path.replace("/", "\\"), *UNATTENDED, *extra], "t.exe", env)
    finally:
        harness.end_wine(win32_build)


def window_section(bench):
    big = os.path.join(bench.work, "written-by-another-program")

    def once(cmd, title, write_first):
        def go():
            os.sync()
            if write_first:
                with open(big, "wb") as f:
                    for _ in range(LARGE_WRITE // MIB):
                        f.write(bytes(MIB))
            out = run([bench.tool("map_wait")] + cmd, bench.env)[1].strip()
            remove(big)
            seconds, shown = out.split(" window=", 1)
            if not shown.startswith(title):
                raise Failure(f"{cmd[0]} mapped a window titled {shown!r} first, expected {title!r}")
            return float(seconds.removeprefix("seconds="))
        return go

    kelvane = bench.job(MIB, os.path.join(bench.work, "t"), "[SKIPINFO]")
    minimal = [bench.tool("fltk_window")]
    t = rounds(bench, [("kelvane", once(kelvane, "Kelvane", False)),
                       ("minimal", once(minimal, "Minimal FLTK window", False)),
                       ("kelvane after", once(kelvane, "Kelvane", True)),
                       ("minimal after", once(minimal, "Minimal FLTK window", True))])
    heading(f"Time to window, process start to the map of its window (an X event), {bench.rounds_text}: "
            "median time (ms), and Kelvane's time over a minimal FLTK window's (median, minimum; goal: at "
            "most 2)")
    print(f"  {'':30} {'Kelvane':>9} {'minimal':>9}   {'Kelvane/min.':>13}")
    for label, suffix in (("idle disk", ""), (f"right after a {LARGE_WRITE // MIB} MiB write", " after")):
        print(f"  {label:30} {ms(t['kelvane' + suffix])} {ms(t['minimal' + suffix])}   "
              f"{ratio(t['kelvane' + suffix], t['minimal' + suffix])}", flush=True)


def peak_kib(cmd, bench, cwd=None):
    return int(run(["/usr/bin/time", "-f", "%M"] + cmd, bench.env, cwd)[2].split()[-1])


def memory_section(bench):
    heading("Peak memory (max RSS of the whole process; goal: flat, at most 24 MB for a 1 GiB job)")
    for label, size in MEMORY_SIZES:
        folder = os.path.join(bench.work, "memory")
        os.makedirs(folder)
        for name in ("t", "t.old"):
            program_file(os.path.join(folder, name), size)
        job = peak_kib(bench.job(size, os.path.join(folder, "t"), *UNATTENDED), bench)
        expect_files(folder, ["t", "t.old", "t.old2"], size)
        shutil.rmtree(folder)
        out = os.path.join(bench.work, "fetched-for-memory")
        fetcher = peak_kib([bench.tool("fetch_bench"), bench.url(size), out], bench)
        remove(out)
        curl = peak_kib(["curl", "-sf", "-o", out, bench.url(size)], bench)
        remove(out)
        print(f"  {label:8} job {job * 1024 / 1e6:5.1f} MB, fetcher alone {fetcher * 1024 / 1e6:5.1f} MB, "
              f"curl -o {curl * 1024 / 1e6:5.1f} MB", flush=True)
    notes = run([bench.tool("info_file_bench")], bench.env)[1].strip()
    print(f"\nRelease notes through the fakes (in process): {notes}")


def wine_section(bench, win32_build):
    exe = os.path.join(win32_build or "", "bench", "fetch_bench.exe")
    if not win32_build or not shutil.which("wine") or not os.path.exists(exe):
        print("\nWindows fetcher: skipped (no Wine or no win32 build)")
        return
    env = harness.wine_env(win32_build, bench.env)
    fetched = os.path.join(bench.work, "fetched-under-wine")
    os.makedirs(fetched)
    out = os.path.join(fetched, "out")
    windows_out = "Z:" + out.replace("/", "\\")
    heading(f"Windows fetcher under Wine, {bench.rounds_text}: median time (ms) of the whole process (Wine's "
            "start included), and curl's time over it (median, minimum; goal: at least 0.8)")
    print(f"  {'size':8} {'fetcher':>9} {'curl -o':>9}   {'curl/fetcher':>13}")
    try:
        for label, size in SIZES:
            def once(cmd):
                def go():
                    took = run(cmd, env)[0]
                    expect_files(fetched, ["out"], size)
                    remove(out)
                    return took
                return go

            t = rounds(bench, [("fetcher", once(["wine", exe, bench.url(size), windows_out])),
                               ("curl", once(["curl", "-sf", "-o", out, bench.url(size)]))])
            print(f"  {label:8} {ms(t['fetcher'])} {ms(t['curl'])}   {ratio(t['curl'], t['fetcher'])}",
                  flush=True)
    finally:
        harness.end_wine(win32_build)


def machine(work):
    def first(path, key):
        with open(path) as f:
            return next((line.split(":", 1)[1].strip() for line in f if line.startswith(key)), "?")

    def output(*cmd):
        return subprocess.run(cmd, capture_output=True, text=True).stdout

    memory = int(first("/proc/meminfo", "MemTotal").split()[0]) / 2**20
    fs = output("findmnt", "-n", "-o", "FSTYPE", "-T", work).strip()
    curl = output("curl", "--version").split(" (")[0]
    wget = " ".join(output("wget", "--version").split()[:3])
    load = " ".join(f"{v:.2f}" for v in os.getloadavg())
    cpu = first("/proc/cpuinfo", "model name")
    print(textwrap.fill(f"Machine: {cpu}, {os.cpu_count()} cores, {memory:.1f} GiB memory, Linux "
                        f"{platform.release()}, {fs} disk; load average at start {load}; {curl}; {wget}", 100))


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--build", required=True)
    p.add_argument("--win32-build")
    p.add_argument("--rounds", type=int, default=5)
    args = p.parse_args()
    if args.rounds < 1:
        p.error("--rounds must be at least 1")
    args.win32_build = args.win32_build and os.path.abspath(args.win32_build)
    started = time.time()
    become_subreaper()
    # A folder of the build: on the disk that the program and its users write.
    work = tempfile.mkdtemp(prefix="run-", dir=os.path.join(os.path.abspath(args.build), "bench"))
    served = os.path.join(work, "served")
    os.makedirs(served)
    for _, size in SIZES + MEMORY_SIZES:
        program_file(os.path.join(served, f"app-{size}"), size)
    port_file = os.path.join(work, "port")
    server = subprocess.Popen(["python3", os.path.join(harness.SUPPORT, "http_server.py"), "--root", served,
                               "--port-file", port_file, "--while-file", port_file, "--lifetime", "7200",
                               "--quiet"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              start_new_session=True)
    display = None
    try:
        harness.wait_for(lambda: os.path.exists(port_file), 30, "the loopback server did not start")
        with open(port_file) as f:
            base = "http://127.0.0.1:" + f.read().strip()
        display = harness.Display()
        bench = Bench(args, work, display, base)
        machine(work)
        fetch_section(bench)
        job_section(bench)
        check_section(bench, args.win32_build)
        window_section(bench)
        memory_section(bench)
        wine_section(bench, args.win32_build)
    except (Failure, harness.Failure) as e:
        print(f"\nThe benchmark went wrong: {e}")
        raise SystemExit(1)
    finally:
        remove(port_file)
        harness.kill_group(server)
        if display:
            display.close()
        shutil.rmtree(work, ignore_errors=True)
    print(f"\n{time.time() - started:.0f} s in all")


if __name__ == "__main__":
    main()
