// The GL objects a host makes around a plug-in: input textures, an output
// framebuffer, and the read-back of what the plug-in drew.
#pragma once

#include <cstdint>
#include <vector>

namespace hostkit {

// An RGBA8 texture of hardwareWidth x hardwareHeight whose lower-left
// width x height holds pixels (bottom row first); the rest is transparent black.
uint32_t CreateTexture(uint32_t width, uint32_t height, const uint8_t* pixels, uint32_t hardwareWidth = 0,
                       uint32_t hardwareHeight = 0);
void UpdateTexture(uint32_t texture, uint32_t width, uint32_t height, const uint8_t* pixels);
void DeleteTexture(uint32_t texture);

struct RenderTarget {
    uint32_t texture = 0;
    uint32_t framebuffer = 0;
    uint32_t width = 0;
    uint32_t height = 0;
};

RenderTarget CreateRenderTarget(uint32_t width, uint32_t height);
void DeleteRenderTarget(RenderTarget& target);
// Binds the target, sets the viewport to it and clears it to the colour.
void BeginFrame(const RenderTarget& target, float r, float g, float b, float a);
// RGBA8 rows, bottom row first.
std::vector<uint8_t> ReadPixels(const RenderTarget& target);

}  // namespace hostkit
