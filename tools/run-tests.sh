#!/usr/bin/env bash
# The whole test run on a fresh Debian 12 machine: packages, configure,
# build, every test through ctest on a virtual X display, then the Windows
# DLL's checks under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
(cd build && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"$(nproc)")

tools/windows/RunWindowsChecks.sh
