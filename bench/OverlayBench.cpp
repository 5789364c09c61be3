// The overlay's cost per frame, by stage, through the effect's own seams:
// layout and batching alone, the overlay stage with its uploads (draw calls
// counted, not rendered), the same with rendering, detection, and whole frames of the loaded plug-in through
// plugMain against the host's bare pass-through, for three sizes and three
// scenes (title only, 20 labelled targets, heavy: 20 targets with labels,
// contours and network). Counters: allocations, vertices and draws per frame,
// and for whole frames the GL queries and other GL calls of the plugMain call.
#include <benchmark/benchmark.h>

#include <GL/glew.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "Scenes.h"
#include "hostkit/AllocationCounter.h"
#include "hostkit/ByteRecord.h"
#include "hostkit/DrawCallCounter.h"
#include "hostkit/EffectInstance.h"
#include "hostkit/FfglCodes.h"
#include "hostkit/GlCallCounter.h"
#include "hostkit/GlContext.h"
#include "hostkit/HostGl.h"
#include "hostkit/PluginLibrary.h"
#include "tracker/ZudArazOdudave.h"
#include "tracker/analysis/GridSampling.h"

namespace {

using testsupport::Image;

using benchsupport::kSizes;
using benchsupport::RequireContext;
using benchsupport::Size;

struct Scene {
    const char* name;
    bool targets;
    float boxStyle, network, contours;
};
constexpr Scene kScenes[] = {
    {"title", false, 1.0f, 0.0f, 0.0f}, {"20targets", true, 1.0f, 0.0f, 0.0f}, {"heavy", true, 3.0f, 1.0f, 1.0f}};

// The parameter values of a scene, as a host sets them.
void Configure(const Scene& scene, const std::function<void(uint32_t, float)>& set)
{
    set(kMaxBlobs, 1.0f);
    set(kBoxStyle, scene.boxStyle);
    set(kShowNetwork, scene.network);
    set(kShowContours, scene.contours);
}

// Twenty targets, or a black frame where only the title shows.
Image SceneImage(const Size& size, const Scene& scene)
{
    return scene.targets ? testsupport::TwentyTargets(size.width, size.height)
                         : Image(size.width, size.height, 0, 0, 0);
}

std::string Label(const Size& size, const Scene& scene)
{
    return benchsupport::Label(size, scene.name);
}

// The input texture, the output and an in-process effect after a warm-up frame.
struct Setup {
    Size size;
    Scene scene;
    Image image;
    hostkit::Texture texture;
    hostkit::RenderTarget output;
    ZudArazOdudave effect;

    Setup(const benchmark::State& state)
        : size(kSizes[state.range(0)]), scene(kScenes[state.range(1)]),
          image(SceneImage(size, scene))
    {
        texture = hostkit::Texture(size.width, size.height, image.pixels.data());
        output = hostkit::RenderTarget(size.width, size.height);
        const auto viewport = hostkit::MakeViewport(0, 0, size.width, size.height);
        effect.InitGL(static_cast<const ViewportRecord*>(viewport.Data()));
        Configure(scene, [&](uint32_t number, float value) { effect.SetFloatParameter(number, value); });
        Frame();
        glFinish();
    }
    ~Setup() { effect.DeInitGL(); }
    void Frame()
    {
        const auto input = hostkit::InputTexture::Whole(texture.Name(), size.width, size.height);
        const hostkit::FrameRecords frame(&input, 1, output.framebuffer);
        hostkit::BeginFrame(output, 0, 0, 0, 1);
        effect.ProcessOpenGL(static_cast<const FrameInput*>(frame.Data()));
    }
};

// Takes every chunk and draws nothing: what remains is layout and batching.
class CountingTarget : public OverlayChunkReceiver {
public:
    void Draw(const OverlayChunk& chunk) override
    {
        ++chunks;
        batches += chunk.batchCount;
        vertices += chunk.rectVertexCount + chunk.lineVertexCount;
    }
    uint64_t chunks = 0, batches = 0, vertices = 0;
};

void OverlayLayoutAndBatching(benchmark::State& state)
{
    if (!RequireContext(state))
        return;
    Setup setup(state);
    CountingTarget target;
    for (auto _ : state)
        setup.effect.Overlay().Stream(setup.effect.Targets(), setup.effect.CurrentOverlaySettings(), target);
    const double frames = static_cast<double>(state.iterations());
    state.counters["vertices"] = static_cast<double>(target.vertices) / frames;
    state.counters["draws"] = static_cast<double>(target.batches) / frames;
    state.counters["targets"] = static_cast<double>(setup.effect.Targets().size());
    state.SetLabel(Label(setup.size, setup.scene));
}

// The overlay stage as a frame runs it, on the CPU of the calling thread: the
// time until the calls return. With draws forwarded that includes what a
// software renderer does inside them; without, it is layout, batching, the
// uploads and the GL calls themselves: the plug-in's own share.
void OverlayStage(benchmark::State& state, bool forwardDraws)
{
    if (!RequireContext(state))
        return;
    Setup setup(state);
    hostkit::ResetDrawCallCount();
    hostkit::SetDrawCallsForwarded(forwardDraws);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        setup.effect.DrawOverlay();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        glFinish();
    }
    glDisable(GL_BLEND);
    hostkit::SetDrawCallsForwarded(true);
    const double frames = static_cast<double>(state.iterations());
    state.counters["draws"] = static_cast<double>(hostkit::DrawCallCount()) / frames;
    state.counters["vertices"] = static_cast<double>(hostkit::DrawnVertexCount()) / frames;
    state.SetLabel(Label(setup.size, setup.scene));
}

