# GLEW linked statically into the plug-in, so that the library needs nothing
# at run time but the system OpenGL. Defines the target zao::glew_static.
set(OpenGL_GL_PREFERENCE GLVND)
find_package(OpenGL REQUIRED)
find_path(GLEW_INCLUDE_DIR GL/glew.h REQUIRED)
find_library(GLEW_STATIC_LIBRARY NAMES libGLEW.a glew32s libglew32.a GLEW REQUIRED)
add_library(zao_glew_static INTERFACE)
target_include_directories(zao_glew_static SYSTEM INTERFACE ${GLEW_INCLUDE_DIR})
target_compile_definitions(zao_glew_static INTERFACE GLEW_STATIC)
target_link_libraries(zao_glew_static INTERFACE ${GLEW_STATIC_LIBRARY} OpenGL::GL)
add_library(zao::glew_static ALIAS zao_glew_static)
