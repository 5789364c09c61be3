// Generated input: a dark, slightly noisy background with a few bright shapes
// that move, grow and shrink, and pairs that merge and split again, so every
// overlay element has something to show; and the benchmark's still frame of
// separated blobs. Both are fixed by the seed alone.
#pragma once

#include <cstdint>

#include "hostkit/Image.h"

namespace hostsupport {

using hostkit::Image;

class GeneratedScene {
public:
    explicit GeneratedScene(uint32_t seed);
    // Frame number frame of a sequence at fps frames per second; image keeps its size.
    void Render(uint64_t frame, double fps, Image& image) const;

private:
    uint32_t seed;
    double phase[6];
    double jitterX[6];
    double jitterY[6];
    double periodScale[6];
};

// blobs bright round blobs, spread on an even lattice with wide dark gaps so
// that each stays a separate target on any analysis grid.
Image MakeBlobField(uint32_t width, uint32_t height, uint32_t blobs, uint32_t seed);

// Whether any pixel has the overlay's default pink, which the scenes never contain.
bool IsOverlayPink(const uint8_t* rgba);

}  // namespace hostsupport
