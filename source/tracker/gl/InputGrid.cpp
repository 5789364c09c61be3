// Both roads of filling the grid: attach the input, describe it, then draw
// one fragment per cell on the GPU or read level 0 back and sample it here.
#include "InputGrid.h"

#include <algorithm>
#include <new>

#include "ffglex/GlHeaders.h"
#include "ffglex/ScopedBindings.h"
#include "PackStateGuard.h"
#include "ShaderSources.h"

namespace {

// Describes the texture attached to the bound read framebuffer; expects
// texture to be that attachment. Leaves unit 0 active with no 2D texture.
InputTextureDescription DescribeInputTexture(uint32_t texture)
{
    InputTextureDescription description{};
    description.readable = texture != 0 && glCheckFramebufferStatus(GL_READ_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (!description.readable)
        return description;
    GLint internalFormat = 0;
    {
        ffglex::ScopedActiveTextureUnit unit(0);
        ffglex::Scoped2DTextureBinding bound(texture);
        GLint swizzle[4] = {0, 0, 0, 0};
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, &description.baseLevel);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, swizzle);
        description.identitySwizzle = swizzle[0] == GL_RED && swizzle[1] == GL_GREEN && swizzle[2] == GL_BLUE &&
                                swizzle[3] == GL_ALPHA;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &description.levelWidth);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &description.levelHeight);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internalFormat);
    }
    // The format hosts hand over nearly always says all the attachment would,
    // in one query instead of six.
    if (internalFormat == GL_RGBA8) {
        description.linearEncoding = true;
        description.unsignedNormalized = true;
        for (int32_t& bits : description.componentBits)
            bits = 8;
        return description;
    }
    const auto attachment = [](GLenum name) {
        GLint value = 0;
        glGetFramebufferAttachmentParameteriv(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, name, &value);
        return value;
    };
    description.linearEncoding = attachment(GL_FRAMEBUFFER_ATTACHMENT_COLOR_ENCODING) == GL_LINEAR;
    const GLint componentType = attachment(GL_FRAMEBUFFER_ATTACHMENT_COMPONENT_TYPE);
    description.unsignedNormalized = componentType == GL_UNSIGNED_NORMALIZED;
    description.integerComponents = componentType == GL_INT || componentType == GL_UNSIGNED_INT;
    description.componentBits[0] = attachment(GL_FRAMEBUFFER_ATTACHMENT_RED_SIZE);
    description.componentBits[1] = attachment(GL_FRAMEBUFFER_ATTACHMENT_GREEN_SIZE);
    description.componentBits[2] = attachment(GL_FRAMEBUFFER_ATTACHMENT_BLUE_SIZE);
    description.componentBits[3] = attachment(GL_FRAMEBUFFER_ATTACHMENT_ALPHA_SIZE);
    return description;
}

}  // namespace

bool InputGrid::Create(int32_t clipDistances)
{
    if (!gpuSampler.Create(kGridSampleVertexSource, kGridSampleFragmentSource, clipDistances))
        return false;
    glGenFramebuffers(1, &readFramebuffer);
    return true;
}

void InputGrid::Release()
{
    gpuSampler.Release();
    if (readFramebuffer != 0) {
        glDeleteFramebuffers(1, &readFramebuffer);
        readFramebuffer = 0;
    }
}

bool InputGrid::Sample(uint32_t texture, uint32_t width, uint32_t height, const ffglex::ScreenQuad& quad,
                       FrameViewport& viewport, bool* startedAfresh)
{
    return Prepare(width, height, startedAfresh) &&
           Fill(texture, static_cast<int32_t>(width), static_cast<int32_t>(height), quad, viewport);
}

bool InputGrid::Prepare(uint32_t imageWidth, uint32_t imageHeight, bool* startedAfresh)
{
    const GridSize next = GridSizeFor(imageWidth, imageHeight);
    const size_t cellBytes = static_cast<size_t>(next.width) * static_cast<size_t>(next.height) * 4;
    // After a run of much smaller frames the grid starts afresh at this frame's size.
    *startedAfresh = cellTrim.Tick(cellBytes, CapacityBytes(cells));
    if (*startedAfresh)
        ReleaseBuffer(cells);
    try {
        cells.resize(cellBytes);
        const int32_t key[2] = {static_cast<int32_t>(imageWidth), static_cast<int32_t>(imageHeight)};
        if (key[0] != sourceIndexKey[0] || key[1] != sourceIndexKey[1]) {
            sourceIndices.resize(static_cast<size_t>(next.width) + static_cast<size_t>(next.height));
            FillSourceIndices(key[0], key[1], next.width, next.height, sourceIndices.data());
            sourceIndexKey[0] = key[0];
            sourceIndexKey[1] = key[1];
            ++sourceIndexVersion;
        }
    } catch (const std::bad_alloc&) {
        ReleaseReadback();
        sourceIndexKey[0] = sourceIndexKey[1] = 0;
        return false;
    }
    size = next;
    return true;
}

bool InputGrid::Fill(uint32_t texture, int32_t w, int32_t h, const ffglex::ScreenQuad& quad, FrameViewport& viewport)
{
    // Detach first: attaching a name that is not a 2D texture fails and would
    // leave the previous frame's texture in place to be read again.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    const InputTextureDescription input = DescribeInputTexture(texture);
    // Only what level 0 holds can be read: a declared size beyond it must not size the read-back.
    const int32_t readWidth = std::max(0, std::min(w, input.levelWidth));
    const int32_t readHeight = std::max(0, std::min(h, input.levelHeight));
    GridRoad road = ChooseGridRoad(input, w, h, size, gpuSampler.Limits());
    if (forceFullReadback && road == GridRoad::Gpu)
        road = GridRoad::FullReadback;

    const size_t readbackBytes =
        road == GridRoad::FullReadback ? static_cast<size_t>(readWidth) * static_cast<size_t>(readHeight) * 4 : 0;
    if (readbackTrim.Tick(readbackBytes, CapacityBytes(readback)))
        ReleaseReadback();
    switch (road) {
    case GridRoad::Empty:
        // What a zero-filled read-back that nothing was written to would give.
        std::fill(cells.begin(), cells.end(), uint8_t{0});
        break;
    case GridRoad::Gpu:
        gpuSampler.Sample(texture, size, sourceIndices.data(), sourceIndexVersion, quad, viewport.Get(),
                          cells.data());
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
        SampleGridWithin(readback.data(), readWidth, readHeight, sourceIndices.data(), cells.data(), size.width,
                         size.height);
        break;
    }
    lastRoad = road;
    return true;
}

size_t InputGrid::FrameSizedBytes() const
{
    return CapacityBytes(readback) + CapacityBytes(cells) + CapacityBytes(sourceIndices);
}
