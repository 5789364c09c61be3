// Host GL state a frame must give back: viewport, scissor, colour mask,
// culling, dithering, logic op, polygon mode, sampler and texture bindings
// of the units an effect may borrow, renderbuffer and texture-buffer bindings.
#include "ValidationKeptState.h"

#include <GL/glew.h>

#include <functional>
#include <vector>

#include "Checks.h"
#include "hostsupport/HostError.h"

namespace validator {

namespace {

std::string Integers(GLenum name, int count)
{
    GLint values[4] = {0, 0, 0, 0};
    glGetIntegerv(name, values);
    std::string text;
    for (int i = 0; i < count; ++i)
        text += (i ? "," : "") + std::to_string(values[i]);
    return text;
}

std::string OnUnit(GLenum unit, GLenum name)
{
    glActiveTexture(unit);
    const std::string value = Integers(name, 1);
    glActiveTexture(GL_TEXTURE0);
    return value;
}

std::string ColorMask()
{
    GLboolean mask[4] = {GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE};
    glGetBooleani_v(GL_COLOR_WRITEMASK, 0, mask);
    return std::to_string(mask[0]) + std::to_string(mask[1]) + std::to_string(mask[2]) + std::to_string(mask[3]);
}

std::string Enabled(GLenum capability)
{
    return glIsEnabled(capability) ? "on" : "off";
}

// The host's own objects that it leaves bound.
struct HostBindings {
    GLuint samplers[2] = {0, 0};
    GLuint bufferTexture = 0, textureBuffer = 0, plainTexture = 0, renderbuffer = 0;

    HostBindings()
    {
        glGenSamplers(2, samplers);
        glGenTextures(1, &bufferTexture);
        glGenTextures(1, &plainTexture);
        glGenBuffers(1, &textureBuffer);
        glGenRenderbuffers(1, &renderbuffer);
        glBindBuffer(GL_TEXTURE_BUFFER, textureBuffer);
        glBufferData(GL_TEXTURE_BUFFER, 64, nullptr, GL_STATIC_DRAW);
        glBindBuffer(GL_TEXTURE_BUFFER, 0);
        glBindTexture(GL_TEXTURE_BUFFER, bufferTexture);
        glTexBuffer(GL_TEXTURE_BUFFER, GL_R32F, textureBuffer);
        glBindTexture(GL_TEXTURE_BUFFER, 0);
        const uint8_t texel[4] = {1, 2, 3, 4};
        glBindTexture(GL_TEXTURE_2D, plainTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 4, 4);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
    }
    ~HostBindings()
    {
        glDeleteSamplers(2, samplers);
        glDeleteTextures(1, &bufferTexture);
        glDeleteTextures(1, &plainTexture);
        glDeleteBuffers(1, &textureBuffer);
        glDeleteRenderbuffers(1, &renderbuffer);
    }
    HostBindings(const HostBindings&) = delete;
    HostBindings& operator=(const HostBindings&) = delete;
};

struct KeptState {
    const char* name;
    std::function<void()> set;    // after the host's clear, before the frame
    std::function<std::string()> read;
    std::function<void()> reset;  // back to GL's default
};

// Each kind of host state: how a host sets it, reads it and puts it back.
std::vector<KeptState> KeptStates(const HostBindings& host, GLint w, GLint h)
{
    return {
        {"the viewport", [=] { glViewport(0, 0, w, h); }, [] { return Integers(GL_VIEWPORT, 4); }, [] {}},
        {"a scissor test over the whole output",
         [=] {
             glEnable(GL_SCISSOR_TEST);
             glScissor(0, 0, w, h);
         },
         [] { return Enabled(GL_SCISSOR_TEST) + " " + Integers(GL_SCISSOR_BOX, 4); },
         [] { glDisable(GL_SCISSOR_TEST); }},
        {"a colour mask without alpha", [] { glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE); }, ColorMask,
         [] { glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE); }},
        {"face culling on", [] { glEnable(GL_CULL_FACE); }, [] { return Enabled(GL_CULL_FACE); },
         [] { glDisable(GL_CULL_FACE); }},
        {"dithering off", [] { glDisable(GL_DITHER); }, [] { return Enabled(GL_DITHER); },
         [] { glEnable(GL_DITHER); }},
        {"a colour logic op on",
         [] {
             glEnable(GL_COLOR_LOGIC_OP);
             glLogicOp(GL_COPY);
         },
         [] { return Enabled(GL_COLOR_LOGIC_OP); }, [] { glDisable(GL_COLOR_LOGIC_OP); }},
        {"polygon mode line", [] { glPolygonMode(GL_FRONT_AND_BACK, GL_LINE); },
         [] { return Integers(GL_POLYGON_MODE, 1); }, [] { glPolygonMode(GL_FRONT_AND_BACK, GL_FILL); }},
        {"host samplers bound on units 0 and 1",
         [&] {
             glBindSampler(0, host.samplers[0]);
             glBindSampler(1, host.samplers[1]);
         },
         [] { return OnUnit(GL_TEXTURE0, GL_SAMPLER_BINDING) + " " + OnUnit(GL_TEXTURE1, GL_SAMPLER_BINDING); },
         [] {
             glBindSampler(0, 0);
             glBindSampler(1, 0);
         }},
        {"a buffer texture and a 2D texture bound on unit 1",
         [&] {
             glActiveTexture(GL_TEXTURE1);
             glBindTexture(GL_TEXTURE_BUFFER, host.bufferTexture);
             glBindTexture(GL_TEXTURE_2D, host.plainTexture);
             glActiveTexture(GL_TEXTURE0);
         },
         [] {
             return OnUnit(GL_TEXTURE1, GL_TEXTURE_BINDING_BUFFER) + " " + OnUnit(GL_TEXTURE1, GL_TEXTURE_BINDING_2D);
         },
         [] {
             glActiveTexture(GL_TEXTURE1);
             glBindTexture(GL_TEXTURE_BUFFER, 0);
             glBindTexture(GL_TEXTURE_2D, 0);
             glActiveTexture(GL_TEXTURE0);
         }},
        {"a renderbuffer bound", [&] { glBindRenderbuffer(GL_RENDERBUFFER, host.renderbuffer); },
         [] { return Integers(GL_RENDERBUFFER_BINDING, 1); }, [] { glBindRenderbuffer(GL_RENDERBUFFER, 0); }},
        {"a texture buffer bound", [&] { glBindBuffer(GL_TEXTURE_BUFFER, host.textureBuffer); },
         [] { return Integers(GL_TEXTURE_BUFFER, 1); }, [] { glBindBuffer(GL_TEXTURE_BUFFER, 0); }},
    };
}

// One frame of a fresh instance with the state set; the frame must give it back.
void CheckKeptState(Session& session, FrameRig& rig, const KeptState& state)
{
    const std::string what = std::string("a frame with ") + state.name;
    std::string before, after;
    FirstFrame(
        session, rig, what,
        [&] {
            state.set();
            before = state.read();
        },
        [&] {
            after = state.read();
            state.reset();
        });
    Require(after == before, what + ": the frame left it at " + after + " instead of " + before);
}

}  // namespace

int CheckKeptHostState(Session& session, FrameRig& rig)
{
    const HostBindings host;
    const std::vector<KeptState> states =
        KeptStates(host, static_cast<GLint>(rig.Width()), static_cast<GLint>(rig.Height()));
    for (const KeptState& state : states)
        CheckKeptState(session, rig, state);
    return static_cast<int>(states.size());
}

}  // namespace validator
