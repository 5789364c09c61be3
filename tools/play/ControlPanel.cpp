// Immediate-mode widgets straight from the plug-ins' descriptions: nothing is
// kept between frames but the values the chain holds.
#include "ControlPanel.h"

#include <imgui.h>
#include <imgui_impl_glfw.h>
#include <imgui_impl_opengl3.h>
#include <imgui_stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <utility>

#include "PlayWindow.h"
#include "hostkit/FfglCodes.h"

namespace play {

namespace {

const ImVec4 kProblemColour(1.0f, 0.45f, 0.4f, 1.0f);
const ImU32 kPluginBarColour = IM_COL32(255, 150, 40, 255);
const ImU32 kRestBarColour = IM_COL32(110, 160, 255, 255);

std::string Number(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
}

// A plot's top: the largest frame, rounded up to 1, 2 or 5 times a power of ten.
float PlotScale(float largest)
{
    float step = 1;
    while (step * 10 < largest)
        step *= 10;
    for (float factor : {1.0f, 2.0f, 5.0f, 10.0f})
        if (step * factor >= largest)
            return step * factor;
    return step * 10;
}

// The widget a parameter's type asks for, and what it is for the description.
struct DrawnWidget {
    const char* kind;
    bool framed;  // has a frame of the item width beside its label
    bool changed;
};

bool OptionCombo(const hostsupport::ParameterDescription& parameter, ParameterValue& value)
{
    std::string current = Number(value.number);
    for (const hostsupport::OptionElement& element : parameter.elements)
        if (element.value == value.number)
            current = element.name;
    bool changed = false;
    if (ImGui::BeginCombo(parameter.name.c_str(), current.c_str())) {
        for (const hostsupport::OptionElement& element : parameter.elements)
            if (ImGui::Selectable(element.name.c_str(), element.value == value.number)) {
                value.number = element.value;
                changed = true;
            }
        ImGui::EndCombo();
    }
    return changed;
}

DrawnWidget DrawWidget(const hostsupport::ParameterDescription& parameter, ParameterValue& value)
{
    const char* label = parameter.name.c_str();
    switch (parameter.type) {
    case ffgl::kParameterBoolean: {
        bool on = value.number != 0;
        const bool changed = ImGui::Checkbox(label, &on);
        if (changed)
            value.number = on ? 1.0f : 0.0f;
        return {"checkbox", false, changed};
    }
    case ffgl::kParameterEvent: {
        const bool changed = ImGui::Button(label);
        if (changed)
            value.number = 1.0f;
        return {"button", false, changed};
    }
    case ffgl::kParameterOption:
        return {"combo", true, OptionCombo(parameter, value)};
    case ffgl::kParameterText:
    case ffgl::kParameterFile:
        return {"text", true, ImGui::InputText(label, &value.text)};
    case ffgl::kParameterInteger: {
        const bool changed = ImGui::SliderFloat(label, &value.number, parameter.minimum, parameter.maximum, "%.0f");
        value.number = std::round(value.number);
        return {"slider", true, changed};
    }
    default:
        return {"slider", true, ImGui::SliderFloat(label, &value.number, parameter.minimum, parameter.maximum, "%.3f")};
    }
}

}  // namespace

ControlPanel::ControlPanel(GLFWwindow* window, std::string path) : describePath(std::move(path))
{
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGui::GetIO().IniFilename = nullptr;  // nothing written into the user's folder
    ImGui::StyleColorsDark();
    ImGui_ImplGlfw_InitForOpenGL(window, true);
    ImGui_ImplOpenGL3_Init("#version 410");
    // Tab is the window's key (the panel on and off). Dear ImGui would also
    // take it to focus the first slider for typing, which then captures
    // every key that follows.
    ImGui::GetIO().KeyMap[ImGuiKey_Tab] = -1;
}

void ControlPanel::Hide()
{
    // A field left in editing while unseen would keep the keys from the window.
    ImGui::SetWindowFocus(nullptr);
    PlayWindow::SetKeysCaptured(false);
    description = "panel\t0\tshown\t0\t0\t0\t0\t0\n";
    WriteDescription();
}

ControlPanel::~ControlPanel()
{
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplGlfw_Shutdown();
    ImGui::DestroyContext();
}

void ControlPanel::Describe(const char* kind, size_t slot, const std::string& name, const std::string& value,
                            float frameWidth)
{
    if (describePath.empty())
        return;
    const ImVec2 low = ImGui::GetItemRectMin();
    ImVec2 high = ImGui::GetItemRectMax();
    if (frameWidth > 0)
        high.x = low.x + frameWidth;
    char rect[96];
    std::snprintf(rect, sizeof rect, "\t%d\t%d\t%d\t%d\n", static_cast<int>(low.x), static_cast<int>(low.y),
                  static_cast<int>(high.x - low.x), static_cast<int>(high.y - low.y));
    description += std::string(kind) + "\t" + std::to_string(slot) + "\t" + name + "\t" + value + rect;
}

void ControlPanel::WriteDescription()
{
    if (describePath.empty() || description == written)
        return;
    // Renamed into place, so that a reader never sees half a file.
    const std::string temporary = describePath + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << description;
    }
    std::error_code error;
    std::filesystem::rename(temporary, describePath, error);
    written = description;
}

