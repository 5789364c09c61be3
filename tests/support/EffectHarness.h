// Drives the effect in-process like a host: an input texture, an output
// framebuffer, a FrameInput built by byte offset, and the pixels it drew.
#pragma once

#include <cstdint>
#include <vector>

#include "Scenes.h"
#include "hostkit/ByteRecord.h"
#include "hostkit/FrameRecords.h"
#include "hostkit/HostGl.h"
#include "tracker/ZudArazOdudave.h"

namespace testsupport {

class EffectHarness {
public:
    EffectHarness() = default;
    ~EffectHarness() { Release(); }
    EffectHarness(const EffectHarness&) = delete;
    EffectHarness& operator=(const EffectHarness&) = delete;

    bool Init(uint32_t viewportWidth, uint32_t viewportHeight)
    {
        const auto viewport = hostkit::MakeViewport(0, 0, viewportWidth, viewportHeight);
        initialised = effect.InitGL(static_cast<const ViewportRecord*>(viewport.Data())) == 0;
        return initialised;
    }

    void Release()
    {
        if (initialised)
            effect.DeInitGL();
        initialised = false;
        input.Release();
        output.Release();
    }

    // Uploads the image (inside a texture of the given allocated size, 0 = the
    // image's), renders one frame into an output of the image's size, reads it back.
    uint32_t Frame(const Image& image, uint32_t hardwareWidth = 0, uint32_t hardwareHeight = 0,
                   uint32_t reportedHardwareWidth = UINT32_MAX, uint32_t reportedHardwareHeight = UINT32_MAX)
    {
        const uint32_t allocatedWidth = hardwareWidth ? hardwareWidth : image.width;
        const uint32_t allocatedHeight = hardwareHeight ? hardwareHeight : image.height;
        input.Release();  // first, so that the new texture may take its name
        input = hostkit::Texture(image.width, image.height, image.pixels.data(), allocatedWidth, allocatedHeight);
        return FrameOn(input.Name(), image.width, image.height,
                       reportedHardwareWidth == UINT32_MAX ? allocatedWidth : reportedHardwareWidth,
                       reportedHardwareHeight == UINT32_MAX ? allocatedHeight : reportedHardwareHeight);
    }

    // One frame on a texture the test made itself, into an output of the image's size.
    uint32_t FrameOn(uint32_t inputTexture, uint32_t width, uint32_t height, uint32_t hardwareWidth,
                     uint32_t hardwareHeight)
    {
        if (output.width != width || output.height != height) {
            output.Release();  // first, so that the new target may take its names
            output = hostkit::RenderTarget(width, height);
        }
        hostkit::BeginFrame(output, 0, 0, 0, 0);
        const hostkit::InputTexture input = {inputTexture, width, height, hardwareWidth, hardwareHeight};
        const hostkit::FrameRecords frame(&input, 1, output.framebuffer);
        return effect.ProcessOpenGL(static_cast<const FrameInput*>(frame.Data()));
    }

    Image Output() const
    {
        Image image;
        image.width = output.width;
        image.height = output.height;
        image.pixels = hostkit::ReadPixels(output);
        return image;
    }

    ZudArazOdudave effect;
    hostkit::RenderTarget output;
    hostkit::Texture input;
    bool initialised = false;
};

}  // namespace testsupport
