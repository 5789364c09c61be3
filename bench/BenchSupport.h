// What the frame and overlay benchmarks share: the frame sizes they run at,
// one GL context for the whole process, and labels of size and variant.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "hostkit/GlContext.h"

namespace benchsupport {

struct Size {
    uint32_t width, height;
};
constexpr Size kSizes[] = {{1280, 720}, {1920, 1080}, {3840, 2160}};

// A GLX core-profile 4.1 context, made on first use and current from then on;
// null (with the reason printed once) where none can be made.
inline hostkit::GlContext* Context()
{
    static std::unique_ptr<hostkit::GlContext> context = [] {
        std::string error;
        auto made = hostkit::GlContext::Create(hostkit::GlApi::Glx, 4, 1, &error);
        if (!made)
            std::fprintf(stderr, "no GL context for the benchmarks: %s\n", error.c_str());
        return made;
    }();
    return context.get();
}

// "WxH", then the variant after a space when there is one.
inline std::string Label(Size size, const char* variant = nullptr)
{
    return std::to_string(size.width) + "x" + std::to_string(size.height) + (variant ? std::string(" ") + variant : "");
}

}  // namespace benchsupport
