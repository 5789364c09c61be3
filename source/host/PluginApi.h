// The entry point's calling convention: the mixed value, the function codes,
// the result codes and the export declaration. Everything the host sees of the
// library goes through the types declared here.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define ZAO_EXPORT extern "C" __declspec(dllexport)
#else
#define ZAO_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// One 64-bit argument or result: a 32-bit number in the low half, or a pointer.
union MixedValue {
    uint32_t UIntValue;
    void* PointerValue;
    uint64_t bits;  // keeps the upper half defined when a number is carried
};
static_assert(sizeof(MixedValue) == 8, "the mixed value travels as 64 bits");

using InstanceHandle = void*;

constexpr uint32_t kSuccess = 0;
constexpr uint32_t kFailure = 0xFFFFFFFFu;
constexpr uint32_t kTrue = 1;
constexpr uint32_t kFalse = 0;

// Upper 32 bits are always zero, so hosts that compare the whole word see a clean value.
inline MixedValue MixedFromUInt(uint32_t value)
{
    MixedValue m;
    m.bits = value;
    return m;
}

inline MixedValue MixedFromPointer(const void* pointer)
{
    MixedValue m;
    m.bits = 0;
    m.PointerValue = const_cast<void*>(pointer);
    return m;
}

uint32_t FloatBits(float value);
float FloatFromBits(uint32_t bits);

namespace FunctionCode {
enum : uint32_t {
    GetInfo = 0,
    Deinitialise = 2,
    GetNumParameters = 4,
    GetParameterName = 5,
    GetParameterDefault = 6,
    GetParameterDisplay = 7,
    SetParameter = 8,
    GetParameter = 9,
    GetPluginCaps = 10,
    GetExtendedInfo = 13,
    GetParameterType = 15,
    GetInputStatus = 16,
    ProcessOpenGL = 17,
    InstantiateGL = 18,
    DeinstantiateGL = 19,
    SetTime = 20,
    Connect = 21,
    Disconnect = 22,
    Resize = 23,
    GetNumParameterElements = 31,
    GetParameterUsage = 32,
    GetPluginShortName = 33,
    InitialiseV2 = 34,
    GetParameterElementName = 35,
    GetParameterElementValue = 36,
    SetParameterElementValue = 37,
    SetBeatInfo = 38,
    SetHostInfo = 39,
    SetSampleRate = 40,
    GetRange = 41,
    GetThumbnail = 42,
    GetNumFileExtensions = 43,
    GetFileExtension = 44,
    GetParameterVisibility = 45,
    GetParameterEvents = 46,
    GetNumElementSeparators = 47,
    GetElementSeparator = 48,
    EnablePluginCap = 49,
    GetParameterGroup = 50,
    GetParameterDisplayName = 51,
};
}  // namespace FunctionCode

namespace Capability {
enum : uint32_t {
    SetTime = 5,
    MinimumInputs = 10,
    MaximumInputs = 11,
    TopLeftTextureOrientation = 16,
};
}  // namespace Capability

namespace ParameterType {
enum : uint32_t {
    Boolean = 0,
    Standard = 10,
    Option = 11,
    File = 14,
    Text = 100,
};
}  // namespace ParameterType

inline bool IsTextType(uint32_t type)
{
    return type == ParameterType::Text || type == ParameterType::File;
}

ZAO_EXPORT MixedValue plugMain(uint32_t functionCode, MixedValue inputValue, InstanceHandle instanceHandle);
