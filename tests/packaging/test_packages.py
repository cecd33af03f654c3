#!/usr/bin/env python3
"""The packages as a user gets them: made by CPack, looked into, unpacked, and its start-up boxes answered."""
import gzip
import os
import re
import struct
import subprocess
import sys
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "e2e"))
import harness  # noqa: E402
from harness import check  # noqa: E402

# What the .deb holds below /usr.
LINUX_FILES = ["bin/kelvane", "share/applications/kelvane.desktop", "share/doc/kelvane/changelog.Debian.gz",
               "share/doc/kelvane/copyright"] + [
    f"share/icons/hicolor/{n}x{n}/apps/kelvane.png" for n in (16, 256, 32, 48)] + [
    "share/lintian/overrides/kelvane", "share/man/man1/kelvane.1.gz"]
# What the copyright file must give a licence for: the program and each library the programs link.
LICENCES = {"Kelvane": "Expat", "FLTK": "LGPL-2+ with FLTK exceptions", "libcurl": "curl", "libsodium": "ISC",
            "zlib": "Zlib"}


def run(args, text=True, **kwargs):
    return subprocess.run(args, check=True, capture_output=True, text=text, timeout=300, **kwargs).stdout


def resource(exe, kind, raw=True):
    """A resource of a Windows program, raw or (an icon group) as a file."""
    return run(["wrestool", "-x", "-t", str(kind), exe] + ["--raw"] * raw, text=False)


def build_version(build):
    """The defines of the version header the build was made with."""
    with open(os.path.join(build, "generated", "version.h")) as f:
        return dict(re.findall(r'#define (\w+) "?([^"\n]*)"?', f.read()))


def check_copyright(text):
    """A machine-readable copyright file with the text of every licence it names."""
    paragraphs = text.split("\n\n")
    check(paragraphs[0].startswith("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"),
          "the copyright file is not machine-readable")
    texts = {p.split("\n")[0][len("License: "):] for p in paragraphs if p.startswith("License: ")}
    for name, licence in LICENCES.items():
        check(name in paragraphs[0] and licence in texts, f"no licence {licence!r} for {name}")


def linux(ctx, v):
    run(["cpack", "-G", "DEB", "-B", ctx.tmp], cwd=ctx.build)
    arch = run(["dpkg", "--print-architecture"]).strip()
    version = v["KELVANE_VERSION"] + "-1"
    deb = os.path.join(ctx.tmp, f"kelvane_{version}_{arch}.deb")
    info = run(["dpkg-deb", "-I", deb])
    check(f"\n Version: {version}\n" in info, f"wrong version:\n{info}")
    # Errors and warnings fail; info tags are known (the German "Programm", the program's own "downloding").
    lintian = subprocess.run(["lintian", "--pedantic", deb], capture_output=True, text=True, timeout=300).stdout
    check(not re.search(r"^[EW]: ", lintian, re.M), f"lintian:\n{lintian}")
    depends = re.search(r"^ Depends: (.*)$", info, re.M).group(1).split(", ")
    for library in ("libc6", "libcurl4", "libfltk1.3", "libstdc++6", "libx11-6", "libxext6"):
        check(any(d.split()[0] == library for d in depends), f"{library} is not in Depends: {depends}")
    listed = [line.split()[-1] for line in run(["dpkg-deb", "-c", deb]).splitlines() if line[0] == "-"]
    check(listed == ["./usr/" + f for f in sorted(LINUX_FILES)], f".deb holds {listed}")
    root = os.path.join(ctx.tmp, "root")
    run(["dpkg", "-x", deb, root])
    share = os.path.join(root, "usr/share")
    with gzip.open(f"{share}/man/man1/kelvane.1.gz", "rt") as f:
        check(f"Kelvane {v['KELVANE_VERSION']}" in f.read(), "the manual page lacks the version")
    with open(f"{share}/applications/kelvane.desktop") as f:
        check("\nNoDisplay=true\n" in f.read(), "the desktop entry shows in menus")
    with open(f"{share}/doc/kelvane/copyright") as f:
        check_copyright(f.read())
    with gzip.open(f"{share}/doc/kelvane/changelog.Debian.gz", "rt") as f:
        check(f.readline().startswith(f"kelvane ({version}) "), "the changelog's first entry is not this version")
    exe = os.path.join(root, "usr/bin/kelvane")
    hardening = subprocess.run(["hardening-check", "--nocfprotection", exe], capture_output=True, text=True)
    check(hardening.returncode == 0, f"not hardened:\n{hardening.stdout}")
    return exe


