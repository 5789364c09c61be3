#!/usr/bin/env bash
# The GL-free tests (tests/tracker/analysis, tests/tracker/overlay) compiled
# with -Werror and linked for macOS on x86_64 (10.15) and arm64 (11.0), in
# build-macos-x86_64/ and build-macos-arm64/. They cannot run here: that they
# build for both is the check. The first run installs zig if needed, has zig
# build libc++ for each architecture into build-macos/zig-cache and builds
# GLEW (as every macOS configure does); later runs rebuild what changed.
#
#   tools/macos/BuildLogicTests.sh
#
# Under the test command's ccache (CMAKE_CXX_COMPILER_LAUNCHER), the compiler
# wrappers are compared by content: each configure writes them anew, and the
# same content in another checkout is the same compiler.
set -euo pipefail
export CCACHE_COMPILERCHECK=content

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
for arch in x86_64 arm64; do
    start=$SECONDS
    folder="$repo/build-macos-$arch"
    cmake -S "$repo" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchains/macos-$arch.cmake" \
        -DZAO_BUILD_TESTS=OFF -DZAO_BUILD_TOOLS=OFF -DZAO_BUILD_BENCHMARKS=OFF \
        -DZAO_BUILD_MACOS_LOGIC_TESTS=ON >/dev/null
    cmake --build "$folder" --target zao_macos_logic_tests -j"$(nproc)"
    tests=("$folder"/tests/macos/*Test)
    echo "macOS $arch: ${#tests[@]} GL-free test executables linked in ${folder#"$repo/"}/tests/macos, $((SECONDS - start)) s"
done
