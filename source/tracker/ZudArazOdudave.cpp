// The effect's constructor, its parameters and the registration record that
// describes it to the host.
#include "ZudArazOdudave.h"

#include <new>

#include "host/LogChannel.h"
#include "host/PluginInfo.h"

namespace {

CFFGLPluginInfo registration(CreateZudArazOdudave, "QX01", "ZEL DadiDaruzad", 2, 1, ZAO_VERSION_MAJOR,
                             ZAO_VERSION_MINOR, kPluginTypeEffect,
                             "K.V.R. blob/motion tracking with surveillance overlay", "Zozivad Uzozaro");

}  // namespace

TrackerShaderOverride ZudArazOdudave::shaderOverride;

ZudArazOdudave::ZudArazOdudave() : CFFGLPlugin(false)
{
    SetMinInputCount(1);
    SetMaxInputCount(1);
    for (const TrackerParameterInfo& info : kTrackerParameters) {
        parameters[info.number] = info.defaultValue;
        if (info.optionCount == 0) {
            RegisterParameter(info.number, info.name, info.type, info.defaultValue);
            continue;
        }
        RegisterOptionParameter(info.number, info.name, info.optionCount, info.defaultValue);
        for (uint32_t element = 0; element < info.optionCount; ++element)
            SetParameterElement(info.number, element, info.optionNames[element], static_cast<float>(element));
    }
    SendLogLine("Created ZEL DadiDaruzad v3.0 [K.V.R.]");
}

ZudArazOdudave::~ZudArazOdudave() = default;

uint32_t ZudArazOdudave::SetFloatParameter(uint32_t number, float value)
{
    if (number >= kParameterCount)
        return kFailure;
    parameters[number] = value;
    return kSuccess;
}

float ZudArazOdudave::GetFloatParameter(uint32_t number)
{
    return number < kParameterCount ? parameters[number] : 0.0f;
}

void ZudArazOdudave::DetectBlobs(const uint8_t* gridBytes, int32_t width, int32_t height)
{
    const DetectionParameters detectionParameters{parameters[kThreshold], parameters[kInvert], parameters[kMinSize],
                                                  parameters[kMaxBlobs]};
    DetectTargets(gridBytes, width, height, detectionParameters, detection, targets);
}

uint32_t CreateZudArazOdudave(CFFGLPlugin** instanceSlot)
{
    if (instanceSlot == nullptr)
        return kFailure;
    // The constructor allocates too (registry records, names): any failure is a failed factory.
    try {
        *instanceSlot = new ZudArazOdudave();
    } catch (...) {
        *instanceSlot = nullptr;
        return kFailure;
    }
    return kSuccess;
}
