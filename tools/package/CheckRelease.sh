#!/usr/bin/env bash
# Checks the release archives the way a user receives them: makes them with
# tools/package/MakeRelease.sh into dist/, makes them a second time and
# compares the bytes, then unpacks each and checks its file list, its
# SHA256SUMS, the Linux plug-in (exports, libraries, glibc bound, zao-host
# validate), the Windows DLL (the Windows checks under Wine, version resource
# included), the macOS bundle (each slice's Mach-O facts and code signature,
# Info.plist: tools/macos/CheckMachO.py, which is itself tested on corrupted
# copies), and what cmake --install lays out. Prints a summary; non-zero exit
# on any failure.
#
#   tools/package/CheckRelease.sh
set -uo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
dist="$repo/dist"
again="$repo/build-release/dist-again"
unpacked="$repo/build-release/unpacked"
# The newest glibc symbol version the Linux plug-in may ask for: Ubuntu 22.04's
# glibc, so that hosts on distributions of 2022 and later can load it.
glibcBound=2.35

checkTitle="Release checks"
checkName=CheckRelease
# shellcheck source=../CheckReport.sh
source "$repo/tools/CheckReport.sh"

# 1. The archives, twice from clean build folders; the same bytes both times.
stageStart=$SECONDS
if ! "$repo/tools/package/MakeRelease.sh" "$dist"; then
    Record FAIL "release archives" "tools/package/MakeRelease.sh failed"
    Finish
fi
version="$(sed -nE 's/^CMAKE_PROJECT_VERSION:[A-Z]+=//p' "$repo/build-release/linux/CMakeCache.txt")"
linuxZip="ZudArazOdudave-$version-linux-x86_64.zip"
windowsZip="ZudArazOdudave-$version-windows-x64.zip"
macosZip="ZudArazOdudave-$version-macos-universal.zip"
hostTar="zao-host-$version-linux-x86_64.tar.gz"
Record PASS "release archives" "$((SECONDS - stageStart)) s"

stageStart=$SECONDS
rm -rf "$again"
if "$repo/tools/package/MakeRelease.sh" "$again" >/dev/null; then
    differing=""
    for archive in "$linuxZip" "$windowsZip" "$macosZip" "$hostTar"; do
        cmp -s "$dist/$archive" "$again/$archive" || differing+="$archive "
    done
    if [[ -z "$differing" ]]; then
        Record PASS "reproducible" "second build byte-identical, $((SECONDS - stageStart)) s"
    else
        Record FAIL "reproducible" "differ between two builds: $differing"
    fi
else
    Record FAIL "reproducible" "the second tools/package/MakeRelease.sh failed"
fi

# 2. Each archive holds exactly its files, and their sums match.
Unpack() {  # folder name, archive, expected members...
    local folder="$unpacked/$1" archive="$2" listing
    shift 2
    rm -rf "$folder"
    mkdir -p "$folder"
    if [[ "$archive" == *.zip ]]; then
        listing="$(unzip -Z1 "$dist/$archive")" && unzip -q "$dist/$archive" -d "$folder"
    else
        listing="$(tar -tzf "$dist/$archive")" && tar -xzf "$dist/$archive" -C "$folder"
    fi || { Record FAIL "$archive" "cannot be unpacked"; return; }
    if [[ "$listing" != "$(printf '%s\n' "$@")" ]]; then
        Record FAIL "$archive" "holds $(tr '\n' ' ' <<<"$listing")instead of $*"
    elif ! (cd "$folder" && sha256sum --quiet -c SHA256SUMS); then
        Record FAIL "$archive" "SHA256SUMS does not match"
    else
        Record PASS "$archive" "$*, $(stat -c %s "$dist/$archive") bytes"
    fi
}
Unpack linux "$linuxZip" ZudArazOdudave.so INSTALL SHA256SUMS
Unpack windows "$windowsZip" ZudArazOdudave.dll INSTALL SHA256SUMS
Unpack macos "$macosZip" ZudArazOdudave.bundle/Contents/MacOS/ZudArazOdudave ZudArazOdudave.bundle/Contents/Info.plist \
    INSTALL SHA256SUMS
Unpack zao-host "$hostTar" zao-host INSTALL SHA256SUMS
plugin="$unpacked/linux/ZudArazOdudave.so"
dll="$unpacked/windows/ZudArazOdudave.dll"
bundle="$unpacked/macos/ZudArazOdudave.bundle"
host="$unpacked/zao-host/zao-host"
linuxInstall="$unpacked/linux/INSTALL"
if [[ ! -f "$plugin" || ! -f "$dll" || ! -x "$bundle/Contents/MacOS/ZudArazOdudave" || ! -x "$host" ]]; then
    Record FAIL "unpacked files" "a plug-in or zao-host is missing under ${unpacked#"$repo/"}"
    Finish
fi

# 3. The Linux plug-in needs the C library and OpenGL only, no newer glibc than the bound.
exports="$(nm -D --defined-only "$plugin" | awk '{print $3}' | sort | xargs)"
needed="$(objdump -p "$plugin" | awk '$1 == "NEEDED" {print $2}' | sort | xargs)"
foreign=""
for library in $needed; do
    [[ "$library" =~ ^(libGL\.so\.1|libGLX\.so\.0|libOpenGL\.so\.0|libc\.so\.6|libm\.so\.6|ld-linux-x86-64\.so\.2)$ ]] ||
        foreign+="$library "
done
if [[ "$exports" == "SetLogCallback plugMain" && -z "$foreign" ]]; then
    Record PASS "Linux plug-in file" "exports $exports; needs $needed"
else
    Record FAIL "Linux plug-in file" "exports $exports; needs beyond C library and OpenGL: ${foreign:-nothing}"
