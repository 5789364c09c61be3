// Filling and row flipping between file order and GL order.
#include "Image.h"

#include <cstring>

namespace hostkit {

void Image::Fill(uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
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

void FlipRows(const Image& source, Image& target)
{
    target.width = source.width;
    target.height = source.height;
    target.pixels.resize(source.pixels.size());
    const size_t rowBytes = static_cast<size_t>(source.width) * 4;
    for (uint32_t y = 0; y < source.height; ++y)
        std::memcpy(target.Row(source.height - 1 - y), source.Row(y), rowBytes);
}

}  // namespace hostkit
