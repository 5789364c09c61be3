// Shapes drawn as anti-aliased ellipses in near-white colours (green stays
// high, so no scene pixel is ever the overlay's pink), over a hashed noise
// that depends on position, frame and seed only.
#include "Scene.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace hostsupport {

namespace {

constexpr double kPi = 3.14159265358979323846;

uint32_t Hash(uint32_t value)
{
    value ^= value >> 16;
    value *= 0x7feb352dU;
    value ^= value >> 15;
    value *= 0x846ca68bU;
    value ^= value >> 16;
    return value;
}

double UnitFromHash(uint32_t seed, uint32_t salt)
{
    return static_cast<double>(Hash(seed * 0x9e3779b9U + salt) & 0xffffff) / static_cast<double>(0x1000000);
}

struct Ellipse {
    double cx, cy;  // fractions of width and height, y down
    double rx, ry;  // radii as fractions of the image height
    uint8_t r, g, b;
};

void FillBackground(Image& image, uint32_t seed, uint32_t frame)
{
    const uint32_t frameSalt = Hash(seed ^ Hash(frame + 0x51ed27U));
    for (uint32_t y = 0; y < image.height; ++y) {
        uint8_t* row = image.Row(y);
        const int base = 14 + static_cast<int>(12 * y / std::max(1u, image.height));
        for (uint32_t x = 0; x < image.width; ++x) {
            const uint32_t noise = Hash(frameSalt ^ (y * 0x10001U + x * 0x9e3779b1U));
            uint8_t* p = row + x * 4;
            p[0] = static_cast<uint8_t>(base + static_cast<int>(noise & 15) - 6);
            p[1] = static_cast<uint8_t>(base + static_cast<int>((noise >> 4) & 15) - 5);
            p[2] = static_cast<uint8_t>(base + 8 + static_cast<int>((noise >> 8) & 15) - 6);
            p[3] = 255;
        }
    }
}

void DrawEllipse(Image& image, const Ellipse& shape)
{
    const double h = image.height;
    const double cx = shape.cx * image.width, cy = shape.cy * h;
    const double rx = std::max(0.5, shape.rx * h), ry = std::max(0.5, shape.ry * h);
    const int x0 = std::max(0, static_cast<int>(std::floor(cx - rx - 2)));
    const int x1 = std::min(static_cast<int>(image.width) - 1, static_cast<int>(std::ceil(cx + rx + 2)));
    const int y0 = std::max(0, static_cast<int>(std::floor(cy - ry - 2)));
    const int y1 = std::min(static_cast<int>(image.height) - 1, static_cast<int>(std::ceil(cy + ry + 2)));
    const double edge = std::min(rx, ry);
    for (int y = y0; y <= y1; ++y) {
        uint8_t* row = image.Row(static_cast<uint32_t>(y));
        const double dy = (y + 0.5 - cy) / ry;
        for (int x = x0; x <= x1; ++x) {
            const double dx = (x + 0.5 - cx) / rx;
            // Signed distance to the rim in pixels, roughly: one pixel of soft edge.
            const double coverage = std::clamp((1.0 - std::sqrt(dx * dx + dy * dy)) * edge + 0.5, 0.0, 1.0);
            if (coverage <= 0.0)
                continue;
            uint8_t* p = row + x * 4;
            p[0] = static_cast<uint8_t>(std::lround(p[0] + (shape.r - p[0]) * coverage));
            p[1] = static_cast<uint8_t>(std::lround(p[1] + (shape.g - p[1]) * coverage));
            p[2] = static_cast<uint8_t>(std::lround(p[2] + (shape.b - p[2]) * coverage));
        }
    }
}

}  // namespace

GeneratedScene::GeneratedScene(uint32_t seedValue) : seed(seedValue)
{
    for (uint32_t i = 0; i < 6; ++i) {
        phase[i] = UnitFromHash(seed, 10 + i) * 2 * kPi;
        jitterX[i] = (UnitFromHash(seed, 20 + i) - 0.5) * 0.06;
        jitterY[i] = (UnitFromHash(seed, 30 + i) - 0.5) * 0.06;
        periodScale[i] = 0.85 + UnitFromHash(seed, 40 + i) * 0.3;
    }
}

