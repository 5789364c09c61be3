// The play loop. One window frame per input frame at the input's rate: handle
// the keys, take the next decoded frame (unless paused), run the chain, show
// the output and the panel, swap. Every stage is timed for the panel and for
// the summary printed at the end.
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
#include "PlayPlan.h"
#include "PlayWindow.h"
#include "SourceWorker.h"
#include "VersionTrial.h"
#include "hostkit/HostGl.h"
#include "hostsupport/ChildLaunch.h"
#include "hostsupport/HostError.h"
#include "hostsupport/Interrupt.h"
#include "hostsupport/PngFile.h"
#include "hostsupport/Stats.h"
#include "hostsupport/VirtualDisplay.h"

namespace play {

namespace {

using Clock = std::chrono::steady_clock;

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

std::string SlotLine(const EffectSlot& slot)
{
    if (!slot.effect)
        return "plug-in        " + slot.path + " " + (slot.versionProblem.empty() ? "not loaded" : slot.versionProblem) +
               "\n";
    return "plug-in        " + slot.Title() + " (" + slot.path + ")" +
           (slot.reloads > 0 ? ", reloaded " + std::to_string(slot.reloads) + " times" : "") + "\n";
}

void PrintSummary(const EffectChain& chain, const PlayPlan& plan, const std::string& renderer, uint64_t frames,
                  const FrameTimes& times)
{
    std::string report;
    for (size_t i = 0; i < chain.Size(); ++i)
        report += SlotLine(chain.Slot(i));
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
    std::fflush(stdout);
}

std::string WindowTitle(const PlayOptions& options)
{
    std::string title = "zao-host play";
    for (const std::string& path : options.plugins)
        title += " - " + std::filesystem::path(path).filename().string();
    return title;
}

// One session of the window, from the first versions' trials to the summary.
class PlaySession {
public:
    PlaySession(const PlayOptions& options, const PlayPlan& plan)
        : options(options),
          plan(plan),
          display(hostsupport::VirtualDisplay::EnsureDisplay()),
          window(WindowTitle(options), static_cast<int>(plan.width), static_cast<int>(plan.height),
                 static_cast<int>(ControlPanel::kWidth), kLeastWindowHeight, options.fullscreen, options.monitor),
          renderer(RendererLine()),
          chain(plan.width, plan.height, options.verbose ? PrintLogLine : IgnoreLogLine,
                TrialSettings{hostsupport::OwnExecutable(), 0, 0, options.trialSeconds}),
          input(plan.width, plan.height),
          worker(options.input.empty() ? MakeSceneSource(options.seed, plan.fps)
                                       : MakeVideoSource(options.input, plan.clipFps, plan.width, plan.height),
                 plan.width, plan.height),
          panel(window.Handle(), options.describePanel),
          period(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / plan.fps)))
    {
        if (options.verbose)
            std::fprintf(stderr, "zao-host: %s\n", renderer.c_str());
        facts.source = plan.sourceLine;
        facts.watching = options.watch;
        facts.times = &times;
    }

    // Runs until the user quits or the frames are done; the exit status.
    int Run()
    {
        StartFirstVersions();
        nextFrame = panelEnd = Clock::now();
        while (!quit)
            Frame();
        PrintSummary(chain, plan, renderer, frames, times);
        if (!screenshotProblem.empty())
            throw hostsupport::HostError(screenshotProblem);
        // A script learns that a plug-in it asked for never ran.
        for (size_t i = 0; i < chain.Size(); ++i)
            if (!chain.Slot(i).effect)
                throw hostsupport::HostError(chain.Slot(i).path + " never ran: " +
                                             (chain.Slot(i).versionProblem.empty()
                                                  ? "its trial had not ended"
                                                  : chain.Slot(i).versionProblem.substr(sizeof kNotLoaded - 1)));
        return 0;
    }

private:
    // Each plug-in's first version is tried while the window stays responsive;
    // the settings then go to those that loaded.
    void StartFirstVersions()
    {
        for (const std::string& path : options.plugins)
            chain.Add(path);
        while (chain.Trying() && !window.CloseRequested() && !hostsupport::Interrupted()) {
            window.WaitEvents(0.02);
            chain.TakeTrials(input);
        }
        for (const std::string& assignment : options.settings)
            chain.ApplySetting(assignment);
    }

