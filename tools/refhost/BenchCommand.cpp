// zao-host bench: the plug-in's frame time at several sizes on one GL
// context, against the host's own bare pass-through of the same input and a
// bare full-frame read-back, with the draw calls of each frame and the GL
// calls by kind, the queries by function.
#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"
#include "FrameSize.h"
#include "PendingOutput.h"
#include "hostkit/DrawCallCounter.h"
#include "hostkit/FfglCodes.h"
#include "hostkit/GlCallCounter.h"
#include "hostkit/HostGl.h"
#include "hostkit/Image.h"
#include "hostsupport/GlSession.h"
#include "hostsupport/HostError.h"
#include "hostsupport/Interrupt.h"
#include "hostsupport/PassThrough.h"
#include "hostsupport/Plugin.h"
#include "hostsupport/PngFile.h"
#include "hostsupport/Scene.h"
#include "hostsupport/Stats.h"

namespace refhost {

using hostkit::FlipRows;
using hostkit::Image;
using hostsupport::PassThrough;

namespace {

struct RunResult {
    std::string name;
    hostsupport::TimingSummary timing;
    uint64_t minDraws = 0;
    uint64_t maxDraws = 0;
    double verticesPerFrame = 0;
    double readBackBytesPerFrame = 0;
    double queriesPerFrame = 0;
    double glDrawsPerFrame = 0;
    double otherCallsPerFrame = 0;
    std::vector<hostkit::GlFunctionCalls> glCalls;  // of all timed frames together
    bool isPlugin = false;
};

struct SizeResult {
    FrameSize size;
    std::vector<RunResult> runs;
};

struct Variant {
    std::string name;
    std::vector<std::string> settings;
};

// warmup + frames calls of body, each after setup and between two glFinish;
// only body is timed and counted, its GL calls in the timed frames only.
RunResult Measure(const std::string& name, uint64_t warmup, uint64_t frames, const std::function<void()>& setup,
                  const std::function<void()>& body)
{
    RunResult result;
    result.name = name;
    std::vector<double> times;
    hostkit::ResetGlCallCounts();
    for (uint64_t i = 0; i < warmup + frames; ++i) {
        if (hostsupport::Interrupted())
            throw hostsupport::HostError("interrupted");
        setup();
        glFinish();
        const uint64_t drawsBefore = hostkit::DrawCallCount();
        const uint64_t verticesBefore = hostkit::DrawnVertexCount();
        const uint64_t readBackBefore = hostkit::ReadBackByteCount();
        const auto start = std::chrono::steady_clock::now();
        {
            const hostkit::GlCallCounting counting(i >= warmup);
            body();
        }
        glFinish();
        const auto end = std::chrono::steady_clock::now();
        const uint64_t draws = hostkit::DrawCallCount() - drawsBefore;
        const uint64_t vertices = hostkit::DrawnVertexCount() - verticesBefore;
        const uint64_t readBack = hostkit::ReadBackByteCount() - readBackBefore;
        if (i < warmup)
            continue;
        result.verticesPerFrame += static_cast<double>(vertices) / static_cast<double>(frames);
        result.readBackBytesPerFrame += static_cast<double>(readBack) / static_cast<double>(frames);
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        result.minDraws = times.size() == 1 ? draws : std::min(result.minDraws, draws);
        result.maxDraws = std::max(result.maxDraws, draws);
    }
    result.timing = hostsupport::Summarise(times);
    const hostkit::GlCallCounts calls = hostkit::CountedGlCalls();
    result.queriesPerFrame = static_cast<double>(calls.queries) / static_cast<double>(frames);
    result.glDrawsPerFrame = static_cast<double>(calls.draws) / static_cast<double>(frames);
    result.otherCallsPerFrame = static_cast<double>(calls.others) / static_cast<double>(frames);
    result.glCalls = hostkit::CountedGlCallsByFunction();
    return result;
}

std::string DrawText(const RunResult& run)
{
    if (run.minDraws == run.maxDraws)
        return std::to_string(run.minDraws);
    return std::to_string(run.minDraws) + "-" + std::to_string(run.maxDraws);
}

std::string JsonText(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            quoted += escaped;
            continue;
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::string Json(const std::string& pluginName, const std::string& gl, const BenchOptions& options,
                 const std::vector<Variant>& variants, const std::vector<SizeResult>& results)
{
    std::ostringstream json;
    char number[64];
    const auto num = [&](double value) {
        std::snprintf(number, sizeof number, "%.4f", value);
        return std::string(number);
    };
    json << "{\n  \"plugin\": " << JsonText(pluginName) << ",\n  \"gl\": " << JsonText(gl)
         << ",\n  \"blobs\": " << options.blobs << ",\n  \"warmupFrames\": " << options.warmup
         << ",\n  \"frames\": " << options.frames << ",\n  \"variants\": [";
    for (size_t v = 0; v < variants.size(); ++v) {
        json << (v ? ", " : "") << "{\"name\": " << JsonText(variants[v].name) << ", \"settings\": [";
        for (size_t s = 0; s < variants[v].settings.size(); ++s)
            json << (s ? ", " : "") << JsonText(variants[v].settings[s]);
        json << "]}";
    }
    json << "],\n  \"sizes\": [\n";
    for (size_t i = 0; i < results.size(); ++i) {
        const SizeResult& size = results[i];
        const double pass = size.runs.front().timing.meanMs;
        json << "    {\"width\": " << size.size.width << ", \"height\": " << size.size.height << ", \"runs\": [\n";
        for (size_t r = 0; r < size.runs.size(); ++r) {
            const RunResult& run = size.runs[r];
            json << "      {\"name\": " << JsonText(run.name) << ", \"meanMs\": " << num(run.timing.meanMs)
                 << ", \"medianMs\": " << num(run.timing.medianMs) << ", \"p99Ms\": " << num(run.timing.p99Ms)
                 << ", \"framesPerSecond\": " << num(run.timing.framesPerSecond)
                 << ", \"ratioToPassThrough\": " << num(pass > 0 ? run.timing.meanMs / pass : 0)
                 << ", \"drawCallsMin\": " << run.minDraws << ", \"drawCallsMax\": " << run.maxDraws
                 << ", \"verticesPerFrame\": " << num(run.verticesPerFrame)
                 << ", \"readBackBytesPerFrame\": " << num(run.readBackBytesPerFrame)
                 << ", \"glQueriesPerFrame\": " << num(run.queriesPerFrame)
                 << ", \"glDrawsPerFrame\": " << num(run.glDrawsPerFrame)
                 << ", \"glOtherCallsPerFrame\": " << num(run.otherCallsPerFrame) << ", \"glQueriesByFunction\": {";
            bool first = true;
            for (const hostkit::GlFunctionCalls& function : run.glCalls) {
                if (function.kind != hostkit::GlCallKind::Query)
                    continue;
                json << (first ? "" : ", ") << JsonText(function.name) << ": "
                     << num(static_cast<double>(function.calls) / static_cast<double>(options.frames));
                first = false;
            }
            json << "}}" << (r + 1 < size.runs.size() ? "," : "") << "\n";
        }
        json << "    ]}" << (i + 1 < results.size() ? "," : "") << "\n";
    }
    json << "  ]\n}\n";
    return json.str();
}

// The runs a plug-in is measured in. The named settings apply where the
// plug-in has such parameters, so that any effect can be measured; the
// user's own come last.
std::vector<Variant> BenchVariants(const hostsupport::PluginDescription& plugin, const BenchOptions& options)
{
    const auto present = [&](const std::string& name) { return hostsupport::FindParameter(plugin, name) >= 0; };
    std::vector<std::string> base;
    if (present("Max Blobs"))
        base.push_back("Max Blobs=1.0");
    if (present("Show Labels"))
        base.push_back("Show Labels=on");
    base.insert(base.end(), options.settings.begin(), options.settings.end());
    std::vector<Variant> variants = {{present("Show Labels") ? "labels" : "plug-in", base}};
    if (present("Show Network") && present("Show Contours")) {
        std::vector<std::string> more = base;
        more.insert(more.end(), {"Show Network=on", "Show Contours=on"});
        variants.push_back({"labels+network+contours", more});
    }
    return variants;
}

// What a full-frame read-back alone costs: the input attached to a
// framebuffer and read with glReadPixels, as an analysing effect does.
RunResult MeasureReadBackOnly(const BenchOptions& options, FrameSize size, uint32_t texture,
                              const std::function<void()>& clear)
{
    GLuint readFbo = 0;
    glGenFramebuffers(1, &readFbo);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFbo);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    std::vector<uint8_t> pixels(static_cast<size_t>(size.width) * size.height * 4);
    RunResult run = Measure("read-back only (host)", options.warmup, options.frames, clear, [&] {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, readFbo);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadPixels(0, 0, static_cast<GLsizei>(size.width), static_cast<GLsizei>(size.height), GL_RGBA,
                     GL_UNSIGNED_BYTE, pixels.data());
    });
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &readFbo);
    return run;
}

