#!/usr/bin/env python3
"""example-coverage.py -- which public operations of the library the examples show.

The operations are the functions (and the one function pointer, rgb16) declared in the four chief
headers: lib/display/display.h, lib/sprites/sprites.h, lib/input/input.h and lib/audio/audio.h.
An example uses an operation when its name appears in the example's code (comments and strings
left out). The examples are the programs examples/CMakeLists.txt lists with vorlash_example(),
in its order; the skeleton and the headless check are not examples.

    scripts/example-coverage.py            used/total, the unused names, each example's operations
    scripts/example-coverage.py --write    also writes docs/examples.md, the examples page
    scripts/example-coverage.py --check    exit 1 unless at least 90 % are used, every unused one is
                                           in the guide's list of operations left out (and nothing
                                           else is), and docs/examples.md is what --write would write
"""
import argparse
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
HEADERS = ["lib/display/display.h", "lib/sprites/sprites.h", "lib/input/input.h", "lib/audio/audio.h"]
GOAL = 0.90
PAGE = ROOT / "docs/examples.md"
GUIDE = ROOT / "docs/guide.md"
GUIDE_HEADING = "## Operations the examples leave out"
PICTURES = "examples"  # the pictures' folder, relative to docs/


def strip_comments(text, strings=False):
    """The code without // and /* */ comments (and, if asked, without the insides of string and
    character literals), line breaks kept."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append("\n" * text.count("\n", i, j))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(c + ("" if strings else text[i + 1:j]) + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def operations():
    """[(header, name)] in header order: every function declared outside a record, and function pointers."""
    found = []
    for header in HEADERS:
        code = strip_comments((ROOT / header).read_text())
        depth = 0  # braces: declarations inside a record are its members, not operations
        for line in code.splitlines():
            if depth == 0 and not line.lstrip().startswith("#"):
                pointer = re.match(r"\s*extern\s+[\w\s]+\(\s*\*\s*(\w+)\s*\)\s*\(", line)
                function = re.match(r"\s*(?:[A-Za-z_][\w]*[\s\*]+)+?(?:CALLBACK\s+|WINAPI\s+)?(\w+)\s*\(", line)
                if pointer:
                    found.append((header, pointer.group(1)))
                elif function and not line.lstrip().startswith(("extern", "static_assert", "constexpr", "return")):
                    found.append((header, function.group(1)))
            depth += line.count("{") - line.count("}")
    return found


def examples():
    """[(name, path)] in the order examples/CMakeLists.txt lists them."""
    listing = (ROOT / "examples/CMakeLists.txt").read_text()
    names = re.findall(r"^\s*vorlash_example\(\s*(\w+)", listing, re.M)
    return [(name, ROOT / "examples" / f"{name}.cpp") for name in names]


def used_by(path, names):
    code = strip_comments(path.read_text(), strings=True)
    words = set(re.findall(r"\b[A-Za-z_]\w*\b", code))
    return [n for n in names if n in words]


def teaching(path):
    """The example's opening comment as (subject, the rest): its words after the dash, up to the first
    colon, are its subject; what follows says what it shows."""
    lines = []
    for line in path.read_text().splitlines():
        if not line.startswith("//"):
            break
        lines.append(line[2:].strip())
    text = " ".join(lines).partition(" -- ")[2].strip()
    subject, colon, rest = text.partition(": ")
    if not colon or len(subject) > 60:
        return "", text
    return subject, rest[:1].upper() + rest[1:]


def left_out_in_guide():
    """The names the guide's list of operations left out gives, each at the start of a bullet."""
    text = GUIDE.read_text()
    start = text.find(GUIDE_HEADING)
    if start < 0:
        return None
    section = text[start + len(GUIDE_HEADING):]
    end = section.find("\n## ")
    section = section if end < 0 else section[:end]
    return {m for m in re.findall(r"^- `(\w+)`", section, re.M)}


