// zao-host render: frames of the generated scene or of a user's video through
// the plug-in, out to an MP4, PNG frames and a contact sheet, with the
// plug-in's frame times. Every output appears only when the whole run worked.
#include <GL/glew.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <utility>

#include "Commands.h"
#include "ContactSheet.h"
#include "FrameSize.h"
#include "PendingOutput.h"
#include "Progress.h"
#include "hostkit/FfglCodes.h"
#include "hostkit/HostGl.h"
#include "hostkit/Image.h"
#include "hostsupport/GlSession.h"
#include "hostsupport/HostError.h"
#include "hostsupport/Interrupt.h"
#include "hostsupport/Plugin.h"
#include "hostsupport/PngFile.h"
#include "hostsupport/Scene.h"
#include "hostsupport/Stats.h"
#include "hostsupport/VideoIo.h"

namespace refhost {

using hostkit::FlipRows;
using hostkit::Image;

namespace {

constexpr uint64_t kDefaultSceneFrames = 120;
constexpr double kDefaultFps = 30;
constexpr FrameSize kDefaultSceneSize = {1280, 720};

void PrintLogLine(const char* line)
{
    std::fprintf(stderr, "plug-in: %s\n", line ? line : "");
}

void IgnoreLogLine(const char*) {}

std::string SizeText(uint32_t width, uint32_t height)
{
    return std::to_string(width) + "x" + std::to_string(height);
}

// The input side of a run: the generated scene, or frames decoded by ffmpeg.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    // Fills image (file order) with frame number frame; false when the input has ended.
    virtual bool Next(uint64_t frame, Image& image) = 0;
    virtual std::string Description() const = 0;
};

class SceneSource : public FrameSource {
public:
    SceneSource(uint32_t seed, double fps) : scene(seed), seed(seed), fps(fps) {}
    bool Next(uint64_t frame, Image& image) override
    {
        scene.Render(frame, fps, image);
        return true;
    }
    std::string Description() const override { return "generated scene, seed " + std::to_string(seed); }

private:
    hostsupport::GeneratedScene scene;
    uint32_t seed;
    double fps;
};

class VideoSource : public FrameSource {
public:
    VideoSource(const std::string& path, uint32_t width, uint32_t height, uint64_t frames)
        : reader(path, width, height, frames), path(path)
    {
    }
    bool Next(uint64_t, Image& image) override { return reader.ReadFrame(image); }
    std::string Description() const override { return path; }

private:
    hostsupport::VideoReader reader;
    std::string path;
};

std::string TimingReport(const std::string& pluginLine, const std::string& glLine, const std::string& inputLine,
                         uint32_t width, uint32_t height, double fps, const hostsupport::TimingSummary& timing,
                         const std::vector<std::string>& outputs)
{
    char line[256];
    std::ostringstream report;
    report << "plug-in     " << pluginLine << "\n";
    report << "gl          " << glLine << "\n";
    report << "input       " << inputLine << "\n";
    std::snprintf(line, sizeof line, "frames      %zu at %ux%u, %.6g frames/s of video\n", timing.frames, width,
                  height, fps);
    report << line;
    std::snprintf(line, sizeof line,
                  "frame time  mean %.3f ms, median %.3f ms, p99 %.3f ms (plug-in call only, glFinish'ed)\n",
                  timing.meanMs, timing.medianMs, timing.p99Ms);
    report << line;
    std::snprintf(line, sizeof line, "speed       %.1f frames/s\n", timing.framesPerSecond);
    report << line;
    for (const std::string& output : outputs)
        report << "output      " << output << "\n";
    return report.str();
}

void WriteTextFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out)
        throw hostsupport::HostError("cannot write " + path);
}

// What a run will do, worked out from the options and the input before any
// GL or output exists, so that everything a user can get wrong fails first.
struct RenderPlan {
    FrameSize size = kDefaultSceneSize;
    double fps = kDefaultFps;
    uint64_t frames = kDefaultSceneFrames;  // 0: all of the input
    uint64_t expectedFrames = kDefaultSceneFrames;  // 0: unknown
    FrameSize sheetGrid{0, 0};
    std::vector<std::pair<hostsupport::ParameterSetting, std::string>> settings;
};

// The options that need no plug-in, checked before it is loaded.
void CheckRenderOptions(const RenderOptions& options)
{
    if (options.fps < 0 || options.fps > 1000)
        throw hostsupport::HostError("bad frame rate " + std::to_string(options.fps) + ": use 0 (automatic) to 1000");
    const FrameSize sheetGrid = ParseFrameSize(options.sheetGrid);
    if (sheetGrid.width > 16 || sheetGrid.height > 16)
        throw hostsupport::HostError("bad contact sheet grid \"" + options.sheetGrid + "\": at most 16x16 tiles");
    if (options.codec != "auto" && options.codec != "libx264" && options.codec != "mpeg4")
        throw hostsupport::HostError("unknown codec \"" + options.codec + "\": use auto, libx264 or mpeg4");
}

