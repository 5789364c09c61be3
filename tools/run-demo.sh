#!/usr/bin/env bash
# The main job on a fresh Debian 12 machine: packages, build, then the
# built-in demo scene rendered through the plug-in into out/ (video, contact
# sheet, timing summary). No GPU needed: Mesa renders in software.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZAO_BUILD_TESTS=OFF
cmake --build build -j"$(nproc)" --target ZudArazOdudave zao-host
mkdir -p out
build/tools/zao-host render build/plugin/ZudArazOdudave.so \
  --size 1280x720 --frames 120 --fps 30 \
  --output out/demo.mp4 --contact-sheet out/contact-sheet.png --timing out/timing.txt "$@"
