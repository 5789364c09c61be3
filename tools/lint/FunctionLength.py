#!/usr/bin/env python3
"""Lists the functions of the C++ sources under the given folders that run
over a number of lines (default 60), from the line of the opening brace to
the closing one. Exits 1 when there is any.

    FunctionLength.py [--limit N] [--skip PATH_PART ...] FOLDER ...

A function is a brace block opened on a line of its own right after a line
that ends a parameter list (")", "const", "override", a ctor's initialiser
list), as the project's style writes them; lambdas and blocks inside count
toward the function that holds them.
"""
import argparse
import os
import re
import sys

SIGNATURE_END = re.compile(r"(\)|\bconst|\boverride|\bnoexcept|\bfinal)\s*(->\s*[\w:<>,\s*&]+)?\s*$")
CONTROL = re.compile(r"^\s*(if|for|while|switch|catch|else|do|return|case)\b")


def strip(line):
    # Strings and comments carry no braces that count.
    line = re.sub(r'"(\\.|[^"\\])*"', '""', line)
    line = re.sub(r"'(\\.|[^'\\])*'", "''", line)
    return line.split("//", 1)[0]


def long_functions(path, limit):
    with open(path, encoding="utf-8", errors="replace") as source:
        lines = [strip(line.rstrip("\n")) for line in source]
    found = []
    i = 0
    while i < len(lines):
        if lines[i].strip() == "{" and i > 0:
            j = i - 1
            while j > 0 and not lines[j].strip():
                j -= 1
            head = lines[j]
            if SIGNATURE_END.search(head) and not CONTROL.match(head) or re.match(r"^\s*:\s*\w", head) or \
                    re.search(r"\w\(.*\)\s*,?\s*$", head) and lines[j].startswith(lines[i][: len(lines[i]) - 1]):
                depth = 0
                k = i
                while k < len(lines):
                    depth += lines[k].count("{") - lines[k].count("}")
                    if depth == 0:
                        break
                    k += 1
                length = k - i + 1
                if length > limit:
                    name = re.sub(r"\s+", " ", head.strip())
                    found.append((path, j + 1, length, name))
                i = k + 1
                continue
        i += 1
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--limit", type=int, default=60)
    parser.add_argument("--skip", action="append", default=[])
    parser.add_argument("folders", nargs="+")
    args = parser.parse_args()
    found = []
    for folder in args.folders:
        for root, _, files in os.walk(folder):
            for name in sorted(files):
                path = os.path.join(root, name)
                if name.endswith((".cpp", ".h")) and not any(part in path for part in args.skip):
                    found += long_functions(path, args.limit)
    for path, line, length, name in sorted(found):
        print("%s:%d: %d lines: %s" % (path, line, length, name))
    if found:
        print("%d function(s) over %d lines" % (len(found), args.limit))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
