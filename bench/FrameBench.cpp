// One frame of the effect on the headless host, by road (GPU sampling or the
// whole read-back) and by stage, through the effect's own code: the whole
// frame against the host's bare pass-through, grid sampling with its
// read-back, CPU sampling of a read-back image, detection. Every GL stage ends
// with glFinish so that the time is the GPU's (or llvmpipe's) too; the CPU
// column is the calling thread's own time, what a host's render thread pays.
// Counters per frame: bytes read back, and the GL calls of the call under test
// by kind: queries (glGet*, glIs*, glCheck*FramebufferStatus, each a round trip
// on threaded drivers), draws and all other calls.
#include <benchmark/benchmark.h>

#include <GL/glew.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "hostkit/ByteRecord.h"
#include "hostkit/DrawCallCounter.h"
#include "hostkit/FrameRecords.h"
#include "hostkit/GlCallCounter.h"
#include "hostkit/GlContext.h"
#include "hostkit/HostGl.h"
#include "tracker/ZudArazOdudave.h"
#include "tracker/analysis/GridSampling.h"

namespace {

using benchsupport::kSizes;
using benchsupport::Label;
using benchsupport::RequireContext;
using benchsupport::Size;
using benchsupport::TimeDetection;
using benchsupport::TimeFrames;
using benchsupport::TimeHostPassThrough;

const char* const kRoads[] = {"gpu", "full"};

// A dark noisy frame with a dozen bright rectangles.
std::vector<uint8_t> Scene(uint32_t width, uint32_t height)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    std::mt19937 random(1);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        const uint8_t v = static_cast<uint8_t>(random() % 40);
        pixels[i] = pixels[i + 1] = pixels[i + 2] = v;
        pixels[i + 3] = 255;
    }
    for (int blob = 0; blob < 12; ++blob) {
        const uint32_t x0 = (blob % 4) * width / 4 + width / 16, y0 = (blob / 4) * height / 3 + height / 12;
        for (uint32_t y = y0; y < y0 + height / 8; ++y)
            for (uint32_t x = x0; x < x0 + width / 10; ++x) {
                uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
                p[0] = p[1] = p[2] = 240;
            }
    }
    return pixels;
}

// The host's side of one frame: input texture, output, records, and an
// effect instance set to the road under test.
struct Rig {
    Size size;
    std::vector<uint8_t> pixels;
    hostkit::Texture texture;
    hostkit::RenderTarget output;
    hostkit::FrameRecords records;
    ZudArazOdudave effect;

    Rig(Size s, bool fullReadback) : size(s), pixels(Scene(s.width, s.height))
    {
        texture = hostkit::Texture(s.width, s.height, pixels.data());
        output = hostkit::RenderTarget(s.width, s.height);
        const auto input = hostkit::InputTexture::Whole(texture.Name(), s.width, s.height);
        records.Build(&input, 1, output.framebuffer);
        const auto viewport = hostkit::MakeViewport(0, 0, s.width, s.height);
        effect.InitGL(static_cast<const ViewportRecord*>(viewport.Data()));
        effect.SetFloatParameter(kShowBlobs, 0.0f);
        effect.Input().ForceFullReadback(fullReadback);
    }
    ~Rig() { effect.DeInitGL(); }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    const FrameInput* Frame() const { return static_cast<const FrameInput*>(records.Data()); }
    const TextureInfo& Texture() const { return *static_cast<const TextureInfo*>(records.Texture(0)); }
};

void WholeFrame(benchmark::State& state)
{
    if (!RequireContext(state))
        return;
    Rig rig(kSizes[state.range(1)], state.range(0) == 1);
    rig.effect.ProcessOpenGL(rig.Frame());
    glFinish();
    TimeFrames(state, &rig.output, [&] { rig.effect.ProcessOpenGL(rig.Frame()); });
    state.SetLabel(Label(rig.size, kRoads[state.range(0)]));
}

void HostPassThrough(benchmark::State& state)
{
    if (!RequireContext(state))
        return;
    Rig rig(kSizes[state.range(0)], false);
    TimeHostPassThrough(state, rig.output, rig.texture.Name());
    state.SetLabel(Label(rig.size));
}

// Sizing the grid, sampling it by the road and the read-back call.
void GridStage(benchmark::State& state)
{
    if (!RequireContext(state))
        return;
    Rig rig(kSizes[state.range(1)], state.range(0) == 1);
    rig.effect.SampleInputGrid(rig.Texture());
    glFinish();
    TimeFrames(state, nullptr, [&] { rig.effect.SampleInputGrid(rig.Texture()); });
    state.SetLabel(Label(rig.size, kRoads[state.range(0)]));
}

// The whole read-back road's CPU part: nearest sampling of the read-back image.
void CpuSampling(benchmark::State& state)
{
    const Size size = kSizes[state.range(0)];
    const std::vector<uint8_t> pixels = Scene(size.width, size.height);
    const GridSize grid = GridSizeFor(size.width, size.height);
    std::vector<int32_t> sourceIndices(static_cast<size_t>(grid.width) + grid.height);
    FillSourceIndices(static_cast<int32_t>(size.width), static_cast<int32_t>(size.height), grid.width, grid.height,
                      sourceIndices.data());
    std::vector<uint8_t> cells(static_cast<size_t>(grid.width) * grid.height * 4);
    for (auto _ : state) {
        SampleGrid(pixels.data(), static_cast<int32_t>(size.width), sourceIndices.data(), cells.data(), grid.width,
                   grid.height);
        benchmark::DoNotOptimize(cells.data());
    }
    state.SetLabel(Label(size));
}

void Detection(benchmark::State& state)
{
    if (!RequireContext(state))
        return;
    Rig rig(kSizes[state.range(0)], false);
    rig.effect.SampleInputGrid(rig.Texture());
    const std::vector<uint8_t> grid = rig.effect.Input().Cells();
    TimeDetection(state, rig.effect, grid, rig.effect.Input().Width(), rig.effect.Input().Height());
    state.SetLabel(Label(rig.size));
}

BENCHMARK(WholeFrame)->ArgsProduct({{0, 1}, {0, 1, 2}})->ArgNames({"road", "size"})->Unit(benchmark::kMillisecond);
BENCHMARK(HostPassThrough)->DenseRange(0, 2)->ArgName("size")->Unit(benchmark::kMillisecond);
BENCHMARK(GridStage)->ArgsProduct({{0, 1}, {0, 1, 2}})->ArgNames({"road", "size"})->Unit(benchmark::kMillisecond);
BENCHMARK(CpuSampling)->DenseRange(0, 2)->ArgName("size")->Unit(benchmark::kMillisecond);
BENCHMARK(Detection)->DenseRange(0, 2)->ArgName("size")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
