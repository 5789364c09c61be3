// A deliberately plain blob labelling that tests and fuzzers compare the
// detection against: luma per cell by the formula, breadth-first fill, then a
// full pass over the finished labels for each blob's statistics.
#pragma once

#include <algorithm>
#include <cstdint>
#include <queue>
#include <vector>

#include "tracker/analysis/BlobDetection.h"

namespace reference {

// Divide, weigh, then (R + G) + B, all in float.
inline float Luma(const uint8_t* cell)
{
    const float r = static_cast<float>(cell[0]) / 255.0f * 0.299f;
    const float g = static_cast<float>(cell[1]) / 255.0f * 0.587f;
    const float b = static_cast<float>(cell[2]) / 255.0f * 0.114f;
    return (r + g) + b;
}

inline std::vector<uint8_t> Mask(const uint8_t* grid, int32_t w, int32_t h, float threshold, float invert)
{
    const bool inverted = invert >= 0.5f;
    std::vector<uint8_t> mask(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (size_t i = 0; i < mask.size(); ++i) {
        const bool above = Luma(&grid[4 * i]) > threshold;
        mask[i] = inverted ? !above : above;
    }
    return mask;
}

struct Labelling {
    std::vector<int32_t> labels;
    std::vector<ComponentStats> components;
};

inline Labelling Label(const std::vector<uint8_t>& mask, int32_t w, int32_t h)
{
    Labelling out{std::vector<int32_t>(mask.size(), 0), {}};
    int32_t next = 1;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const size_t start = static_cast<size_t>(y) * w + x;
            if (!mask[start] || out.labels[start])
                continue;
            std::queue<size_t> queue;
            queue.push(start);
            out.labels[start] = next;
            while (!queue.empty()) {
                const size_t i = queue.front();
                queue.pop();
                const int32_t cx = static_cast<int32_t>(i % w);
                const int32_t cy = static_cast<int32_t>(i / w);
                const int32_t neighbours[4][2] = {{cx - 1, cy}, {cx + 1, cy}, {cx, cy - 1}, {cx, cy + 1}};
                for (const auto& n : neighbours) {
                    if (n[0] < 0 || n[0] >= w || n[1] < 0 || n[1] >= h)
                        continue;
                    const size_t j = static_cast<size_t>(n[1]) * w + n[0];
                    if (mask[j] && !out.labels[j]) {
                        out.labels[j] = next;
                        queue.push(j);
                    }
                }
            }
            out.components.push_back(ComponentStats{w, h, 0, 0, 0, 0, 0});
            ++next;
        }
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const int32_t label = out.labels[static_cast<size_t>(y) * w + x];
            if (label == 0)
                continue;
            ComponentStats& s = out.components[static_cast<size_t>(label - 1)];
            s.minX = std::min(s.minX, x);
            s.minY = std::min(s.minY, y);
            s.maxX = std::max(s.maxX, x);
            s.maxY = std::max(s.maxY, y);
            s.sumX += x;
            s.sumY += y;
            ++s.cellCount;
        }
    return out;
}

}  // namespace reference
