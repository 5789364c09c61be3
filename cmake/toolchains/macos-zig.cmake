# What the two macOS toolchains share (macos-x86_64.cmake, macos-arm64.cmake):
# zig's clang compiles, with zig's libc++ and Apple's libc headers; Debian's
# ld64.lld links, since zig's own linker makes no MH_BUNDLE. No Apple SDK is
# needed: libSystem's stub comes with zig, the OpenGL framework's is ours
# (cmake/macos/OpenGL.tbd).
#
# The first configure of a build folder installs zig if it is missing
# (tools/macos/InstallZig.sh), links a probe with zig so that zig builds
# libc++, libc++abi and its compiler runtime for the target, and writes two
# wrappers into macos-toolchain/: the compiler (zig c++ for the target, its
# caches in the build folder) and the linker (ld64.lld with the target, those
# runtime libraries, libSystem and an ad-hoc signature).
#   ZAO_ZIG_GLOBAL_CACHE_DIR  where zig keeps its libc++ builds (default
#                             build-macos/zig-cache, which every macOS build
#                             folder of the checkout shares, release ones too)
#   ZAO_GLEW_ROOT             GLEW for this target (default build-macos-ARCH/glew)
# zig's cache of the build's own objects stays in the build folder.

if(NOT ZAO_MACOS_ARCH OR NOT ZAO_MACOS_MINIMUM)
  message(FATAL_ERROR "Use cmake/toolchains/macos-x86_64.cmake or cmake/toolchains/macos-arm64.cmake")
endif()

set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_PROCESSOR ${ZAO_MACOS_ARCH})
# CMake's own Apple settings stay empty: no -arch, -isysroot or
# -mmacosx-version-min from CMake; the wrappers carry the target.
set(CMAKE_OSX_ARCHITECTURES "" CACHE STRING "" FORCE)
set(CMAKE_OSX_DEPLOYMENT_TARGET "" CACHE STRING "" FORCE)
set(CMAKE_OSX_SYSROOT "" CACHE PATH "" FORCE)

get_filename_component(zaoRepo ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)
# try_compile projects read this file again in a folder of their own; they
# take the wrappers the top-level configure wrote.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZAO_MACOS_TOOLCHAIN_DIR)
if(NOT ZAO_MACOS_TOOLCHAIN_DIR)
  set(ZAO_MACOS_TOOLCHAIN_DIR ${CMAKE_BINARY_DIR}/macos-toolchain)
  set(zaoWriteToolchain ON)
else()
  set(zaoWriteToolchain OFF)
endif()

if(ZAO_MACOS_ARCH STREQUAL "arm64")
  set(zaoZigArch aarch64)
else()
  set(zaoZigArch ${ZAO_MACOS_ARCH})
endif()
# zig 0.11 has Apple's libc headers of macOS 11, 12 and 13 and targets no
# older macOS, so the target's headers are 11's. A slice meant for an older
# macOS (x86_64 from 10.15) takes clang's triple for its own minimum, as
# Apple's compilers take a lower deployment target with a newer SDK: an API
# newer than the minimum is then an availability warning, an error here.
set(zaoZigTarget ${zaoZigArch}-macos.11.0)
set(zaoTriple "")
if(ZAO_MACOS_MINIMUM VERSION_LESS 11.0)
  set(zaoTriple "-Xclang -triple -Xclang ${ZAO_MACOS_ARCH}-apple-macosx${ZAO_MACOS_MINIMUM}.0")
endif()

set(CMAKE_C_COMPILER ${ZAO_MACOS_TOOLCHAIN_DIR}/cc)
set(CMAKE_CXX_COMPILER ${ZAO_MACOS_TOOLCHAIN_DIR}/c++)
set(CMAKE_LINKER ${ZAO_MACOS_TOOLCHAIN_DIR}/ld)
# Links run through the linker wrapper, not the compiler (macos-link-rules.cmake).
set(CMAKE_USER_MAKE_RULES_OVERRIDE_C ${CMAKE_CURRENT_LIST_DIR}/macos-link-rules.cmake)
set(CMAKE_USER_MAKE_RULES_OVERRIDE_CXX ${CMAKE_CURRENT_LIST_DIR}/macos-link-rules.cmake)
set(ZAO_MACOS_OPENGL_STUB ${zaoRepo}/cmake/macos/OpenGL.tbd)
# Release bundles ship without debug information.
set(CMAKE_MODULE_LINKER_FLAGS_RELEASE_INIT "-S")
set(CMAKE_MODULE_LINKER_FLAGS_MINSIZEREL_INIT "-S")

if(NOT ZAO_GLEW_ROOT)
  if(DEFINED ENV{ZAO_GLEW_ROOT})
    set(ZAO_GLEW_ROOT $ENV{ZAO_GLEW_ROOT})
  else()
    set(ZAO_GLEW_ROOT ${zaoRepo}/build-macos-${ZAO_MACOS_ARCH}/glew)
  endif()
