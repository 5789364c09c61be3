// Picks the context's API and kind and loads the host's GL entry points through GLEW.
#include "GlContext.h"

#include <GL/glew.h>

#include <cstdlib>

#include "GlContextImpl.h"

namespace hostkit {

bool LoadHostEntryPoints()
{
    // GLEW answers 4 (no GLX display) under EGL after it has loaded every GL entry point.
    const GLenum result = glewInit();
    return result == GLEW_OK || result == GLEW_ERROR_NO_GLX_DISPLAY;
}

const char* ContextKindName(GlContextKind kind)
{
    switch (kind) {
    case GlContextKind::Core:
        return "core";
    case GlContextKind::Forward:
        return "forward";
    case GlContextKind::Compat:
        return "compat";
    case GlContextKind::Debug:
        return "debug";
    }
    return "core";
}

bool ParseContextKind(const std::string& name, GlContextKind* kind)
{
    for (GlContextKind candidate : kAllContextKinds)
        if (name == ContextKindName(candidate)) {
            *kind = candidate;
            return true;
        }
    return false;
}

bool ContextRequestFromEnvironment(GlContextRequest* request, std::string* error)
{
    *request = GlContextRequest{};
    const char* value = std::getenv("ZAO_GL_CONTEXT");
    const std::string name = value ? value : "";
    if (name.empty())
        return true;
    if (name == "egl") {
        request->api = GlApi::Egl;
        return true;
    }
    if (ParseContextKind(name, &request->kind))
        return true;
    if (error)
        *error = "ZAO_GL_CONTEXT=" + name + " is none of core, forward, compat, debug, egl";
    return false;
}

std::unique_ptr<GlContext> GlContext::Create(const GlContextRequest& request, std::string* error)
{
    std::string ignored;
    std::string* reason = error ? error : &ignored;
    std::unique_ptr<GlContext> context =
        request.api == GlApi::Glx ? CreateGlxContext(request, reason) : CreateEglContext(request, reason);
    if (context)
        context->kind = request.kind;
    return context;
}

std::string CurrentRendererDescription()
{
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return std::string(renderer ? renderer : "unknown renderer") + ", OpenGL " + (version ? version : "unknown");
}

std::string RequestDescription(const GlContextRequest& request)
{
    return std::string(request.api == GlApi::Glx ? "GLX " : "EGL ") + ContextKindName(request.kind) + " " +
           std::to_string(request.major) + "." + std::to_string(request.minor);
}

}  // namespace hostkit
