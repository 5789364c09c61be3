// The GPU side of the effect: its GL owners made in InitGL and released in
// DeInitGL, and the order of a frame's steps: sample the grid (on the GPU
// where that is exact, else from a whole read-back), detect, pass the input
// through, draw the overlay on top.
#include <algorithm>
#include <cstdio>
#include <new>

#include "ffglex/GlHeaders.h"
#include "ffglex/ScopedBindings.h"
#include "host/LogChannel.h"
#include "gl/RequiredGlFunctions.h"
#include "gl/ShaderSources.h"
#include "ZudArazOdudave.h"

namespace {

const char* Pick(const char* replacement, const char* builtIn)
{
    return replacement ? replacement : builtIn;
}

// The one line a host's log shows when its context lacks what the effect
// calls: the function's name is what a user or a driver vendor can act on.
void ReportMissingGlFunction(const char* name)
{
    char line[160];
    std::snprintf(line, sizeof line, "ZEL DadiDaruzad cannot start: this OpenGL context has no %s", name);
    SendLogLine(line);
}

// The frame's first input as the frame may use it; false for a missing or
// empty input, or one larger than any texture of the context can be.
bool FrameInputTexture(const FrameInput* frame, const ContextFacts& facts, TextureInfo* texture)
{
    if (frame == nullptr || frame->inputTextureCount < 1 || frame->inputTextures == nullptr ||
        frame->inputTextures[0] == nullptr)
        return false;
    *texture = *frame->inputTextures[0];
    const uint32_t maxSize = static_cast<uint32_t>(facts.maxTextureSize);
    if (texture->width == 0 || texture->height == 0 || texture->width > maxSize || texture->height > maxSize ||
        texture->width > INT32_MAX / 4 || texture->height > INT32_MAX / 4)
        return false;
    // A name that is not a 2D texture is neither attached nor bound (either
    // is an error): the frame sees texture 0, as for a missing input.
    if (!IsTexture2D(texture->handle, facts))
        texture->handle = 0;
    return true;
}

}  // namespace

uint32_t ZudArazOdudave::InitGL(const ViewportRecord* viewportRecord)
{
    if (const char* missing = MissingGlFunction()) {
        ReportMissingGlFunction(missing);
        return kFailure;
    }
    const TrackerShaderOverride& o = shaderOverride;
    bool ok = passThroughShader.CompileAndLink(Pick(o.passThroughVertex, kPassThroughVertexSource),
                                               Pick(o.passThroughFragment, kPassThroughFragmentSource));
    if (ok)
        contextFacts = ReadContextFacts();
    ok = ok && overlay.Create(Pick(o.overlayVertex, kOverlayVertexSource),
                              Pick(o.overlayFragment, kOverlayFragmentSource), contextFacts.wideLines);
    ok = ok && screenQuad.Create(false);
    ok = ok && inputGrid.Create(contextFacts.maxClipDistances);
    if (!ok) {
        DeInitGL();
        return kFailure;
    }
    passThroughLocations[0] = passThroughShader.UniformLocation("InputTexture");
    passThroughLocations[1] = passThroughShader.UniformLocation("MaxUV");
    if (viewportRecord != nullptr)
        viewport = *viewportRecord;
    return kSuccess;
}

uint32_t ZudArazOdudave::DeInitGL()
{
    passThroughShader.Release();
    overlay.Release();
    screenQuad.Release();
    inputGrid.Release();
    contextFacts = {};
    passThroughLocations[0] = passThroughLocations[1] = -1;
    return kSuccess;
}

uint32_t ZudArazOdudave::ProcessOpenGL(const FrameInput* frame)
{
    TextureInfo texture{};
    if (!FrameInputTexture(frame, contextFacts, &texture))
        return kFailure;
    // Everything that can run out of memory happens before the first GL draw,
    // so a failed frame draws nothing and gives the host its framebuffers back.
    GLint hostReadFramebuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &hostReadFramebuffer);
    // The host's sampler on unit 0 would override the input's own filtering
    // in every fetch of it; it is given back when the frame ends.
    glActiveTexture(GL_TEXTURE0);
    GLint hostSampler = 0;
    glGetIntegerv(GL_SAMPLER_BINDING, &hostSampler);
    if (hostSampler != 0)
        glBindSampler(0, 0);
    const auto giveBack = [hostSampler, hostReadFramebuffer] {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(hostReadFramebuffer));
        if (hostSampler != 0)
            glBindSampler(0, static_cast<GLuint>(hostSampler));
    };
    bool prepared = SampleInputGrid(texture);
    if (prepared) {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, frame->hostFbo);
        try {
            DetectBlobs(inputGrid.Cells().data(), inputGrid.Width(), inputGrid.Height());
            overlay.Prepare();
        } catch (const std::bad_alloc&) {
            inputGrid.ReleaseReadback();
            prepared = false;
        }
    }
    if (!prepared) {
        giveBack();
        return kFailure;
    }
    DrawPassThrough(texture);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    DrawOverlay();
    // FFGL 2 hosts hand over GL's initial state and take it back: what the
    // overlay set (blending, its buffer, wide lines) returns to those values,
    // so the host's next draw is not blended, fed or widened by ours.
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    if (contextFacts.wideLines)
        glLineWidth(1.0f);
    giveBack();
    return kSuccess;
}

void ZudArazOdudave::DrawPassThrough(const TextureInfo& texture)
{
    ffglex::ScopedProgramUse programScope(passThroughShader.GetProgram());
    ffglex::ScopedActiveTextureUnit unitScope(0);
    ffglex::Scoped2DTextureBinding textureScope(texture.handle);
    glUniform1i(passThroughLocations[0], 0);
    // A host that leaves the allocated size at 0 means "as large as the image".
    const uint32_t hardwareWidth = texture.hardwareWidth ? texture.hardwareWidth : texture.width;
    const uint32_t hardwareHeight = texture.hardwareHeight ? texture.hardwareHeight : texture.height;
    glUniform2f(passThroughLocations[1], static_cast<float>(texture.width) / static_cast<float>(hardwareWidth),
                static_cast<float>(texture.height) / static_cast<float>(hardwareHeight));
    screenQuad.Draw();
}

bool ZudArazOdudave::SampleInputGrid(const TextureInfo& texture)
{
    hostViewport.Forget();
    bool startedAfresh = false;
    const bool sampled = inputGrid.Sample(texture.handle, texture.width, texture.height, screenQuad, hostViewport,
                                          &startedAfresh);
    // The detection buffers follow the grid's size: they start afresh with it.
    if (startedAfresh)
        detection = DetectionWorkspace();
    return sampled;
}

size_t ZudArazOdudave::FrameSizedBytes() const
{
    return inputGrid.FrameSizedBytes() + CapacityBytes(detection.mask) + CapacityBytes(detection.components) +
           CapacityBytes(detection.runBounds) + CapacityBytes(detection.runParents) +
           CapacityBytes(detection.rowFirstRun);
}
