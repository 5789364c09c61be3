#!/usr/bin/env bash
# Makes the archives a user downloads, each from a clean build folder, into
# dist/ (or DIST_DIR):
#   ZudArazOdudave-VERSION-linux-x86_64.zip     ZudArazOdudave.so, INSTALL, SHA256SUMS
#   ZudArazOdudave-VERSION-windows-x64.zip      ZudArazOdudave.dll, INSTALL, SHA256SUMS
#   ZudArazOdudave-VERSION-macos-universal.zip  ZudArazOdudave.bundle, INSTALL, SHA256SUMS
#   zao-host-VERSION-linux-x86_64.tar.gz        zao-host, INSTALL, SHA256SUMS
#
#   tools/package/MakeRelease.sh [DIST_DIR]
#
# VERSION is the project's, from project() in CMakeLists.txt. The same commit
# gives the same bytes: file times are the commit's (SOURCE_DATE_EPOCH, also
# handed to the compilers), members go in a fixed order with fixed modes, and
# zip and gzip store no extra attributes. Only what a build takes ready-made
# is kept between runs: GLEW for Windows and macOS, and zig's libc++ for each
# macOS architecture (build-macos/zig-cache). An archive appears only when it
# is complete; any failure is one line on standard error and a non-zero exit.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
dist="$(realpath -m "${1:-$repo/dist}")"
work="$repo/build-release"
templates="$repo/tools/package"
triplet=x86_64-w64-mingw32
# What zao-host's own libraries and helpers come from on Debian 12.
hostPackages="libc6 libstdc++6 libgcc-s1 libegl1 libglx0 libopengl0 libx11-6 libpng16-16 libglfw3 libstb0 libgl1-mesa-dri xvfb xauth ffmpeg"

Fail() {
    echo "MakeRelease: $*" >&2
    exit 1
}

RequireTools() {
    local tool
    for tool in cmake ninja zip sha256sum objdump tar gzip "$triplet-g++" "$triplet-windres"; do
        if ! command -v "$tool" >/dev/null; then
            case "$tool" in
                "$triplet"-*) Fail "$tool is missing (apt-get install mingw-w64, or run tools/install-packages.sh)" ;;
                *) Fail "$tool is missing (run tools/install-packages.sh)" ;;
            esac
        fi
    done
    lipo="$(command -v llvm-lipo || command -v llvm-lipo-14 || echo /usr/lib/llvm-14/bin/llvm-lipo)"
    [[ -x "$lipo" ]] || Fail "llvm-lipo is missing (apt-get install llvm, or run tools/install-packages.sh)"
}

# The commit's time, or a fixed one outside a git checkout; zip cannot store
# times before 1980.
SourceDateEpoch() {
    local epoch
    epoch="$(git -C "$repo" log -1 --format=%ct 2>/dev/null || true)"
    echo "${epoch:-315532800}"
}

# Configure and build in a fresh folder; the log stays next to it.
Build() {  # label, folder, cmake options...
    local label="$1" folder="$2"
    shift 2
    rm -rf "$folder"
    mkdir -p "$folder"
    if ! { cmake -S "$repo" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release \
               -DZAO_BUILD_TESTS=OFF -DZAO_BUILD_BENCHMARKS=OFF \
               "-DCMAKE_CXX_FLAGS=-ffile-prefix-map=$repo/=" "$@" &&
           cmake --build "$folder" -j"$(nproc)"; } >"$folder.log" 2>&1; then
        Fail "the $label build failed (see ${folder#"$repo/"}.log)"
    fi
}

# The template with @NAME@ replaced by each NAME=VALUE given.
FillTemplate() {  # template, NAME=VALUE...
    local text
    text="$(<"$1")"
    shift
    local pair
    for pair in "$@"; do
        text="${text//@${pair%%=*}@/${pair#*=}}"
    done
    printf '%s\n' "$text"
}

# SHA256SUMS over the given files in their order, then fixed modes (folders
# 0755, files 0644) and times for everything in the folder.
Stage() {  # folder, files...
    local folder="$1"
    shift
    (cd "$folder" && sha256sum "$@" >SHA256SUMS)
    find "$folder" -mindepth 1 -type d -exec chmod 0755 {} +
    find "$folder" -mindepth 1 -type f -exec chmod 0644 {} +
    find "$folder" -mindepth 1 -exec touch -d "@$SOURCE_DATE_EPOCH" {} +
}

# Written beside its final name, moved into place when whole.
Zip() {  # archive name, folder, members...
    local archive="$dist/$1" folder="$2"
    shift 2
    rm -f "$archive.part"
    (cd "$folder" && TZ=UTC zip -X -D -q "$archive.part" "$@") || Fail "zip could not write $archive"
    mv -f "$archive.part" "$archive"
}

TarGz() {  # archive name, folder, members...
    local archive="$dist/$1" folder="$2"
    shift 2
    rm -f "$archive.part"
    tar -C "$folder" --format=gnu --owner=0 --group=0 --numeric-owner --mtime="@$SOURCE_DATE_EPOCH" \
        -cf - "$@" | gzip -9 -n >"$archive.part" || Fail "tar could not write $archive"
    mv -f "$archive.part" "$archive"
}

RequireTools
SOURCE_DATE_EPOCH="$(SourceDateEpoch)"
export SOURCE_DATE_EPOCH
mkdir -p "$dist" "$work"
# A run that stops half-way leaves no partial archive behind.
trap 'rm -f "$dist"/*.part' EXIT

