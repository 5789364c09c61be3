// A test plug-in built from the same host interface as the effect: it reports
// each virtual operation through the log channel, and a few latching switch
// parameters make its factory, InitGL or parameter pushes fail on demand, so
// that the dispatch's ordering and failure paths can be watched from a host.
#include <map>
#include <string>

#include "host/LogChannel.h"
#include "host/PluginInfo.h"
#include "host/PluginInstance.h"

namespace {

bool factoryFails = false;
bool initGlFails = false;
bool rejectPushes = false;

enum : uint32_t {
    kFactoryFails = 0,
    kInitGlFails = 1,
    kRejectPushes = 2,
    kVictim = 3,
    kCaption = 4,
    kClampedHigh = 5,
    kClampedLow = 6,
    kUnclamped = 7,
    kChoice = 8,
};

class ProbeEffect : public CFFGLPlugin {
public:
    ProbeEffect()
    {
        SetMinInputCount(-1);
        SetMaxInputCount(-1);
        RegisterParameter(kFactoryFails, "Factory Fails", ParameterType::Boolean, 0.0f);
        RegisterParameter(kInitGlFails, "InitGL Fails", ParameterType::Boolean, 0.0f);
        RegisterParameter(kRejectPushes, "Reject Pushes", ParameterType::Boolean, 0.0f);
        RegisterParameter(kVictim, "Victim", ParameterType::Standard, 0.25f);
        RegisterParameter(kCaption, "Caption", ParameterType::Text, 0.0f);
        RegisterParameter(kClampedHigh, "Clamped High", ParameterType::Standard, 1.7f);
        RegisterParameter(kClampedLow, "Clamped Low", ParameterType::Standard, -0.2f);
        RegisterParameter(kUnclamped, "Unclamped", ParameterType::Boolean, 1.7f);
        RegisterOptionParameter(kChoice, "Choice", 4, 2.5f);
        SetParameterElement(kChoice, 1, "One", 1.5f);
        SetParameterElement(kChoice, 4, "Beyond", 9.0f);
        RegisterParameter(kClampedHigh, "Shadow", ParameterType::Boolean, 0.75f);
        SendLogLine("probe: constructed");
    }
    ~ProbeEffect() override { SendLogLine("probe: destroyed"); }

    uint32_t InitGL(const ViewportRecord* viewportRecord) override
    {
        SendLogLine("probe: InitGL");
        if (initGlFails)
            return kFailure;
        return CFFGLPlugin::InitGL(viewportRecord);
    }
    uint32_t DeInitGL() override
    {
        SendLogLine("probe: DeInitGL");
        return kSuccess;
    }
    uint32_t Connect() override
    {
        SendLogLine("probe: Connect");
        return kSuccess;
    }
    uint32_t Disconnect() override
    {
        SendLogLine("probe: Disconnect");
        return kSuccess;
    }
    uint32_t ProcessOpenGL(const FrameInput*) override
    {
        SendLogLine("probe: ProcessOpenGL");
        return kSuccess;
    }
    uint32_t SetFloatParameter(uint32_t number, float value) override
    {
        if (rejectPushes && number == kVictim)
            return kFailure;
        if (value >= 0.5f && number == kFactoryFails)
            factoryFails = true;
        if (value >= 0.5f && number == kInitGlFails)
            initGlFails = true;
        if (value >= 0.5f && number == kRejectPushes)
            rejectPushes = true;
        values[number] = value;
        return kSuccess;
    }
    float GetFloatParameter(uint32_t number) override
    {
        auto found = values.find(number);
        return found == values.end() ? 0.0f : found->second;
    }
    uint32_t SetTextParameter(uint32_t number, const char* value) override
    {
        texts[number] = value;
        return kSuccess;
    }
    MixedValue GetTextParameter(uint32_t number) override
    {
        auto found = texts.find(number);
        if (found == texts.end())
            return MixedFromUInt(kFailure);
        return MixedFromPointer(found->second.c_str());
    }
    const char* GetShortName() override { return "PRB"; }

private:
    std::map<uint32_t, float> values;
    std::map<uint32_t, std::string> texts;
};

uint32_t CreateProbe(CFFGLPlugin** slot)
{
    if (factoryFails) {
        *slot = nullptr;
        return kFailure;
    }
    *slot = new ProbeEffect();
    return kSuccess;
}

// A name as long as the field, to show it fills all 16 bytes without a terminator.
CFFGLPluginInfo registration(CreateProbe, "PRB1", "Probe Effect 16c", 2, 1, 1, 7, kPluginTypeEffect,
                             "probe", "tests");

}  // namespace