void WriteSnapshot(const BenchOptions& options, const hostkit::RenderTarget& target, FrameSize size,
                   const std::string& variant)
{
    Image glFrame, fileFrame;
    glFrame.width = size.width;
    glFrame.height = size.height;
    glFrame.pixels = hostkit::ReadPixels(target);
    FlipRows(glFrame, fileFrame);
    PendingFile snapshot(options.snapshotDir + "/bench-" + std::to_string(size.width) + "x" +
                         std::to_string(size.height) + "-" + variant + ".png");
    hostsupport::WritePng(snapshot.TemporaryPath(), fileFrame);
    snapshot.Commit();
}

// One size: the host's pass-through, the read-back alone, then each variant
// on a fresh instance of the plug-in.
SizeResult MeasureSize(const hostkit::PluginLibrary& library, const hostsupport::PluginDescription& plugin,
                       const std::vector<Variant>& variants,
                       const std::vector<std::vector<hostsupport::ParameterSetting>>& resolved,
                       const BenchOptions& options, const PassThrough& passThrough, FrameSize size)
{
    if (options.verbose)
        std::fprintf(stderr, "zao-host: measuring %ux%u\n", size.width, size.height);
    const Image scene = hostsupport::MakeBlobField(size.width, size.height, options.blobs, options.seed);
    Image glScene;
    FlipRows(scene, glScene);
    const hostkit::Texture texture(size.width, size.height, glScene.pixels.data());
    const hostkit::RenderTarget target(size.width, size.height);
    const auto clear = [&] { hostkit::BeginFrame(target, 0, 0, 0, 1); };
    SizeResult result;
    result.size = size;
    result.runs.push_back(Measure("pass-through (host)", options.warmup, options.frames, clear,
                                  [&] { passThrough.Draw(texture.Name()); }));
    result.runs.push_back(MeasureReadBackOnly(options, size, texture.Name(), clear));
    const auto inputs = hostsupport::FrameInputs(plugin, texture.Name(), size.width, size.height);
    for (size_t v = 0; v < variants.size(); ++v) {
        hostkit::EffectInstance instance = hostsupport::CreateInstance(library, size.width, size.height);
        for (const hostsupport::ParameterSetting& setting : resolved[v])
            hostsupport::ApplySetting(instance, setting, plugin.parameters[setting.index].name);
        instance.PrepareFrame(inputs.data(), static_cast<uint32_t>(inputs.size()), target.framebuffer);
        RunResult run = Measure(variants[v].name, options.warmup, options.frames, clear,
                                [&] { instance.ProcessFrame(); });
        if (instance.FramesFailed() > 0)
            throw hostsupport::HostError("the plug-in failed a frame (code 17) at " + std::to_string(size.width) +
                                         "x" + std::to_string(size.height));
        run.isPlugin = true;
        result.runs.push_back(run);
        if (!options.snapshotDir.empty())
            WriteSnapshot(options, target, size, variants[v].name);
    }
    return result;
}

