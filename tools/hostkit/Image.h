// An RGBA8 image for the reference host, the validator and the tests. Row order
// is the holder's: files are top row first, GL textures and read-backs bottom
// row first; FlipRows converts between the two.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hostkit {

struct Image {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;

    Image() = default;
    // Zero-filled, transparent black: the reference host composes into it.
    Image(uint32_t w, uint32_t h) : width(w), height(h), pixels(static_cast<size_t>(w) * h * 4, 0) {}
    Image(uint32_t w, uint32_t h, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) : Image(w, h)
    {
        Fill(0, 0, w, h, r, g, b, a);
    }

    uint8_t* Row(uint32_t y) { return pixels.data() + static_cast<size_t>(y) * width * 4; }
    const uint8_t* Row(uint32_t y) const { return pixels.data() + static_cast<size_t>(y) * width * 4; }
    uint8_t* At(uint32_t x, uint32_t y) { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
    const uint8_t* At(uint32_t x, uint32_t y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
    size_t ByteSize() const { return pixels.size(); }

    // Paints [x0, x1) x [y0, y1), clipped to the image.
    void Fill(uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);
};

// Copies source into target with the row order reversed (target is resized).
void FlipRows(const Image& source, Image& target);

}  // namespace hostkit
