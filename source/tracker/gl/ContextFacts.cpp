// Reads the context's flags, limits and extensions once per InitGL, and the
// per-frame check that the host's input really is a 2D texture.
#include "ContextFacts.h"

#include <cstring>

#include "ffglex/GlHeaders.h"

namespace {

constexpr float kLineWidth = 3.0f;

bool HasExtension(const char* name)
{
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const char* extension = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        if (extension != nullptr && std::strcmp(extension, name) == 0)
            return true;
    }
    return false;
}

// Raises error again, for one the host had left pending before a probe read
// it; the calls change no state. A lost framebuffer or memory error cannot be
// raised on purpose and stays read.
void RaiseAgain(GLenum error)
{
    switch (error) {
    case GL_INVALID_ENUM:
        glEnable(GL_NONE);
        break;
    case GL_INVALID_VALUE:
        glLineWidth(0.0f);
        break;
    case GL_INVALID_OPERATION:
        glBindVertexArray(~0u);  // a name no glGenVertexArrays gave
        break;
    default:
        break;
    }
}

// 4.1 cannot tell a name's target without binding it, and a bind to another
// target raises GL_INVALID_OPERATION and binds nothing. So the bind is
// bracketed by glGetError: errors the host had pending are read first and
// raised again after, the probe's own is read and gone, and the unit is
// left empty, as the multi-bind probe leaves it.
bool BindsAs2D(uint32_t handle, GLuint unit)
{
    // One flag per kind of error at most; a context that keeps only the first
    // (Mesa) has one.
    GLenum pending[8];
    int pendingCount = 0;
    for (GLenum error; pendingCount < 8 && (error = glGetError()) != GL_NO_ERROR;)
        pending[pendingCount++] = error;
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, handle);
    const bool bound = glGetError() == GL_NO_ERROR;
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    for (int i = 0; i < pendingCount; ++i)
        RaiseAgain(pending[i]);
    return bound;
}

}  // namespace

ContextFacts ReadContextFacts()
{
    ContextFacts facts{};
    GLint flags = 0;
    glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
    GLfloat lineWidths[2] = {1.0f, 1.0f};
    glGetFloatv(GL_ALIASED_LINE_WIDTH_RANGE, lineWidths);
    facts.wideLines = !(flags & GL_CONTEXT_FLAG_FORWARD_COMPATIBLE_BIT) && lineWidths[1] >= kLineWidth;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &facts.maxTextureSize);
    GLint major = 0, minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    const bool version45 = major > 4 || (major == 4 && minor >= 5);
    // Mesa refuses GL_TEXTURE_TARGET outside core profiles, as GL 4.5 core
    // added it: a compatibility context is only trusted with glIsTexture.
    GLint profile = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    facts.textureTargetQuery = glGetTextureParameteriv != nullptr && (profile & GL_CONTEXT_CORE_PROFILE_BIT) &&
                               (version45 || HasExtension("GL_ARB_direct_state_access"));
    const bool version44 = major > 4 || (major == 4 && minor >= 4);
    facts.targetProbeUnit = -1;
    facts.targetProbeByError = false;
    if (!facts.textureTargetQuery) {
        GLint units = 0;
        glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
        facts.targetProbeUnit = units - 1;
        facts.targetProbeByError = glBindTextures == nullptr || !(version44 || HasExtension("GL_ARB_multi_bind"));
    }
    glGetIntegerv(GL_MAX_CLIP_DISTANCES, &facts.maxClipDistances);
    return facts;
}

bool IsTexture2D(uint32_t handle, const ContextFacts& facts)
{
    // glIsTexture is false for names never generated, deleted, or generated
    // but never bound: attaching or binding any of those is an error.
    if (handle == 0 || !glIsTexture(handle))
        return false;
    if (facts.textureTargetQuery) {
        GLint target = 0;
        glGetTextureParameteriv(handle, GL_TEXTURE_TARGET, &target);
        return target == GL_TEXTURE_2D;
    }
    if (facts.targetProbeUnit < 0)
        return true;
    const GLuint unit = static_cast<GLuint>(facts.targetProbeUnit);
    if (facts.targetProbeByError)
        return BindsAs2D(handle, unit);
    // Multi-bind puts the name on its own target, whichever that is, without
    // an error; binding no names then empties every target of the unit again.
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTextures(unit, 1, &handle);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTextures(unit, 1, nullptr);
    glActiveTexture(GL_TEXTURE0);
    return static_cast<uint32_t>(bound) == handle;
}
