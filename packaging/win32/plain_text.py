#!/usr/bin/env python3
"""Writes a text file as Notepad reads it well: CR LF line ends and a UTF-8
byte order mark (older Notepads take text without one for the ANSI code page).
With --markdown the text is made plain first: no pictures (nor the tables
that hold them), no code fences or inline marks, headings underlined.

Usage: plain_text.py [--markdown] SOURCE TARGET
"""
import re
import sys

UNDERLINE = {1: "=", 2: "-", 3: "~"}


def inline(line):
    line = re.sub(r"!\[[^\]]*\]\([^)]*\)", "", line)  # pictures
    line = re.sub(r"\[([^\]]+)\]\(([^)]+)\)", r"\1 (\2)", line)  # links
    return line.replace("**", "").replace("`", "")


def plain(markdown):
    lines = markdown.splitlines()
    out, i, fenced = [], 0, False
    while i < len(lines):
        line = lines[i]
        if line.startswith("```"):
            fenced = not fenced
        elif fenced:
            out.append("    " + line)
        elif line.startswith("|"):
            table = []
            while i < len(lines) and lines[i].startswith("|"):
                table.append(lines[i])
                i += 1
            if not any("![" in row for row in table):
                out += [inline(row.strip("|").strip().replace(" | ", "  |  ")) for row in table
                        if not re.fullmatch(r"[|\-: ]+", row)]
            continue
        elif re.match(r"#{1,3} ", line):
            level, title = line.index(" "), inline(line.split(" ", 1)[1])
            out += [title, UNDERLINE[level] * len(title)]
        else:
            out.append(inline(line))
        i += 1
    text = "\n".join(out)
    return re.sub(r"\n{3,}", "\n\n", text)  # where a table of pictures was


def main():
    args = sys.argv[1:]
    markdown = args[0] == "--markdown"
    source, target = args[markdown:]
    with open(source, encoding="utf-8") as f:
        text = f.read()
    if markdown:
        text = plain(text)
    with open(target, "w", encoding="utf-8-sig", newline="\r\n") as f:
        f.write(text.rstrip("\n") + "\n")


if __name__ == "__main__":
    main()
