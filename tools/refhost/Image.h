// An RGBA8 image in file order (top row first), the form ffmpeg and PNG use;
// GL textures and read-backs are bottom row first, so they go through FlipRows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace refhost {

struct Image {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;

    Image() = default;
    Image(uint32_t w, uint32_t h) : width(w), height(h), pixels(static_cast<size_t>(w) * h * 4, 0) {}

    uint8_t* Row(uint32_t y) { return pixels.data() + static_cast<size_t>(y) * width * 4; }
    const uint8_t* Row(uint32_t y) const { return pixels.data() + static_cast<size_t>(y) * width * 4; }
    size_t ByteSize() const { return pixels.size(); }
};

// Copies source into target with the row order reversed (target is resized).
void FlipRows(const Image& source, Image& target);

}  // namespace refhost
