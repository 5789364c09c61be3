// The 160 x 120 picture hosts show in their plug-in browsers, drawn once at
// load from a fixed list of shapes and copied out by code 42.
#pragma once

#include <cstdint>
#include <vector>

struct ThumbnailImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> pixels;
    const uint32_t* pixelData = nullptr;

    // Takes the drawn words; the length is made exactly width x height.
    void Assign(std::vector<uint32_t> words, uint32_t width_, uint32_t height_);
};

// The picture, or null before static initialisation has built it.
const ThumbnailImage* Thumbnail();

// Pixel words: red in the most significant byte, alpha in the least.
constexpr uint32_t PackRgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    return (r << 24) | (g << 16) | (b << 8) | a;
}