void PrintTable(const hostsupport::PluginDescription& plugin, const std::string& glLine, const BenchOptions& options,
                const std::vector<Variant>& variants, const std::vector<SizeResult>& results)
{
    char line[256];
    std::printf("zao-host bench: %s %u.%u (%s)\n", plugin.name.c_str(), plugin.versionMajor, plugin.versionMinor,
                options.plugin.c_str());
    std::printf("gl:       %s\n", glLine.c_str());
    std::printf("input:    %u separated bright blobs, still; %llu warm-up and %llu timed frames per run\n",
                options.blobs, static_cast<unsigned long long>(options.warmup),
                static_cast<unsigned long long>(options.frames));
    for (const Variant& variant : variants) {
        std::string list;
        for (const std::string& setting : variant.settings)
            list += (list.empty() ? "" : ", ") + setting;
        std::printf("%-9s %s\n", (variant.name + ":").c_str(), list.empty() ? "defaults" : list.c_str());
    }
    std::printf("times:    per frame, the call alone between two glFinish; x pass = mean / pass-through mean;\n"
                "          draws, vertices and bytes read back: glDrawArrays and glReadPixels calls of the\n"
                "          process during the call\n\n");
    std::printf("%-10s  %-24s  %9s  %9s  %9s  %9s  %7s  %11s  %12s  %12s\n", "size", "run", "mean ms", "median ms",
                "p99 ms", "frames/s", "x pass", "draws/frame", "verts/frame", "read/frame");
    for (const SizeResult& size : results) {
        const double pass = size.runs.front().timing.meanMs;
        for (const RunResult& run : size.runs) {
            char ratio[32];
            std::snprintf(ratio, sizeof ratio, "%.2f", pass > 0 ? run.timing.meanMs / pass : 0.0);
            std::snprintf(line, sizeof line, "%-10s  %-24s  %9.3f  %9.3f  %9.3f  %9.1f  %7s  %11s  %12.0f  %12.0f\n",
                          (std::to_string(size.size.width) + "x" + std::to_string(size.size.height)).c_str(),
                          run.name.c_str(), run.timing.meanMs, run.timing.medianMs, run.timing.p99Ms,
                          run.timing.framesPerSecond, ratio, DrawText(run).c_str(), run.verticesPerFrame,
                          run.readBackBytesPerFrame);
            std::fputs(line, stdout);
        }
    }
    std::printf("\nGL calls per frame, the call alone: queries (glGet*, glIs*, glCheck*FramebufferStatus; each a\n"
                "round trip on threaded drivers), draws and all others\n\n");
    std::printf("%-10s  %-24s  %7s  %5s  %5s  %s\n", "size", "run", "queries", "draws", "other", "queries by function");
    const double frames = static_cast<double>(options.frames);
    for (const SizeResult& size : results)
        for (const RunResult& run : size.runs)
            std::printf("%-10s  %-24s  %7.0f  %5.0f  %5.0f  %s\n",
                        (std::to_string(size.size.width) + "x" + std::to_string(size.size.height)).c_str(),
                        run.name.c_str(), run.queriesPerFrame, run.glDrawsPerFrame, run.otherCallsPerFrame,
                        hostkit::GlCallList(run.glCalls, hostkit::GlCallKind::Query, frames).c_str());
}

}  // namespace

