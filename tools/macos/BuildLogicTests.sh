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
logs="$repo/build-macos/logic-tests"
mkdir -p "$logs"
build() {
    local arch="$1" start=$SECONDS folder="$repo/build-macos-$1"
    cmake -S "$repo" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchains/macos-$arch.cmake" \
        -DZAO_BUILD_TESTS=OFF -DZAO_BUILD_TOOLS=OFF -DZAO_BUILD_BENCHMARKS=OFF \
        -DZAO_BUILD_MACOS_LOGIC_TESTS=ON >/dev/null
    cmake --build "$folder" --target zao_macos_logic_tests -j"$(nproc)"
    local tests=("$folder"/tests/macos/*Test)
    echo "macOS $arch: ${#tests[@]} GL-free test executables linked in ${folder#"$repo/"}/tests/macos, $((SECONDS - start)) s"
}
# Both architectures side by side: much of each is one thread at a time
# (configuring through zig, zig's runtime build, GLEW's one large file), so
# the two overlap well on two cores. Each one's output follows when both end.
pids=()
for arch in x86_64 arm64; do
    build "$arch" >"$logs/$arch.log" 2>&1 &
    pids+=($!)
done
status=0
for i in 0 1; do
    wait "${pids[$i]}" || status=1
done
for arch in x86_64 arm64; do
    cat "$logs/$arch.log"
done
exit "$status"
