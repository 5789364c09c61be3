// The GPU side of the effect: GL objects made in InitGL and released in
// DeInitGL, and the per-frame road: sample the grid (on the GPU where that is
// exact, else from a whole read-back), detect, pass the input through, draw
// the overlay on top.
#include <algorithm>
#include <cstdio>
#include <new>

#include "../ffglex/GlHeaders.h"
#include "../ffglex/ScopedBindings.h"
#include "../host/LogChannel.h"
#include "analysis/GridSampling.h"
#include "gl/PackStateGuard.h"
#include "gl/OverlaySubmitter.h"
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
    ok = ok && overlayShader.CompileAndLink(Pick(o.overlayVertex, kOverlayVertexSource),
                                            Pick(o.overlayFragment, kOverlayFragmentSource));
    ok = ok && overlayVertexColorShader.CompileAndLink(kOverlayVertexColorVertexSource,
                                                       kOverlayVertexColorFragmentSource);
    ok = ok && screenQuad.Create(false);
    if (ok)
        contextFacts = ReadContextFacts();
    ok = ok && gridSampler.Create(kGridSampleVertexSource, kGridSampleFragmentSource, contextFacts.maxClipDistances);
    if (!ok) {
        DeInitGL();
        return kFailure;
    }

    glGenFramebuffers(1, &readFbo);
    glGenVertexArrays(1, &overlayVao);
    glGenBuffers(1, &overlayVbo);
    glBindVertexArray(overlayVao);
    glBindBuffer(GL_ARRAY_BUFFER, overlayVbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(kOverlayStreamBytes), nullptr, GL_DYNAMIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(OverlayVertex), nullptr);

    // The twin with alpha per vertex reads the same buffer: position, then alpha.
    glGenVertexArrays(1, &overlayVertexColorVao);
    glBindVertexArray(overlayVertexColorVao);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(OverlayLineVertex), nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 1, GL_FLOAT, GL_FALSE, sizeof(OverlayLineVertex),
                          reinterpret_cast<const void*>(offsetof(OverlayLineVertex, alpha)));
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    passThroughLocations[0] = passThroughShader.UniformLocation("InputTexture");
    passThroughLocations[1] = passThroughShader.UniformLocation("MaxUV");
    overlayObjects = {overlayShader.GetProgram(),
                      overlayShader.UniformLocation("Color"),
                      overlayVao,
                      overlayVertexColorShader.GetProgram(),
                      overlayVertexColorShader.UniformLocation("Color"),
                      overlayVertexColorVao,
                      overlayVbo,
                      kOverlayLineOffset,
                      false,
                      {0.0f, 0.0f, 0.0f, 0.0f},
                      nullptr};

    if (viewportRecord != nullptr)
        viewport = *viewportRecord;
    return kSuccess;
}

uint32_t ZudArazOdudave::DeInitGL()
{
    passThroughShader.Release();
    overlayShader.Release();
    overlayVertexColorShader.Release();
    screenQuad.Release();
    gridSampler.Release();
    if (readFbo != 0) {
        glDeleteFramebuffers(1, &readFbo);
        readFbo = 0;
    }
    if (overlayVbo != 0) {
        glDeleteBuffers(1, &overlayVbo);
        overlayVbo = 0;
    }
    if (overlayVao != 0) {
        glDeleteVertexArrays(1, &overlayVao);
        overlayVao = 0;
    }
    if (overlayVertexColorVao != 0) {
        glDeleteVertexArrays(1, &overlayVertexColorVao);
        overlayVertexColorVao = 0;
    }
    overlayObjects = {};
    contextFacts = {};
    passThroughLocations[0] = passThroughLocations[1] = -1;
    return kSuccess;
}

uint32_t ZudArazOdudave::ProcessOpenGL(const FrameInput* frame)
{
    if (frame == nullptr || frame->inputTextureCount < 1 || frame->inputTextures == nullptr ||
        frame->inputTextures[0] == nullptr)
        return kFailure;
    TextureInfo texture = *frame->inputTextures[0];
    const uint32_t imageWidth = texture.width;
    const uint32_t imageHeight = texture.height;
    // An empty image has nothing to read back or draw, and no texture of the
    // context can hold an image larger than its limit.
    const uint32_t maxSize = static_cast<uint32_t>(contextFacts.maxTextureSize);
    if (imageWidth == 0 || imageHeight == 0 || imageWidth > maxSize || imageHeight > maxSize ||
        imageWidth > INT32_MAX / 4 || imageHeight > INT32_MAX / 4)
        return kFailure;
    // A name that is not a 2D texture is neither attached nor bound (either
    // is an error): the frame sees texture 0, as for a missing input.
    if (!IsTexture2D(texture.handle, contextFacts))
        texture.handle = 0;
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
    const auto giveSamplerBack = [hostSampler] {
        if (hostSampler != 0)
            glBindSampler(0, static_cast<GLuint>(hostSampler));
    };
    if (!SampleInputGrid(texture)) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(hostReadFramebuffer));
        giveSamplerBack();
        return kFailure;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, frame->hostFbo);

    try {
        DetectBlobs(grid.data(), gridWidth, gridHeight);
        PrepareOverlay();
    } catch (const std::bad_alloc&) {
        ReleaseReadback();
        giveSamplerBack();
        return kFailure;
    }

    {
        ffglex::ScopedProgramUse programScope(passThroughShader.GetProgram());
        ffglex::ScopedActiveTextureUnit unitScope(0);
        ffglex::Scoped2DTextureBinding textureScope(texture.handle);
        glUniform1i(passThroughLocations[0], 0);
        // A host that leaves the allocated size at 0 means "as large as the image".
        const uint32_t hardwareWidth = texture.hardwareWidth ? texture.hardwareWidth : imageWidth;
        const uint32_t hardwareHeight = texture.hardwareHeight ? texture.hardwareHeight : imageHeight;
        glUniform2f(passThroughLocations[1], static_cast<float>(imageWidth) / static_cast<float>(hardwareWidth),
                    static_cast<float>(imageHeight) / static_cast<float>(hardwareHeight));
        screenQuad.Draw();
    }

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
    giveSamplerBack();
    return kSuccess;
}

