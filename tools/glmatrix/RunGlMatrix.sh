#!/usr/bin/env bash
# The frame tests (ctest label glmatrix) again in every kind of context a
# host gives and on a second GL implementation, after the main run in a GLX
# core context on llvmpipe:
#   forward, compat, debug   GLX contexts of those kinds (ZAO_GL_CONTEXT)
#   mac                      macOS's 4.1 core as the host kit imitates it: its
#                            extension list, nothing past 4.1
#   egl                      an EGL core context, no X at all
#   zink                     Mesa's GL on Vulkan (lavapipe), GLX core
#   glthread                 llvmpipe with Mesa's threaded dispatch, GLX core
# zink and glthread also run the validator's tests (label glvalidator), whose
# zao-host children inherit the driver. Usage: tools/glmatrix/RunGlMatrix.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"

runtime_dir="$(mktemp -d)"
trap 'rm -rf "$runtime_dir"' EXIT
chmod 700 "$runtime_dir"

run() {
  local name="$1" labels="$2"
  shift 2
  echo "== GL matrix: $name"
  local start=$SECONDS
  (cd "$build" && env "$@" xvfb-run -a -s "-noreset -screen 0 1280x1024x24" \
    ctest --output-on-failure -j"$(nproc)" -L "$labels")
  echo "== GL matrix: $name passed in $((SECONDS - start)) s"
}

for kind in forward compat debug mac; do
  run "$kind" glmatrix ZAO_GL_CONTEXT="$kind"
done
# No display: EGL needs none, and a GLX context could not be made by mistake.
echo "== GL matrix: egl"
(cd "$build" && env -u DISPLAY ZAO_GL_CONTEXT=egl ctest --output-on-failure -j"$(nproc)" -L glmatrix)
run zink "glmatrix|glvalidator" GALLIUM_DRIVER=zink LIBGL_ALWAYS_SOFTWARE=1 XDG_RUNTIME_DIR="$runtime_dir"
run glthread "glmatrix|glvalidator" mesa_glthread=true
