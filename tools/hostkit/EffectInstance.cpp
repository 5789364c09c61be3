// The instance calls of plugMain, with their records built by byte offset.
#include "hostkit/EffectInstance.h"

#include <GL/glew.h>

#include <cctype>
#include <chrono>
#include <cstring>
#include <string>
#include <utility>

#include "hostkit/FfglCodes.h"

namespace hostkit {

namespace {

bool SameIgnoringCase(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

}  // namespace

int ParameterIndex(const PluginLibrary& library, const char* name)
{
    const uint32_t count = library.Call32(ffgl::kGetNumParameters);
    if (count == kFailureCode || name == nullptr)
        return -1;
    int folded = -1;
    for (uint32_t i = 0; i < count; ++i) {
        const char* text = AnswerText(library.Call(ffgl::kGetParameterName, i));
        if (text == nullptr)
            continue;
        if (std::strcmp(text, name) == 0)
            return static_cast<int>(i);
        if (folded < 0 && SameIgnoringCase(text, name))
            folded = static_cast<int>(i);
    }
    return folded;
}

EffectInstance::EffectInstance(const PluginLibrary& pluginLibrary, uint32_t width, uint32_t height)
    : library(&pluginLibrary)
{
    const auto viewport = MakeViewport(0, 0, width, height);
    const uint64_t answer = library->CallPointer(ffgl::kInstantiateGL, viewport.Data());
    if (answer != 0 && !IsFailureAnswer(answer))
        handle = reinterpret_cast<void*>(static_cast<uintptr_t>(answer));
}

EffectInstance EffectInstance::Adopt(const PluginLibrary& library, void* handle)
{
    EffectInstance instance;
    instance.library = &library;
    instance.handle = handle;
    return instance;
}

EffectInstance::EffectInstance(EffectInstance&& other) noexcept
{
    *this = std::move(other);
}

EffectInstance& EffectInstance::operator=(EffectInstance&& other) noexcept
{
    if (this != &other) {
        Destroy();
        library = other.library;
        handle = std::exchange(other.handle, nullptr);
        frame = std::move(other.frame);
        framesFailed = other.framesFailed;
    }
    return *this;
}

uint64_t EffectInstance::Destroy()
{
    if (handle == nullptr)
        return 0;
    return library->Call(ffgl::kDeinstantiateGL, 0, std::exchange(handle, nullptr));
}

uint64_t EffectInstance::Call(uint32_t code, uint64_t input) const
{
    return library->Call(code, input, handle);
}

uint64_t EffectInstance::CallRecord(uint32_t code, const void* record) const
{
    return library->CallPointer(code, record, handle);
}

uint64_t SetParameter(const PluginLibrary& library, void* instance, uint32_t index, float value)
{
    ByteRecord<16> record;
    record.PutU32(0, index);
    record.PutF32(8, value);
    return library.CallPointer(ffgl::kSetParameter, record.Data(), instance);
}

uint64_t SetParameterText(const PluginLibrary& library, void* instance, uint32_t index, const char* text)
{
    ByteRecord<16> record;
    record.PutU32(0, index);
    record.PutPointer(8, text);
    return library.CallPointer(ffgl::kSetParameter, record.Data(), instance);
}

uint64_t EffectInstance::SetFloat(uint32_t index, float value) const
{
    return SetParameter(*library, handle, index, value);
}

uint64_t EffectInstance::SetText(uint32_t index, const char* text) const
{
    return SetParameterText(*library, handle, index, text);
}

uint64_t EffectInstance::SetFloat(const char* name, float value) const
{
    const int index = ParameterIndex(*library, name);
    return index < 0 ? kFailureCode : SetFloat(static_cast<uint32_t>(index), value);
}

float EffectInstance::GetFloat(uint32_t index) const
{
    return FloatOfBits(static_cast<uint32_t>(Call(ffgl::kGetParameter, index)));
}

uint64_t EffectInstance::SetTime(double seconds) const
{
    ByteRecord<8> time;
    time.PutF64(0, seconds);
    return CallRecord(ffgl::kSetTime, time.Data());
}

uint64_t EffectInstance::ProcessFrame()
{
    const uint64_t answer = CallRecord(ffgl::kProcessOpenGL, frame.Data());
    if (IsFailureCode(answer))
        ++framesFailed;
    return answer;
}

uint64_t EffectInstance::ProcessFrameTimed(double* milliseconds)
{
    glFinish();
    const auto start = std::chrono::steady_clock::now();
    const uint64_t answer = ProcessFrame();
    glFinish();
    *milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return answer;
}

}  // namespace hostkit
