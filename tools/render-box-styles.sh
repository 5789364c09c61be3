#!/usr/bin/env bash
# Renders one frame of the generated scene per box style (Rectangle, Corners,
# Brackets, Dashed) through the plug-in, as PNG files, plus a 2 x 2 montage.
#   tools/render-box-styles.sh [OUTPUT_DIR]    (default out/box-styles; needs a built tree)
set -euo pipefail
cd "$(dirname "$0")/.."
outDir="${1:-out/box-styles}"
host=build/tools/zao-host
plugin=build/plugin/ZudArazOdudave.so
mkdir -p "$outDir"
for style in Rectangle Corners Brackets Dashed; do
  frames="$(mktemp -d)"
  "$host" render "$plugin" --size 960x540 --frames 40 --seed 3 --frames-dir "$frames" \
    --set "Box Style=$style" --set "Show Network=on" >/dev/null
  cp "$frames/frame-000039.png" "$outDir/$style.png"
  rm -rf "$frames"
done
ffmpeg -loglevel error -y -i "$outDir/Rectangle.png" -i "$outDir/Corners.png" -i "$outDir/Brackets.png" \
  -i "$outDir/Dashed.png" -filter_complex "[0][1][2][3]xstack=inputs=4:layout=0_0|w0_0|0_h0|w0_h0" \
  "$outDir/montage.png"
echo "$outDir: Rectangle.png Corners.png Brackets.png Dashed.png montage.png"
