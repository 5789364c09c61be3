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
    // Entry points are resolved by name whatever the extension list says:
    // GLEW otherwise loads a core function only where its ARB extension is
    // listed, and macOS's 4.1 core profile lists none of what 4.1 includes
    // (vertex arrays, framebuffers, samplers), which would leave them null.
    // Whether each one really exists is the effect's check, in InitGL.
    glewExperimental = GL_TRUE;
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