int RunBench(const BenchOptions& options)
{
    if (options.frames < 1)
        throw hostsupport::HostError("bad frame count: at least 1 timed frame");
    std::vector<FrameSize> sizes;
    for (const std::string& text : options.sizes)
        sizes.push_back(ParseFrameSize(text));
    if (sizes.empty())
        sizes = {{1280, 720}, {1920, 1080}, {3840, 2160}};

    auto library = hostsupport::LoadPlugin(options.plugin);
    library->SetLogCallback([](const char*) {});
    const hostsupport::PluginDescription plugin = hostsupport::Describe(*library);
    const std::vector<Variant> variants = BenchVariants(plugin, options);
    std::vector<std::vector<hostsupport::ParameterSetting>> resolved;
    for (const Variant& variant : variants) {
        resolved.emplace_back();
        for (const std::string& assignment : variant.settings)
            resolved.back().push_back(hostsupport::ResolveSetting(plugin, assignment));
    }
    std::optional<PendingFile> jsonFile;
    if (!options.json.empty())
        jsonFile.emplace(options.json);

    auto gl = hostsupport::GlSession::Open(hostsupport::ParseGlApi(options.gl));
    PassThrough passThrough;
    std::vector<SizeResult> results;
    {
        // Code 2 also when an interrupt ends the measuring.
        const hostsupport::PluginInitialisation initialised(*library);
        for (const FrameSize& size : sizes)
            results.push_back(MeasureSize(*library, plugin, variants, resolved, options, passThrough, size));
    }

    PrintTable(plugin, gl->Description(), options, variants, results);
    if (jsonFile) {
        std::ofstream out(jsonFile->TemporaryPath(), std::ios::binary | std::ios::trunc);
        out << Json(plugin.name, gl->Description(), options, variants, results);
        out.close();
        if (!out)
            throw hostsupport::HostError("cannot write " + options.json);
        jsonFile->Commit();
    }
    return 0;
}

}  // namespace refhost