void OverlayUpload(benchmark::State& state)
{
    OverlayStage(state, false);
}

void OverlayDraw(benchmark::State& state)
{
    OverlayStage(state, true);
}

void Detection(benchmark::State& state)
{
    const Size size = kSizes[state.range(0)];
    const Scene scene = kScenes[state.range(1)];
    const Image image = SceneImage(size, scene);
    const GridSize grid = GridSizeFor(size.width, size.height);
    std::vector<uint8_t> cells(static_cast<size_t>(grid.width) * grid.height * 4);
    SampleGrid(image.pixels.data(), static_cast<int32_t>(size.width), static_cast<int32_t>(size.height), cells.data(),
               grid.width, grid.height);
    ZudArazOdudave effect;
    Configure(scene, [&](uint32_t number, float value) { effect.SetFloatParameter(number, value); });
    benchsupport::TimeDetection(state, effect, cells, grid.width, grid.height);
    state.SetLabel(Label(size, scene));
}

// Whole frames of the loaded plug-in, driven through plugMain as a host does.
void WholeFrame(benchmark::State& state)
{
    if (!RequireContext(state))
        return;
    const Size size = kSizes[state.range(0)];
    const Scene scene = kScenes[state.range(1)];
    std::string error;
    const auto library = hostkit::PluginLibrary::Load(ZAO_PLUGIN_PATH, true, &error);
    if (!library) {
        state.SkipWithError(error.c_str());
        return;
    }
    const Image image = SceneImage(size, scene);
    const hostkit::Texture texture(size.width, size.height, image.pixels.data());
    const hostkit::RenderTarget output(size.width, size.height);
    hostkit::EffectInstance instance(*library, size.width, size.height);
    Configure(scene, [&](uint32_t number, float value) { instance.SetFloat(number, value); });
    const auto input = hostkit::InputTexture::Whole(texture.Name(), size.width, size.height);
    instance.PrepareFrame(&input, 1, output.framebuffer);
    const auto frame = [&] {
        hostkit::BeginFrame(output, 0, 0, 0, 1);
        instance.ProcessFrame();
        glFinish();
    };
    frame();
    // Counted in a frame of its own: attributing each allocation walks the stack.
    hostkit::StartCountingAllocations(library->EntryAddress());
    frame();
    const double allocations = static_cast<double>(hostkit::StopCountingAllocations().allocations);
    benchsupport::TimeFrames(state, &output, [&] { instance.ProcessFrame(); });
    state.counters["allocations"] = allocations;
    instance.Destroy();
    state.SetLabel(Label(size, scene));
}

// The host's own bare pass-through of the same input, the yardstick.
void HostPassThrough(benchmark::State& state)
{
    if (!RequireContext(state))
        return;
    const Size size = kSizes[state.range(0)];
    const Image image = testsupport::TwentyTargets(size.width, size.height);
    const hostkit::Texture texture(size.width, size.height, image.pixels.data());
    const hostkit::RenderTarget output(size.width, size.height);
    benchsupport::TimeHostPassThrough(state, output, texture.Name());
    state.SetLabel(benchsupport::Label(size));
}

void SizesAndScenes(benchmark::internal::Benchmark* benchmark)
{
    benchmark->ArgsProduct({{0, 1, 2}, {0, 1, 2}});
}

BENCHMARK(OverlayLayoutAndBatching)->Apply(SizesAndScenes)->Unit(benchmark::kMicrosecond);
BENCHMARK(OverlayUpload)->Apply(SizesAndScenes)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(OverlayDraw)->Apply(SizesAndScenes)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Detection)->Apply(SizesAndScenes)->Unit(benchmark::kMicrosecond);
BENCHMARK(WholeFrame)->Apply(SizesAndScenes)->Unit(benchmark::kMillisecond);
BENCHMARK(HostPassThrough)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
