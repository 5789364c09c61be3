// Picks the context's API and kind and loads the host's GL entry points through GLEW.
#include "GlContext.h"

#include <GL/glew.h>

#include <cstdlib>

#include "GlContextImpl.h"
#include "MacGlProfile.h"

namespace hostkit {

const MacGlProfileHooks* macGlProfile = nullptr;

bool LoadHostEntryPoints(GlContextKind kind)
{
    if (macGlProfile != nullptr)
        macGlProfile->setCurrent(kind == GlContextKind::Mac);
    // By name, not by the extension list: a context that lists none of what
    // its version includes (macOS's core profile) would otherwise leave those
    // functions null. Each later use of a function past 4.1 checks the
    // version or the list first.
    glewExperimental = GL_TRUE;
    // GLEW answers 4 (no GLX display) under EGL after it has loaded every GL entry point.
    const GLenum result = glewInit();
    return result == GLEW_OK || result == GLEW_ERROR_NO_GLX_DISPLAY;
}

void LeaveHostContext()
{
    if (macGlProfile != nullptr)
        macGlProfile->setCurrent(false);
}

bool ForwardCompatible(GlContextKind kind)
{
    return kind == GlContextKind::Forward || kind == GlContextKind::Mac;
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
    case GlContextKind::Mac:
        return "mac";
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
        *error = "ZAO_GL_CONTEXT=" + name + " is none of core, forward, compat, debug, mac, egl";
    return false;
}

bool GlContext::KindAvailable(GlContextKind kind, std::string* reason)
{
    if (kind != GlContextKind::Mac || macGlProfile != nullptr)
        return true;
    if (reason)
        *reason = "this program cannot imitate macOS's OpenGL (it lacks the host kit's GL interposers)";
    return false;
}

std::unique_ptr<GlContext> GlContext::Create(const GlContextRequest& request, std::string* error)
{
    std::string ignored;
    std::string* reason = error ? error : &ignored;
    if (!KindAvailable(request.kind, reason))
        return nullptr;
    std::unique_ptr<GlContext> context =
        request.api == GlApi::Glx ? CreateGlxContext(request, reason) : CreateEglContext(request, reason);
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
