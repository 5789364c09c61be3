// A frame size, or a grid of tiles, given as WIDTHxHEIGHT on the command line.
#pragma once

#include <cstdint>
#include <string>

namespace refhost {

struct FrameSize {
    uint32_t width = 0;
    uint32_t height = 0;
};

// "1280x720": both 1 to 16384; throws HostError.
FrameSize ParseFrameSize(const std::string& text);

}  // namespace refhost
