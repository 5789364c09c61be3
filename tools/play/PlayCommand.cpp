// The play loop. One window frame per input frame at the input's rate: take
// the next decoded frame (unless paused), upload it, run the chain, draw the
// output and the panel, swap. Every stage is timed for the panel and for the
// summary printed at the end.
#include <GL/glew.h>
// After GLEW, which must come before any other GL header.
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "ControlPanel.h"
#include "EffectChain.h"
#include "FrameTimes.h"
#include "OutputView.h"
#include "Play.h"
#include "PlayWindow.h"
#include "SourceWorker.h"
#include "hostkit/HostGl.h"
#include "hostsupport/HostError.h"
#include "hostsupport/Interrupt.h"
#include "hostsupport/PngFile.h"
#include "hostsupport/Stats.h"
#include "hostsupport/VideoIo.h"
#include "hostsupport/VirtualDisplay.h"

namespace play {

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kDefaultWidth = 1280, kDefaultHeight = 720;
constexpr double kDefaultFps = 30;
// Room for the panel's widgets when the output is short.
constexpr int kLeastWindowHeight = 640;

float Milliseconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<float, std::milli>(to - from).count();
}

void PrintLogLine(const char* line)
{
    std::fprintf(stderr, "plug-in: %s\n", line ? line : "");
}

void IgnoreLogLine(const char*) {}

// What the loop plays, worked out before any window exists.
struct PlayPlan {
    uint32_t width = kDefaultWidth, height = kDefaultHeight;
    double fps = kDefaultFps;
    std::string sourceLine;
};

PlayPlan PlanPlay(const PlayOptions& options)
{
    if (options.plugins.empty())
        throw hostsupport::HostError("play needs at least one plug-in");
    PlayPlan plan;
    if (options.input.empty()) {
        plan.sourceLine = "generated scene, seed " + std::to_string(options.seed);
    } else {
        std::error_code error;
        // Patterns such as shots/%04d.png name no single file.
        if (options.input.find('%') == std::string::npos && !std::filesystem::exists(options.input, error))
            throw hostsupport::HostError("cannot read the input " + options.input + ": no such file");
        const hostsupport::VideoProbe probe = hostsupport::ProbeVideo(options.input);
        plan.width = probe.width;
        plan.height = probe.height;
        if (probe.fps > 0 && probe.fps <= 1000)
            plan.fps = probe.fps;
        plan.sourceLine = options.input;
    }
    if (options.width > 0) {
        plan.width = options.width;
        plan.height = options.height;
    }
    if (options.fps > 0)
        plan.fps = options.fps;
    // The screenshot's folder is made now, so that a long session cannot end in "cannot write".
    const std::filesystem::path folder = std::filesystem::path(options.screenshot).parent_path();
    std::error_code error;
    if (!options.screenshot.empty() && !folder.empty() && !std::filesystem::create_directories(folder, error) &&
        error)
        throw hostsupport::HostError("cannot make the folder of " + options.screenshot + ": " + error.message());
    char size[64];
    std::snprintf(size, sizeof size, " at %ux%u, %.4g frames/s", plan.width, plan.height, plan.fps);
    plan.sourceLine += size;
    return plan;
}

// play-0001.png, play-0002.png, ...: the first name not taken in the working folder.
std::string FreeOutputName()
{
    for (int number = 1;; ++number) {
        char name[32];
        std::snprintf(name, sizeof name, "play-%04d.png", number);
        std::error_code error;
        if (!std::filesystem::exists(name, error))
            return name;
    }
}

void SaveOutput(const hostkit::RenderTarget& output, const std::string& path)
{
    hostkit::Image glOrder, fileOrder;
    glOrder.width = output.width;
    glOrder.height = output.height;
    glOrder.pixels = hostkit::ReadPixels(output);
    hostkit::FlipRows(glOrder, fileOrder);
    hostsupport::WritePng(path, fileOrder);
}

// The window's back buffer, panel included, before it is shown.
void SaveWindow(int width, int height, const std::string& path)
{
    hostkit::Image glOrder(static_cast<uint32_t>(width), static_cast<uint32_t>(height)), fileOrder;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, glOrder.pixels.data());
    hostkit::FlipRows(glOrder, fileOrder);
    hostsupport::WritePng(path, fileOrder);
}

