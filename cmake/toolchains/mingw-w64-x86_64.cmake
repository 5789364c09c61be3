# Cross-build for 64-bit Windows with Debian's mingw-w64 (x86_64-w64-mingw32):
# the plug-in becomes ZudArazOdudave.dll, the Windows checks .exe files for Wine.
#
#   cmake -S . -B build-windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
#     -DZAO_BUILD_TESTS=OFF -DZAO_BUILD_TOOLS=OFF -DZAO_BUILD_BENCHMARKS=OFF
#
# GLEW comes from tools/BuildGlew.sh, which the configure step runs
# when build-windows/glew lacks it; ZAO_GLEW_ROOT (cache or environment)
# points elsewhere.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZAO_MINGW_TRIPLET x86_64-w64-mingw32)
# win32 threads need no winpthread at run time; posix is there for code that
# wants std::thread or std::mutex from GCC 12's libstdc++.
if(NOT ZAO_MINGW_THREADS)
  if(DEFINED ENV{ZAO_MINGW_THREADS})
    set(ZAO_MINGW_THREADS $ENV{ZAO_MINGW_THREADS})
  else()
    set(ZAO_MINGW_THREADS win32)
  endif()
endif()

find_program(ZAO_MINGW_CC NAMES ${ZAO_MINGW_TRIPLET}-gcc-${ZAO_MINGW_THREADS} ${ZAO_MINGW_TRIPLET}-gcc REQUIRED)
find_program(ZAO_MINGW_CXX NAMES ${ZAO_MINGW_TRIPLET}-g++-${ZAO_MINGW_THREADS} ${ZAO_MINGW_TRIPLET}-g++ REQUIRED)
find_program(ZAO_MINGW_RC NAMES ${ZAO_MINGW_TRIPLET}-windres)
set(CMAKE_C_COMPILER ${ZAO_MINGW_CC})
set(CMAKE_CXX_COMPILER ${ZAO_MINGW_CXX})
if(ZAO_MINGW_RC)
  set(CMAKE_RC_COMPILER ${ZAO_MINGW_RC})
endif()

if(NOT ZAO_GLEW_ROOT)
  if(DEFINED ENV{ZAO_GLEW_ROOT})
    set(ZAO_GLEW_ROOT $ENV{ZAO_GLEW_ROOT})
  else()
    get_filename_component(ZAO_GLEW_ROOT ${CMAKE_CURRENT_LIST_DIR}/../../build-windows/glew ABSOLUTE)
  endif()
endif()

# Headers and libraries from the mingw sysroot and our GLEW only, never the build machine's.
set(CMAKE_FIND_ROOT_PATH /usr/${ZAO_MINGW_TRIPLET} ${ZAO_GLEW_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained file: the GCC runtime goes into each binary, so nothing
# but Windows system DLLs and opengl32.dll is needed beside it.
if(ZAO_MINGW_THREADS STREQUAL "posix")
  set(zaoStaticRuntime "-static")
else()
  set(zaoStaticRuntime "-static-libgcc -static-libstdc++")
endif()
set(CMAKE_EXE_LINKER_FLAGS_INIT "${zaoStaticRuntime}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${zaoStaticRuntime}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${zaoStaticRuntime}")
# Release DLLs ship without the symbol table (about half the file).
set(CMAKE_MODULE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_MODULE_LINKER_FLAGS_MINSIZEREL_INIT "-s")
