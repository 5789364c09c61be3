// Parsing of WIDTHxHEIGHT arguments.
#include "FrameSize.h"


#include "hostsupport/HostError.h"

namespace refhost {

FrameSize ParseFrameSize(const std::string& text)
{
    const size_t x = text.find_first_of("xX");
    const auto digits = [](const std::string& part) {
        return !part.empty() && part.size() <= 6 && part.find_first_not_of("0123456789") == std::string::npos;
    };
    if (x == std::string::npos || !digits(text.substr(0, x)) || !digits(text.substr(x + 1)))
        throw hostsupport::HostError("bad size \"" + text + "\": use WIDTHxHEIGHT, e.g. 1280x720");
    FrameSize size;
    size.width = static_cast<uint32_t>(std::stoul(text.substr(0, x)));
    size.height = static_cast<uint32_t>(std::stoul(text.substr(x + 1)));
    if (size.width < 1 || size.height < 1 || size.width > 16384 || size.height > 16384)
        throw hostsupport::HostError("bad size \"" + text + "\": width and height must be 1 to 16384");
    return size;
}

}  // namespace refhost
