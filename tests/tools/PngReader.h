// Reads a PNG back with libpng's simplified API into the kit's image, RGBA
// rows top first.
#pragma once

#include <png.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "hostkit/Image.h"

namespace refhosttest {

// False (and the image untouched) when the file is missing or no PNG.
inline bool ReadPng(const std::string& path, hostkit::Image& result)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    result.width = image.width;
    result.height = image.height;
    result.pixels = std::move(pixels);
    return true;
}

// Pixels of the overlay's default pink (1.0, 0.078, 0.576), which no input scene has.
inline size_t CountPink(const hostkit::Image& image)
{
    size_t count = 0;
    for (size_t i = 0; i + 3 < image.pixels.size(); i += 4)
        count += image.pixels[i] > 200 && image.pixels[i + 1] < 80 && image.pixels[i + 2] > 100;
    return count;
}

// Pixels of the overlay colour turned half-way round, (0.078, 1.0, 0.502).
inline size_t CountShiftedGreen(const hostkit::Image& image)
{
    size_t count = 0;
    for (size_t i = 0; i + 3 < image.pixels.size(); i += 4)
        count += image.pixels[i] < 80 && image.pixels[i + 1] > 200 && image.pixels[i + 2] > 80 && image.pixels[i + 2] < 180;
    return count;
}

}  // namespace refhosttest
