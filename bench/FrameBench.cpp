// One frame of the effect on the headless host, whole and split into its
// stages: read-back, grid sampling, detection, pass-through draw. Every GL
// stage ends with glFinish so that the time is the GPU's (or llvmpipe's) too.
#include <benchmark/benchmark.h>

#include <GL/glew.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ffglex/ScopedBindings.h"
#include "ffglex/ScreenQuad.h"
#include "ffglex/ShaderProgram.h"
#include "hostkit/ByteRecord.h"
#include "hostkit/GlContext.h"
#include "hostkit/HostGl.h"
#include "tracker/GridSampling.h"
#include "tracker/ShaderSources.h"
#include "tracker/TargetList.h"
#include "tracker/ZudArazOdudave.h"

namespace {

struct Size {
    uint32_t width, height;
};
constexpr Size kSizes[] = {{1280, 720}, {1920, 1080}, {3840, 2160}};

hostkit::GlContext* Context()
{
    static std::unique_ptr<hostkit::GlContext> context = [] {
        std::string error;
        auto made = hostkit::GlContext::Create(hostkit::GlApi::Glx, 4, 1, &error);
        if (!made)
            std::fprintf(stderr, "FrameBench: %s\n", error.c_str());
        return made;
    }();
    return context.get();
}

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

struct Frame {
    Size size;
    std::vector<uint8_t> pixels;
    uint32_t texture = 0;
    hostkit::RenderTarget output;

    explicit Frame(Size s) : size(s), pixels(Scene(s.width, s.height))
    {
        texture = hostkit::CreateTexture(s.width, s.height, pixels.data());
        output = hostkit::CreateRenderTarget(s.width, s.height);
    }
    ~Frame()
    {
        hostkit::DeleteTexture(texture);
        hostkit::DeleteRenderTarget(output);
    }
};

void WholeFrame(benchmark::State& state)
{
    if (!Context()) {
        state.SkipWithError("no GL context");
        return;
    }
    Frame frame(kSizes[state.range(0)]);
    ZudArazOdudave effect;
    const auto viewport = hostkit::MakeViewport(0, 0, frame.size.width, frame.size.height);
    effect.InitGL(static_cast<const ViewportRecord*>(viewport.Data()));
    effect.SetFloatParameter(kShowBlobs, 0.0f);
    const auto info = hostkit::MakeTextureInfo(frame.size.width, frame.size.height, frame.size.width,
                                               frame.size.height, frame.texture);
    const void* textures[] = {info.Data()};
    const auto input = hostkit::MakeFrameInput(1, textures, frame.output.framebuffer);
    for (auto _ : state) {
        hostkit::BeginFrame(frame.output, 0, 0, 0, 1);
        effect.ProcessOpenGL(static_cast<const FrameInput*>(input.Data()));
        glFinish();
    }
    effect.DeInitGL();
    state.SetLabel(std::to_string(frame.size.width) + "x" + std::to_string(frame.size.height));
}

void ReadBack(benchmark::State& state)
{
    if (!Context()) {
        state.SkipWithError("no GL context");
        return;
    }
    Frame frame(kSizes[state.range(0)]);
    GLuint fbo = 0;
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, frame.texture, 0);
    std::vector<uint8_t> readback(frame.pixels.size());
    for (auto _ : state) {
        glReadPixels(0, 0, static_cast<GLsizei>(frame.size.width), static_cast<GLsizei>(frame.size.height), GL_RGBA,
                     GL_UNSIGNED_BYTE, readback.data());
        benchmark::DoNotOptimize(readback.data());
    }
    glDeleteFramebuffers(1, &fbo);
    state.SetLabel(std::to_string(frame.size.width) + "x" + std::to_string(frame.size.height));
}

void Sampling(benchmark::State& state)
{
    const Size size = kSizes[state.range(0)];
    const std::vector<uint8_t> pixels = Scene(size.width, size.height);
    const GridSize grid = GridSizeFor(size.width, size.height);
    std::vector<uint8_t> cells(static_cast<size_t>(grid.width) * grid.height * 4);
    for (auto _ : state) {
        SampleGrid(pixels.data(), static_cast<int32_t>(size.width), static_cast<int32_t>(size.height), cells.data(),
                   grid.width, grid.height);
        benchmark::DoNotOptimize(cells.data());
    }
    state.SetLabel(std::to_string(size.width) + "x" + std::to_string(size.height));
}

void Detection(benchmark::State& state)
{
    const Size size = kSizes[state.range(0)];
    const std::vector<uint8_t> pixels = Scene(size.width, size.height);
    const GridSize grid = GridSizeFor(size.width, size.height);
    std::vector<uint8_t> cells(static_cast<size_t>(grid.width) * grid.height * 4);
    SampleGrid(pixels.data(), static_cast<int32_t>(size.width), static_cast<int32_t>(size.height), cells.data(),
               grid.width, grid.height);
    DetectionWorkspace workspace;
    std::vector<TrackedBlob> targets;
    const DetectionParameters parameters{0.4f, 0.0f, 0.1f, 0.5f};
    for (auto _ : state) {
        DetectTargets(cells.data(), grid.width, grid.height, parameters, workspace, targets);
        benchmark::DoNotOptimize(targets.data());
    }
    state.SetLabel(std::to_string(size.width) + "x" + std::to_string(size.height));
}

void PassThrough(benchmark::State& state)
{
    if (!Context()) {
        state.SkipWithError("no GL context");
        return;
    }
    Frame frame(kSizes[state.range(0)]);
    ffglex::ShaderProgram program;
    ffglex::ScreenQuad quad;
    program.CompileAndLink(kPassThroughVertexSource, kPassThroughFragmentSource);
    quad.Create(false);
    for (auto _ : state) {
        hostkit::BeginFrame(frame.output, 0, 0, 0, 1);
        {
            ffglex::ScopedProgramUse use(program.GetProgram());
            ffglex::ScopedActiveTextureUnit unit(0);
            ffglex::Scoped2DTextureBinding texture(frame.texture);
            program.SetUniform("InputTexture", 0);
            program.SetUniform("MaxUV", 1.0f, 1.0f);
            quad.Draw();
        }
        glFinish();
    }
    quad.Release();
    program.Release();
    state.SetLabel(std::to_string(frame.size.width) + "x" + std::to_string(frame.size.height));
}

BENCHMARK(WholeFrame)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadBack)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(Sampling)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(Detection)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(PassThrough)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
