# Finds what zao-host play is built from: GLFW 3.3 (libglfw3-dev), Dear ImGui
# (libimgui-dev: libimgui.a and its headers, with stb's font code from
# libstb-dev) and the GLFW and OpenGL 3 backends' sources the package ships.
# Sets ZAO_PLAY_AVAILABLE and makes zao_imgui_backends. ZAO_BUILD_PLAY=OFF
# leaves play out; ON makes a missing piece an error.
set(ZAO_BUILD_PLAY AUTO CACHE STRING "Build zao-host play: AUTO (when GLFW and Dear ImGui are found), ON, OFF")
set(ZAO_IMGUI_BACKENDS_DIR /usr/share/doc/libimgui-dev/examples/backends
    CACHE PATH "Folder with imgui_impl_glfw.cpp and imgui_impl_opengl3.cpp")
set(ZAO_PLAY_AVAILABLE OFF)

if(NOT ZAO_BUILD_PLAY STREQUAL "OFF")
  find_package(glfw3 3.3 QUIET)
  find_path(ZAO_IMGUI_INCLUDE_DIR imgui.h PATH_SUFFIXES imgui)
  find_library(ZAO_IMGUI_LIBRARY NAMES imgui)
  find_library(ZAO_STB_LIBRARY NAMES stb)
  set(missing "")
  if(NOT glfw3_FOUND)
    list(APPEND missing "GLFW 3.3 (libglfw3-dev)")
  endif()
  if(NOT ZAO_IMGUI_INCLUDE_DIR OR NOT ZAO_IMGUI_LIBRARY OR NOT ZAO_STB_LIBRARY)
    list(APPEND missing "Dear ImGui (libimgui-dev)")
  endif()
  if(NOT EXISTS ${ZAO_IMGUI_BACKENDS_DIR}/imgui_impl_glfw.cpp OR
     NOT EXISTS ${ZAO_IMGUI_BACKENDS_DIR}/imgui_impl_opengl3.cpp)
    list(APPEND missing "the Dear ImGui backends' sources in ${ZAO_IMGUI_BACKENDS_DIR}")
  endif()
  if(missing)
    if(ZAO_BUILD_PLAY STREQUAL "ON")
      message(FATAL_ERROR "zao-host play needs ${missing}")
    endif()
    message(STATUS "zao-host is built without play: missing ${missing}")
  else()
    set(ZAO_PLAY_AVAILABLE ON)
    # Third-party code: built with its own warnings, not ours.
    add_library(zao_imgui_backends STATIC
      ${ZAO_IMGUI_BACKENDS_DIR}/imgui_impl_glfw.cpp
      ${ZAO_IMGUI_BACKENDS_DIR}/imgui_impl_opengl3.cpp)
    target_include_directories(zao_imgui_backends SYSTEM PUBLIC ${ZAO_IMGUI_INCLUDE_DIR}
                               ${ZAO_IMGUI_INCLUDE_DIR}/backends)
    target_link_libraries(zao_imgui_backends PUBLIC ${ZAO_IMGUI_LIBRARY} ${ZAO_STB_LIBRARY} glfw zao::glew_static
                          ${CMAKE_DL_LIBS})
    # The OpenGL 3 backend calls GL through our GLEW rather than its own
    # loader, whose table in this version is one entry short (found by
    # UndefinedBehaviorSanitizer: a write past its end at start-up).
    set_source_files_properties(${ZAO_IMGUI_BACKENDS_DIR}/imgui_impl_opengl3.cpp PROPERTIES
      COMPILE_DEFINITIONS IMGUI_IMPL_OPENGL_LOADER_CUSTOM
      COMPILE_OPTIONS "-include;GL/glew.h")
    set_target_properties(zao_imgui_backends PROPERTIES POSITION_INDEPENDENT_CODE ON)
  endif()
endif()
