# GLEW linked statically into the plug-in, so that the library needs nothing
# at run time but the system OpenGL. Defines the target zao::glew_static.
set(OpenGL_GL_PREFERENCE GLVND)
if(MINGW AND CMAKE_CROSSCOMPILING AND ZAO_GLEW_ROOT AND NOT EXISTS "${ZAO_GLEW_ROOT}/lib/libglew32s.a")
  # Debian ships no GLEW for mingw-w64: build it from Debian's own glew source
  # package the first time, so that one configure line is all a Windows build needs.
  message(STATUS "Building GLEW for Windows into ${ZAO_GLEW_ROOT}")
  execute_process(
    COMMAND bash ${PROJECT_SOURCE_DIR}/tools/windows/BuildGlew.sh ${CMAKE_BINARY_DIR}/glew-src ${ZAO_GLEW_ROOT}
    RESULT_VARIABLE glewBuildResult)
  if(NOT glewBuildResult EQUAL 0)
    message(FATAL_ERROR "GLEW for Windows could not be built (tools/windows/BuildGlew.sh failed)")
  endif()
endif()
find_package(OpenGL REQUIRED)
find_path(GLEW_INCLUDE_DIR GL/glew.h REQUIRED)
find_library(GLEW_STATIC_LIBRARY NAMES libGLEW.a glew32s libglew32.a GLEW REQUIRED)
add_library(zao_glew_static INTERFACE)
target_include_directories(zao_glew_static SYSTEM INTERFACE ${GLEW_INCLUDE_DIR})
target_compile_definitions(zao_glew_static INTERFACE GLEW_STATIC)
target_link_libraries(zao_glew_static INTERFACE ${GLEW_STATIC_LIBRARY} OpenGL::GL)
add_library(zao::glew_static ALIAS zao_glew_static)
