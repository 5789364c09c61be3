// The panel beside the output, with Dear ImGui: for each effect its name,
// version, thumbnail, on/off and every parameter as the plug-in describes it
// (standard: slider, boolean: checkbox, option: combo, text: field, event:
// button); the source, frames per second, and a plot of the newest frame
// times with the plug-in calls apart from the rest.
#pragma once

#include <string>

#include "EffectChain.h"
#include "FrameTimes.h"

struct GLFWwindow;

namespace play {

// What the panel shows besides the chain.
struct PanelFacts {
    std::string source;        // what the input is
    std::string sourceStatus;  // why it stopped; empty while it runs
    std::string message;       // the last thing a key did ("saved play-0001.png")
    uint64_t position = 0;     // the input frame shown
    bool paused = false;
    bool watching = false;
    double framesPerSecond = 0;
    const FrameTimes* times = nullptr;  // never null
};

class ControlPanel {
public:
    static constexpr float kWidth = 380;

    // describePath: when not empty, a text file that lists every widget with
    // its value and window rectangle (and whether a widget is held or a
    // field typed in, or that the panel is hidden), rewritten whenever that changes, for
    // scripts and tests that drive the window.
    ControlPanel(GLFWwindow* window, std::string describePath);
    ~ControlPanel();
    ControlPanel(const ControlPanel&) = delete;
    ControlPanel& operator=(const ControlPanel&) = delete;

    // Lays out and draws the panel at the window's right edge; parameter
    // changes go to the chain at once.
    void Draw(EffectChain& chain, const PanelFacts& facts, int windowWidth, int windowHeight);
    // The panel goes out of sight: any editing ends and the keys are the window's.
    void Hide();

private:
    void DrawTimes(const PanelFacts& facts);
    void DrawEffect(EffectChain& chain, size_t index);
    // The trial under way, why the newest version or a value was not taken.
    void DrawProblems(const EffectSlot& slot, size_t index);
    void DrawParameter(EffectChain& chain, size_t index, const hostsupport::ParameterDescription& parameter);
    // Notes the widget just laid out for the description file; frameWidth,
    // when given, replaces the width of its rectangle.
    void Describe(const char* kind, size_t slot, const std::string& name, const std::string& value,
                  float frameWidth = 0);
    void WriteDescription();

    std::string describePath;
    std::string description, written;
};

}  // namespace play
