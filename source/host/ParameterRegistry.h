// The parameter registry every instance carries: one ParameterInfo per
// parameter, in registration order, plus the plug-in-wide facts the host asks
// for as capabilities. Values are not kept here; they live in the effect.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PluginApi.h"

struct ParameterElement {
    std::string name;
    float value = 0.0f;
};

struct ParameterInfo {
    uint32_t number = 0;
    std::string name;
    std::string displayName;
    uint32_t type = 0;
    std::vector<ParameterElement> elements;
    std::vector<int32_t> elementSeparators;
    uint32_t usage = 0;
    bool visible = true;
    float rangeMinimum = 0.0f;
    float rangeMaximum = 1.0f;
    float defaultValue = 0.0f;
    std::string defaultText;
    std::vector<std::string> fileExtensions;
    uint64_t pendingEvents = 0;
    std::string groupName;
};

struct ParameterRange {
    float minimum;
    float maximum;
};

class CFFGLPluginManager {
public:
    explicit CFFGLPluginManager(bool supportsTopLeftOrientation);
    virtual ~CFFGLPluginManager();

    CFFGLPluginManager(const CFFGLPluginManager&) = delete;
    CFFGLPluginManager& operator=(const CFFGLPluginManager&) = delete;

    // Registration, called by the effect's constructor.
    void RegisterParameter(uint32_t number, const char* name, uint32_t type, float defaultValue);
    void RegisterOptionParameter(uint32_t number, const char* name, uint32_t elementCount, float defaultValue);
    void SetParameterElement(uint32_t number, uint32_t elementIndex, const char* name, float value);
    void SetMinInputCount(int32_t count) { minInputCount = count; }
    void SetMaxInputCount(int32_t count) { maxInputCount = count; }

    // Lookups by parameter number; the first record with that number answers.
    uint32_t ParameterCount() const { return static_cast<uint32_t>(parameters.size()); }
    const char* ParameterName(uint32_t number) const;
    uint32_t ParameterTypeOf(uint32_t number) const;
    MixedValue ParameterDefault(uint32_t number) const;
    uint32_t ElementCount(uint32_t number) const;
    const char* ElementName(uint32_t number, uint32_t elementIndex) const;
    uint32_t ElementValueBits(uint32_t number, uint32_t elementIndex) const;
    uint32_t SetElementValue(uint32_t number, uint32_t elementIndex, float value);
    uint32_t ParameterUsage(uint32_t number) const;
    uint32_t ParameterVisible(uint32_t number) const;
    ParameterRange ParameterRangeOf(uint32_t number) const;
    uint32_t FileExtensionCount(uint32_t number) const;
    const char* FileExtension(uint32_t number, uint32_t index) const;
    uint32_t SeparatorCount(uint32_t number) const;
    uint32_t Separator(uint32_t number, uint32_t index) const;
    std::string GroupName(uint32_t number) const;
    std::string DisplayName(uint32_t number) const;

    // Events: the count of records with pending flags; harvesting writes at
    // most `capacity` entries in registry order and clears what it wrote.
    uint32_t PendingEventCount() const;
    template <typename Sink> uint32_t HarvestEvents(uint32_t capacity, Sink&& sink)
    {
        uint32_t written = 0;
        for (ParameterInfo& parameter : parameters) {
            if (written >= capacity)
                break;
            if (parameter.pendingEvents == 0)
                continue;
            sink(written, parameter.number, parameter.pendingEvents);
            parameter.pendingEvents = 0;
            ++written;
        }
        return written;
    }

    int32_t MinInputCount() const { return minInputCount; }
    int32_t MaxInputCount() const { return maxInputCount; }
    bool TimeSupported() const { return timeSupported; }
    bool TopLeftOrientationSupported() const { return topLeftOrientationSupported; }
    int32_t TopLeftOrientationEnabled() const { return topLeftOrientationEnabled; }
    void EnableTopLeftOrientation() { topLeftOrientationEnabled = 1; }

protected:
    ParameterInfo* FindParameter(uint32_t number);
    const ParameterInfo* FindParameter(uint32_t number) const;

private:
    std::vector<ParameterInfo> parameters;
    int32_t minInputCount = 0;
    int32_t maxInputCount = 0;
    bool timeSupported = true;
    bool topLeftOrientationSupported;
    int32_t topLeftOrientationEnabled = 0;
};
