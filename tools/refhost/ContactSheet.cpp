// Tile picking and box-filter scaling of the contact sheet.
#include "ContactSheet.h"

#include <algorithm>
#include <cstring>

namespace refhost {

ContactSheet::ContactSheet(uint32_t columnCount, uint32_t rowCount, uint64_t totalFrames, uint32_t frameWidth,
                           uint32_t frameHeight)
    : columns(std::max(1u, columnCount)), rows(std::max(1u, rowCount))
{
    const uint64_t tiles = std::min<uint64_t>(static_cast<uint64_t>(columns) * rows, totalFrames);
    for (uint64_t i = 0; i < tiles; ++i)
        picked.push_back(tiles == 1 ? 0 : (i * (totalFrames - 1) + (tiles - 1) / 2) / (tiles - 1));
    // Full-size tiles unless the sheet would be wider than kMaxSheetWidth.
    const uint32_t widthBudget = (kMaxSheetWidth - kGap * (columns + 1)) / columns;
    tileWidth = std::max(1u, std::min(frameWidth, widthBudget));
    tileHeight = std::max(1u, static_cast<uint32_t>(static_cast<uint64_t>(frameHeight) * tileWidth / frameWidth));
    sheet = Image(columns * tileWidth + kGap * (columns + 1), rows * tileHeight + kGap * (rows + 1));
    for (size_t i = 0; i < sheet.pixels.size(); i += 4) {
        sheet.pixels[i] = sheet.pixels[i + 1] = sheet.pixels[i + 2] = 40;
        sheet.pixels[i + 3] = 255;
    }
}

bool ContactSheet::Wants(uint64_t frame) const
{
    return std::binary_search(picked.begin(), picked.end(), frame);
}

void ContactSheet::Add(uint64_t frame, const Image& image)
{
    const auto at = std::lower_bound(picked.begin(), picked.end(), frame);
    if (at == picked.end() || *at != frame)
        return;
    const size_t tile = static_cast<size_t>(at - picked.begin());
    Image scaled(tileWidth, tileHeight);
    ScaleInto(image, scaled);
    const uint32_t left = kGap + static_cast<uint32_t>(tile % columns) * (tileWidth + kGap);
    const uint32_t top = kGap + static_cast<uint32_t>(tile / columns) * (tileHeight + kGap);
    for (uint32_t y = 0; y < tileHeight; ++y)
        std::memcpy(sheet.Row(top + y) + static_cast<size_t>(left) * 4, scaled.Row(y),
                    static_cast<size_t>(tileWidth) * 4);
}

void ScaleInto(const Image& source, Image& target)
{
    if (source.width == 0 || source.height == 0)
        return;
    for (uint32_t ty = 0; ty < target.height; ++ty) {
        uint32_t y0 = static_cast<uint32_t>(static_cast<uint64_t>(ty) * source.height / target.height);
        uint32_t y1 = static_cast<uint32_t>(static_cast<uint64_t>(ty + 1) * source.height / target.height);
        y1 = std::max(y1, y0 + 1);
        for (uint32_t tx = 0; tx < target.width; ++tx) {
            uint32_t x0 = static_cast<uint32_t>(static_cast<uint64_t>(tx) * source.width / target.width);
            uint32_t x1 = static_cast<uint32_t>(static_cast<uint64_t>(tx + 1) * source.width / target.width);
            x1 = std::max(x1, x0 + 1);
            uint64_t sum[4] = {0, 0, 0, 0};
            for (uint32_t y = y0; y < y1; ++y) {
                const uint8_t* p = source.Row(y) + static_cast<size_t>(x0) * 4;
                for (uint32_t x = x0; x < x1; ++x, p += 4)
                    for (int c = 0; c < 4; ++c)
                        sum[c] += p[c];
            }
            const uint64_t count = static_cast<uint64_t>(y1 - y0) * (x1 - x0);
            uint8_t* out = target.Row(ty) + static_cast<size_t>(tx) * 4;
            for (int c = 0; c < 4; ++c)
                out[c] = static_cast<uint8_t>((sum[c] + count / 2) / count);
        }
    }
}

}  // namespace refhost
