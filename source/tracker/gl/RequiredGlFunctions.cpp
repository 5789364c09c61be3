// Every function of GL 1.2 and later that the host interface, the GL layer
// and the effect call, by the name a context resolves it under. GL 1.0 and
// 1.1 functions are linked from the system library and cannot be missing.
#include "RequiredGlFunctions.h"

#include "ffglex/GlHeaders.h"

namespace {

// Whether the loader found the function whose pointer is slot.
template <auto& slot> bool Present()
{
    return slot != nullptr;
}

struct NamedFunction {
    const char* name;
    bool (*present)();
};

// #name is taken before GLEW's macro turns the name into its pointer.
#define ZAO_REQUIRED(name) {#name, &Present<name>}

const NamedFunction kRequired[] = {
    ZAO_REQUIRED(glActiveTexture),
    ZAO_REQUIRED(glAttachShader),
    ZAO_REQUIRED(glBindBuffer),
    ZAO_REQUIRED(glBindFramebuffer),
    ZAO_REQUIRED(glBindRenderbuffer),
    ZAO_REQUIRED(glBindSampler),
    ZAO_REQUIRED(glBindVertexArray),
    ZAO_REQUIRED(glBufferData),
    ZAO_REQUIRED(glBufferSubData),
    ZAO_REQUIRED(glCheckFramebufferStatus),
    ZAO_REQUIRED(glColorMaski),
    ZAO_REQUIRED(glCompileShader),
    ZAO_REQUIRED(glCreateProgram),
    ZAO_REQUIRED(glCreateShader),
    ZAO_REQUIRED(glDeleteBuffers),
    ZAO_REQUIRED(glDeleteFramebuffers),
    ZAO_REQUIRED(glDeleteProgram),
    ZAO_REQUIRED(glDeleteRenderbuffers),
    ZAO_REQUIRED(glDeleteSamplers),
    ZAO_REQUIRED(glDeleteShader),
    ZAO_REQUIRED(glDeleteVertexArrays),
    ZAO_REQUIRED(glDisablei),
    ZAO_REQUIRED(glEnableVertexAttribArray),
    ZAO_REQUIRED(glEnablei),
    ZAO_REQUIRED(glFramebufferRenderbuffer),
    ZAO_REQUIRED(glFramebufferTexture2D),
    ZAO_REQUIRED(glGenBuffers),
    ZAO_REQUIRED(glGenFramebuffers),
    ZAO_REQUIRED(glGenRenderbuffers),
    ZAO_REQUIRED(glGenSamplers),
    ZAO_REQUIRED(glGenVertexArrays),
    ZAO_REQUIRED(glGetBooleani_v),
    ZAO_REQUIRED(glGetFloati_v),
    ZAO_REQUIRED(glGetFramebufferAttachmentParameteriv),
    ZAO_REQUIRED(glGetProgramInfoLog),
    ZAO_REQUIRED(glGetProgramiv),
    ZAO_REQUIRED(glGetShaderInfoLog),
    ZAO_REQUIRED(glGetShaderiv),
    ZAO_REQUIRED(glGetStringi),
    ZAO_REQUIRED(glGetUniformLocation),
    ZAO_REQUIRED(glIsEnabledi),
    ZAO_REQUIRED(glLinkProgram),
    ZAO_REQUIRED(glRenderbufferStorage),
    ZAO_REQUIRED(glSamplerParameteri),
    ZAO_REQUIRED(glShaderSource),
    ZAO_REQUIRED(glTexBuffer),
    ZAO_REQUIRED(glTransformFeedbackVaryings),
    ZAO_REQUIRED(glUniform1i),
    ZAO_REQUIRED(glUniform2f),
    ZAO_REQUIRED(glUniform3f),
    ZAO_REQUIRED(glUniform4f),
    ZAO_REQUIRED(glUseProgram),
    ZAO_REQUIRED(glVertexAttribPointer),
    ZAO_REQUIRED(glViewportIndexedf),
    ZAO_REQUIRED(glViewportIndexedfv),
};

}  // namespace

const char* MissingGlFunction()
{
    for (const NamedFunction& function : kRequired)
        if (!function.present())
            return function.name;
    return nullptr;
}
