// Picks the context kind and loads the host's GL entry points through GLEW.
#include "GlContext.h"

#include <GL/glew.h>

#include "GlContextImpl.h"

namespace hostkit {

bool LoadHostEntryPoints()
{
    // GLEW answers 4 (no GLX display) under EGL after it has loaded every GL entry point.
    const GLenum result = glewInit();
    return result == GLEW_OK || result == GLEW_ERROR_NO_GLX_DISPLAY;
}

std::unique_ptr<GlContext> GlContext::Create(GlApi api, int major, int minor, std::string* error)
{
    std::string ignored;
    std::string* reason = error ? error : &ignored;
    return api == GlApi::Glx ? CreateGlxContext(major, minor, reason) : CreateEglContext(major, minor, reason);
}

std::string CurrentRendererDescription()
{
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return std::string(renderer ? renderer : "unknown renderer") + ", OpenGL " + (version ? version : "unknown");
}

}  // namespace hostkit