void ControlPanel::Draw(EffectChain& chain, const PanelFacts& facts, int windowWidth, int windowHeight)
{
    ImGui_ImplOpenGL3_NewFrame();
    ImGui_ImplGlfw_NewFrame();
    ImGui::NewFrame();
    description.clear();

    ImGui::SetNextWindowPos(ImVec2(static_cast<float>(windowWidth) - kWidth, 0));
    ImGui::SetNextWindowSize(ImVec2(kWidth, static_cast<float>(windowHeight)));
    ImGui::Begin("zao-host play", nullptr,
                 ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse |
                     ImGuiWindowFlags_NoSavedSettings);
    // Lines that come and go are at the end, so that no widget ever moves under the pointer.
    ImGui::TextWrapped("%s", facts.source.c_str());
    ImGui::Text("frame %llu%s", static_cast<unsigned long long>(facts.position), facts.paused ? " (paused)" : "");
    Describe("frame", 0, "position", std::to_string(facts.position) + (facts.paused ? " paused" : ""));
    if (facts.watching)
        ImGui::TextDisabled("reloading plug-ins when their files change");
    DrawTimes(facts);
    for (size_t i = 0; i < chain.Size(); ++i)
        DrawEffect(chain, i);
    ImGui::Separator();
    ImGui::TextWrapped("Space pause, arrows step, S save the output, R reload, F full screen, Tab panel, Esc quit");
    if (!facts.sourceStatus.empty()) {
        ImGui::TextColored(kProblemColour, "%s", facts.sourceStatus.c_str());
        Describe("status", 0, "source", facts.sourceStatus);
    }
    if (!facts.message.empty()) {
        ImGui::TextWrapped("%s", facts.message.c_str());
        Describe("message", 0, "message", facts.message);
    }
    ImGui::End();

    ImGui::Render();
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    const bool typing = ImGui::GetIO().WantTextInput;
    PlayWindow::SetKeysCaptured(typing);
    // A script waits for a drag to end before it moves on, as a person's hand does.
    description += std::string("active\t0\tpanel\t") + (ImGui::IsAnyItemActive() ? "1" : "0") + "\t0\t0\t0\t0\n";
    description += std::string("typing\t0\tpanel\t") + (typing ? "1" : "0") + "\t0\t0\t0\t0\n";
    WriteDescription();
}

void ControlPanel::DrawTimes(const PanelFacts& facts)
{
    const FrameTimes& times = *facts.times;
    const FrameStages mean = times.Mean(60);
    ImGui::Text("%.1f frames/s", facts.framesPerSecond);
    ImGui::TextColored(ImColor(kPluginBarColour), "plug-in calls %.2f ms", mean.plugins);
    ImGui::TextColored(ImColor(kRestBarColour), "upload %.2f ms, output %.2f ms, panel %.2f ms", mean.upload,
                       mean.output, mean.panel);
    ImGui::Text("decode %.2f ms (worker thread)", mean.decode);
    ImGui::Text("decode + upload + panel %.2f ms", mean.decode + mean.upload + mean.panel);

    // Stacked bars, newest at the right: plug-in calls below, the window's own work above.
    const float plotWidth = ImGui::GetContentRegionAvail().x, plotHeight = 64;
    const ImVec2 origin = ImGui::GetCursorScreenPos();
    ImGui::Dummy(ImVec2(plotWidth, plotHeight));
    float largest = 0;
    for (size_t age = 0; age < times.Count(); ++age)
        largest = std::max(largest, times.Recent(age).plugins + times.Recent(age).Host());
    const float scale = PlotScale(std::max(largest, 1.0f));
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const ImVec2 bottomRight(origin.x + plotWidth, origin.y + plotHeight);
    draw->AddRectFilled(origin, bottomRight, IM_COL32(30, 30, 34, 255));
    const float barWidth = plotWidth / static_cast<float>(FrameTimes::kHistory);
    for (size_t age = 0; age < times.Count(); ++age) {
        const FrameStages& stages = times.Recent(age);
        const float right = bottomRight.x - barWidth * static_cast<float>(age);
        const float pluginTop = bottomRight.y - plotHeight * std::min(1.0f, stages.plugins / scale);
        const float restTop =
            bottomRight.y - plotHeight * std::min(1.0f, (stages.plugins + stages.Host()) / scale);
        draw->AddRectFilled(ImVec2(right - barWidth, pluginTop), ImVec2(right, bottomRight.y), kPluginBarColour);
        draw->AddRectFilled(ImVec2(right - barWidth, restTop), ImVec2(right, pluginTop), kRestBarColour);
    }
    ImGui::TextDisabled("last %zu frames, top %.4g ms", times.Count(), scale);
}