def page(ops, per_example, used, total):
    order = [name for _, name in ops]
    out = ["# The examples", "",
           "<!-- Written by scripts/example-coverage.py --write from examples/ (do not edit by hand); the",
           "     pictures by `make example-pictures`, and the examples' tests find them stale. -->", "",
           f"{len(per_example)} programs, each one file beside the shared skeleton (`skeleton.cpp`, "
           "`skeleton.h`), that together use "
           f"{len(used)} of the {total} public operations of `display.h`, `sprites.h`, `input.h` and "
           "`audio.h`; the [guide](guide.md#operations-the-examples-leave-out) says which are left out "
           "and why. Run one with `make example NAME=first`, or copy it with the skeleton into an empty "
           "folder and build it against the installed library (see the guide, \"Building your program\"). "
           "Each picture is the example's own frame, rendered on the headless host at the moment "
           "its test chooses. Each one also runs in a browser: `make web` builds the site "
           "`build-web/site/` with every example at `examples/NAME.html`, and `make web-serve` "
           "serves it.", ""]
    out += ["| example | subject | operations |", "|---|---|---|"]
    for name, path, names in per_example:
        # Plain names: the API reference's pages take an in-page link for a reference of their own.
        out.append(f"| {name} | {teaching(path)[0]} | {len(names)} |")
    out.append("")
    for name, path, names in per_example:
        subject, shows = teaching(path)
        out += [f"## {name}", "",
                f"![{name}: {subject}]({PICTURES}/{name}.png)", "",
                f"**[`examples/{name}.cpp`](../examples/{name}.cpp)**, {subject}. {shows}", "",
                f"In a browser: [`examples/{name}.html`](../build-web/site/examples/{name}.html) of the "
                "site `make web` builds.", "",
                f"Operations ({len(names)}): " + ", ".join(f"`{n}`" for n in sorted(names, key=order.index)), ""]
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--write", action="store_true", help="write docs/examples.md")
    parser.add_argument("--check", action="store_true", help="fail unless the goal, the guide and the page hold")
    args = parser.parse_args()

    ops = operations()
    names = [name for _, name in ops]
    per_example = [(name, path, used_by(path, names)) for name, path in examples()]
    used = {n for _, _, found in per_example for n in found}
    unused = [n for n in names if n not in used]
    share = len(used) / len(names)

    print(f"operations used by the examples: {len(used)}/{len(names)} ({share:.1%}) in {len(per_example)} examples")
    for header in HEADERS:
        in_header = [n for h, n in ops if h == header]
        print(f"  {header}: {sum(n in used for n in in_header)}/{len(in_header)}")
    print("unused: " + (", ".join(unused) if unused else "none"))
    if not args.check:
        for name, _, found in per_example:
            print(f"  {name}: {len(found)}")

    text = page(ops, per_example, used, len(names))
    if args.write:
        PAGE.write_text(text)
        print(f"wrote {PAGE.relative_to(ROOT)}")

    if args.check:
        failures = []
        if share < GOAL:
            failures.append(f"the examples use {share:.1%} of the operations, below the goal of {GOAL:.0%}")
        listed = left_out_in_guide()
        if listed is None:
            failures.append(f"docs/guide.md has no section \"{GUIDE_HEADING}\"")
        else:
            if missing := [n for n in unused if n not in listed]:
                failures.append("unused, and not in the guide's list of operations left out: " + ", ".join(missing))
            if stale := sorted(listed - set(unused)):
                failures.append("in the guide's list of operations left out, yet used or no operation: " + ", ".join(stale))
        if not PAGE.exists() or PAGE.read_text() != text:
            failures.append("docs/examples.md is not what the examples say: run scripts/example-coverage.py --write")
        for f in failures:
            print("FAIL: " + f)
        if failures:
            return 1
        print("ok: the goal, the guide's list and the examples page hold")
    return 0


if __name__ == "__main__":
    sys.exit(main())
