// Input images for frame tests: an RGBA image type and the scenes that the
// overlay tests share (twenty targets, a grid-cell checkerboard).
#pragma once

#include <cstdint>
#include <random>
#include <vector>

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

// Twenty bright blobs of different sizes on a dark, noisy background.
inline Image TwentyTargets(uint32_t width, uint32_t height)
{
    Image image(width, height);
    image.Noise(9, 40);
    for (uint32_t i = 0; i < 20; ++i) {
        const uint32_t column = i % 5, row = i / 5;
        const uint32_t x0 = column * width / 5 + width / 40, y0 = row * height / 4 + height / 32;
        const uint32_t w = width / 14 + (i % 3) * width / 60, h = height / 10 + (i % 4) * height / 50;
        image.Fill(x0, y0, x0 + w, y0 + h, 230, 230, 230);
    }
    return image;
}

// Bright pixels exactly where the analysis grid samples every other cell, so
// that the grid is a checkerboard of one-cell blobs (the most a grid holds).
inline Image GridCheckerboard(uint32_t width, uint32_t height)
{
    Image image(width, height);
    const auto cells = [](uint32_t pixels) {
        const int32_t n = static_cast<int32_t>(static_cast<float>(pixels) * 0.3f);
        return n < 16 ? 16 : n;
    };
    const int32_t gridWidth = cells(width), gridHeight = cells(height);
    for (int32_t r = 0; r < gridHeight; ++r)
        for (int32_t c = (r & 1); c < gridWidth; c += 2) {
            const uint32_t sy = static_cast<uint32_t>(static_cast<float>(r) / static_cast<float>(gridHeight) *
                                                      static_cast<float>(height));
            const uint32_t sx = static_cast<uint32_t>(static_cast<float>(c) / static_cast<float>(gridWidth) *
                                                      static_cast<float>(width));
            image.Fill(sx, sy, sx + 1, sy + 1, 255, 255, 255);
        }
    return image;
}

}  // namespace testsupport
