// A probe plug-in for the parameter-detail codes: a registry with file
// extensions, separators, group and display names, events raised on demand,
// and readout parameters that show what the host told the instance.
#include <map>
#include <string>

#include "DetailProbeParameters.h"
#include "host/PluginInfo.h"
#include "host/PluginInstance.h"

#ifndef ZAO_DETAIL_PROBE_TOP_LEFT
#error "build with ZAO_DETAIL_PROBE_TOP_LEFT set to 0 or 1"
#endif

namespace {

bool factoryFails = false;

class DetailProbeEffect : public CFFGLPlugin {
public:
    DetailProbeEffect() : CFFGLPlugin(ZAO_DETAIL_PROBE_TOP_LEFT != 0)
    {
        RegisterParameter(kFactoryFails, "Factory Fails", ParameterType::Boolean, 0.0f);
        RegisterParameter(kRaiseEvents, "Raise Events", ParameterType::Boolean, 0.0f);
        RegisterParameter(kReshape, "Reshape", ParameterType::Boolean, 0.0f);
        RegisterParameter(kTempo, "Tempo", ParameterType::Standard, 0.0f);
        RegisterParameter(kBarPhase, "Bar Phase", ParameterType::Standard, 0.0f);
        RegisterParameter(kSampleRate, "Sample Rate", ParameterType::Standard, 0.0f);
        RegisterParameter(kTopLeftEnabled, "Top Left", ParameterType::Standard, 0.0f);
        RegisterParameter(kHostName, "Host Name", ParameterType::Text, 0.0f);
        RegisterParameter(kHostVersion, "Host Version", ParameterType::Text, 0.0f);
        RegisterParameter(kMedia, "Media", ParameterType::File, 0.0f);
        RegisterOptionParameter(kMode, "Mode", 3, 0.0f);
        SetParameterElement(kMode, 0, "Low", 0.25f);
        SetParameterElement(kMode, 1, "Mid", 0.5f);
        SetParameterElement(kMode, 2, "High", 0.75f);

        ParameterInfo* media = FindParameter(kMedia);
        media->fileExtensions = {"png", "jpeg"};
        media->usage = 3;
        media->visible = false;
        media->rangeMinimum = -2.0f;
        media->rangeMaximum = 5.0f;
        media->groupName = "Sources";
        media->displayName = "Clip";
        // Out of order on purpose: the host sees them as registered.
        FindParameter(kMode)->elementSeparators = {2, 1};
    }

    uint32_t SetFloatParameter(uint32_t number, float value) override
    {
        if (number > kMode)
            return kFailure;
        const bool on = value >= 0.5f;
        if (number == kFactoryFails && on)
            factoryFails = true;
        if (number == kRaiseEvents && on)
            RaiseEvents();
        if (number == kReshape && on)
            Reshape();
        values[number] = value;
        return kSuccess;
    }
    float GetFloatParameter(uint32_t number) override
    {
        switch (number) {
        case kTempo:
            return Tempo();
        case kBarPhase:
            return BarPhase();
        case kSampleRate:
            return static_cast<float>(SampleRate());
        case kTopLeftEnabled:
            return static_cast<float>(TopLeftOrientationEnabled());
        default: {
            auto found = values.find(number);
            return found == values.end() ? 0.0f : found->second;
        }
        }
    }
    uint32_t SetTextParameter(uint32_t number, const char* value) override
    {
        texts[number] = value ? value : "";
        return kSuccess;
    }
    MixedValue GetTextParameter(uint32_t number) override
    {
        if (number == kHostName)
            return MixedFromPointer(HostName().c_str());
        if (number == kHostVersion)
            return MixedFromPointer(HostVersion().c_str());
        auto found = texts.find(number);
        if (found == texts.end())
            return MixedFromUInt(kFailure);
        return MixedFromPointer(found->second.c_str());
    }
    const char* GetShortName() override { return shortName.c_str(); }

private:
    // Registry order is 3, 5, 9; the flags use both halves of the 64 bits.
    void RaiseEvents()
    {
        FindParameter(kTempo)->pendingEvents = 0x0000000100000001ull;
        FindParameter(kSampleRate)->pendingEvents = 0x2ull;
        FindParameter(kMedia)->pendingEvents = 0x8000000000000000ull;
    }

    void Reshape()
    {
        ParameterInfo* mode = FindParameter(kMode);
        mode->elements.resize(5);
        mode->elements[0].name = "Reshaped";
        mode->elements[0].value = 9.0f;
        mode->elementSeparators = {4};
        ParameterInfo* media = FindParameter(kMedia);
        media->visible = true;
        media->usage = 7;
        media->rangeMinimum = 10.0f;
        media->rangeMaximum = 20.0f;
        media->fileExtensions = {"gif"};
        media->groupName = "Elsewhere";
        media->displayName = "Renamed";
        shortName = "reshaped";
    }

    std::map<uint32_t, float> values;
    std::map<uint32_t, std::string> texts;
    std::string shortName = "DPRB";
};

uint32_t CreateDetailProbe(CFFGLPlugin** slot)
{
    if (factoryFails) {
        *slot = nullptr;
        return kFailure;
    }
    *slot = new DetailProbeEffect();
    return kSuccess;
}

CFFGLPluginInfo registration(CreateDetailProbe, ZAO_DETAIL_PROBE_TOP_LEFT ? "DPR1" : "DPR0", "Detail Probe", 2,
                             1, 1, 0, kPluginTypeEffect, "detail probe", "tests");

}  // namespace
