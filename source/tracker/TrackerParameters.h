// The effect's ten parameters in one table: number, name, type, default and,
// for the one option parameter, its element names. The constructor registers
// them from it; nothing else in the effect restates them.
#pragma once

#include <cstdint>

#include "host/PluginApi.h"

enum TrackerParameter : uint32_t {
    kThreshold = 0,
    kInvert = 1,
    kMinSize = 2,
    kMaxBlobs = 3,
    kBoxStyle = 4,
    kShowBlobs = 5,
    kShowNetwork = 6,
    kShowLabels = 7,
    kShowContours = 8,
    kHueShift = 9,
    kParameterCount = 10,
};

struct TrackerParameterInfo {
    TrackerParameter number;
    const char* name;
    uint32_t type;  // ParameterType
    float defaultValue;
    // Option parameters: the element names, element k standing for the value k.
    const char* const* optionNames;
    uint32_t optionCount;
};

// "Box Style": the index the overlay draws by (see BoxStyleIndex) names these.
constexpr const char* kBoxStyleNames[] = {"Rectangle", "Corners", "Brackets", "Dashed"};

// In number order.
constexpr TrackerParameterInfo kTrackerParameters[kParameterCount] = {
    {kThreshold, "Threshold", ParameterType::Standard, 0.4f, nullptr, 0},
    {kInvert, "Invert", ParameterType::Boolean, 0.0f, nullptr, 0},
    {kMinSize, "Min Size", ParameterType::Standard, 0.1f, nullptr, 0},
    {kMaxBlobs, "Max Blobs", ParameterType::Standard, 0.5f, nullptr, 0},
    {kBoxStyle, "Box Style", ParameterType::Option, 1.0f, kBoxStyleNames, 4},
    {kShowBlobs, "Show Blobs", ParameterType::Boolean, 1.0f, nullptr, 0},
    {kShowNetwork, "Show Network", ParameterType::Boolean, 0.0f, nullptr, 0},
    {kShowLabels, "Show Labels", ParameterType::Boolean, 1.0f, nullptr, 0},
    {kShowContours, "Show Contours", ParameterType::Boolean, 0.0f, nullptr, 0},
    {kHueShift, "Hue Shift", ParameterType::Standard, 0.0f, nullptr, 0},
};
