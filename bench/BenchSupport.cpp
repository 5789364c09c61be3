// The benchmarks' shared context, labels and runs.
#include "BenchSupport.h"

#include <GL/glew.h>

#include <cstdio>
#include <memory>

#include "hostkit/DrawCallCounter.h"
#include "hostkit/GlCallCounter.h"
#include "hostsupport/PassThrough.h"
#include "tracker/ZudArazOdudave.h"

namespace benchsupport {

hostkit::GlContext* Context()
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

bool RequireContext(benchmark::State& state)
{
    if (Context())
        return true;
    state.SkipWithError("no GL context");
    return false;
}

std::string Label(Size size, const char* variant)
{
    return std::to_string(size.width) + "x" + std::to_string(size.height) + (variant ? std::string(" ") + variant : "");
}

void TimeFrames(benchmark::State& state, const hostkit::RenderTarget* output, const std::function<void()>& frame)
{
    hostkit::ResetDrawCallCount();
    hostkit::ResetGlCallCounts();
    for (auto _ : state) {
        if (output != nullptr)
            hostkit::BeginFrame(*output, 0, 0, 0, 1);
        {
            const hostkit::GlCallCounting counting;
            frame();
        }
        glFinish();
    }
    const double frames = static_cast<double>(state.iterations());
    const hostkit::GlCallCounts calls = hostkit::CountedGlCalls();
    state.counters["read_back_bytes"] = static_cast<double>(hostkit::ReadBackByteCount()) / frames;
    state.counters["queries"] = static_cast<double>(calls.queries) / frames;
    state.counters["draws"] = static_cast<double>(calls.draws) / frames;
    state.counters["vertices"] = static_cast<double>(hostkit::DrawnVertexCount()) / frames;
    state.counters["other_calls"] = static_cast<double>(calls.others) / frames;
}

void TimeHostPassThrough(benchmark::State& state, const hostkit::RenderTarget& output, uint32_t texture)
{
    const hostsupport::PassThrough passThrough;
    TimeFrames(state, &output, [&] { passThrough.Draw(texture); });
}

void TimeDetection(benchmark::State& state, ZudArazOdudave& effect, const std::vector<uint8_t>& cells,
                   int32_t width, int32_t height)
{
    for (auto _ : state) {
        effect.DetectBlobs(cells.data(), width, height);
        benchmark::DoNotOptimize(effect.Targets().data());
    }
}

}  // namespace benchsupport
