// What the frame and overlay benchmarks share: the frame sizes they run at,
// one GL context for the whole process, labels of size and variant, and the
// runs both make: frames timed with the plug-in's GL calls counted, the
// host's bare pass-through as the yardstick, and detection on a grid.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "hostkit/GlContext.h"
#include "hostkit/HostGl.h"

class ZudArazOdudave;

namespace benchsupport {

struct Size {
    uint32_t width, height;
};
constexpr Size kSizes[] = {{1280, 720}, {1920, 1080}, {3840, 2160}};

// A GLX core-profile 4.1 context, made on first use and current from then on;
// null (with the reason printed once) where none can be made.
hostkit::GlContext* Context();
// False, with the benchmark skipped, where there is no context.
bool RequireContext(benchmark::State& state);

// "WxH", then the variant after a space when there is one.
std::string Label(Size size, const char* variant = nullptr);

// Every iteration: output cleared (where there is one), frame() with its GL
// calls counted, then glFinish so that the time is the renderer's too.
// Counters per frame: bytes read back, GL queries, draws, vertices and other calls.
void TimeFrames(benchmark::State& state, const hostkit::RenderTarget* output, const std::function<void()>& frame);
// The host's own pass-through of texture into output, timed as TimeFrames.
void TimeHostPassThrough(benchmark::State& state, const hostkit::RenderTarget& output, uint32_t texture);
// The effect's detection on cells (width x height), its parameters as set.
void TimeDetection(benchmark::State& state, ZudArazOdudave& effect, const std::vector<uint8_t>& cells,
                   int32_t width, int32_t height);

}  // namespace benchsupport
