#!/usr/bin/env bash
# The whole test run on a fresh Debian 12 machine: packages, configure,
# build, every test through ctest on a virtual X display, the frame tests
# again in every kind of context and on zink and threaded dispatch, the
# Windows DLL's checks under Wine, the GL-free tests built for macOS on x86_64
# and arm64, the suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer with leak checks, a bounded fuzzing run, and the
# release archives made twice from clean build folders and checked unpacked.
# Ends with a table of its stages and their seconds, also when one fails.
#   ZAO_FUZZ_SECONDS=N   seconds per fuzzer (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."

stages=()
# stage NAME COMMAND...: runs the command, keeps its seconds for the table.
stage() {
  local name="$1" start=$SECONDS
  shift
  if "$@"; then
    stages+=("$name|$((SECONDS - start))|passed")
  else
    stages+=("$name|$((SECONDS - start))|FAILED")
    exit 1
  fi
}
print_stages() {
  echo
  printf '%-22s %8s  %s\n' "stage" "seconds" "result"
  local row name seconds result
  for row in "${stages[@]}"; do
    IFS='|' read -r name seconds result <<<"$row"
    printf '%-22s %8s  %s\n' "$name" "$seconds" "$result"
  done
  printf '%-22s %8s\n' "total" "$SECONDS"
}
trap print_stages EXIT

stage packages tools/install-packages.sh
# Repeated builds of the same sources (a second run, the sanitized and fuzzing
# builds, the Windows DLL) come from ccache. The release archives are built
# without it, so that their byte-for-byte comparison compares two real builds.
# Paths are taken relative to the checkout, so that a fresh clone in another
# folder (every CI run) still finds what an earlier clone compiled.
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
stage build bash -c 'cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release && cmake --build build -j"$(nproc)"'
# -noreset: a server that resets when its last client leaves refuses the
# next one for a moment, which parallel tests hit now and then.
stage ctest bash -c 'cd build && xvfb-run -a -s "-noreset -screen 0 1280x1024x24" ctest --output-on-failure -j"$(nproc)"'
stage "GL context matrix" tools/glmatrix/RunGlMatrix.sh build
stage "Windows checks" tools/windows/RunWindowsChecks.sh
stage "macOS logic tests" tools/macos/BuildLogicTests.sh
stage sanitizers tools/sanitize/RunSanitizedTests.sh
stage fuzzers tools/fuzz/RunFuzzers.sh
stage "release checks" env -u CMAKE_C_COMPILER_LAUNCHER -u CMAKE_CXX_COMPILER_LAUNCHER tools/package/CheckRelease.sh
