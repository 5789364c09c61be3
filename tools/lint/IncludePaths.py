#!/usr/bin/env python3
"""Lists includes that climb out of their folder ("../"), in the C++ sources
under the given folders. Headers of another room are included by the room's
name ("gl/InputGrid.h"), which the build allows only where the map does; a
climbing path would pass by that check. Exits 1 when there is any.

    IncludePaths.py FOLDER ...
"""
import os
import re
import sys

CLIMBING = re.compile(r'^\s*#\s*include\s*"(\.\./[^"]*)"')


def main(folders):
    found = 0
    for folder in folders:
        for root, _, files in os.walk(folder):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp", ".inc")):
                    continue
                path = os.path.join(root, name)
                with open(path, encoding="utf-8", errors="replace") as source:
                    for number, line in enumerate(source, 1):
                        match = CLIMBING.match(line)
                        if match:
                            print(f"{path}:{number}: includes {match.group(1)}")
                            found += 1
    if found:
        print(f"{found} include(s) climb out of their folder")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
