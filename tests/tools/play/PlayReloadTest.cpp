// play --watch through the builds a plug-in author makes: each new version is
// tried in a process of its own, so one that crashes making an instance or in
// a frame, hangs, leaves a GL error or is cut short leaves the running
// version on screen with the reason; kept values a new version refuses are
// shown with theirs.
#include <gtest/gtest.h>

#include <filesystem>

#include "PlayWindowFixture.h"
#include "hostsupport/PluginFile.h"

namespace refhosttest {
namespace {

std::string Broken(const std::string& fault)
{
    return std::string(ZAO_BROKEN_PLUGIN_DIR) + "/libRefhostBroken_" + fault + ".so";
}

TEST_F(PlayWindow, WatchedBuildsThatCrashHangOrAreCutShortLeaveTheRunningVersionAndSayWhy)
{
    LetCrashesThrough();
    const std::string watched = Path("watched.so");
    // As a build does: the new file is written beside and renamed over the old.
    const auto replace = [&](const std::string& with, uintmax_t keep = 0) {
        std::filesystem::copy_file(with, watched + ".new", std::filesystem::copy_options::overwrite_existing);
        if (keep > 0)
            std::filesystem::resize_file(watched + ".new", keep);
        std::filesystem::rename(watched + ".new", watched);
    };
    replace(ZAO_PROBE_PLUGIN_PATH);
    // The probe refuses Victim once Reject Pushes is on: set in this order, both are taken.
    Start({watched, "--watch", "--size", "320x180", "--trial-limit", "3", "--set", "Victim=0.5", "--set",
           "Reject Pushes=on", "--describe-panel", Path("panel.txt")});
    PanelWith("slider", "Victim", "0.5");

    struct Build {
        std::string file;
        uintmax_t keep;
        std::string reason;
    };
    const std::string prefix = "reload failed, the last good version runs on: ";
    const Build builds[] = {
        {Broken("CRASH_ON_CREATE"), 0,
         prefix + "crashed in code 18 (make an instance at 320x180): Segmentation fault, signal 11"},
        {Broken("CRASH_ON_FRAME"), 0, prefix + "crashed in code 17 (frame 1 of 3): Segmentation fault, signal 11"},
        {Broken("HANG_ON_FRAME"), 0, prefix + "hung in code 17 (frame 1 of 3): no answer within 3 s, stopped"},
        {Broken("LEAVE_GL_ERROR"), 0, prefix + "left GL_INVALID_VALUE after code 17 (frame 1 of 3)"},
        {ZAO_PLUGIN_PATH, 5000, prefix + "cut short: 5,000 of " +
                                    hostsupport::GroupedNumber(std::filesystem::file_size(ZAO_PLUGIN_PATH)) + " bytes"},
    };
    for (const Build& build : builds) {
        replace(build.file, build.keep);
        const std::vector<Widget> widgets = PanelWith("problem", "version", build.reason);
        // Still the probe, still running: its frame counter moves on.
        EXPECT_EQ(ValueOf(widgets, "effect", "Probe Effect 16c"), "1.7 reloads 0");
        const std::string position = ValueOf(widgets, "frame", "position");
        PanelWhen([&](const std::vector<Widget>& now) { return ValueOf(now, "frame", "position") != position; });
    }
    // Every trial's process is gone, the hung one included.
    EXPECT_EQ(ChildrenOf(child), 0u);

    // A good build again: kept values it refuses are shown with the reason,
    // and the panel shows what the plug-in holds.
    replace(ZAO_PROBE_PLUGIN_PATH);
    std::vector<Widget> widgets = PanelWith("effect", "Probe Effect 16c", "1.7 reloads 1");
    EXPECT_EQ(ValueOf(widgets, "dropped", "Victim"), "0.5: the plug-in refuses it (code 8)");
    EXPECT_EQ(ValueOf(widgets, "slider", "Victim"), "0.25");
    EXPECT_EQ(Find(widgets, "problem", "version"), nullptr);

    // And another plug-in altogether in the same file.
    replace(ZAO_PLUGIN_PATH);
    widgets = PanelWith("effect", "ZEL DadiDaruzad", "3.0 reloads 2");
    EXPECT_EQ(ValueOf(widgets, "slider", "Hue Shift"), "0");
    EXPECT_EQ(Find(widgets, "dropped", "Victim"), nullptr);

    kill(child, SIGINT);
    EXPECT_EQ(Wait(), 0);
}

}  // namespace
}  // namespace refhosttest
