// The picture a plug-in offers for a host's effect browser (code 42), as the
// browser would show it: RGBA rows, row 0 at the top.
#pragma once

#include "hostkit/Image.h"
#include "hostkit/PluginLibrary.h"

namespace hostsupport {

using hostkit::Image;

// Throws HostError when the plug-in has no thumbnail or gives an unusable size.
Image ReadThumbnail(const hostkit::PluginLibrary& library);

}  // namespace hostsupport
