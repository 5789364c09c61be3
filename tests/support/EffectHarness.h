// Drives the effect in-process like a host: an input texture, an output
// framebuffer, a FrameInput built by byte offset, and the pixels it drew.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "hostkit/ByteRecord.h"
#include "hostkit/HostGl.h"
#include "tracker/ZudArazOdudave.h"

namespace testsupport {

struct Image {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;  // RGBA, bottom row first

    Image() = default;
    Image(uint32_t w, uint32_t h, uint8_t r = 0, uint8_t g = 0, uint8_t b = 0, uint8_t a = 255)
        : width(w), height(h), pixels(static_cast<size_t>(w) * h * 4)
    {
        for (size_t i = 0; i < pixels.size(); i += 4) {
            pixels[i] = r;
            pixels[i + 1] = g;
            pixels[i + 2] = b;
            pixels[i + 3] = a;
        }
    }
    uint8_t* At(uint32_t x, uint32_t y) { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
    const uint8_t* At(uint32_t x, uint32_t y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
    void Fill(uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255)
    {
        for (uint32_t y = y0; y < y1 && y < height; ++y)
            for (uint32_t x = x0; x < x1 && x < width; ++x) {
                uint8_t* p = At(x, y);
                p[0] = r;
                p[1] = g;
                p[2] = b;
                p[3] = a;
            }
    }
    void Noise(uint32_t seed, uint8_t maxValue)
    {
        std::mt19937 random(seed);
        for (size_t i = 0; i < pixels.size(); i += 4) {
            pixels[i] = static_cast<uint8_t>(random() % (maxValue + 1u));
            pixels[i + 1] = static_cast<uint8_t>(random() % (maxValue + 1u));
            pixels[i + 2] = static_cast<uint8_t>(random() % (maxValue + 1u));
            pixels[i + 3] = 255;
        }
    }
};

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
        hostkit::DeleteTexture(texture);
        texture = 0;
        hostkit::DeleteRenderTarget(output);
    }

    // Uploads the image (inside a texture of the given allocated size, 0 = the
    // image's), renders one frame into an output of the image's size, reads it back.
    uint32_t Frame(const Image& image, uint32_t hardwareWidth = 0, uint32_t hardwareHeight = 0,
                   uint32_t reportedHardwareWidth = UINT32_MAX, uint32_t reportedHardwareHeight = UINT32_MAX)
    {
        const uint32_t allocatedWidth = hardwareWidth ? hardwareWidth : image.width;
        const uint32_t allocatedHeight = hardwareHeight ? hardwareHeight : image.height;
        hostkit::DeleteTexture(texture);
        texture = hostkit::CreateTexture(image.width, image.height, image.pixels.data(), allocatedWidth,
                                         allocatedHeight);
        return FrameOn(texture, image.width, image.height,
                       reportedHardwareWidth == UINT32_MAX ? allocatedWidth : reportedHardwareWidth,
                       reportedHardwareHeight == UINT32_MAX ? allocatedHeight : reportedHardwareHeight);
    }

    // One frame on a texture the test made itself, into an output of the image's size.
    uint32_t FrameOn(uint32_t inputTexture, uint32_t width, uint32_t height, uint32_t hardwareWidth,
                     uint32_t hardwareHeight)
    {
        if (output.width != width || output.height != height) {
            hostkit::DeleteRenderTarget(output);
            output = hostkit::CreateRenderTarget(width, height);
        }
        hostkit::BeginFrame(output, 0, 0, 0, 0);
        const auto info = hostkit::MakeTextureInfo(width, height, hardwareWidth, hardwareHeight, inputTexture);
        const void* textures[] = {info.Data()};
        const auto frame = hostkit::MakeFrameInput(1, textures, output.framebuffer);
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
    uint32_t texture = 0;
    bool initialised = false;
};

}  // namespace testsupport
