// The GL objects a host makes around a plug-in: input textures, an output
// framebuffer, and the read-back of what the plug-in drew.
#pragma once

#include <cstdint>
#include <vector>

namespace hostkit {

// Texture and RenderTarget own their GL names and are move-only. Making one,
// Release(), moving onto one that holds names and destroying one that holds
// names need its context current. An owner that may outlive the context (a
// fixture torn down after it, a static) calls Release() while the context is
// current; an empty, released or moved-from one makes no GL call, its
// destructor included.

// An RGBA8 texture of hardwareWidth x hardwareHeight (0: width x height) whose
// lower-left width x height holds pixels (bottom row first; null: none); the
// rest is transparent black.
class Texture {
public:
    Texture() = default;
    Texture(uint32_t width, uint32_t height, const uint8_t* pixels, uint32_t hardwareWidth = 0,
            uint32_t hardwareHeight = 0);
    ~Texture() { Release(); }
    Texture(Texture&& other) noexcept;
    Texture& operator=(Texture&& other) noexcept;
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // 0 when empty.
    uint32_t Name() const { return name; }
    // Deletes the texture now and leaves this empty.
    void Release();

private:
    uint32_t name = 0;
};

// An output framebuffer with an RGBA8 texture of width x height as its colour.
// The fields are public for reading, as frame records and read-backs take
// them; only the constructor, moves and Release() change them.
class RenderTarget {
public:
    RenderTarget() = default;
    RenderTarget(uint32_t width, uint32_t height);
    ~RenderTarget() { Release(); }
    RenderTarget(RenderTarget&& other) noexcept;
    RenderTarget& operator=(RenderTarget&& other) noexcept;
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    // Deletes the framebuffer and its texture now and leaves this empty.
    void Release();

    uint32_t texture = 0;
    uint32_t framebuffer = 0;
    uint32_t width = 0;
    uint32_t height = 0;
};

// Binds the target, sets the viewport to it and clears it to the colour.
void BeginFrame(const RenderTarget& target, float r, float g, float b, float a);
// RGBA8 rows, bottom row first.
std::vector<uint8_t> ReadPixels(const RenderTarget& target);
// Replaces the lower-left width x height of an RGBA8 texture.
void UpdateTexture(uint32_t texture, uint32_t width, uint32_t height, const uint8_t* pixels);

}  // namespace hostkit
