// Code 42 twice, as hosts call it: once for the size, once into a buffer of
// that size. Pixels are 32-bit words, red in the most significant byte.
#include "PluginThumbnail.h"

#include <string>
#include <vector>

#include "hostkit/ByteRecord.h"
#include "hostkit/FfglCodes.h"
#include "HostError.h"

namespace hostsupport {

namespace {

// Far beyond any browser icon; a larger answer is a broken record, not a picture.
constexpr uint32_t kLargestSide = 4096;

}  // namespace

Image ReadThumbnail(const hostkit::PluginLibrary& library)
{
    // Thumbnail record: width (0, out), height (4, out), pixel buffer (8, in).
    hostkit::ByteRecord<16> record;
    if (hostkit::IsFailureCode(library.CallPointer(ffgl::kGetThumbnail, record.Data())) || record.U32(0) == 0 ||
        record.U32(4) == 0)
        throw HostError("the plug-in offers no thumbnail (code 42)");
    const uint32_t width = record.U32(0), height = record.U32(4);
    if (width > kLargestSide || height > kLargestSide)
        throw HostError("the plug-in's thumbnail size " + std::to_string(width) + "x" +
                                     std::to_string(height) + " is not believable (code 42)");

    std::vector<uint32_t> words(static_cast<size_t>(width) * height);
    record.PutPointer(8, words.data());
    if (hostkit::IsFailureCode(library.CallPointer(ffgl::kGetThumbnail, record.Data())) || record.U32(0) != width ||
        record.U32(4) != height)
        throw HostError("the plug-in's thumbnail changed between two calls (code 42)");

    Image image(width, height);
    for (size_t i = 0; i < words.size(); ++i) {
        const uint32_t word = words[i];
        uint8_t* pixel = image.pixels.data() + i * 4;
        pixel[0] = static_cast<uint8_t>(word >> 24);
        pixel[1] = static_cast<uint8_t>(word >> 16);
        pixel[2] = static_cast<uint8_t>(word >> 8);
        pixel[3] = static_cast<uint8_t>(word);
    }
    return image;
}

}  // namespace hostsupport
