// The effect's constructor, its parameters and the registration record that
// describes it to the host.
#include "ZudArazOdudave.h"

#include <new>

#include "../host/LogChannel.h"
#include "../host/PluginInfo.h"

namespace {

constexpr float kDefaults[kParameterCount] = {0.4f, 0.0f, 0.1f, 0.5f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f};

struct SimpleParameter {
    uint32_t number;
    const char* name;
    uint32_t type;
};

constexpr SimpleParameter kSimpleParameters[] = {
    {kThreshold, "Threshold", ParameterType::Standard},  {kInvert, "Invert", ParameterType::Boolean},
    {kMinSize, "Min Size", ParameterType::Standard},     {kMaxBlobs, "Max Blobs", ParameterType::Standard},
    {kShowBlobs, "Show Blobs", ParameterType::Boolean},  {kShowNetwork, "Show Network", ParameterType::Boolean},
    {kShowLabels, "Show Labels", ParameterType::Boolean}, {kShowContours, "Show Contours", ParameterType::Boolean},
    {kHueShift, "Hue Shift", ParameterType::Standard},
};

const char* const kBoxStyleNames[] = {"Rectangle", "Corners", "Brackets", "Dashed"};

CFFGLPluginInfo registration(CreateZudArazOdudave, "QX01", "ZEL DadiDaruzad", 2, 1, ZAO_VERSION_MAJOR,
                             ZAO_VERSION_MINOR, kPluginTypeEffect,
                             "K.V.R. blob/motion tracking with surveillance overlay", "Zozivad Uzozaro");

}  // namespace

TrackerShaderOverride ZudArazOdudave::shaderOverride;

ZudArazOdudave::ZudArazOdudave() : CFFGLPlugin(false)
{
    for (uint32_t i = 0; i < kParameterCount; ++i)
        parameters[i] = kDefaults[i];
    SetMinInputCount(1);
    SetMaxInputCount(1);

    // Registered in number order; defaults are read back through our own getter.
    const SimpleParameter* simple = kSimpleParameters;
    for (uint32_t number = 0; number < kParameterCount; ++number) {
        if (number == kBoxStyle) {
            RegisterOptionParameter(kBoxStyle, "Box Style", 4, 1.0f);
            for (uint32_t element = 0; element < 4; ++element)
                SetParameterElement(kBoxStyle, element, kBoxStyleNames[element], static_cast<float>(element));
            continue;
        }
        RegisterParameter(simple->number, simple->name, simple->type, GetFloatParameter(simple->number));
        ++simple;
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