# 1. Linux: the plug-in (C++ runtime inside) and zao-host, symbol tables stripped.
Build Linux "$work/linux" -DZAO_BUILD_TOOLS=ON -DCMAKE_MODULE_LINKER_FLAGS=-s -DCMAKE_EXE_LINKER_FLAGS=-s
version="$(sed -nE 's/^CMAKE_PROJECT_VERSION:[A-Z]+=//p' "$work/linux/CMakeCache.txt")"
[[ -n "$version" ]] || Fail "no project version in $work/linux/CMakeCache.txt"
plugin="$work/linux/plugin/ZudArazOdudave.so"
host="$work/linux/tools/zao-host"
glibcSymbol="$(objdump -T "$plugin" | grep -oE 'GLIBC_[0-9]+(\.[0-9]+)+' | sort -uV | tail -n 1)"
[[ -n "$glibcSymbol" ]] || Fail "found no glibc symbol version in $plugin"
parameters="$("$host" info "$plugin" | sed -n '/^ *# *name/,$p')" || Fail "zao-host info could not read $plugin"
[[ -n "$parameters" ]] || Fail "zao-host info listed no parameters of $plugin"

# 2. Windows: the DLL with its version resource (GLEW for mingw-w64 is built
#    into build-windows/glew the first time and reused).
Build Windows "$work/windows" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchains/mingw-w64-x86_64.cmake" \
    -DZAO_BUILD_TOOLS=OFF -DZAO_BUILD_WINDOWS_CHECKS=OFF
dll="$work/windows/plugin/ZudArazOdudave.dll"

# 3. macOS: a bundle per architecture (zig compiles, ld64.lld links and signs),
#    joined into one bundle around a universal binary.
for arch in x86_64 arm64; do
    Build "macOS $arch" "$work/macos-$arch" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchains/macos-$arch.cmake" \
        -DZAO_BUILD_TOOLS=OFF
done
bundleName=ZudArazOdudave.bundle
binaryInBundle="$bundleName/Contents/MacOS/ZudArazOdudave"
plistInBundle="$bundleName/Contents/Info.plist"
cmp -s "$work/macos-x86_64/plugin/$plistInBundle" "$work/macos-arm64/plugin/$plistInBundle" ||
    Fail "the Info.plist of the two macOS slices differ"

# 4. The archives.
stage="$work/stage"
rm -rf "$stage"
mkdir -p "$stage/linux" "$stage/windows" "$stage/macos" "$stage/zao-host"

cp "$plugin" "$stage/linux/ZudArazOdudave.so"
FillTemplate "$templates/INSTALL-linux.in" "VERSION=$version" "PARAMETERS=$parameters" \
    "GLIBC_VERSION=${glibcSymbol#GLIBC_}" "GLIBC_SYMBOL=$glibcSymbol" >"$stage/linux/INSTALL"
Stage "$stage/linux" ZudArazOdudave.so INSTALL
Zip "ZudArazOdudave-$version-linux-x86_64.zip" "$stage/linux" ZudArazOdudave.so INSTALL SHA256SUMS

cp "$dll" "$stage/windows/ZudArazOdudave.dll"
# Line ends as Notepad expects them.
FillTemplate "$templates/INSTALL-windows.in" "VERSION=$version" "PARAMETERS=$parameters" |
    sed 's/$/\r/' >"$stage/windows/INSTALL"
Stage "$stage/windows" ZudArazOdudave.dll INSTALL
Zip "ZudArazOdudave-$version-windows-x64.zip" "$stage/windows" ZudArazOdudave.dll INSTALL SHA256SUMS

mkdir -p "$stage/macos/$bundleName/Contents/MacOS"
cp "$work/macos-arm64/plugin/$plistInBundle" "$stage/macos/$plistInBundle"
"$lipo" -create -output "$stage/macos/$binaryInBundle" \
    "$work/macos-x86_64/plugin/$binaryInBundle" "$work/macos-arm64/plugin/$binaryInBundle" ||
    Fail "llvm-lipo could not join the two macOS slices"
FillTemplate "$templates/INSTALL-macos.in" "VERSION=$version" "PARAMETERS=$parameters" >"$stage/macos/INSTALL"
Stage "$stage/macos" "$binaryInBundle" "$plistInBundle" INSTALL
chmod 0755 "$stage/macos/$binaryInBundle"
Zip "ZudArazOdudave-$version-macos-universal.zip" "$stage/macos" "$binaryInBundle" "$plistInBundle" INSTALL SHA256SUMS

cp "$host" "$stage/zao-host/zao-host"
FillTemplate "$templates/INSTALL-zao-host.in" "VERSION=$version" "DEBIAN_PACKAGES=$hostPackages" \
    >"$stage/zao-host/INSTALL"
Stage "$stage/zao-host" zao-host INSTALL
chmod 0755 "$stage/zao-host/zao-host"
TarGz "zao-host-$version-linux-x86_64.tar.gz" "$stage/zao-host" zao-host INSTALL SHA256SUMS

echo "MakeRelease: version $version, newest glibc symbol $glibcSymbol, into ${dist}:"
(cd "$dist" && sha256sum "ZudArazOdudave-$version-linux-x86_64.zip" "ZudArazOdudave-$version-windows-x64.zip" \
    "ZudArazOdudave-$version-macos-universal.zip" "zao-host-$version-linux-x86_64.tar.gz")
