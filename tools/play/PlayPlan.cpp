// The checks that need no window, in the order a user would fix them.
#include "PlayPlan.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "hostsupport/HostError.h"
#include "hostsupport/PluginFile.h"
#include "hostsupport/VideoIo.h"

namespace play {

namespace {

void CheckPlugins(const PlayOptions& options)
{
    if (options.plugins.empty())
        throw hostsupport::HostError("play needs at least one plug-in");
    for (const std::string& given : options.plugins) {
        const std::string path = hostsupport::PluginFilePath(given);
        std::error_code error;
        // A watched file may be missing while its first build runs; the window waits for it.
        if (!std::filesystem::exists(path, error) && !options.watch)
            throw hostsupport::HostError("cannot open the plug-in " + path + ": no such file");
        if (std::filesystem::is_directory(path, error))
            throw hostsupport::HostError("cannot open the plug-in " + path + ": it is a folder");
    }
}

// The screenshot comes at the very end: a name that cannot be written must fail now.
void CheckScreenshot(const std::string& screenshot)
{
    if (screenshot.empty())
        return;
    std::error_code error;
    if (std::filesystem::is_directory(screenshot, error))
        throw hostsupport::HostError("cannot write the screenshot " + screenshot + ": it is a folder");
    const std::filesystem::path folder = std::filesystem::path(screenshot).parent_path();
    if (!folder.empty() && !std::filesystem::create_directories(folder, error) && error)
        throw hostsupport::HostError("cannot make the folder of " + screenshot + ": " + error.message());
}

}  // namespace

PlayPlan PlanPlay(const PlayOptions& options)
{
    CheckPlugins(options);
    for (const std::string& setting : options.settings)
        if (setting.find('=') == std::string::npos)
            throw hostsupport::HostError("--set needs Name=Value, not \"" + setting + "\"");
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
            plan.fps = plan.clipFps = probe.fps;
        plan.sourceLine = options.input;
    }
    if (options.width > 0) {
        plan.width = options.width;
        plan.height = options.height;
    }
    if (options.fps > 0)
        plan.fps = options.fps;
    // The generated scene's frames are the window's.
    if (options.input.empty())
        plan.clipFps = plan.fps;
    CheckScreenshot(options.screenshot);
    char size[64];
    std::snprintf(size, sizeof size, " at %ux%u, %.4g frames/s", plan.width, plan.height, plan.fps);
    plan.sourceLine += size;
    return plan;
}

void RequireDisplay(const PlayOptions& options)
{
    if (options.headless) {
        // A display of its own even on a desktop, so that no window shows up there.
        unsetenv("DISPLAY");
        return;
    }
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && *display != '\0')
        return;
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    throw hostsupport::HostError(
        std::string("no display to open the window on (DISPLAY is not set") +
        (wayland != nullptr && *wayland != '\0' ? "; under Wayland play needs XWayland" : "") +
        "): run play in a desktop session, or add --headless to run it on a virtual display nobody sees");
}

}  // namespace play