endif()
set(CMAKE_FIND_ROOT_PATH ${ZAO_GLEW_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_FIND_FRAMEWORK NEVER)

find_program(ZAO_LLVM_AR NAMES llvm-ar llvm-ar-14 HINTS /usr/lib/llvm-14/bin REQUIRED)
find_program(ZAO_LLVM_RANLIB NAMES llvm-ranlib llvm-ranlib-14 HINTS /usr/lib/llvm-14/bin REQUIRED)
set(CMAKE_AR ${ZAO_LLVM_AR})
set(CMAKE_RANLIB ${ZAO_LLVM_RANLIB})

if(NOT zaoWriteToolchain)
  return()
endif()

# --- The top-level configure: zig, its runtime libraries, the wrappers ------
execute_process(COMMAND bash ${zaoRepo}/tools/macos/InstallZig.sh
  OUTPUT_VARIABLE ZAO_ZIG OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE zaoResult)
if(NOT zaoResult EQUAL 0 OR NOT EXISTS "${ZAO_ZIG}")
  message(FATAL_ERROR "zig could not be installed (tools/macos/InstallZig.sh failed)")
endif()
find_program(ZAO_LD64 NAMES ld64.lld ld64.lld-14 HINTS /usr/lib/llvm-14/bin)
if(NOT ZAO_LD64)
  message(FATAL_ERROR "ld64.lld is missing (apt-get install lld, or run tools/install-packages.sh)")
endif()

if(NOT ZAO_ZIG_GLOBAL_CACHE_DIR)
  set(ZAO_ZIG_GLOBAL_CACHE_DIR ${zaoRepo}/build-macos/zig-cache)
endif()
set(zaoZigLocalCache ${CMAKE_BINARY_DIR}/zig-cache)
get_filename_component(zaoZigRoot ${ZAO_ZIG} DIRECTORY)
# The oldest libSystem zig has, the one its headers for the target describe.
set(ZAO_MACOS_LIBSYSTEM ${zaoZigRoot}/lib/libc/darwin/libSystem.11.tbd)

# zig builds libc++, libc++abi and its compiler runtime when it links C++;
# its verbose link line names the archives in its cache.
set(zaoProbeDir ${CMAKE_BINARY_DIR}/macos-toolchain/runtime-probe)
file(MAKE_DIRECTORY ${zaoProbeDir})
file(WRITE ${zaoProbeDir}/probe.cpp "#include <string>\nint main(int argc, char**) { return static_cast<int>(std::to_string(argc).size()); }\n")
message(STATUS "zig's libc++, libc++abi and compiler runtime for ${zaoZigTarget} (built on first use of the cache)")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env ZIG_GLOBAL_CACHE_DIR=${ZAO_ZIG_GLOBAL_CACHE_DIR}
          ZIG_LOCAL_CACHE_DIR=${zaoZigLocalCache} ZIG_VERBOSE_LINK=1
          ${ZAO_ZIG} c++ -target ${zaoZigTarget} -O2 probe.cpp -o probe
  WORKING_DIRECTORY ${zaoProbeDir}
  OUTPUT_VARIABLE zaoProbeOutput ERROR_VARIABLE zaoProbeOutput RESULT_VARIABLE zaoResult)
set(ZAO_MACOS_RUNTIME "")
foreach(archive libc++ libc++abi libcompiler_rt)
  string(REPLACE "+" "\\+" pattern "${archive}")
  if(zaoProbeOutput MATCHES "[ \n](/[^ \n]*/${pattern}\\.a)[ \n]")
    list(APPEND ZAO_MACOS_RUNTIME ${CMAKE_MATCH_1})
  else()
    message(FATAL_ERROR "zig did not build ${archive}.a for ${zaoZigTarget}:\n${zaoProbeOutput}")
  endif()
endforeach()

file(MAKE_DIRECTORY ${ZAO_MACOS_TOOLCHAIN_DIR})
file(RELATIVE_PATH zaoZigGlobalCacheFromHere ${ZAO_MACOS_TOOLCHAIN_DIR} ${ZAO_ZIG_GLOBAL_CACHE_DIR})
set(ZAO_MACOS_TRIPLE_FLAGS "${zaoTriple}")
foreach(driver cc c++)
  set(ZAO_ZIG_DRIVER ${driver})
  configure_file(${CMAKE_CURRENT_LIST_DIR}/macos-compiler.sh.in ${ZAO_MACOS_TOOLCHAIN_DIR}/${driver}
                 @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()
list(JOIN ZAO_MACOS_RUNTIME "' '" ZAO_MACOS_RUNTIME_ARGS)
configure_file(${CMAKE_CURRENT_LIST_DIR}/macos-linker.sh.in ${ZAO_MACOS_TOOLCHAIN_DIR}/ld
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
