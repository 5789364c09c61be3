#!/usr/bin/env bash
# Builds a static GLEW (GLEW_STATIC, GLEW_NO_GLU) for a cross-built plug-in
# from Debian's own glew source package: by default for 64-bit Windows with
# mingw-w64 (libglew32s.a), or with any C compiler and archiver given.
#
#   tools/BuildGlew.sh [--force] [--cc CC --ar AR --library NAME --optimize -ON --launcher CMD]
#                      [SOURCE_DIR [PREFIX]]
#
# SOURCE_DIR (default build-windows/glew-src) receives `apt-get source glew`;
# PREFIX (default build-windows/glew) receives include/GL and lib/NAME, where
# the cross toolchains of cmake/toolchains/ look. The macOS toolchains pass
# their zig wrapper, llvm-ar, libGLEW.a and -Os (GLEW's code runs once per
# context, and zig takes twice as long over it at -O2). --launcher runs the
# compiler through CMD, such as the test command's ccache. Re-runnable: a finished build is
# kept unless --force is given. Needs root for the deb-src entry.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
triplet=x86_64-w64-mingw32
force=0
cc="${ZAO_MINGW_CC:-$triplet-gcc}"
ar="$triplet-ar"
libraryName=libglew32s.a
optimize=-O2
launcher=()
while [[ $# -gt 0 ]]; do
    case "$1" in
        --force) force=1; shift ;;
        --cc) cc="$2"; shift 2 ;;
        --ar) ar="$2"; shift 2 ;;
        --library) libraryName="$2"; shift 2 ;;
        --optimize) optimize="$2"; shift 2 ;;
        --launcher) launcher=("$2"); shift 2 ;;
        *) break ;;
    esac
done
sourceDir="$(realpath -m "${1:-$repo/build-windows/glew-src}")"
prefix="$(realpath -m "${2:-$repo/build-windows/glew}")"
library="$prefix/lib/$libraryName"

if [[ $force -eq 0 && -f "$library" && -f "$prefix/include/GL/glew.h" ]]; then
    echo "GLEW already built: $library"
    exit 0
fi

for tool in "$cc" "$ar" dpkg-source; do
    command -v "$tool" >/dev/null || { echo "BuildGlew: $tool is missing (run tools/install-packages.sh)" >&2; exit 1; }
done

# apt-get source needs a deb-src entry; mirror the archive and suites the
# machine already installs from (deb822 .sources files or a one-line list).
HaveDebSrc() {
    grep -rqsE '^[[:space:]]*(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null
}
if ! HaveDebSrc; then
    echo "Adding a deb-src entry for the archive already in use"
    for file in /etc/apt/sources.list.d/*.sources; do
        [[ -f "$file" ]] || continue
        grep -q 'debian' "$file" || continue
        sed -E 's/^Types:[[:space:]]*deb[[:space:]]*$/Types: deb-src/' "$file" \
            > "/etc/apt/sources.list.d/zao-deb-src-$(basename "$file")"
    done
    if [[ -f /etc/apt/sources.list ]]; then
        sed -nE 's/^[[:space:]]*deb[[:space:]]+/deb-src /p' /etc/apt/sources.list > /etc/apt/sources.list.d/zao-deb-src.list
        [[ -s /etc/apt/sources.list.d/zao-deb-src.list ]] || rm -f /etc/apt/sources.list.d/zao-deb-src.list
    fi
    HaveDebSrc || { echo "BuildGlew: found no Debian archive entry to mirror as deb-src" >&2; exit 1; }
    apt-get update -qq
fi

mkdir -p "$sourceDir"
tree="$(find "$sourceDir" -maxdepth 1 -type d -name 'glew-*' | sort | tail -n 1)"
if [[ -z "$tree" || ! -f "$tree/src/glew.c" ]]; then
    # apt drops privileges to _apt for the download when it can write here.
    chmod 0777 "$sourceDir" 2>/dev/null || true
    (cd "$sourceDir" && apt-get source -qq glew)
    tree="$(find "$sourceDir" -maxdepth 1 -type d -name 'glew-*' | sort | tail -n 1)"
fi
[[ -n "$tree" && -f "$tree/src/glew.c" ]] || { echo "BuildGlew: no src/glew.c in $sourceDir" >&2; exit 1; }
echo "GLEW source: $tree"

objects="$sourceDir/obj"
mkdir -p "$objects" "$prefix/lib" "$prefix/include/GL"
# GLEW's own code: its warnings are not ours, so no -Werror here.
"${launcher[@]}" "$cc" "$optimize" -DGLEW_STATIC -DGLEW_NO_GLU -ffp-contract=off -I"$tree/include" -c "$tree/src/glew.c" -o "$objects/glew.o"
rm -f "$library.tmp"
"$ar" rcs "$library.tmp" "$objects/glew.o"
cp "$tree/include/GL/glew.h" "$tree/include/GL/wglew.h" "$prefix/include/GL/"
mv "$library.tmp" "$library"
echo "GLEW: $library"