std::string SummaryLine(const char* label, const std::vector<double>& times, const char* note)
{
    const hostsupport::TimingSummary summary = hostsupport::Summarise(times);
    char line[256];
    std::snprintf(line, sizeof line, "%-14s mean %.3f ms, median %.3f ms, p99 %.3f ms%s\n", label, summary.meanMs,
                  summary.medianMs, summary.p99Ms, note);
    return line;
}

void PrintSummary(const EffectChain& chain, const PlayPlan& plan, const std::string& renderer, uint64_t frames,
                  const FrameTimes& times)
{
    std::string report;
    for (size_t i = 0; i < chain.Size(); ++i) {
        const EffectSlot& slot = chain.Slot(i);
        report += "plug-in        " + slot.effect->plugin.name + " " + std::to_string(slot.effect->plugin.versionMajor) +
                  "." + std::to_string(slot.effect->plugin.versionMinor) + " (" + slot.path + ")" +
                  (slot.reloads > 0 ? ", reloaded " + std::to_string(slot.reloads) + " times" : "") + "\n";
    }
    report += "gl             " + renderer + "\n";
    report += "input          " + plan.sourceLine + "\n";
    report += "frames         " + std::to_string(frames) + "\n";
    if (!times.PluginTimes().empty()) {
        report += SummaryLine("plug-in calls", times.PluginTimes(), " (glFinish'ed, as render times them)");
        report += SummaryLine("window", times.HostTimes(), " (upload, output, panel)");
        report += SummaryLine("decode", times.DecodeTimes(), " (worker thread)");
        const FrameStages mean = times.RunMean();
        char line[256];
        std::snprintf(line, sizeof line,
                      "split          decode %.3f (worker), upload %.3f, plug-ins %.3f, output %.3f, panel %.3f, "
                      "swap and wait %.3f ms\n",
                      mean.decode, mean.upload, mean.plugins, mean.output, mean.panel, mean.present);
        report += line;
    }
    std::fputs(report.c_str(), stdout);
}

}  // namespace