fi
glibcSymbol="$(objdump -T "$plugin" | grep -oE 'GLIBC_[0-9]+(\.[0-9]+)+' | sort -uV | tail -n 1)"
newest="$(printf '%s\n%s\n' "${glibcSymbol#GLIBC_}" "$glibcBound" | sort -V | tail -n 1)"
if [[ -n "$glibcSymbol" && "$newest" == "$glibcBound" ]] && grep -qF "is $glibcSymbol" "$linuxInstall"; then
    Record PASS "glibc bound" "$glibcSymbol, at most GLIBC_$glibcBound, as INSTALL states"
else
    Record FAIL "glibc bound" "file asks for ${glibcSymbol:-nothing}, bound GLIBC_$glibcBound, INSTALL: $(grep -o 'GLIBC_[0-9.]*' "$linuxInstall" | head -n 1)"
fi
absentFromInstall=""
for text in "ZEL DadiDaruzad" "$version" "OpenGL 4.1" "zao-host validate" Threshold Invert "Min Size" "Max Blobs" \
            "Box Style" "Show Blobs" "Show Network" "Show Labels" "Show Contours" "Hue Shift"; do
    grep -qF "$text" "$linuxInstall" || absentFromInstall+="\"$text\" "
done
if [[ -z "$absentFromInstall" ]]; then
    Record PASS "INSTALL" "name, version, ten parameters, OpenGL 4.1, zao-host validate"
else
    Record FAIL "INSTALL" "does not mention $absentFromInstall"
fi

# 4. zao-host's INSTALL names the Debian package of every library it loads directly.
hostInstall="$unpacked/zao-host/INSTALL"
listed=" $(sed -nE 's/^ *apt-get install //p' "$hostInstall") "
unlisted=""
for library in $(objdump -p "$host" | awk '$1 == "NEEDED" {print $2}'); do
    package="$(dpkg -S "*/x86_64-linux-gnu/$library" 2>/dev/null | head -n 1 | cut -d: -f1)"
    [[ -n "$package" && "$listed" == *" $package "* ]] || unlisted+="$library (${package:-no package}) "
done
if [[ -z "$unlisted" ]]; then
    Record PASS "zao-host packages" "INSTALL lists the package of every library it needs"
else
    Record FAIL "zao-host packages" "INSTALL lacks $unlisted"
fi

# 5. The plug-in out of its archive passes the validator run by zao-host out of its archive.
stageStart=$SECONDS
validation="$("$host" validate "$plugin" 2>&1)"
validateStatus=$?
if [[ $validateStatus -eq 0 ]]; then
    Record PASS "zao-host validate" "$(tail -n 1 <<<"$validation"), $((SECONDS - stageStart)) s"
else
    echo "$validation"
    Record FAIL "zao-host validate" "exit $validateStatus: $(tail -n 1 <<<"$validation")"
fi

# 6. The macOS bundle, each slice and the signature, against libSystem's stub
#    as zig ships it and our OpenGL stub; then the checker on corrupted copies.
libSystem="$(dirname "$("$repo/tools/macos/InstallZig.sh" --where)")/lib/libc/darwin/libSystem.11.tbd"
machOArguments=(--libsystem "$libSystem" --opengl "$repo/cmake/macos/OpenGL.tbd" --version "$version")
if machO="$(python3 "$repo/tools/macos/CheckMachO.py" "$bundle" "${machOArguments[@]}")"; then
    while IFS= read -r line; do
        Record PASS "macOS ${line%%:*}" "${line#*: }"
    done <<<"$machO"
else
    Record FAIL "macOS bundle" "$(grep '^FAIL' <<<"$machO" | cut -c7- | paste -sd ';' -)"
fi
if selfTest="$(python3 "$repo/tools/macos/CheckMachO.py" --self-test "$bundle" "${machOArguments[@]}")"; then
    Record PASS "Mach-O checker" "${selfTest#self-test: }"
else
    Record FAIL "Mach-O checker" "$(paste -sd ';' - <<<"$selfTest")"
fi
macosInstall="$unpacked/macos/INSTALL"
absentFromInstall=""
for text in "ZEL DadiDaruzad" "$version" "xattr -dr com.apple.quarantine ZudArazOdudave.bundle" "10.15" "OpenGL 4.1" \
            "does not run on macOS" "Mac's model" Threshold "Hue Shift"; do
    grep -qF "$text" "$macosInstall" || absentFromInstall+="\"$text\" "
done
if [[ -z "$absentFromInstall" ]]; then
    Record PASS "macOS INSTALL" "where it goes, quarantine, parameters, what to send"
else
    Record FAIL "macOS INSTALL" "does not mention $absentFromInstall"
fi

# 7. cmake --install lays out the release build as a user's prefix expects.
prefix="$repo/build-release/install-prefix"
rm -rf "$prefix"
if cmake --install "$repo/build-release/linux" --prefix "$prefix" >/dev/null &&
   [[ "$(cd "$prefix" && find . -type f | sort | xargs)" == "./bin/zao-host ./lib/ZudArazOdudave/ZudArazOdudave.so" ]]; then
    Record PASS "cmake --install" "bin/zao-host, lib/ZudArazOdudave/ZudArazOdudave.so"
else
    Record FAIL "cmake --install" "installed: $(cd "$prefix" 2>/dev/null && find . -type f | sort | xargs)"
fi

# 8. The DLL out of its archive through the Windows checks (exports, imports,
#    version resource, the host checks under Wine).
stageStart=$SECONDS
if "$repo/tools/windows/RunWindowsChecks.sh" --dll "$dll"; then
    Record PASS "Windows checks of the released DLL" "$((SECONDS - stageStart)) s"
else
    Record FAIL "Windows checks of the released DLL" "tools/windows/RunWindowsChecks.sh --dll failed"
fi

Finish
