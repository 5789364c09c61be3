# Compiler settings for our own targets: warnings as errors, and the stated
# single-precision arithmetic kept as written (no contraction, no fast-math).
add_library(zao_options INTERFACE)
if(MSVC)
  target_compile_options(zao_options INTERFACE /W4 /WX /fp:precise)
else()
  target_compile_options(zao_options INTERFACE -Wall -Wextra -Werror -ffp-contract=off -fno-fast-math)
endif()

# --- Sanitized and fuzzing builds (tools/sanitize, tools/fuzz) ---------------
# ZAO_SANITIZE instruments every target of the tree with AddressSanitizer and
# UndefinedBehaviorSanitizer. ZAO_BUILD_FUZZERS (clang only) implies it and adds
# libFuzzer's coverage, so the plug-in code the fuzzers link is instrumented too.
option(ZAO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(ZAO_BUILD_FUZZERS "Build the libFuzzer harnesses of tests/fuzz (needs clang)" OFF)
# ZAO_SANITIZE_THREAD instruments every target with ThreadSanitizer instead,
# for the tests of hosts that call from several threads at once.
option(ZAO_SANITIZE_THREAD "Build with ThreadSanitizer" OFF)
if(ZAO_SANITIZE_THREAD)
  if(ZAO_SANITIZE OR ZAO_BUILD_FUZZERS OR MSVC)
    message(FATAL_ERROR "ZAO_SANITIZE_THREAD stands alone, with GCC or clang")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
  add_compile_definitions(ZAO_SANITIZED ZAO_THREAD_SANITIZED)
endif()
if(ZAO_BUILD_FUZZERS AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "ZAO_BUILD_FUZZERS needs clang: configure with CC=clang CXX=clang++")
endif()
if(ZAO_SANITIZE OR ZAO_BUILD_FUZZERS)
  if(MSVC)
    message(FATAL_ERROR "ZAO_SANITIZE and ZAO_BUILD_FUZZERS are for GCC and clang")
  endif()
  set(ZAO_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_compile_options(${ZAO_SANITIZER_FLAGS})
  add_link_options(${ZAO_SANITIZER_FLAGS})
  # Lets the few tests that inspect the built file know about the runtime it carries.
  add_compile_definitions(ZAO_SANITIZED)
  if(ZAO_BUILD_FUZZERS)
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
  if(ZAO_SANITIZE AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
    # Leak checks in executables: plug-ins stay loaded (a module gone before
    # the check leaves unattributable reports), and the X, GLX, EGL and GLEW
    # set-up calls are wrapped so that what those libraries keep is not ours.
    add_library(zao_sanitizer_support STATIC
      ${PROJECT_SOURCE_DIR}/tests/sanitizers/KeepModulesLoaded.cpp
      ${PROJECT_SOURCE_DIR}/tests/sanitizers/ThirdPartyLeaks.cpp)
    set_target_properties(zao_sanitizer_support PROPERTIES ARCHIVE_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/sanitizers)
    set(zaoWrapped dlclose XOpenDisplay glXChooseFBConfig glXMakeContextCurrent glXCreatePbuffer
                   eglInitialize eglCreateContext eglMakeCurrent glewInit)
    list(TRANSFORM zaoWrapped PREPEND "--wrap=")
    list(JOIN zaoWrapped "," zaoWrapped)
    set(zaoIsExecutable "$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>")
    add_link_options("$<${zaoIsExecutable}:LINKER:${zaoWrapped}>")
    # Listed for the build order; repeated at the very end of the line, where
    # the references of every library before it pull in the wrappers they need.
    link_libraries("$<${zaoIsExecutable}:zao_sanitizer_support>")
    string(APPEND CMAKE_CXX_LINK_EXECUTABLE " ${PROJECT_BINARY_DIR}/sanitizers/libzao_sanitizer_support.a")
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC's instrumentation hides initialisations from its flow analysis
    # (std::regex, std::function): false alarms, not findings. After -Wall.
    target_compile_options(zao_options INTERFACE -Wno-maybe-uninitialized)
  endif()
endif()
