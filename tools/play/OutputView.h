// Where the output goes in the window: the largest rectangle of its aspect
// inside the area the panel leaves, centred, and the draw that puts it there.
#pragma once

#include <cstdint>

#include "hostsupport/PassThrough.h"

namespace play {

// Window pixels, origin at the lower left as GL counts them.
struct ViewRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// Empty when the area or the image is.
ViewRect FitRect(uint32_t imageWidth, uint32_t imageHeight, const ViewRect& area);

// Draws a texture scaled into the window through the host's pass-through: on
// a software rasteriser that costs about half of a scaling glBlitFramebuffer.
// Made and released with the context current.
class OutputView {
public:
    // Clears the window's framebuffer around where and draws the texture
    // into where (linear filtering).
    void Draw(uint32_t texture, const ViewRect& where, int windowWidth, int windowHeight) const;

private:
    hostsupport::PassThrough passThrough;
};

}  // namespace play
