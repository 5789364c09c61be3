// zao-host play as a user starts it: the picture and the panel, a click and a
// drag that change the output, what ends the start with one line and what
// opens the window with the reason.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "PlayWindowFixture.h"

namespace refhosttest {
namespace {

TEST_F(PlayWindow, ScreenshotHoldsTheOutputWithItsTitleAndThePanelWithEveryParameter)
{
    const ProcessResult result = RunProgram(
        ZAO_HOST_PATH, {"play", ZAO_PLUGIN_PATH, "--size", "640x360", "--frames", "20", "--screenshot",
                        Path("shots/window.png"), "--describe-panel", Path("panel.txt")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("plug-in calls  mean"), std::string::npos) << result.out;
    hostkit::Image window;
    ASSERT_TRUE(ReadPng(Path("shots/window.png"), window));  // its folder made by play
    ASSERT_GE(window.width, 640u + 380u);
    // The output sits at 1:1 in the upper part of the left side, centred; the
    // title is in its top-left corner, in the overlay's colour.
    const uint32_t top = (window.height - 360) / 2;
    // The title is drawn see-through, so its pink is darker: the hue is what counts.
    size_t titlePixels = 0;
    for (uint32_t y = top; y < top + 30; ++y)
        for (uint32_t x = 0; x < 120; ++x) {
            const uint8_t* p = window.At(x, y);
            titlePixels += p[0] > 120 && p[1] * 5 < p[0] && p[2] * 10 > p[0] * 4 && p[2] * 4 < p[0] * 3;
        }
    EXPECT_GT(titlePixels, 20u);
    const std::vector<Widget> widgets = ReadPanel(Path("panel.txt"));
    for (const char* name : {"Threshold", "Invert", "Min Size", "Max Blobs", "Box Style", "Show Blobs",
                             "Show Network", "Show Labels", "Show Contours", "Hue Shift"}) {
        const Widget* widget = nullptr;
        for (const Widget& candidate : widgets)
            if (candidate.name == name && candidate.kind != "effect")
                widget = &candidate;
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_GE(widget->x, 640) << name << " lies over the output";
    }
    EXPECT_EQ(Find(widgets, "combo", "Box Style")->value, "Corners");
    EXPECT_EQ(Find(widgets, "checkbox", "Show Network")->kind, "checkbox");
}

TEST_F(PlayWindow, ClickAndDragOnThePanelChangeTheOutputAsTheParametersSay)
{
    Start({ZAO_PLUGIN_PATH, "--size", "640x360", "--describe-panel", Path("panel.txt")});
    std::vector<Widget> widgets = PanelWith("checkbox", "Show Network", "0");
    Keys({"space"});  // paused, so that only the parameters change the output
    const hostkit::Image before = SaveOutput(1);

    Click(*Find(widgets, "checkbox", "Show Network"));
    widgets = PanelWith("checkbox", "Show Network", "1");
    const hostkit::Image network = SaveOutput(2);
    // Lines between the targets, see-through in the overlay's hue; the paused
    // picture under them stays as it was.
    ASSERT_EQ(network.pixels.size(), before.pixels.size());
    size_t changed = 0, reddish = 0;
    for (size_t i = 0; i < before.pixels.size(); i += 4)
        if (std::memcmp(&before.pixels[i], &network.pixels[i], 3) != 0) {
            ++changed;
            reddish += network.pixels[i] > network.pixels[i + 1] + 20;
        }
    EXPECT_GT(changed, 1000u);
    EXPECT_GT(reddish, changed * 3 / 4);  // a line over a white blob is barely tinted

    Drag(*Find(widgets, "slider", "Hue Shift"), 0.05, 0.5);
    PanelWhen([](const std::vector<Widget>& now) {
        const Widget* hue = Find(now, "slider", "Hue Shift");
        return hue != nullptr && std::stof(hue->value) > 0.4f && std::stof(hue->value) < 0.6f;
    });
    const hostkit::Image shifted = SaveOutput(3);
    // Half-way round the colour circle: the pink turns green.
    EXPECT_EQ(CountPink(shifted), 0u);
    EXPECT_GT(CountShiftedGreen(shifted), CountPink(before) / 2);

    Keys({"Escape"});
    EXPECT_EQ(Wait(), 0);
}

// Bad files in a chain: the good effect runs, and the panel says why each
// other one is not loaded; a script learns it from the exit status.
TEST_F(PlayWindow, APluginFileThatCannotRunOpensTheWindowAndSaysWhy)
{
    LetCrashesThrough();
    const std::string cut = Path("cut.so");
    std::filesystem::copy_file(ZAO_PLUGIN_PATH, cut);
    std::filesystem::resize_file(cut, 5000);
    const std::string crashing = std::string(ZAO_BROKEN_PLUGIN_DIR) + "/libRefhostBroken_CRASH_ON_CREATE.so";
    const ProcessResult result =
        RunProgram(ZAO_HOST_PATH, {"play", ZAO_PLUGIN_PATH, cut, ZAO_NOT_A_PLUGIN_PATH, crashing, "--size", "320x180",
                                   "--frames", "10", "--screenshot", Path("window.png"), "--describe-panel",
                                   Path("panel.txt")});
    ExpectOneLineFailure(result, "cut.so never ran: cut short: 5,000 of ");
    EXPECT_NE(result.out.find("frames         10"), std::string::npos) << result.out;
    hostkit::Image window;
    ASSERT_TRUE(ReadPng(Path("window.png"), window));
    EXPECT_GT(CountPink(window), 20u);  // the good effect ran in front of the bad ones

    std::vector<std::string> problems;
    for (const Widget& widget : ReadPanel(Path("panel.txt")))
        if (widget.kind == "problem")
            problems.push_back(widget.value);
    ASSERT_EQ(problems.size(), 3u) << ReadFile(Path("panel.txt"));
    EXPECT_EQ(problems[0].rfind("not loaded: cut short: 5,000 of ", 0), 0u) << problems[0];
    EXPECT_NE(problems[1].find("not an FFGL plug-in: it does not export plugMain"), std::string::npos) << problems[1];
    EXPECT_EQ(problems[2], "not loaded: crashed in code 18 (make an instance at 320x180): Segmentation fault, signal 11");
}

// Mistakes a user can fix before any window opens end the start with one
// line, and no window is made (play writes no panel).
TEST_F(PlayWindow, OptionsThatCannotWorkEndTheStartWithOneLine)
{
    std::filesystem::create_directories(Path("shots"));
    struct Case {
        std::vector<std::string> args;
        const char* mentions;
        std::vector<std::string> unset;
    };
    const Case cases[] = {
        {{Path("missing.so")}, "no such file", {}},
        {{Path("shots")}, "it is a folder", {}},
        {{ZAO_PLUGIN_PATH, "--screenshot", Path("shots")}, "cannot write the screenshot", {}},
        {{ZAO_PLUGIN_PATH, "--set", "Threshold"}, "--set needs Name=Value", {}},
        // Over ssh or on a console there is nothing to show a window on.
        {{ZAO_PLUGIN_PATH}, "add --headless", {"DISPLAY"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"play"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.end(), {"--frames", "3", "--describe-panel", Path("panel.txt")});
        ExpectOneLineFailure(RunProgram(ZAO_HOST_PATH, args, c.unset), c.mentions);
        EXPECT_FALSE(std::filesystem::exists(Path("panel.txt"))) << c.mentions << ": a window was opened";
    }
    // A script asks for the virtual display.
    const ProcessResult headless =
        RunProgram(ZAO_HOST_PATH, {"play", ZAO_PLUGIN_PATH, "--headless", "--size", "64x48", "--frames", "3"}, {"DISPLAY"});
    EXPECT_EQ(headless.status, 0) << headless.err;
    EXPECT_NE(headless.out.find("frames         3"), std::string::npos) << headless.out;
}

}  // namespace
}  // namespace refhosttest
