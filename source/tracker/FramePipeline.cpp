// The GPU side of the effect: GL objects made in InitGL and released in
// DeInitGL, and the per-frame road: read back, sample the grid, detect, pass
// the input through, draw the overlay on top.
#include <new>

#include "../ffglex/GlHeaders.h"
#include "../ffglex/ScopedBindings.h"
#include "GridSampling.h"
#include "OverlaySubmitter.h"
#include "ShaderSources.h"
#include "ZudArazOdudave.h"

namespace {

const char* Pick(const char* replacement, const char* builtIn)
{
    return replacement ? replacement : builtIn;
}

// The pixel-pack state the read-back relies on, taken from the host and given back.
class PackStateGuard {
public:
    PackStateGuard()
    {
        glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
        glGetIntegerv(GL_PACK_ROW_LENGTH, &rowLength);
        glGetIntegerv(GL_PACK_SKIP_ROWS, &skipRows);
        glGetIntegerv(GL_PACK_SKIP_PIXELS, &skipPixels);
        glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &packBuffer);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        glPixelStorei(GL_PACK_SKIP_ROWS, 0);
        glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
        if (packBuffer != 0)
            glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    }
    ~PackStateGuard()
    {
        glPixelStorei(GL_PACK_ALIGNMENT, alignment);
        glPixelStorei(GL_PACK_ROW_LENGTH, rowLength);
        glPixelStorei(GL_PACK_SKIP_ROWS, skipRows);
        glPixelStorei(GL_PACK_SKIP_PIXELS, skipPixels);
        if (packBuffer != 0)
            glBindBuffer(GL_PIXEL_PACK_BUFFER, static_cast<GLuint>(packBuffer));
    }
    PackStateGuard(const PackStateGuard&) = delete;
    PackStateGuard& operator=(const PackStateGuard&) = delete;

private:
    GLint alignment = 4, rowLength = 0, skipRows = 0, skipPixels = 0, packBuffer = 0;
};

}  // namespace

uint32_t ZudArazOdudave::InitGL(const ViewportRecord* viewportRecord)
{
    const TrackerShaderOverride& o = shaderOverride;
    bool ok = passThroughShader.CompileAndLink(Pick(o.passThroughVertex, kPassThroughVertexSource),
                                               Pick(o.passThroughFragment, kPassThroughFragmentSource));
    ok = ok && overlayShader.CompileAndLink(Pick(o.overlayVertex, kOverlayVertexSource),
                                            Pick(o.overlayFragment, kOverlayFragmentSource));
    ok = ok && overlayVertexColorShader.CompileAndLink(kOverlayVertexColorVertexSource,
                                                       kOverlayVertexColorFragmentSource);
    ok = ok && screenQuad.Create(false);
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
    return kSuccess;
}

uint32_t ZudArazOdudave::ProcessOpenGL(const FrameInput* frame)
{
    if (frame == nullptr || frame->inputTextureCount < 1 || frame->inputTextures == nullptr ||
        frame->inputTextures[0] == nullptr)
        return kFailure;
    const TextureInfo& texture = *frame->inputTextures[0];
    const uint32_t imageWidth = texture.width;
    const uint32_t imageHeight = texture.height;
    // An empty image has nothing to read back or draw.
    if (imageWidth == 0 || imageHeight == 0 || imageWidth > INT32_MAX / 4 || imageHeight > INT32_MAX / 4)
        return kFailure;
    const int32_t w = static_cast<int32_t>(imageWidth);
    const int32_t h = static_cast<int32_t>(imageHeight);

    // Everything that can run out of memory happens before the first GL draw,
    // so a failed frame leaves the host's GL state as the host set it.
    try {
        const GridSize size = GridSizeFor(imageWidth, imageHeight);
        grid.resize(static_cast<size_t>(size.width) * static_cast<size_t>(size.height) * 4);
        gridWidth = size.width;
        gridHeight = size.height;
        readback.resize(static_cast<size_t>(imageWidth) * imageHeight * 4);
    } catch (const std::bad_alloc&) {
        ReleaseReadback();
        return kFailure;
    }

    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFbo);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture.handle, 0);
    {
        PackStateGuard packState;
        glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, readback.data());
    }
    SampleGrid(readback.data(), w, h, grid.data(), gridWidth, gridHeight);
    glBindFramebuffer(GL_FRAMEBUFFER, frame->hostFbo);

    try {
        DetectBlobs(grid.data(), gridWidth, gridHeight);
        PrepareOverlay();
    } catch (const std::bad_alloc&) {
        ReleaseReadback();
        return kFailure;
    }

    {
        ffglex::ScopedProgramUse programScope(passThroughShader.GetProgram());
        ffglex::ScopedActiveTextureUnit unitScope(0);
        ffglex::Scoped2DTextureBinding textureScope(texture.handle);
        passThroughShader.SetUniform("InputTexture", 0);
        // A host that leaves the allocated size at 0 means "as large as the image".
        const uint32_t hardwareWidth = texture.hardwareWidth ? texture.hardwareWidth : imageWidth;
        const uint32_t hardwareHeight = texture.hardwareHeight ? texture.hardwareHeight : imageHeight;
        passThroughShader.SetUniform("MaxUV", static_cast<float>(imageWidth) / static_cast<float>(hardwareWidth),
                                     static_cast<float>(imageHeight) / static_cast<float>(hardwareHeight));
        screenQuad.Draw();
    }

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    DrawOverlay();
    glDisable(GL_BLEND);
    return kSuccess;
}

void ZudArazOdudave::ReleaseReadback()
{
    std::vector<uint8_t>().swap(readback);
}
