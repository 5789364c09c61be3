// Pending GL errors by name, and the debug-output callback that keeps the
// messages that mean a call was wrong (errors and undefined behaviour).
#include "GlDiagnostics.h"

#include <GL/glew.h>

#include <cstdio>

#include "GlFeatures.h"

namespace hostkit {

namespace {

void GLAPIENTRY OnDebugMessage(GLenum, GLenum type, GLuint id, GLenum, GLsizei, const GLchar* text,
                               const void* user)
{
    static_cast<GlDebugMessages*>(const_cast<void*>(user))->Add(type, id, text);
}

}  // namespace

std::string GlErrorName(uint32_t error)
{
    switch (error) {
    case GL_INVALID_ENUM:
        return "GL_INVALID_ENUM";
    case GL_INVALID_VALUE:
        return "GL_INVALID_VALUE";
    case GL_INVALID_OPERATION:
        return "GL_INVALID_OPERATION";
    case GL_INVALID_FRAMEBUFFER_OPERATION:
        return "GL_INVALID_FRAMEBUFFER_OPERATION";
    case GL_OUT_OF_MEMORY:
        return "GL_OUT_OF_MEMORY";
    case GL_STACK_OVERFLOW:
        return "GL_STACK_OVERFLOW";
    case GL_STACK_UNDERFLOW:
        return "GL_STACK_UNDERFLOW";
    default:
        break;
    }
    char text[32];
    std::snprintf(text, sizeof text, "GL error 0x%04x", static_cast<unsigned>(error));
    return text;
}

std::vector<uint32_t> DrainGlErrors()
{
    std::vector<uint32_t> errors;
    for (int i = 0; i < 16; ++i) {
        const GLenum error = glGetError();
        if (error == GL_NO_ERROR)
            break;
        errors.push_back(error);
    }
    return errors;
}

std::string GlErrorList(const std::vector<uint32_t>& errors)
{
    std::string list;
    for (uint32_t error : errors)
        list += (list.empty() ? "" : ", ") + GlErrorName(error);
    return list;
}

bool GlDebugMessages::Install()
{
    if (installed)
        return true;
    GLint flags = 0;
    glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
    if (!(flags & GL_CONTEXT_FLAG_DEBUG_BIT) || glDebugMessageCallback == nullptr ||
        !ContextHasFeature(4, 3, "GL_KHR_debug"))
        return false;
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(OnDebugMessage, this);
    glDebugMessageControl(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, GL_TRUE);
    installed = true;
    return true;
}

void GlDebugMessages::Uninstall()
{
    if (!installed)
        return;
    glDebugMessageCallback(nullptr, nullptr);
    installed = false;
}

GlDebugMessages::~GlDebugMessages()
{
    Uninstall();
}

void GlDebugMessages::Add(uint32_t type, uint32_t id, const char* text)
{
    if (!watching || (type != GL_DEBUG_TYPE_ERROR && type != GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR))
        return;
    const char* kind = type == GL_DEBUG_TYPE_ERROR ? "error" : "undefined behaviour";
    messages.push_back(std::string(kind) + " " + std::to_string(id) + ": " + (text ? text : ""));
}

std::vector<std::string> GlDebugMessages::Take()
{
    std::vector<std::string> taken;
    taken.swap(messages);
    return taken;
}

}  // namespace hostkit