const float* ZudArazOdudave::HostViewport()
{
    if (!hostViewportKnown) {
        glGetFloati_v(GL_VIEWPORT, 0, hostViewport);
        hostViewportKnown = true;
    }
    return hostViewport;
}

bool ZudArazOdudave::SampleInputGrid(const TextureInfo& texture)
{
    hostViewportKnown = false;
    return PrepareGrid(texture.width, texture.height) && FillGrid(texture);
}

bool ZudArazOdudave::PrepareGrid(uint32_t imageWidth, uint32_t imageHeight)
{
    const GridSize size = GridSizeFor(imageWidth, imageHeight);
    const size_t gridBytes = static_cast<size_t>(size.width) * static_cast<size_t>(size.height) * 4;
    // After a run of much smaller frames the grid and the detection buffers
    // start afresh at this frame's size.
    if (gridTrim.Tick(gridBytes, CapacityBytes(grid))) {
        ReleaseBuffer(grid);
        detection = DetectionWorkspace();
    }
    try {
        grid.resize(gridBytes);
        // The indices follow from the image size alone; the GPU road uploads them again when the version moves.
        const int32_t key[2] = {static_cast<int32_t>(imageWidth), static_cast<int32_t>(imageHeight)};
        if (key[0] != sourceIndexKey[0] || key[1] != sourceIndexKey[1]) {
            sourceIndices.resize(static_cast<size_t>(size.width) + static_cast<size_t>(size.height));
            FillSourceIndices(key[0], key[1], size.width, size.height, sourceIndices.data());
            sourceIndexKey[0] = key[0];
            sourceIndexKey[1] = key[1];
            ++sourceIndexVersion;
        }
    } catch (const std::bad_alloc&) {
        ReleaseReadback();
        sourceIndexKey[0] = sourceIndexKey[1] = 0;
        return false;
    }
    gridWidth = size.width;
    gridHeight = size.height;
    return true;
}

bool ZudArazOdudave::FillGrid(const TextureInfo& texture)
{
    const int32_t w = static_cast<int32_t>(texture.width);
    const int32_t h = static_cast<int32_t>(texture.height);
    const GridSize size{gridWidth, gridHeight};
    // Detach first: attaching a name that is not a 2D texture fails and would
    // leave the previous frame's texture in place to be read again.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFbo);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture.handle, 0);
    const InputTextureFacts facts = DescribeInputTexture(texture.handle);
    // Only what level 0 holds can be read: a declared size beyond it must not size the read-back.
    const int32_t readWidth = std::max(0, std::min(w, facts.levelWidth));
    const int32_t readHeight = std::max(0, std::min(h, facts.levelHeight));
    GridRoad road = ChooseGridRoad(facts, w, h, size, gridSampler.Limits());
    if (forceFullReadback && road == GridRoad::Gpu)
        road = GridRoad::FullReadback;

    const size_t readbackBytes =
        road == GridRoad::FullReadback ? static_cast<size_t>(readWidth) * static_cast<size_t>(readHeight) * 4 : 0;
    if (readbackTrim.Tick(readbackBytes, CapacityBytes(readback)))
        ReleaseReadback();
    switch (road) {
    case GridRoad::Empty:
        // What a zero-filled read-back that nothing was written to would give.
        std::fill(grid.begin(), grid.end(), uint8_t{0});
        break;
    case GridRoad::Gpu:
        gridSampler.Sample(texture.handle, size, sourceIndices.data(), sourceIndexVersion, screenQuad, HostViewport(),
                           grid.data());
        break;
    case GridRoad::FullReadback:
        try {
            readback.resize(readbackBytes);
        } catch (const std::bad_alloc&) {
            ReleaseReadback();
            return false;
        }
        if (readbackBytes != 0) {
            PackStateGuard packState;
            glReadPixels(0, 0, readWidth, readHeight, GL_RGBA, GL_UNSIGNED_BYTE, readback.data());
        }
        // Cells whose pixel lies outside level 0 read as zero bytes.
        SampleGridWithin(readback.data(), readWidth, readHeight, sourceIndices.data(), grid.data(), gridWidth,
                         gridHeight);
        break;
    }
    lastGridRoad = road;
    return true;
}

size_t ZudArazOdudave::FrameSizedBytes() const
{
    return CapacityBytes(readback) + CapacityBytes(grid) + CapacityBytes(sourceIndices) +
           CapacityBytes(detection.mask) + CapacityBytes(detection.components) + CapacityBytes(detection.runBounds) +
           CapacityBytes(detection.runParents) + CapacityBytes(detection.rowFirstRun);
}

void ZudArazOdudave::ReleaseReadback()
{
    ReleaseBuffer(readback);
}
