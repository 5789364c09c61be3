// The two once-flags of the GL extension loader.
#include "GlLoader.h"

#include <GL/glew.h>

namespace {

bool glLoaderTried = false;
bool glLoaderOk = false;

}  // namespace

bool EnsureGlLoader()
{
    if (glLoaderTried)
        return glLoaderOk;
    glLoaderTried = true;
    GLenum result = glewInit();
#if defined(__linux__)
    // Under EGL (headless servers, Wayland hosts) GLEW has resolved every GL
    // entry point and only fails to find a GLX display; that is not a failure
    // of the context we draw with.
    if (result == GLEW_ERROR_NO_GLX_DISPLAY)
        result = GLEW_OK;
#endif
    glLoaderOk = result == GLEW_OK;
    return glLoaderOk;
}
