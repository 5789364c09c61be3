// A contact sheet: a few frames spread evenly over the run, scaled down and
// laid out in a grid of columns x rows tiles with a thin gap between them.
#pragma once

#include <cstdint>
#include <vector>

#include "hostkit/Image.h"

namespace refhost {

using hostkit::Image;

class ContactSheet {
public:
    // totalFrames: the number of frames the run renders; at most that many tiles are used.
    ContactSheet(uint32_t columns, uint32_t rows, uint64_t totalFrames, uint32_t frameWidth, uint32_t frameHeight);

    // The frame numbers that get a tile, ascending, first and last frame included.
    const std::vector<uint64_t>& PickedFrames() const { return picked; }
    bool Wants(uint64_t frame) const;
    // Scales the frame (file order) into its tile.
    void Add(uint64_t frame, const Image& image);
    // The sheet so far; tiles not added yet stay dark grey.
    const Image& Sheet() const { return sheet; }

    uint32_t TileWidth() const { return tileWidth; }
    uint32_t TileHeight() const { return tileHeight; }

    static constexpr uint32_t kGap = 4;
    static constexpr uint32_t kMaxSheetWidth = 1920;

private:
    uint32_t columns;
    uint32_t rows;
    uint32_t tileWidth;
    uint32_t tileHeight;
    std::vector<uint64_t> picked;
    Image sheet;
};

// Area-averaging reduction (or nearest enlargement) of source into target's size.
void ScaleInto(const Image& source, Image& target);

}  // namespace refhost