RenderPlan PlanRender(const RenderOptions& options, const hostsupport::PluginDescription& plugin)
{
    RenderPlan plan;
    plan.sheetGrid = ParseFrameSize(options.sheetGrid);
    for (const std::string& assignment : options.settings) {
        hostsupport::ParameterSetting setting = hostsupport::ResolveSetting(plugin, assignment);
        plan.settings.emplace_back(setting, plugin.parameters[setting.index].name);
    }
    if (!options.size.empty())
        plan.size = ParseFrameSize(options.size);
    if (options.fps > 0)
        plan.fps = options.fps;
    if (options.frames > 0)
        plan.frames = plan.expectedFrames = options.frames;
    if (!options.input.empty()) {
        std::error_code error;
        // Patterns such as shots/%04d.png name no single file.
        if (options.input.find('%') == std::string::npos && !std::filesystem::exists(options.input, error))
            throw hostsupport::HostError("cannot read the input " + options.input + ": no such file");
        const hostsupport::VideoProbe probe = hostsupport::ProbeVideo(options.input);
        if (options.size.empty())
            plan.size = {probe.width, probe.height};
        if (options.fps <= 0 && probe.fps > 0)
            plan.fps = probe.fps;
        plan.frames = options.frames;  // 0: all of it
        plan.expectedFrames = probe.frames;
        if (plan.frames > 0 && (plan.expectedFrames == 0 || plan.frames < plan.expectedFrames))
            plan.expectedFrames = plan.frames;
    }
    if (!options.output.empty() && (plan.size.width % 2 != 0 || plan.size.height % 2 != 0))
        throw hostsupport::HostError("MP4 output needs an even width and height, not " +
                                     SizeText(plan.size.width, plan.size.height));
    return plan;
}

// Every output a run writes: each appears under its own name only when the
// whole run has succeeded (Commit), never half-written.
class RenderOutputs {
public:
    explicit RenderOutputs(const RenderOptions& options) : options(options)
    {
        if (!options.output.empty())
            videoFile.emplace(options.output);
        if (!options.contactSheet.empty())
            sheetFile.emplace(options.contactSheet);
        if (!options.timingFile.empty())
            timingFile.emplace(options.timingFile);
        if (!options.framesDir.empty())
            frameFolder.emplace(options.framesDir);
    }

    // The encoders, once the run's size and rate are known.
    void Open(const RenderPlan& plan)
    {
        encoder = options.codec == "auto" ? hostsupport::PickEncoder() : options.codec;
        if (videoFile)
            video.emplace(videoFile->TemporaryPath(), plan.size.width, plan.size.height, plan.fps, encoder);
        if (sheetFile) {
            // An input of unknown length gets its first frames on the sheet.
            const uint64_t tiles = static_cast<uint64_t>(plan.sheetGrid.width) * plan.sheetGrid.height;
            sheet.emplace(plan.sheetGrid.width, plan.sheetGrid.height,
                          plan.expectedFrames > 0 ? plan.expectedFrames : tiles, plan.size.width, plan.size.height);
        }
    }

    void Add(uint64_t frame, const Image& fileFrame)
    {
        if (video)
            video->WriteFrame(fileFrame);
        if (frameFolder)
            hostsupport::WritePng(frameFolder->FramePath(frame), fileFrame);
        if (sheet)
            sheet->Add(frame, fileFrame);
    }

    // Closes the encoders; the lines of the report that name the outputs.
    std::vector<std::string> Finish(size_t frameCount)
    {
        std::vector<std::string> lines;
        if (video) {
            video->Finish();
            lines.push_back(options.output + " (MP4, " + encoder + ")");
        }
        if (frameFolder)
            lines.push_back(options.framesDir + "/frame-NNNNNN.png (" + std::to_string(frameCount) + " frames)");
        if (sheet) {
            hostsupport::WritePng(sheetFile->TemporaryPath(), sheet->Sheet());
            lines.push_back(options.contactSheet + " (contact sheet)");
        }
        return lines;
    }

    void WriteTiming(const std::string& report)
    {
        if (timingFile)
            WriteTextFile(timingFile->TemporaryPath(), report);
    }

    void Commit()
    {
        if (videoFile)
            videoFile->Commit();
        if (frameFolder)
            frameFolder->Commit();
        if (sheetFile)
            sheetFile->Commit();
        if (timingFile)
            timingFile->Commit();
    }

private:
    const RenderOptions& options;
    std::optional<PendingFile> videoFile, sheetFile, timingFile;
    std::optional<PendingFrameFolder> frameFolder;
    std::string encoder;
    std::optional<hostsupport::VideoWriter> video;
    std::optional<ContactSheet> sheet;
};

