# Cross-build for Intel Macs (x86_64, macOS 10.15 and later) with zig and
# Debian's ld64.lld (macos-zig.cmake): the plug-in becomes
# plugin/ZudArazOdudave.bundle. tools/package/MakeRelease.sh joins this slice
# and the arm64 one into the universal bundle.
#
#   cmake -S . -B build-macos-x86_64 -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/macos-x86_64.cmake \
#     -DZAO_BUILD_TESTS=OFF -DZAO_BUILD_TOOLS=OFF -DZAO_BUILD_BENCHMARKS=OFF
set(ZAO_MACOS_ARCH x86_64)
set(ZAO_MACOS_MINIMUM 10.15)
include(${CMAKE_CURRENT_LIST_DIR}/macos-zig.cmake)
