// Live GL objects by kind through glIs*, and the names to ask about.
#include "LiveGlObjects.h"

#include <GL/glew.h>

#include <algorithm>

namespace validator {

const char* const kGlObjectKindNames[kGlObjectKinds] = {"programs",     "shaders",  "buffers",       "vertex arrays",
                                                        "framebuffers", "textures", "renderbuffers", "samplers"};

uint32_t GlNameLimit(uint32_t floor)
{
    const GLuint program = glCreateProgram();
    const GLuint shader = glCreateShader(GL_VERTEX_SHADER);
    GLuint buffer = 0, vertexArray = 0, framebuffer = 0, texture = 0, renderbuffer = 0, sampler = 0;
    glGenBuffers(1, &buffer);
    glGenVertexArrays(1, &vertexArray);
    glGenFramebuffers(1, &framebuffer);
    glGenTextures(1, &texture);
    glGenRenderbuffers(1, &renderbuffer);
    glGenSamplers(1, &sampler);
    const GLuint highest =
        std::max({program, shader, buffer, vertexArray, framebuffer, texture, renderbuffer, sampler});
    glDeleteProgram(program);
    glDeleteShader(shader);
    glDeleteBuffers(1, &buffer);
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &texture);
    glDeleteRenderbuffers(1, &renderbuffer);
    glDeleteSamplers(1, &sampler);
    return std::max<uint32_t>(floor, highest * 2 + 1024);
}

LiveGlObjects CountLiveGlObjects(uint32_t limit)
{
    LiveGlObjects live{};
    for (GLuint name = 1; name <= limit; ++name) {
        live[0] += glIsProgram(name) ? 1 : 0;
        live[1] += glIsShader(name) ? 1 : 0;
        live[2] += glIsBuffer(name) ? 1 : 0;
        live[3] += glIsVertexArray(name) ? 1 : 0;
        live[4] += glIsFramebuffer(name) ? 1 : 0;
        live[5] += glIsTexture(name) ? 1 : 0;
        live[6] += glIsRenderbuffer(name) ? 1 : 0;
        live[7] += glIsSampler(name) ? 1 : 0;
    }
    return live;
}

}  // namespace validator