std::unique_ptr<FrameSource> OpenSource(const RenderOptions& options, const RenderPlan& plan)
{
    if (options.input.empty())
        return std::make_unique<SceneSource>(options.seed, plan.fps);
    return std::make_unique<VideoSource>(options.input, plan.size.width, plan.size.height, plan.frames);
}

// The loop: each frame uploaded, processed by one instance (the call alone
// timed between two glFinish), read back and handed to the outputs. Returns
// the frame times in milliseconds.
std::vector<double> RenderFrames(const hostkit::PluginLibrary& library,
                                 const hostsupport::PluginDescription& plugin, const RenderPlan& plan,
                                 FrameSource& source, RenderOutputs& outputs)
{
    const FrameSize size = plan.size;
    Image fileFrame(size.width, size.height), glFrame;
    // Declared before the instance, so that an interrupt or a failed frame
    // destroys the instance (code 19) first, then sends code 2 and deletes these.
    const hostkit::Texture texture(size.width, size.height, nullptr);
    const hostkit::RenderTarget target(size.width, size.height);
    const auto inputs = hostsupport::FrameInputs(plugin, texture.Name(), size.width, size.height);
    std::vector<double> times;
    const hostsupport::PluginInitialisation initialised(library);
    {
        hostkit::EffectInstance instance = hostsupport::CreateInstance(library, size.width, size.height);
        for (const auto& [setting, name] : plan.settings)
            hostsupport::ApplySetting(instance, setting, name);
        instance.PrepareFrame(inputs.data(), static_cast<uint32_t>(inputs.size()), target.framebuffer);
        Progress progress(plan.expectedFrames);
        for (uint64_t frame = 0; plan.frames == 0 || frame < plan.frames; ++frame) {
            if (hostsupport::Interrupted())
                throw hostsupport::HostError("interrupted");
            if (!source.Next(frame, fileFrame))
                break;
            FlipRows(fileFrame, glFrame);
            hostkit::UpdateTexture(texture.Name(), size.width, size.height, glFrame.pixels.data());
            hostkit::BeginFrame(target, 0, 0, 0, 1);
            instance.SetTime(static_cast<double>(frame) / plan.fps);
            double milliseconds = 0;
            if (hostkit::IsFailureCode(instance.ProcessFrameTimed(&milliseconds)))
                throw hostsupport::HostError("the plug-in failed frame " + std::to_string(frame) + " (code 17)");
            times.push_back(milliseconds);
            glFrame.pixels = hostkit::ReadPixels(target);
            FlipRows(glFrame, fileFrame);
            outputs.Add(frame, fileFrame);
            progress.Update(frame + 1);
        }
        progress.Finish();
    }
    return times;
}

}  // namespace

int RunRender(const RenderOptions& options)
{
    CheckRenderOptions(options);
    auto library = hostsupport::LoadPlugin(options.plugin);
    library->SetLogCallback(options.verbose ? PrintLogLine : IgnoreLogLine);
    const hostsupport::PluginDescription plugin = hostsupport::Describe(*library);
    const RenderPlan plan = PlanRender(options, plugin);
    RenderOutputs outputs(options);
    std::unique_ptr<FrameSource> source = OpenSource(options, plan);

    auto gl = hostsupport::GlSession::Open(hostsupport::ParseGlApi(options.gl));
    if (options.verbose)
        std::fprintf(stderr, "zao-host: %s\n", gl->Description().c_str());
    outputs.Open(plan);
    const std::vector<double> times = RenderFrames(*library, plugin, plan, *source, outputs);
    if (times.empty())
        throw hostsupport::HostError("the input " + source->Description() + " gave no frames");

    const std::vector<std::string> outputLines = outputs.Finish(times.size());
    char pluginLine[256];
    std::snprintf(pluginLine, sizeof pluginLine, "%s %u.%u (%s)", plugin.name.c_str(), plugin.versionMajor,
                  plugin.versionMinor, options.plugin.c_str());
    const std::string inputLine =
        options.input.empty() ? source->Description()
                              : source->Description() + " scaled to " + SizeText(plan.size.width, plan.size.height);
    const std::string report = TimingReport(pluginLine, gl->Description(), inputLine, plan.size.width,
                                            plan.size.height, plan.fps, hostsupport::Summarise(times), outputLines);
    outputs.WriteTiming(report);
    outputs.Commit();
    std::fputs(report.c_str(), stdout);
    return 0;
}

}  // namespace refhost
