#!/usr/bin/env bash
# The Windows build and its checks on a Debian 12 machine: installs what is
# missing (mingw-w64, Wine, Xvfb), builds the DLL with mingw-w64 into
# build-windows/ (the configure step builds GLEW the first time), checks the
# DLL's exports, imports and version resource, and runs the Windows host checks
# under Wine on Xvfb. Prints a summary; non-zero exit on any failure.
#
#   tools/windows/RunWindowsChecks.sh [--dll FILE.dll]
#
# --dll checks that file (a released DLL) instead of the one just built; the
# host checks are still built in build-windows/.
# ZAO_OVERLAY_OPTIONAL=1 lets a frame without any overlay pixel skip the
# overlay checks instead of failing them.
set -uo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
buildDir="$repo/build-windows"
dll="$buildDir/plugin/ZudArazOdudave.dll"
if [[ "${1:-}" == "--dll" && -n "${2:-}" ]]; then
    dll="$(realpath "$2")"
elif [[ $# -gt 0 ]]; then
    echo "usage: tools/windows/RunWindowsChecks.sh [--dll FILE.dll]" >&2
    exit 2
fi
testExe="$buildDir/windows-checks/WindowsPluginTest.exe"
triplet=x86_64-w64-mingw32
objdump="$triplet-objdump"

checkTitle="Windows checks"
checkName=RunWindowsChecks
# shellcheck source=../CheckReport.sh
source "$repo/tools/CheckReport.sh"

# 1. Packages.
stageStart=$SECONDS
# wine64 recommends the X and Mesa libraries that Wine's WGL needs; those stay in.
packages=(mingw-w64 wine wine64 libgl1 libgl1-mesa-dri xvfb xauth dpkg-dev cmake ninja-build)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [[ ${#missing[@]} -gt 0 ]]; then
    echo "Installing: ${missing[*]}"
    if [[ $(id -u) -ne 0 ]]; then
        Record FAIL "packages" "missing ${missing[*]}; run as root or install them"
        Finish
    fi
    if ! { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"; }; then
        Record FAIL "packages" "apt-get install ${missing[*]} failed"
        Finish
    fi
fi
Record PASS "packages" "$((SECONDS - stageStart)) s${missing:+, installed ${missing[*]}}"

# 2. Configure and build the Windows tree (the Linux-only tests, tools and
# benchmarks stay out); the configure step builds GLEW from Debian's glew
# source package when build-windows/glew lacks it.
stageStart=$SECONDS
if ! { cmake -S "$repo" -B "$buildDir" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchains/mingw-w64-x86_64.cmake" \
        -DZAO_GLEW_ROOT="$buildDir/glew" -DCMAKE_BUILD_TYPE=Release \
        -DZAO_BUILD_TESTS=OFF -DZAO_BUILD_TOOLS=OFF -DZAO_BUILD_BENCHMARKS=OFF >/dev/null &&
       cmake --build "$buildDir" -j"$(nproc)"; }; then
    Record FAIL "Windows build" "cmake configure or build failed"
    Finish
fi
Record PASS "Windows build" "$((SECONDS - stageStart)) s, DLL $(stat -c %s "$dll") bytes"

# 3. Exports exactly plugMain and SetLogCallback; imports only Windows system DLLs and opengl32.
dump="$("$objdump" -p "$dll")"
exports="$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | sed -nE 's/^[[:space:]]*\[[[:space:]]*[0-9]+\][[:space:]]+//p' | sort | tr '\n' ' ')"
exports="${exports% }"
if [[ "$exports" == "SetLogCallback plugMain" ]]; then
    Record PASS "DLL exports" "$exports"
else
    Record FAIL "DLL exports" "expected exactly plugMain and SetLogCallback, got: ${exports:-none}"
fi
imports="$(sed -nE 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$dump" | tr '\n' ' ')"
systemDlls='^(kernel32|user32|gdi32|advapi32|msvcrt|ucrtbase|opengl32|shell32|ole32|ws2_32|ntdll|api-ms-win-[a-z0-9-]+)\.dll$'
foreign=""
for name in $imports; do
    lower="$(tr '[:upper:]' '[:lower:]' <<<"$name")"
    [[ "$lower" =~ $systemDlls ]] || foreign+="$name "
done
if [[ -z "$foreign" && -n "$imports" ]]; then
    Record PASS "DLL imports" "${imports% }"
else
    Record FAIL "DLL imports" "not Windows system DLLs: ${foreign:-none found} (all: $imports)"
fi

# 4. The version resource as Explorer's file properties show it, read back from the file.
version="$(sed -nE 's/^CMAKE_PROJECT_VERSION:[A-Z]+=//p' "$buildDir/CMakeCache.txt")"
expected=("FILEVERSION=$version.0.0" "PRODUCTVERSION=$version.0.0" "FileVersion=$version" "ProductVersion=$version"
          "FileDescription=ZEL DadiDaruzad" "ProductName=ZEL DadiDaruzad" "CompanyName=Zozivad Uzozaro"
          "InternalName=ZudArazOdudave" "OriginalFilename=ZudArazOdudave.dll"
          "Comments=K.V.R. blob/motion tracking with surveillance overlay")
resource="$("$repo/tools/windows/ReadVersionResource.sh" "$dll" 2>&1)"
absent=()
for line in "${expected[@]}"; do
    grep -qxF "$line" <<<"$resource" || absent+=("$line")
done
if [[ -n "$version" && ${#absent[@]} -eq 0 ]]; then
    Record PASS "DLL version resource" "$(grep '^FileVersion=' <<<"$resource"), $(grep '^CompanyName=' <<<"$resource")"
else
    Record FAIL "DLL version resource" "missing ${absent[*]:-the project version}; read: $(tr '\n' ';' <<<"$resource")"
fi

# 5. Wine: a private 64-bit prefix in the build folder, made once, headless.
export WINEPREFIX="$buildDir/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts
stageStart=$SECONDS
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    if ! wineboot -i >/dev/null 2>&1 || ! wineserver -w; then
        Record FAIL "Wine prefix" "wineboot -i failed in $WINEPREFIX"
        Finish
    fi
fi
Record PASS "Wine prefix" "$((SECONDS - stageStart)) s"

# 6. The host checks under Wine, on Xvfb with Mesa's llvmpipe behind Wine's WGL.
testOptions=(--require-overlay)
[[ "${ZAO_OVERLAY_OPTIONAL:-0}" == 1 ]] && testOptions=()
# Wine's drive Z: is the Unix root. (winepath would start Wine's desktop
# process outside the virtual display, and windows could not be made after it.)
dllForWine="Z:${dll//\//\\}"
stageStart=$SECONDS
timeout 600 xvfb-run -a -s "-noreset -screen 0 1280x1024x24" wine "$testExe" "${testOptions[@]}" "$dllForWine" 2>&1 | tee "$buildDir/windows-checks/WindowsPluginTest.log" |
    grep -v '^X connection to .* broken'
testStatus=${PIPESTATUS[0]}
wineSeconds=$((SECONDS - stageStart))
wineserver -k 2>/dev/null || true
testLine="$(grep -E '^WindowsPluginTest: ' "$buildDir/windows-checks/WindowsPluginTest.log" | tail -n 1)"
if [[ $testStatus -eq 0 && -n "$testLine" ]]; then
    Record PASS "Wine host checks" "${testLine#WindowsPluginTest: }, $wineSeconds s"
else
    Record FAIL "Wine host checks" "exit $testStatus${testLine:+, ${testLine#WindowsPluginTest: }}, $wineSeconds s"
fi

Finish
