// Row flipping between file order and GL order.
#include "Image.h"

#include <cstring>

namespace refhost {

void FlipRows(const Image& source, Image& target)
{
    target.width = source.width;
    target.height = source.height;
    target.pixels.resize(source.pixels.size());
    const size_t rowBytes = static_cast<size_t>(source.width) * 4;
    for (uint32_t y = 0; y < source.height; ++y)
        std::memcpy(target.Row(source.height - 1 - y), source.Row(y), rowBytes);
}

}  // namespace refhost
