// Registration and lookups of the parameter registry.
#include "ParameterRegistry.h"

#include <algorithm>

CFFGLPluginManager::CFFGLPluginManager(bool supportsTopLeftOrientation)
    : topLeftOrientationSupported(supportsTopLeftOrientation)
{
}

CFFGLPluginManager::~CFFGLPluginManager() = default;

void CFFGLPluginManager::RegisterParameter(uint32_t number, const char* name, uint32_t type, float defaultValue)
{
    ParameterInfo parameter;
    parameter.number = number;
    parameter.name = name ? name : "";
    parameter.type = type;
    parameter.elements.resize(1);
    // Standard parameters live in 0..1: the upper limit first, then the lower.
    if (type == ParameterType::Standard)
        defaultValue = std::max(0.0f, std::min(1.0f, defaultValue));
    parameter.defaultValue = defaultValue;
    parameters.push_back(std::move(parameter));
}

void CFFGLPluginManager::RegisterOptionParameter(uint32_t number, const char* name, uint32_t elementCount,
                                                 float defaultValue)
{
    ParameterInfo parameter;
    parameter.number = number;
    parameter.name = name ? name : "";
    parameter.type = ParameterType::Option;
    parameter.elements.resize(elementCount);
    parameter.defaultValue = defaultValue;
    parameters.push_back(std::move(parameter));
}

void CFFGLPluginManager::SetParameterElement(uint32_t number, uint32_t elementIndex, const char* name, float value)
{
    ParameterInfo* parameter = FindParameter(number);
    if (parameter == nullptr || elementIndex >= parameter->elements.size())
        return;
    parameter->elements[elementIndex].name = name ? name : "";
    parameter->elements[elementIndex].value = value;
}

ParameterInfo* CFFGLPluginManager::FindParameter(uint32_t number)
{
    for (ParameterInfo& parameter : parameters)
        if (parameter.number == number)
            return &parameter;
    return nullptr;
}

const ParameterInfo* CFFGLPluginManager::FindParameter(uint32_t number) const
{
    for (const ParameterInfo& parameter : parameters)
        if (parameter.number == number)
            return &parameter;
    return nullptr;
}

const char* CFFGLPluginManager::ParameterName(uint32_t number) const
{
    const ParameterInfo* parameter = FindParameter(number);
    return parameter ? parameter->name.c_str() : nullptr;
}

uint32_t CFFGLPluginManager::ParameterTypeOf(uint32_t number) const
{
    const ParameterInfo* parameter = FindParameter(number);
    return parameter ? parameter->type : kFailure;
}

MixedValue CFFGLPluginManager::ParameterDefault(uint32_t number) const
{
    const ParameterInfo* parameter = FindParameter(number);
    if (parameter == nullptr)
        return MixedFromUInt(kFailure);
    if (IsTextType(parameter->type))
        return MixedFromPointer(parameter->defaultText.c_str());
    return MixedFromUInt(FloatBits(parameter->defaultValue));
}

uint32_t CFFGLPluginManager::ElementCount(uint32_t number) const
{
    const ParameterInfo* parameter = FindParameter(number);
    return parameter ? static_cast<uint32_t>(parameter->elements.size()) : kFailure;
}

const char* CFFGLPluginManager::ElementName(uint32_t number, uint32_t elementIndex) const
{
    const ParameterInfo* parameter = FindParameter(number);
    if (parameter == nullptr || elementIndex >= parameter->elements.size())
        return nullptr;
    return parameter->elements[elementIndex].name.c_str();
}

uint32_t CFFGLPluginManager::ElementValueBits(uint32_t number, uint32_t elementIndex) const
{
    const ParameterInfo* parameter = FindParameter(number);
    if (parameter == nullptr || elementIndex >= parameter->elements.size())
        return kFailure;
    return FloatBits(parameter->elements[elementIndex].value);
}

uint32_t CFFGLPluginManager::SetElementValue(uint32_t number, uint32_t elementIndex, float value)
{
    ParameterInfo* parameter = FindParameter(number);
    if (parameter == nullptr || elementIndex >= parameter->elements.size())
        return kFailure;
    parameter->elements[elementIndex].value = value;
    return kSuccess;
}

uint32_t CFFGLPluginManager::ParameterUsage(uint32_t number) const
{
    const ParameterInfo* parameter = FindParameter(number);
    return parameter ? parameter->usage : kFailure;
}

uint32_t CFFGLPluginManager::ParameterVisible(uint32_t number) const
{
    const ParameterInfo* parameter = FindParameter(number);
    if (parameter == nullptr)
        return kFailure;
    return parameter->visible ? kTrue : kFalse;
}

ParameterRange CFFGLPluginManager::ParameterRangeOf(uint32_t number) const
{
    const ParameterInfo* parameter = FindParameter(number);
    if (parameter == nullptr)
        return {0.0f, 1.0f};
    return {parameter->rangeMinimum, parameter->rangeMaximum};
}

uint32_t CFFGLPluginManager::FileExtensionCount(uint32_t number) const
{
    const ParameterInfo* parameter = FindParameter(number);
    return parameter ? static_cast<uint32_t>(parameter->fileExtensions.size()) : 0;
}

const char* CFFGLPluginManager::FileExtension(uint32_t number, uint32_t index) const
{
    const ParameterInfo* parameter = FindParameter(number);
    if (parameter == nullptr || index >= parameter->fileExtensions.size())
        return nullptr;
    return parameter->fileExtensions[index].c_str();
}

uint32_t CFFGLPluginManager::SeparatorCount(uint32_t number) const
{
    const ParameterInfo* parameter = FindParameter(number);
    return parameter ? static_cast<uint32_t>(parameter->elementSeparators.size()) : 0;
}

uint32_t CFFGLPluginManager::Separator(uint32_t number, uint32_t index) const
{
    const ParameterInfo* parameter = FindParameter(number);
    if (parameter == nullptr || index >= parameter->elementSeparators.size())
        return kFailure;
    return static_cast<uint32_t>(parameter->elementSeparators[index]);
}

std::string CFFGLPluginManager::GroupName(uint32_t number) const
{
    const ParameterInfo* parameter = FindParameter(number);
    return parameter ? parameter->groupName : std::string();
}

std::string CFFGLPluginManager::DisplayName(uint32_t number) const
{
    const ParameterInfo* parameter = FindParameter(number);
    return parameter ? parameter->displayName : std::string();
}

uint32_t CFFGLPluginManager::PendingEventCount() const
{
    return static_cast<uint32_t>(std::count_if(parameters.begin(), parameters.end(),
                                               [](const ParameterInfo& p) { return p.pendingEvents != 0; }));
}