    void Frame()
    {
        // Events are handled as they come; a frame is made when it is due.
        for (Clock::time_point now = Clock::now(); now < nextFrame; now = Clock::now())
            window.WaitEvents(std::chrono::duration<double>(nextFrame - now).count());
        nextFrame = std::max(nextFrame + period, Clock::now());
        FrameStages stages;
        const Clock::time_point frameStart = Clock::now();
        // The previous frame's swap, and the wait for this one.
        stages.present = Milliseconds(panelEnd, frameStart);

        const bool save = HandleKeys();
        quit = quit || window.CloseRequested() || hostsupport::Interrupted();
        worker.Hold(true);
        TakeInputFrame(&stages);
        if (options.watch)
            chain.ReloadChanged();
        chain.TakeTrials(input);
        const hostkit::RenderTarget& output =
            chain.Run(input, static_cast<double>(facts.position) / plan.fps, &stages.plugins);
        if (save)
            Save(output);
        Show(output, &stages);
        // The next frames are decoded while this one is shown and the next is awaited.
        worker.Hold(false);
        window.Swap();
        times.Add(stages);
    }

    // True when S asked for the output to be saved.
    bool HandleKeys()
    {
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
                    chain.Reload(i);
                break;
            case GLFW_KEY_F: window.ToggleFullscreen(); break;
            case GLFW_KEY_TAB:
                panelShown = !panelShown;
                if (!panelShown)
                    panel.Hide();
                break;
            default: break;
            }
        }
        return save;
    }

    void TakeInputFrame(FrameStages* stages)
    {
        if (!facts.paused || steps > 0) {
            if (const SourceFrame* frame = worker.TakeNext()) {
                const Clock::time_point uploadStart = Clock::now();
                hostkit::UpdateTexture(input.texture, plan.width, plan.height, frame->image.pixels.data());
                stages->upload = Milliseconds(uploadStart, Clock::now());
                facts.position = frame->position;
                decodeMs = frame->decodeMs;
                steps = std::max(0, steps - 1);
            }
        }
        stages->decode = decodeMs;
        facts.sourceStatus = worker.Status();
    }

    // A save that fails is told in the panel; the session goes on.
    void Save(const hostkit::RenderTarget& output)
    {
        const std::string name = FreeOutputName();
        try {
            SaveOutput(output, name);
        } catch (const hostsupport::HostError& error) {
            facts.message = hostsupport::OneLine(error.what());
            return;
        }
        facts.message = "saved " + name;
        std::printf("saved %s\n", name.c_str());
        std::fflush(stdout);
    }

    void Show(const hostkit::RenderTarget& output, FrameStages* stages)
    {
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
        stages->output = Milliseconds(outputStart, panelStart);
        const FrameStages recent = times.Mean(60);
        facts.framesPerSecond = recent.Total() > 0 ? 1000.0 / recent.Total() : 0;
        if (panelShown)
            panel.Draw(chain, facts, windowWidth, windowHeight);
        glFinish();
        panelEnd = Clock::now();
        stages->panel = Milliseconds(panelStart, panelEnd);

        ++frames;
        if (options.frames > 0 && frames >= options.frames)
            quit = true;
        if (quit && !options.screenshot.empty()) {
            try {
                SaveWindow(framebufferWidth, framebufferHeight, options.screenshot);
            } catch (const hostsupport::HostError& error) {
                // Told after the summary, which the session has earned.
                screenshotProblem = error.what();
            }
        }
    }

    const PlayOptions& options;
    const PlayPlan& plan;
    // Declared first so that it goes last, after the window.
    hostsupport::VirtualDisplay display;
    PlayWindow window;
    const std::string renderer;
    EffectChain chain;
    hostkit::RenderTarget input;
    SourceWorker worker;
    ControlPanel panel;
    OutputView view;
    FrameTimes times;
    PanelFacts facts;
    const Clock::duration period;
    Clock::time_point nextFrame, panelEnd;
    bool panelShown = true, quit = false;
    int steps = 0;  // frames to take while paused
    uint64_t frames = 0;
    float decodeMs = 0;
    std::string screenshotProblem;
};

}  // namespace

int RunPlay(const PlayOptions& options)
{
    if (options.tryVersion)
        return RunVersionTrial(options);
    const PlayPlan plan = PlanPlay(options);
    RequireDisplay(options);
    PlaySession session(options, plan);
    return session.Run();
}

}  // namespace play
