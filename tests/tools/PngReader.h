// Reads a PNG back with libpng's simplified API, as RGBA rows top first.
#pragma once

#include <png.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace refhosttest {

struct PngImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgba;
    bool ok = false;

    const uint8_t* At(uint32_t x, uint32_t y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

inline PngImage ReadPng(const std::string& path)
{
    PngImage result;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return result;
    image.format = PNG_FORMAT_RGBA;
    result.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, result.rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return result;
    }
    result.width = image.width;
    result.height = image.height;
    result.ok = true;
    return result;
}

// Pixels of the overlay's default pink (1.0, 0.078, 0.576), which no input scene has.
inline size_t CountPink(const PngImage& image)
{
    size_t count = 0;
    for (size_t i = 0; i + 3 < image.rgba.size(); i += 4)
        count += image.rgba[i] > 200 && image.rgba[i + 1] < 80 && image.rgba[i + 2] > 100;
    return count;
}

// Pixels of the overlay colour turned half-way round, (0.078, 1.0, 0.502).
inline size_t CountShiftedGreen(const PngImage& image)
{
    size_t count = 0;
    for (size_t i = 0; i + 3 < image.rgba.size(); i += 4)
        count += image.rgba[i] < 80 && image.rgba[i + 1] > 200 && image.rgba[i + 2] > 80 && image.rgba[i + 2] < 180;
    return count;
}

}  // namespace refhosttest
