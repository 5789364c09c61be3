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
#include "GlSession.h"
#include "HostError.h"
#include "Image.h"
#include "Interrupt.h"
#include "PendingOutput.h"
#include "Plugin.h"
#include "PngFile.h"
#include "Progress.h"
#include "Scene.h"
#include "Stats.h"
#include "VideoIo.h"
#include "hostkit/FfglCodes.h"
#include "hostkit/HostGl.h"

namespace refhost {

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
    GeneratedScene scene;
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
    VideoReader reader;
    std::string path;
};

std::string TimingReport(const std::string& pluginLine, const std::string& glLine, const std::string& inputLine,
                         uint32_t width, uint32_t height, double fps, const TimingSummary& timing,
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
        throw HostError("cannot write " + path);
}

}  // namespace

int RunRender(const RenderOptions& options)
{
    if (options.fps < 0 || options.fps > 1000)
        throw HostError("bad frame rate " + std::to_string(options.fps) + ": use 0 (automatic) to 1000");
    const FrameSize sheetGrid = ParseFrameSize(options.sheetGrid);
    if (sheetGrid.width > 16 || sheetGrid.height > 16)
        throw HostError("bad contact sheet grid \"" + options.sheetGrid + "\": at most 16x16 tiles");
    if (options.codec != "auto" && options.codec != "libx264" && options.codec != "mpeg4")
        throw HostError("unknown codec \"" + options.codec + "\": use auto, libx264 or mpeg4");

    // Everything the user can get wrong is checked before any GL or output.
    auto library = LoadPlugin(options.plugin);
    library->SetLogCallback(options.verbose ? PrintLogLine : IgnoreLogLine);
    const PluginDescription plugin = Describe(*library);
    std::vector<std::pair<ParameterSetting, std::string>> settings;
    for (const std::string& assignment : options.settings) {
        ParameterSetting setting = ResolveSetting(plugin, assignment);
        settings.emplace_back(setting, plugin.parameters[setting.index].name);
    }

    FrameSize size = kDefaultSceneSize;
    if (!options.size.empty())
        size = ParseFrameSize(options.size);
    double fps = options.fps > 0 ? options.fps : kDefaultFps;
    uint64_t frames = options.frames > 0 ? options.frames : kDefaultSceneFrames;
    uint64_t expectedFrames = frames;
    if (!options.input.empty()) {
        std::error_code error;
        // Patterns such as shots/%04d.png name no single file.
        if (options.input.find('%') == std::string::npos && !std::filesystem::exists(options.input, error))
            throw HostError("cannot read the input " + options.input + ": no such file");
        const VideoProbe probe = ProbeVideo(options.input);
        if (options.size.empty())
            size = {probe.width, probe.height};
        if (options.fps <= 0 && probe.fps > 0)
            fps = probe.fps;
        frames = options.frames;  // 0: all of it
        expectedFrames = probe.frames;
        if (frames > 0 && (expectedFrames == 0 || frames < expectedFrames))
            expectedFrames = frames;
    }
    if (!options.output.empty() && (size.width % 2 != 0 || size.height % 2 != 0))
        throw HostError("MP4 output needs an even width and height, not " + SizeText(size.width, size.height));

    std::optional<PendingFile> videoFile, sheetFile, timingFile;
    std::optional<PendingFrameFolder> frameFolder;
    if (!options.output.empty())
        videoFile.emplace(options.output);
    if (!options.contactSheet.empty())
        sheetFile.emplace(options.contactSheet);
    if (!options.timingFile.empty())
        timingFile.emplace(options.timingFile);
    if (!options.framesDir.empty())
        frameFolder.emplace(options.framesDir);

    std::unique_ptr<FrameSource> source;
    if (options.input.empty())
        source.reset(new SceneSource(options.seed, fps));
    else
        source.reset(new VideoSource(options.input, size.width, size.height, frames));

    auto gl = GlSession::Open(ParseGlApi(options.gl));
    if (options.verbose)
        std::fprintf(stderr, "zao-host: %s\n", gl->Description().c_str());
    const std::string encoder = options.codec == "auto" ? PickEncoder() : options.codec;
    std::optional<VideoWriter> video;
    if (videoFile)
        video.emplace(videoFile->TemporaryPath(), size.width, size.height, fps, encoder);
    std::optional<ContactSheet> sheet;
    if (sheetFile) {
        // An input of unknown length gets its first frames on the sheet.
        const uint64_t tiles = static_cast<uint64_t>(sheetGrid.width) * sheetGrid.height;
        sheet.emplace(sheetGrid.width, sheetGrid.height, expectedFrames > 0 ? expectedFrames : tiles, size.width,
                      size.height);
    }

    const uint32_t inputCount = InputTextureCount(plugin);
    Image fileFrame(size.width, size.height), glFrame;
    const uint32_t texture = hostkit::CreateTexture(size.width, size.height, nullptr);
    hostkit::RenderTarget target = hostkit::CreateRenderTarget(size.width, size.height);
    const uint32_t textures[2] = {texture, texture};
    std::vector<double> times;
    {
        library->Call32(ffgl::kInitialise);
        EffectInstance instance(*library, size.width, size.height);
        for (const auto& [setting, name] : settings)
            instance.Apply(setting, name);
        instance.PrepareFrame(inputCount, textures, size.width, size.height, target.framebuffer);

        Progress progress(expectedFrames);
        for (uint64_t frame = 0; frames == 0 || frame < frames; ++frame) {
            if (Interrupted())
                throw HostError("interrupted");
            if (!source->Next(frame, fileFrame))
                break;
            FlipRows(fileFrame, glFrame);
            hostkit::UpdateTexture(texture, size.width, size.height, glFrame.pixels.data());
            hostkit::BeginFrame(target, 0, 0, 0, 1);
            instance.SetTime(static_cast<double>(frame) / fps);
            glFinish();
            const auto start = std::chrono::steady_clock::now();
            const bool processed = instance.ProcessFrame();
            glFinish();
            const auto end = std::chrono::steady_clock::now();
            if (!processed)
                throw HostError("the plug-in failed frame " + std::to_string(frame) + " (code 17)");
            times.push_back(std::chrono::duration<double, std::milli>(end - start).count());

            glFrame.pixels = hostkit::ReadPixels(target);
            FlipRows(glFrame, fileFrame);
            if (video)
                video->WriteFrame(fileFrame);
            if (frameFolder)
                WritePng(frameFolder->FramePath(frame), fileFrame);
            if (sheet)
                sheet->Add(frame, fileFrame);
            progress.Update(frame + 1);
        }
        progress.Finish();
    }
    library->Call32(ffgl::kDeinitialise);
    hostkit::DeleteRenderTarget(target);
    hostkit::DeleteTexture(texture);
    if (times.empty())
        throw HostError("the input " + source->Description() + " gave no frames");

    std::vector<std::string> outputs;
    if (video) {
        video->Finish();
        outputs.push_back(options.output + " (MP4, " + encoder + ")");
    }
    if (frameFolder)
        outputs.push_back(options.framesDir + "/frame-NNNNNN.png (" + std::to_string(times.size()) + " frames)");
    if (sheet) {
        WritePng(sheetFile->TemporaryPath(), sheet->Sheet());
        outputs.push_back(options.contactSheet + " (contact sheet)");
    }
    char pluginLine[256];
    std::snprintf(pluginLine, sizeof pluginLine, "%s %u.%u (%s)", plugin.name.c_str(), plugin.versionMajor,
                  plugin.versionMinor, options.plugin.c_str());
    const std::string inputLine = options.input.empty()
                                      ? source->Description()
                                      : source->Description() + " scaled to " + SizeText(size.width, size.height);
    const std::string report = TimingReport(pluginLine, gl->Description(), inputLine, size.width, size.height, fps,
                                            Summarise(times), outputs);
    if (timingFile)
        WriteTextFile(timingFile->TemporaryPath(), report);

    if (videoFile)
        videoFile->Commit();
    if (frameFolder)
        frameFolder->Commit();
    if (sheetFile)
        sheetFile->Commit();
    if (timingFile)
        timingFile->Commit();
    std::fputs(report.c_str(), stdout);
    return 0;
}

}  // namespace refhost
