#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests (zink over lavapipe:
# mesa-vulkan-drivers; xdotool drives zao-host play's window), the demo and the
# release archives (zip, mingw-w64; dpkg-dev for GLEW's source package; lld and
# llvm for the macOS bundle) need, skipping those already present, then zig,
# the macOS compiler (tools/macos/InstallZig.sh). Run as root (or with sudo
# available).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  libglew-dev libgl-dev libegl-dev libx11-dev khronos-api python3
  libgl1-mesa-dri libglx-mesa0 libegl-mesa0 mesa-vulkan-drivers
  xvfb xauth
  libgtest-dev libbenchmark-dev
  libpng-dev libcli11-dev ffmpeg
  libglfw3-dev libimgui-dev libstb-dev xdotool
  libopencv-dev
  zip unzip mingw-w64 dpkg-dev lld llvm
  "$@"
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

"$(dirname "$0")/macos/InstallZig.sh" >/dev/null
