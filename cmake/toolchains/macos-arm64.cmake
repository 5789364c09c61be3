# Cross-build for Apple Silicon Macs (arm64, macOS 11 and later) with zig and
# Debian's ld64.lld (macos-zig.cmake): the plug-in becomes
# plugin/ZudArazOdudave.bundle. tools/package/MakeRelease.sh joins this slice
# and the x86_64 one into the universal bundle.
#
#   cmake -S . -B build-macos-arm64 -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/macos-arm64.cmake \
#     -DZAO_BUILD_TESTS=OFF -DZAO_BUILD_TOOLS=OFF -DZAO_BUILD_BENCHMARKS=OFF
set(ZAO_MACOS_ARCH arm64)
set(ZAO_MACOS_MINIMUM 11.0)
include(${CMAKE_CURRENT_LIST_DIR}/macos-zig.cmake)
