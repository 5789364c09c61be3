// zao-host play in a real window on an X server of each test's own, driven
// with xdotool as a person would: the picture, a click and a drag on the
// panel, and hot reload of a watched file.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>
#include <thread>

#include "HostProcess.h"
#include "PngReader.h"
#include "hostsupport/VirtualDisplay.h"

namespace refhosttest {
namespace {

// One widget of the panel as play describes it: kind, effect, name, value, rectangle.
struct Widget {
    std::string kind, name, value;
    int x = 0, y = 0, width = 0, height = 0;
};

std::vector<Widget> ReadPanel(const std::string& path)
{
    std::vector<Widget> widgets;
    std::istringstream lines(ReadFile(path));
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::istringstream parts(line);
        std::string field;
        while (std::getline(parts, field, '\t'))
            fields.push_back(field);
        if (fields.size() != 8)
            continue;
        widgets.push_back({fields[0], fields[2], fields[3], std::stoi(fields[4]), std::stoi(fields[5]),
                           std::stoi(fields[6]), std::stoi(fields[7])});
    }
    return widgets;
}

const Widget* Find(const std::vector<Widget>& widgets, const std::string& kind, const std::string& name)
{
    for (const Widget& widget : widgets)
        if (widget.kind == kind && widget.name == name)
            return &widget;
    return nullptr;
}

std::string Shell(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    return out;
}

// Each test gets its own Xvfb, so that pointer and focus are its alone.
class PlayWindow : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        unsetenv("DISPLAY");
        display = hostsupport::VirtualDisplay::EnsureDisplay();
    }
    void TearDown() override
    {
        if (child > 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        display.Stop();
        HostTest::TearDown();
    }

    // zao-host play in the background, in the scratch folder.
    void Start(const std::vector<std::string>& args)
    {
        child = fork();
        if (child == 0) {
            if (chdir(scratch.c_str()) != 0)
                _exit(126);
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, 1);
            std::vector<char*> argv = {const_cast<char*>(ZAO_HOST_PATH), const_cast<char*>("play")};
            for (const std::string& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            execv(ZAO_HOST_PATH, argv.data());
            _exit(127);
        }
    }
    int Wait()
    {
        int raw = 0;
        waitpid(child, &raw, 0);
        child = -1;
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    }

    // The panel's widgets once they satisfy done (at most 60 s).
    std::vector<Widget> PanelWhen(const std::function<bool(const std::vector<Widget>&)>& done)
    {
        std::vector<Widget> widgets;
        for (int i = 0; i < 600; ++i) {
            widgets = ReadPanel(Path("panel.txt"));
            if (done(widgets))
                return widgets;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ADD_FAILURE() << "the panel never got there:\n" << ReadFile(Path("panel.txt"));
        return widgets;
    }
    std::vector<Widget> PanelWith(const std::string& kind, const std::string& name, const std::string& value)
    {
        return PanelWhen([&](const std::vector<Widget>& widgets) {
            const Widget* widget = Find(widgets, kind, name);
            return widget != nullptr && (value.empty() || widget->value == value);
        });
    }

    std::string Window()
    {
        if (windowId.empty()) {
            windowId = Shell("xdotool search --sync --onlyvisible --name 'zao-host play' | head -n 1");
            windowId.erase(windowId.find_last_not_of("\n") + 1);
            Shell("xdotool windowfocus --sync " + windowId);
        }
        return windowId;
    }
    void Key(const std::string& key) { Shell("xdotool key --clearmodifiers " + key); }
    void Click(const Widget& widget, double across = 0.05)
    {
        const int x = widget.x + static_cast<int>(widget.width * across), y = widget.y + widget.height / 2;
        Shell("xdotool mousemove --window " + Window() + " " + std::to_string(x) + " " + std::to_string(y) +
            " click 1");
    }
    void Drag(const Widget& widget, double from, double to)
    {
        const int y = widget.y + widget.height / 2;
        const auto x = [&](double at) { return std::to_string(widget.x + static_cast<int>(widget.width * at)); };
        Shell("xdotool mousemove --window " + Window() + " " + x(from) + " " + std::to_string(y) +
            " mousedown 1 sleep 0.2 mousemove --window " + Window() + " " + x(to) + " " + std::to_string(y) +
            " sleep 0.2 mouseup 1");
    }
    // Presses S and reads the PNG it writes.
    hostkit::Image SaveOutput(int number)
    {
        char name[32];
        std::snprintf(name, sizeof name, "play-%04d.png", number);
        Key("s");
        hostkit::Image image;
        for (int i = 0; i < 300 && !ReadPng(Path(name), image); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_GT(image.width, 0u) << name << " never came";
        return image;
    }

    hostsupport::VirtualDisplay display;
    pid_t child = -1;
    std::string windowId;
};

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
    Window();
    Key("space");  // paused, so that only the parameters change the output
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

    Key("Escape");
    EXPECT_EQ(Wait(), 0);
}

TEST_F(PlayWindow, WatchedFileReloadsKeepingValuesAndABadFileLeavesTheRunningVersion)
{
    const std::string watched = Path("watched.so");
    // As a build does: the new file is written beside and renamed over the old.
    const auto replace = [&](const std::string& with) {
        std::filesystem::copy_file(with, watched + ".new", std::filesystem::copy_options::overwrite_existing);
        std::filesystem::rename(watched + ".new", watched);
    };
    replace(ZAO_PLUGIN_PATH);
    Start({watched, "--watch", "--size", "320x180", "--set", "Hue Shift=0.25", "--describe-panel",
           Path("panel.txt")});
    PanelWith("slider", "Hue Shift", "0.25");

    replace(ZAO_PROBE_PLUGIN_PATH);
    std::vector<Widget> widgets = PanelWith("slider", "Victim", "");
    EXPECT_EQ(Find(widgets, "slider", "Hue Shift"), nullptr);
    EXPECT_NE(Find(widgets, "text", "Caption"), nullptr);
    EXPECT_EQ(Find(widgets, "effect", "Probe Effect 16c")->value, "1.7 reloads 1");

    replace(ZAO_NOT_A_PLUGIN_PATH);
    widgets = PanelWith("problem", "Probe Effect 16c", "");
    EXPECT_NE(Find(widgets, "problem", "Probe Effect 16c")->value.find("the last good version runs on"),
              std::string::npos);
    EXPECT_NE(Find(widgets, "slider", "Victim"), nullptr);

    // Back to the effect: the value set before the probe came is there again.
    replace(ZAO_PLUGIN_PATH);
    widgets = PanelWith("slider", "Hue Shift", "0.25");
    EXPECT_EQ(Find(widgets, "effect", "ZEL DadiDaruzad")->value.substr(4), "reloads 2");

    kill(child, SIGINT);
    EXPECT_EQ(Wait(), 0);
}

TEST_F(PlayWindow, AFileThatIsNoPluginEndsTheStartWithOneLine)
{
    ExpectOneLineFailure(RunProgram(ZAO_HOST_PATH, {"play", ZAO_NOT_A_PLUGIN_PATH, "--frames", "1"}),
                         "not an FFGL plug-in");
}

}  // namespace
}  // namespace refhosttest
