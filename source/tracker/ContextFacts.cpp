// Reads the context's flags, limits and extensions once per InitGL, and the
// per-frame check that the host's input really is a 2D texture.
#include "ContextFacts.h"

#include <cstring>

#include "../ffglex/GlHeaders.h"

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
    glGetIntegerv(GL_MAX_CLIP_DISTANCES, &facts.maxClipDistances);
    return facts;
}

bool IsTexture2D(uint32_t handle, const ContextFacts& facts)
{
    // glIsTexture is false for names never generated, deleted, or generated
    // but never bound: attaching or binding any of those is an error.
    if (handle == 0 || !glIsTexture(handle))
        return false;
    if (!facts.textureTargetQuery)
        return true;
    GLint target = 0;
    glGetTextureParameteriv(handle, GL_TEXTURE_TARGET, &target);
    return target == GL_TEXTURE_2D;
}
