#!/usr/bin/env bash
# Reads the version resource back out of a built Windows file with mingw-w64's
# windres and prints it as KEY=VALUE lines: FILEVERSION and PRODUCTVERSION as
# dotted numbers, then every string of the StringFileInfo block.
#
#   tools/windows/ReadVersionResource.sh FILE.dll
set -euo pipefail

file="${1:?usage: ReadVersionResource.sh FILE.dll}"
windres="${ZAO_MINGW_WINDRES:-x86_64-w64-mingw32-windres}"
command -v "$windres" >/dev/null || { echo "ReadVersionResource: $windres is missing (apt-get install mingw-w64)" >&2; exit 1; }

# windres decompiles the file's resources to resource-script text, e.g.
#   FILEVERSION 3, 0, 0, 0      and      VALUE "FileVersion", "3.0"
"$windres" -i "$file" -O rc | sed -nE \
    -e 's/^[[:space:]]*(FILEVERSION|PRODUCTVERSION)[[:space:]]+([0-9]+),[[:space:]]*([0-9]+),[[:space:]]*([0-9]+),[[:space:]]*([0-9]+).*/\1=\2.\3.\4.\5/p' \
    -e 's/^[[:space:]]*VALUE[[:space:]]+"([A-Za-z]+)",[[:space:]]*"(.*)"[[:space:]]*$/\1=\2/p'
