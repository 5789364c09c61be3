// zao-host play in a real window on an X server of each test's own, driven
// with xdotool as a person would: keys held about 120 ms as fingers hold
// them, clicks and drags on the panel's widgets, which play describes with
// their values and rectangles (--describe-panel).
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "HostProcess.h"
#include "PngReader.h"
#include "hostsupport/VirtualDisplay.h"

namespace refhosttest {

// One line of the panel's description: kind, effect, name, value, rectangle.
struct Widget {
    std::string kind, name, value;
    int x = 0, y = 0, width = 0, height = 0;
};

inline std::vector<Widget> ReadPanel(const std::string& path)
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

inline const Widget* Find(const std::vector<Widget>& widgets, const std::string& kind, const std::string& name)
{
    for (const Widget& widget : widgets)
        if (widget.kind == kind && widget.name == name)
            return &widget;
    return nullptr;
}

// The value of a widget, or "(none)" when the panel lacks it.
inline std::string ValueOf(const std::vector<Widget>& widgets, const std::string& kind, const std::string& name)
{
    const Widget* widget = Find(widgets, kind, name);
    return widget ? widget->value : "(none)";
}

inline std::string Shell(const std::string& command)
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

// The processes whose parent is pid.
inline size_t ChildrenOf(pid_t pid)
{
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::istringstream stat(ReadFile((entry.path() / "stat").string()));
        std::string pidText, name, state;
        pid_t parent = 0;
        // The name is in parentheses and has no spaces for the programs here.
        if (stat >> pidText >> name >> state >> parent && parent == pid)
            ++count;
    }
    return count;
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

    // zao-host play in the background, in folder (the scratch folder when
    // empty), its standard output and error in Path("out.txt") and Path("err.txt").
    void Start(const std::vector<std::string>& args, const std::string& folder = {})
    {
        const std::string where = folder.empty() ? scratch.string() : folder;
        const std::string out = Path("out.txt"), err = Path("err.txt");
        child = fork();
        if (child == 0) {
            if (chdir(where.c_str()) != 0)
                _exit(126);
            dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
            dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
            std::vector<char*> argv = {const_cast<char*>(ZAO_HOST_PATH), const_cast<char*>("play")};
            for (const std::string& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            execv(ZAO_HOST_PATH, argv.data());
            _exit(127);
        }
    }
    // The exit status, at most 60 s on; a window that will not end is killed and fails.
    int Wait()
    {
        int raw = 0;
        for (int i = 0; i < 600 && waitpid(child, &raw, WNOHANG) != child; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (kill(child, 0) == 0) {
            ADD_FAILURE() << "play did not end";
            kill(child, SIGKILL);
            waitpid(child, &raw, 0);
        }
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
        ADD_FAILURE() << "the panel never got there:\n"
                      << ReadFile(Path("panel.txt")) << "play's standard error:\n"
                      << ReadFile(Path("err.txt"));
        return widgets;
    }
    // Once the panel has the widget, with the value if one is given (or a value holding contains).
    std::vector<Widget> PanelWith(const std::string& kind, const std::string& name, const std::string& value = {},
                                  const std::string& contains = {})
    {
        return PanelWhen([&](const std::vector<Widget>& widgets) {
            const Widget* widget = Find(widgets, kind, name);
            return widget != nullptr && (value.empty() || widget->value == value) &&
                   widget->value.find(contains) != std::string::npos;
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
    // Each key held for 120 ms, as a finger holds it, with a short pause between.
    void Keys(const std::vector<std::string>& keys)
    {
        Window();
        std::string command = "xdotool";
        for (const std::string& key : keys)
            command += " keydown " + key + " sleep 0.12 keyup " + key + " sleep 0.08";
        Shell(command);
    }
    void Click(const Widget& widget, double across = 0.05)
    {
        const int x = widget.x + static_cast<int>(widget.width * across), y = widget.y + widget.height / 2;
        Shell("xdotool mousemove --window " + Window() + " " + std::to_string(x) + " " + std::to_string(y) +
              " click 1");
        PanelWith("active", "panel", "0");
    }
    void Drag(const Widget& widget, double from, double to)
    {
        const int y = widget.y + widget.height / 2;
        const auto x = [&](double at) { return std::to_string(widget.x + static_cast<int>(widget.width * at)); };
        Shell("xdotool mousemove --window " + Window() + " " + x(from) + " " + std::to_string(y) +
              " mousedown 1 sleep 0.2 mousemove --window " + Window() + " " + x(to) + " " + std::to_string(y) +
              " sleep 0.2 mouseup 1");
        // The panel sees the button only once a frame: the drag ends there, not here.
        PanelWith("active", "panel", "0");
    }
    // Reads play-NNNN.png in folder (the scratch folder when empty) once it is there.
    hostkit::Image Saved(int number, const std::string& folder = {})
    {
        char name[32];
        std::snprintf(name, sizeof name, "play-%04d.png", number);
        const std::string path = (folder.empty() ? scratch : std::filesystem::path(folder)) / name;
        hostkit::Image image;
        for (int i = 0; i < 300 && !ReadPng(path, image); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_GT(image.width, 0u) << name << " never came";
        return image;
    }
    // Presses S and reads the PNG it writes.
    hostkit::Image SaveOutput(int number)
    {
        Keys({"s"});
        return Saved(number);
    }

    hostsupport::VirtualDisplay display;
    pid_t child = -1;
    std::string windowId;
};

}  // namespace refhosttest