int RunPlay(const PlayOptions& options)
{
    const PlayPlan plan = PlanPlay(options);
    // GLFW needs a display; a virtual one is started when none is set.
    const hostsupport::VirtualDisplay display = hostsupport::VirtualDisplay::EnsureDisplay();
    std::string title = "zao-host play";
    for (const std::string& path : options.plugins)
        title += " - " + std::filesystem::path(path).filename().string();
    PlayWindow window(title, static_cast<int>(plan.width), static_cast<int>(plan.height),
                      static_cast<int>(ControlPanel::kWidth), kLeastWindowHeight, options.fullscreen, options.monitor);
    const std::string renderer = RendererLine();
    if (options.verbose)
        std::fprintf(stderr, "zao-host: %s\n", renderer.c_str());

    EffectChain chain(plan.width, plan.height, options.verbose ? PrintLogLine : IgnoreLogLine);
    for (const std::string& path : options.plugins)
        chain.Add(path);
    for (const std::string& assignment : options.settings)
        chain.ApplySetting(assignment);
    hostkit::RenderTarget input(plan.width, plan.height);
    SourceWorker worker(options.input.empty()
                            ? MakeSceneSource(options.seed, plan.fps)
                            : MakeVideoSource(options.input, plan.fps, plan.width, plan.height),
                        plan.width, plan.height);
    ControlPanel panel(window.Handle(), options.describePanel);
    OutputView view;
    FrameTimes times;

    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / plan.fps));
    PanelFacts facts;
    facts.source = plan.sourceLine;
    facts.watching = options.watch;
    facts.times = &times;
    bool panelShown = true, quit = false;
    int steps = 0;  // frames to take while paused
    uint64_t frames = 0;
    float decodeMs = 0;
    Clock::time_point nextFrame = Clock::now(), panelEnd = Clock::now();
    while (!quit) {
        // Events are handled as they come; a frame is made when it is due.
        for (Clock::time_point now = Clock::now(); now < nextFrame; now = Clock::now())
            window.WaitEvents(std::chrono::duration<double>(nextFrame - now).count());
        nextFrame = std::max(nextFrame + period, Clock::now());
        FrameStages stages;
        const Clock::time_point frameStart = Clock::now();
        // The previous frame's swap, and the wait for this one.
        stages.present = Milliseconds(panelEnd, frameStart);

        bool save = false;
        for (int key : window.TakeKeys()) {
            switch (key) {
            case GLFW_KEY_ESCAPE: quit = true; break;
            case GLFW_KEY_SPACE: facts.paused = !facts.paused; break;
            case GLFW_KEY_RIGHT:
                facts.paused = true;
                ++steps;
                break;
            case GLFW_KEY_LEFT:
                facts.paused = true;
                if (facts.position > 0 && worker.Seek(facts.position - 1))
                    steps = 1;
                else if (!worker.CanSeek())
                    facts.message = "a camera cannot step back";
                break;
            case GLFW_KEY_S: save = true; break;
            case GLFW_KEY_R:
                for (size_t i = 0; i < chain.Size(); ++i)
                    chain.Reload(i, input);
                break;
            case GLFW_KEY_F: window.ToggleFullscreen(); break;
            case GLFW_KEY_TAB: panelShown = !panelShown; break;
            default: break;
            }
        }
        quit = quit || window.CloseRequested() || hostsupport::Interrupted();

        worker.Hold(true);
        if (!facts.paused || steps > 0) {
            if (const SourceFrame* frame = worker.TakeNext()) {
                const Clock::time_point uploadStart = Clock::now();
                hostkit::UpdateTexture(input.texture, plan.width, plan.height, frame->image.pixels.data());
                stages.upload = Milliseconds(uploadStart, Clock::now());
                facts.position = frame->position;
                decodeMs = frame->decodeMs;
                steps = std::max(0, steps - 1);
            }
        }
        stages.decode = decodeMs;
        facts.sourceStatus = worker.Status();
        if (options.watch)
            chain.ReloadChanged(input);

        const hostkit::RenderTarget& output =
            chain.Run(input, static_cast<double>(facts.position) / plan.fps, &stages.plugins);
        if (save) {
            const std::string name = FreeOutputName();
            SaveOutput(output, name);
            facts.message = "saved " + name;
            std::printf("saved %s\n", name.c_str());
            std::fflush(stdout);
        }

        const Clock::time_point outputStart = Clock::now();
        int framebufferWidth = 0, framebufferHeight = 0, windowWidth = 0, windowHeight = 0;
        window.FramebufferSize(&framebufferWidth, &framebufferHeight);
        glfwGetWindowSize(window.Handle(), &windowWidth, &windowHeight);
        const float pixelsPerPoint =
            windowWidth > 0 ? static_cast<float>(framebufferWidth) / static_cast<float>(windowWidth) : 1.0f;
        const int panelPixels = panelShown ? static_cast<int>(ControlPanel::kWidth * pixelsPerPoint) : 0;
        const ViewRect area{0, 0, std::max(0, framebufferWidth - panelPixels), framebufferHeight};
        view.Draw(output.texture, FitRect(plan.width, plan.height, area), framebufferWidth, framebufferHeight);
        // Each stage finished before the next starts, so that its time is its own.
        glFinish();
        const Clock::time_point panelStart = Clock::now();
        stages.output = Milliseconds(outputStart, panelStart);
        const FrameStages recent = times.Mean(60);
        facts.framesPerSecond = recent.Total() > 0 ? 1000.0 / recent.Total() : 0;
        if (panelShown)
            panel.Draw(chain, facts, windowWidth, windowHeight);
        glFinish();
        panelEnd = Clock::now();
        // The next frames are decoded while this one is shown and the next is awaited.
        worker.Hold(false);
        stages.panel = Milliseconds(panelStart, panelEnd);

        ++frames;
        if (options.frames > 0 && frames >= options.frames)
            quit = true;
        if (quit && !options.screenshot.empty())
            SaveWindow(framebufferWidth, framebufferHeight, options.screenshot);
        window.Swap();
        times.Add(stages);
    }
    PrintSummary(chain, plan, renderer, frames, times);
    return 0;
}

}  // namespace play
