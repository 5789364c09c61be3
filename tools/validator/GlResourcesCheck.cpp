// The validator's gl-resources test: after many create/destroy cycles with
// frames, no GL object of the plug-in is left and the host's own are alive.
#include "Checks.h"

#include <GL/glew.h>

#include <algorithm>

namespace validator {

namespace {

struct LiveObjects {
    size_t programs = 0, shaders = 0, buffers = 0, vertexArrays = 0, framebuffers = 0, textures = 0,
           renderbuffers = 0, samplers = 0;
};

// The highest name the driver hands out next, so that the probe covers every
// name given so far whether the driver reuses names or not.
GLuint NameFrontier()
{
    GLuint highest = 0;
    const GLuint program = glCreateProgram();
    const GLuint shader = glCreateShader(GL_VERTEX_SHADER);
    GLuint buffer = 0, vertexArray = 0, framebuffer = 0, texture = 0, renderbuffer = 0, sampler = 0;
    glGenBuffers(1, &buffer);
    glGenVertexArrays(1, &vertexArray);
    glGenFramebuffers(1, &framebuffer);
    glGenTextures(1, &texture);
    glGenRenderbuffers(1, &renderbuffer);
    glGenSamplers(1, &sampler);
    highest = std::max({program, shader, buffer, vertexArray, framebuffer, texture, renderbuffer, sampler});
    glDeleteProgram(program);
    glDeleteShader(shader);
    glDeleteBuffers(1, &buffer);
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &texture);
    glDeleteRenderbuffers(1, &renderbuffer);
    glDeleteSamplers(1, &sampler);
    return highest;
}

LiveObjects CountLiveObjects(GLuint limit)
{
    LiveObjects live;
    for (GLuint name = 1; name <= limit; ++name) {
        live.programs += glIsProgram(name) ? 1 : 0;
        live.shaders += glIsShader(name) ? 1 : 0;
        live.buffers += glIsBuffer(name) ? 1 : 0;
        live.vertexArrays += glIsVertexArray(name) ? 1 : 0;
        live.framebuffers += glIsFramebuffer(name) ? 1 : 0;
        live.textures += glIsTexture(name) ? 1 : 0;
        live.renderbuffers += glIsRenderbuffer(name) ? 1 : 0;
        live.samplers += glIsSampler(name) ? 1 : 0;
    }
    return live;
}

}  // namespace

std::string GlResources(Session& session)
{
    session.report.Step("counting the host's own GL objects");
    FrameRig rig(TestImage(64, 64, 7));
    const GLuint limitBefore = std::max<GLuint>(20000, NameFrontier() * 2 + 1024);
    const LiveObjects before = CountLiveObjects(limitBefore);

    CyclesWithFrames(session, session.cycles);

    session.report.Step("counting the GL objects left after the cycles");
    glFinish();
    const GLuint limit = std::max<GLuint>(limitBefore, NameFrontier() * 2 + 1024);
    const LiveObjects after = CountLiveObjects(limit);
    std::string leaks;
    const auto compare = [&](const char* kind, size_t was, size_t is) {
        if (is != was)
            leaks += (leaks.empty() ? "" : ", ") + std::string(kind) + " " + std::to_string(was) + " -> " +
                     std::to_string(is);
    };
    compare("programs", before.programs, after.programs);
    compare("shaders", before.shaders, after.shaders);
    compare("buffers", before.buffers, after.buffers);
    compare("vertex arrays", before.vertexArrays, after.vertexArrays);
    compare("framebuffers", before.framebuffers, after.framebuffers);
    compare("textures", before.textures, after.textures);
    compare("renderbuffers", before.renderbuffers, after.renderbuffers);
    compare("samplers", before.samplers, after.samplers);
    Require(leaks.empty(),
            "live GL objects after " + std::to_string(session.cycles) + " create/destroy cycles: " + leaks);
    Require(glIsTexture(rig.Texture()) && glIsFramebuffer(rig.Framebuffer()),
            "the host's own texture or framebuffer was deleted by the plug-in");
    return std::to_string(session.cycles) + " cycles, names 1 to " + std::to_string(limit) + " probed";
}

}  // namespace validator