void GeneratedScene::Render(uint64_t frame, double fps, Image& image) const
{
    const double t = static_cast<double>(frame) / (fps > 0 ? fps : 30.0);
    FillBackground(image, seed, static_cast<uint32_t>(frame));
    const double aspect = static_cast<double>(image.width) / std::max(1u, image.height);
    const auto wave = [&](int i, double period) {
        return std::sin(2 * kPi * t / (period * periodScale[i]) + phase[i]);
    };
    std::vector<Ellipse> shapes;

    // A pair that starts apart, merges into one blob and splits again (4 s cycle).
    const double gapA = 0.035 + 0.13 * (0.5 + 0.5 * std::cos(2 * kPi * t / 4.0));
    const double ax = 0.28 + jitterX[0], ay = 0.36 + jitterY[0];
    shapes.push_back({ax - gapA / aspect, ay, 0.065, 0.065, 250, 246, 236});
    shapes.push_back({ax + gapA / aspect, ay + 0.02, 0.055, 0.06, 236, 246, 255});

    // A pair that starts merged and splits first, stacked vertically.
    const double gapB = 0.035 + 0.12 * (0.5 - 0.5 * std::cos(2 * kPi * t / 4.0));
    const double bx = 0.70 + jitterX[1], by = 0.62 + jitterY[1];
    shapes.push_back({bx, by - gapB, 0.06, 0.05, 255, 242, 205});
    shapes.push_back({bx + 0.01, by + gapB, 0.05, 0.055, 225, 255, 240});

    // One that grows and shrinks while it drifts.
    const double grow = 0.5 + 0.5 * wave(2, 3.0);
    shapes.push_back({0.82 + jitterX[2] + 0.03 * wave(3, 5.0), 0.25 + jitterY[2], 0.02 + 0.06 * grow,
                      0.02 + 0.05 * grow, 245, 250, 255});

    // One that sweeps across the lower part, and a small fast one on a Lissajous path.
    shapes.push_back({0.5 + 0.38 * wave(4, 6.0), 0.82 + jitterY[3] + 0.04 * wave(5, 2.5), 0.07, 0.04, 255, 250, 225});
    shapes.push_back({0.5 + jitterX[4] + 0.3 * std::sin(2 * kPi * t / 3.7 + phase[5]),
                      0.5 + jitterY[4] + 0.25 * std::sin(2 * kPi * t / 2.9 + phase[0]), 0.025, 0.025, 240, 255, 250});

    for (const Ellipse& shape : shapes)
        DrawEllipse(image, shape);
}

Image MakeBlobField(uint32_t width, uint32_t height, uint32_t blobs, uint32_t seed)
{
    Image image(width, height);
    FillBackground(image, seed, 0);
    if (blobs == 0)
        return image;
    // A lattice of about square cells that holds every blob.
    const double idealRows = std::sqrt(static_cast<double>(blobs) * height / std::max(1u, width));
    const uint32_t rows = std::max(1u, static_cast<uint32_t>(std::lround(idealRows)));
    const uint32_t columns = (blobs + rows - 1) / rows;
    const double cellW = 1.0 / columns, cellH = 1.0 / rows;
    const double radius = 0.28 * std::min(cellW * width, cellH * height) / height;
    for (uint32_t i = 0; i < blobs; ++i) {
        const double jx = (UnitFromHash(seed, 100 + i) - 0.5) * 0.1 * cellW;
        const double jy = (UnitFromHash(seed, 200 + i) - 0.5) * 0.1 * cellH;
        const uint8_t level = static_cast<uint8_t>(225 + (Hash(seed + i) % 30));
        DrawEllipse(image, {(i % columns + 0.5) * cellW + jx, (i / columns + 0.5) * cellH + jy, radius, radius,
                            level, level, level});
    }
    return image;
}

bool IsOverlayPink(const uint8_t* p)
{
    return p[0] > 200 && p[1] < 80 && p[2] > 100;
}

}  // namespace hostsupport
