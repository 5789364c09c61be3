# Link rules of the macOS toolchains (macos-zig.cmake), read after CMake's own
# Darwin rules: every link goes straight to the linker wrapper, which adds the
# target, the runtime libraries and the signature. CMake's compiler-driver
# flags (-Wl,-headerpad_max_install_names, -Wl,-search_paths_first) are left out.
foreach(lang C CXX)
  set(CMAKE_${lang}_LINK_FLAGS "")
  set(CMAKE_SHARED_MODULE_CREATE_${lang}_FLAGS "")
  set(CMAKE_SHARED_LIBRARY_CREATE_${lang}_FLAGS "")
  # CMake's compiler checks link with -v only (zig refuses -Wl,-v).
  set(CMAKE_${lang}_VERBOSE_FLAG "-v")
  # LINKER: options reach the linker as they are, with no -Wl, around them.
  set(CMAKE_${lang}_LINKER_WRAPPER_FLAG "")
  set(CMAKE_${lang}_LINKER_WRAPPER_FLAG_SEP "")
  set(CMAKE_${lang}_LINK_EXECUTABLE "<CMAKE_LINKER> -execute <LINK_FLAGS> -o <TARGET> <OBJECTS> <LINK_LIBRARIES>")
  set(CMAKE_${lang}_CREATE_SHARED_MODULE "<CMAKE_LINKER> -bundle <LINK_FLAGS> -o <TARGET> <OBJECTS> <LINK_LIBRARIES>")
  set(CMAKE_${lang}_CREATE_SHARED_LIBRARY
      "<CMAKE_LINKER> -dylib <LINK_FLAGS> -o <TARGET> -install_name <TARGET_INSTALLNAME_DIR><TARGET_SONAME> <OBJECTS> <LINK_LIBRARIES>")
endforeach()
