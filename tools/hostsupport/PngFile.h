// PNG files through libpng: frames and contact sheets are written opaque (RGB,
// alpha dropped), as a video would show them.
#pragma once

#include <string>

#include "hostkit/Image.h"

namespace hostsupport {

using hostkit::Image;

// Throws HostError when the file cannot be written.
void WritePng(const std::string& path, const Image& image);

}  // namespace hostsupport