def win32(ctx, v):
    run(["cpack", "-G", "ZIP", "-B", ctx.tmp], cwd=ctx.build)
    top = f"kelvane-{v['KELVANE_VERSION']}-win32/"
    with zipfile.ZipFile(os.path.join(ctx.tmp, top[:-1] + ".zip")) as z:
        check(sorted(z.namelist()) == [top + n for n in ("LICENSE.txt", "README.txt", "kelvane.exe")],
              f"zip holds {z.namelist()}")
        z.extractall(ctx.tmp)
    exe = os.path.join(ctx.tmp, top, "kelvane.exe")
    texts = {}
    for name in ("README.txt", "LICENSE.txt"):  # for Notepad: CR LF only, a BOM, no Markdown pictures
        with open(os.path.join(ctx.tmp, top, name), "rb") as f:
            texts[name] = data = f.read()
        check(data.startswith(b"\xef\xbb\xbf") and b"\n" not in data.replace(b"\r\n", b"") and b"![" not in data,
              f"{name} is not plain CR LF text")
    check_copyright(texts["LICENSE.txt"].decode("utf-8-sig").replace("\r\n", "\n"))
    # Hardened: a movable image (ASLR) whose data does not run (DEP); only system DLLs (no libssp).
    with open(exe, "rb") as f:
        image = f.read()
    optional = struct.unpack_from("<I", image, 0x3C)[0] + 24
    dll = struct.unpack_from("<H", image, optional + 70)[0]
    check(dll & 0x0140 == 0x0140, f"DllCharacteristics {dll:#06x} lacks DYNAMIC_BASE or NX_COMPAT")
    imports = re.findall(r"DLL Name: (\S+)", run(["i686-w64-mingw32-objdump", "-p", exe]))
    check(not [d for d in imports if d.lower().startswith("lib")], f"imports {imports}")

    # The manifest as configured (what it asks for is the manifest file's matter), with the version.
    manifest = resource(exe, 24).decode()
    with open(os.path.join(ctx.build, "generated", "kelvane.manifest")) as f:
        check(manifest == f.read(), "the exe does not hold the configured manifest")
    check('name="Kelvane" version="%s"' % v["KELVANE_VERSION_DOTTED"] in manifest, "the manifest's version")

    version = resource(exe, 16)
    fixed = struct.unpack_from("<II", version, version.index(b"\xbd\x04\xef\xfe") + 8)
    numbers = tuple(int(n) for n in v["KELVANE_VERSION_NUMBERS"].split(","))
    check(fixed == (numbers[0] << 16 | numbers[1], numbers[2] << 16 | numbers[3]), "wrong FILEVERSION")
    strings = version.decode("utf-16-le", "replace")
    for key, value in (("CompanyName", v["KELVANE_COMPANY"]), ("LegalCopyright", v["KELVANE_COPYRIGHT"]),
                       ("FileDescription", "Kelvane updater"), ("ProductVersion", v["KELVANE_VERSION"]),
                       ("FileVersion", v["KELVANE_VERSION_DOTTED"])):
        found = re.search(key + "\0+([^\0]*)\0", strings)
        check(found and found.group(1) == value, f"{key} is {found and found.group(1)!r}, not {value!r}")
    # The icon group as a file: the real size and kind of each image.
    icons = run(["identify", "-format", "%w %m,", "ico:-"], text=False, input=resource(exe, 14, raw=False))
    check(icons == b"16 ICO,32 ICO,48 ICO,256 PNG,", f"icons: {icons}")
    return exe


def body(ctx):
    ctx.exe = (win32 if ctx.win32 else linux)(ctx, build_version(ctx.build))
    # The version box, and that of a wrong line: all that shows; Return on it ends the program.
    for words, title, status in ((["/?"], "Kelvane Info", 0), (["[URL]", "only"], "Kelvane", 2)):
        program = ctx.start(words)
        try:
            box = harness.find_window(ctx.display, title)
            check(harness.visible_windows(ctx.display) == [box], f"{title}: more than the box is shown")
            harness.press(ctx.display, box, "Return")
            check(program.ended(15) and program.returncode == status, f"{title}: exit status {program.returncode}")
        finally:
            program.kill()


if __name__ == "__main__":
    harness.run_test(body)
