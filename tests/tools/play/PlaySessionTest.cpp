// play as a person uses it for an hour, boiled down: keys that still work
// after the panel comes back, a save that fails without ending the session,
// steps by the clip's own frames, and a whole session on a phone's clip.
#include <gtest/gtest.h>

#include <filesystem>

#include "PlayWindowFixture.h"
#include "TestClips.h"

namespace refhosttest {
namespace {

// The frame number the numbered clip shows in a saved output.
int ShownFrame(const hostkit::Image& image)
{
    return image.width > 0 ? NumberedFrame(image.At(image.width / 2, image.height / 2)[0]) : -1;
}

// Dear ImGui took Tab to put the first slider into typing, which captured
// every key after it: no save, no reload, no quit.
TEST_F(PlayWindow, AfterTabHidesAndShowsThePanelTheKeysStillReachTheWindow)
{
    Start({ZAO_PLUGIN_PATH, "--size", "320x180", "--describe-panel", Path("panel.txt")});
    PanelWith("slider", "Threshold");
    Keys({"Tab"});
    PanelWith("panel", "shown", "0");
    Keys({"Tab", "s"});
    EXPECT_GT(Saved(1).width, 0u);
    std::vector<Widget> widgets = PanelWith("typing", "panel");
    EXPECT_EQ(ValueOf(widgets, "typing", "panel"), "0");
    EXPECT_EQ(ValueOf(widgets, "slider", "Threshold"), "0.4");
    Keys({"r"});
    PanelWith("effect", "ZEL DadiDaruzad", "3.0 reloads 1");
    Keys({"Escape"});
    EXPECT_EQ(Wait(), 0);
}

// S where nothing can be written (the working folder is gone) says so in
// the panel; the session goes on and ends with its summary.
TEST_F(PlayWindow, ASaveThatFailsIsShownInThePanelAndTheSessionGoesOn)
{
    const std::string gone = Path("gone");
    std::filesystem::create_directories(gone);
    Start({ZAO_PLUGIN_PATH, "--size", "320x180", "--describe-panel", Path("panel.txt")}, gone);
    PanelWith("slider", "Threshold");
    std::filesystem::remove(gone);
    Keys({"s"});
    const std::vector<Widget> widgets = PanelWith("message", "message");
    EXPECT_NE(ValueOf(widgets, "message", "message").find("play-0001.png"), std::string::npos)
        << ValueOf(widgets, "message", "message");
    EXPECT_EQ(ValueOf(widgets, "message", "message").rfind("saved", 0), std::string::npos);
    Keys({"Escape"});
    EXPECT_EQ(Wait(), 0) << ReadFile(Path("err.txt"));
    EXPECT_NE(ReadFile(Path("out.txt")).find("plug-in calls  mean"), std::string::npos) << ReadFile(Path("out.txt"));
}

// A 10 frames/s clip played at 30: a step back lands on the clip's frame
// before the one shown, not on the frame of that number at the play rate.
TEST_F(PlayWindow, StepsGoByTheClipsOwnFramesWhateverTheRateOfPlay)
{
    ASSERT_TRUE(MakeTestClip(Path("numbered.mkv"), TestClip::Numbered));
    Start({ZAO_PLUGIN_PATH, "--input", Path("numbered.mkv"), "--fps", "30", "--set", "Show Blobs=off", "--set",
           "Show Labels=off", "--describe-panel", Path("panel.txt")});
    // Paused past the first second, where the two rates part.
    PanelWhen([](const std::vector<Widget>& widgets) {
        const std::string at = ValueOf(widgets, "frame", "position");
        return at != "(none)" && std::stoi(at) >= 30;
    });
    Keys({"space"});
    std::vector<Widget> widgets = PanelWith("frame", "position", "", "paused");
    int position = std::stoi(ValueOf(widgets, "frame", "position"));
    int saved = 0;
    for (const char* key : {"Left", "Left", "Right"}) {
        position += std::string(key) == "Left" ? -1 : 1;
        Keys({key});
        PanelWith("frame", "position", std::to_string(position) + " paused");
        Keys({"s"});
        EXPECT_EQ(ShownFrame(Saved(++saved)), position) << key;
    }
    Keys({"Escape"});
    EXPECT_EQ(Wait(), 0);
}

// Open a phone's clip, drag a slider, toggle a box, pause, step back and
// forth, save, hide and show the panel, reload, quit; after each step the
// panel and the files say what a person would see.
TEST_F(PlayWindow, AScriptedSessionOnAPhonesClip)
{
    ASSERT_TRUE(MakeTestClip(Path("phone.mp4"), TestClip::Rotated));
    Start({ZAO_PLUGIN_PATH, "--input", Path("phone.mp4"), "--describe-panel", Path("panel.txt")});
    std::vector<Widget> widgets = PanelWith("checkbox", "Show Network", "0");

    Drag(*Find(widgets, "slider", "Hue Shift"), 0.05, 0.5);
    widgets = PanelWhen([](const std::vector<Widget>& now) {
        const std::string hue = ValueOf(now, "slider", "Hue Shift");
        return hue != "(none)" && std::stof(hue) > 0.4f && std::stof(hue) < 0.6f;
    });
    const std::string hue = ValueOf(widgets, "slider", "Hue Shift");
    Click(*Find(widgets, "checkbox", "Show Network"));
    PanelWith("checkbox", "Show Network", "1");

    Keys({"space"});
    widgets = PanelWith("frame", "position", "", "paused");
    const int position = std::stoi(ValueOf(widgets, "frame", "position"));
    Keys({"Right"});
    PanelWith("frame", "position", std::to_string(position + 1) + " paused");
    Keys({"Left"});
    PanelWith("frame", "position", std::to_string(position) + " paused");

    // Upright at its shown size, red above blue or blue above red, never squashed sideways.
    Keys({"s"});
    const hostkit::Image output = Saved(1);
    ASSERT_EQ(output.width, 90u);
    ASSERT_EQ(output.height, 160u);
    EXPECT_GT(std::abs(output.At(45, 30)[2] - output.At(45, 130)[2]), 150);
    EXPECT_EQ(CountPink(output), 0u);  // the hue is half-way round

    Keys({"Tab"});
    PanelWith("panel", "shown", "0");
    Keys({"Tab"});
    widgets = PanelWith("typing", "panel", "0");
    EXPECT_EQ(ValueOf(widgets, "slider", "Hue Shift"), hue);

    Keys({"r"});
    widgets = PanelWith("effect", "ZEL DadiDaruzad", "3.0 reloads 1");
    EXPECT_EQ(ValueOf(widgets, "slider", "Hue Shift"), hue);
    EXPECT_EQ(ValueOf(widgets, "checkbox", "Show Network"), "1");
    EXPECT_EQ(ValueOf(widgets, "frame", "position"), std::to_string(position) + " paused");

    Keys({"Escape"});
    EXPECT_EQ(Wait(), 0) << ReadFile(Path("err.txt"));
    EXPECT_NE(ReadFile(Path("out.txt")).find("reloaded 1 times"), std::string::npos) << ReadFile(Path("out.txt"));
    std::vector<std::string> written;
    for (const std::string& entry : Entries())
        if (entry.rfind("play-", 0) == 0)
            written.push_back(entry);
    EXPECT_EQ(written, std::vector<std::string>{"play-0001.png"});
}

}  // namespace
}  // namespace refhosttest
