#!/usr/bin/env bash
# The whole test run on a fresh Debian 12 machine: packages, configure,
# build, every test through ctest on a virtual X display, the frame tests
# again in every kind of context and on zink and threaded dispatch, the Windows DLL's
# checks under Wine, the suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer with leak checks, a bounded fuzzing run, and the
# release archives made twice from clean build folders and checked unpacked.
#   ZAO_FUZZ_SECONDS=N   seconds per fuzzer (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
# -noreset: a server that resets when its last client leaves refuses the
# next one for a moment, which parallel tests hit now and then.
(cd build && xvfb-run -a -s "-noreset -screen 0 1280x1024x24" ctest --output-on-failure -j"$(nproc)")
tools/glmatrix/RunGlMatrix.sh build

tools/windows/RunWindowsChecks.sh
tools/sanitize/RunSanitizedTests.sh
tools/fuzz/RunFuzzers.sh
tools/package/CheckRelease.sh
