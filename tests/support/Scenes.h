// Input images for frame tests: noise, and the scenes that the overlay tests
// share (twenty targets, a grid-cell checkerboard).
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "hostkit/Image.h"
#include "tracker/analysis/GridSampling.h"

namespace testsupport {

using hostkit::Image;  // bottom row first, as GL holds it

// Every pixel an opaque random colour, each channel at most maxValue.
inline void AddNoise(Image& image, uint32_t seed, uint8_t maxValue)
{
    std::mt19937 random(seed);
    for (size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i] = static_cast<uint8_t>(random() % (maxValue + 1u));
        image.pixels[i + 1] = static_cast<uint8_t>(random() % (maxValue + 1u));
        image.pixels[i + 2] = static_cast<uint8_t>(random() % (maxValue + 1u));
        image.pixels[i + 3] = 255;
    }
}

// Twenty bright blobs of different sizes on a dark, noisy background.
inline Image TwentyTargets(uint32_t width, uint32_t height)
{
    Image image(width, height, 0, 0, 0);
    AddNoise(image, 9, 40);
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
// Placed by the effect's own grid rule: this builds a scene, it checks nothing.
inline Image GridCheckerboard(uint32_t width, uint32_t height)
{
    Image image(width, height, 0, 0, 0);
    const GridSize grid = GridSizeFor(width, height);
    for (int32_t r = 0; r < grid.height; ++r)
        for (int32_t c = (r & 1); c < grid.width; c += 2) {
            const auto sx = static_cast<uint32_t>(SampledIndex(c, grid.width, static_cast<int32_t>(width)));
            const auto sy = static_cast<uint32_t>(SampledIndex(r, grid.height, static_cast<int32_t>(height)));
            image.Fill(sx, sy, sx + 1, sy + 1, 255, 255, 255);
        }
    return image;
}

}  // namespace testsupport