void ControlPanel::DrawEffect(EffectChain& chain, size_t index)
{
    EffectSlot& slot = chain.Slot(index);
    ImGui::PushID(static_cast<int>(index));
    const std::string title = slot.Title();
    const bool open = ImGui::CollapsingHeader((title + "###effect").c_str(), ImGuiTreeNodeFlags_DefaultOpen);
    Describe("effect", index, title.substr(0, title.rfind(' ')),
             slot.effect ? title.substr(title.rfind(' ') + 1) + " reloads " + std::to_string(slot.reloads)
                         : "not loaded");
    if (open) {
        const LoadedEffect* effect = slot.effect.get();
        if (effect != nullptr && effect->thumbnail.Name() != 0) {
            const float height = 48, width = height * static_cast<float>(effect->thumbnailWidth) /
                                                 static_cast<float>(std::max(1u, effect->thumbnailHeight));
            ImGui::Image(reinterpret_cast<ImTextureID>(static_cast<intptr_t>(effect->thumbnail.Name())),
                         ImVec2(width, height));
            ImGui::SameLine();
        }
        ImGui::BeginGroup();
        ImGui::Checkbox("On", &slot.enabled);
        Describe("enable", index, "On", slot.enabled ? "1" : "0");
        ImGui::TextDisabled("%s", std::filesystem::path(slot.path).filename().c_str());
        if (slot.reloads > 0)
            ImGui::TextDisabled("reloaded %u times", slot.reloads);
        ImGui::EndGroup();
        DrawProblems(slot, index);
        if (effect != nullptr) {
            ImGui::PushItemWidth(-150);
            for (const hostsupport::ParameterDescription& parameter : effect->plugin.parameters)
                DrawParameter(chain, index, parameter);
            ImGui::PopItemWidth();
        }
    }
    ImGui::PopID();
}

void ControlPanel::DrawProblems(const EffectSlot& slot, size_t index)
{
    if (slot.trial) {
        ImGui::TextDisabled("trying a new version in a process of its own");
        Describe("trial", index, slot.path, "running");
    }
    ImGui::PushStyleColor(ImGuiCol_Text, kProblemColour);
    for (const std::string* problem : {&slot.versionProblem, &slot.valueProblem})
        if (!problem->empty()) {
            ImGui::TextWrapped("%s", problem->c_str());
            Describe("problem", index, problem == &slot.versionProblem ? "version" : "value", *problem);
        }
    for (const DroppedValue& dropped : slot.dropped) {
        ImGui::TextWrapped("%s %s not kept: %s", dropped.name.c_str(), dropped.value.c_str(), dropped.reason.c_str());
        Describe("dropped", index, dropped.name, dropped.value + ": " + dropped.reason);
    }
    if (slot.frameFailed)
        ImGui::TextWrapped("its last frame failed (code 17) and was skipped");
    ImGui::PopStyleColor();
}

void ControlPanel::DrawParameter(EffectChain& chain, size_t index,
                                 const hostsupport::ParameterDescription& parameter)
{
    ParameterValue value = chain.Slot(index).values[parameter.index];
    // Told apart by number, so that two parameters of one name stay two widgets.
    ImGui::PushID(static_cast<int>(parameter.index));
    // Sliders, combos and fields are described by their frame, without the label.
    const float frameWidth = ImGui::CalcItemWidth();
    const DrawnWidget widget = DrawWidget(parameter, value);
    Describe(widget.kind, index, parameter.name, ShownValue(parameter, value), widget.framed ? frameWidth : 0);
    ImGui::PopID();
    if (widget.changed)
        chain.SetValue(index, parameter.index, value);
}

}  // namespace play
