# GLEW linked statically into the plug-in, so that the library needs nothing
# at run time but the system OpenGL. Defines the target zao::glew_static.
set(OpenGL_GL_PREFERENCE GLVND)
# Debian ships no GLEW for mingw-w64 or macOS: build it from Debian's own glew
# source package the first time, so that one configure line is all a Windows
# or macOS build needs.
if(MINGW AND CMAKE_CROSSCOMPILING AND ZAO_GLEW_ROOT AND NOT EXISTS "${ZAO_GLEW_ROOT}/lib/libglew32s.a")
  set(zaoGlewBuild "")
elseif(APPLE AND CMAKE_CROSSCOMPILING AND ZAO_GLEW_ROOT AND NOT EXISTS "${ZAO_GLEW_ROOT}/lib/libGLEW.a")
  set(zaoGlewBuild --cc ${CMAKE_C_COMPILER} --ar ${CMAKE_AR} --library libGLEW.a --optimize -Os)
endif()
if(DEFINED zaoGlewBuild AND CMAKE_CXX_COMPILER_LAUNCHER)
  list(APPEND zaoGlewBuild --launcher ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()
if(DEFINED zaoGlewBuild)
  message(STATUS "Building GLEW for ${CMAKE_SYSTEM_NAME} ${CMAKE_SYSTEM_PROCESSOR} into ${ZAO_GLEW_ROOT}")
  execute_process(
    COMMAND bash ${PROJECT_SOURCE_DIR}/tools/BuildGlew.sh ${zaoGlewBuild} ${CMAKE_BINARY_DIR}/glew-src ${ZAO_GLEW_ROOT}
    RESULT_VARIABLE glewBuildResult)
  if(NOT glewBuildResult EQUAL 0)
    message(FATAL_ERROR "GLEW for ${CMAKE_SYSTEM_NAME} could not be built (tools/BuildGlew.sh failed)")
  endif()
endif()
if(APPLE)
  # No SDK here: the OpenGL framework is the stub the macOS toolchain names.
  set(zaoOpenGl ${ZAO_MACOS_OPENGL_STUB})
else()
  find_package(OpenGL REQUIRED)
  set(zaoOpenGl OpenGL::GL)
endif()
find_path(GLEW_INCLUDE_DIR GL/glew.h REQUIRED)
find_library(GLEW_STATIC_LIBRARY NAMES libGLEW.a glew32s libglew32.a GLEW REQUIRED)
add_library(zao_glew_static INTERFACE)
target_include_directories(zao_glew_static SYSTEM INTERFACE ${GLEW_INCLUDE_DIR})
target_compile_definitions(zao_glew_static INTERFACE GLEW_STATIC)
if(APPLE)
  # glew.h includes OpenGL/glu.h otherwise, which only an Apple SDK has.
  target_compile_definitions(zao_glew_static INTERFACE GLEW_NO_GLU)
endif()
target_link_libraries(zao_glew_static INTERFACE ${GLEW_STATIC_LIBRARY} ${zaoOpenGl})
add_library(zao::glew_static ALIAS zao_glew_static)
