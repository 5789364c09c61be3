// Base behaviour of the instance's virtual operations, and the parameter
// display text with its buffer.
#include "PluginInstance.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// One buffer for all instances of a host thread: the host copies the text
// before it asks again, and threads that ask at once each have their own.
thread_local char displayText[kDisplayTextBufferSize];

}  // namespace

CFFGLPlugin::CFFGLPlugin(bool supportsTopLeftOrientation) : CFFGLPluginManager(supportsTopLeftOrientation) {}

CFFGLPlugin::~CFFGLPlugin() = default;

uint32_t CFFGLPlugin::InitGL(const ViewportRecord* viewport_)
{
    if (viewport_ != nullptr)
        viewport = *viewport_;
    return kSuccess;
}

uint32_t CFFGLPlugin::DeInitGL()
{
    return kSuccess;
}

const char* CFFGLPlugin::GetParameterDisplay(uint32_t number)
{
    const uint32_t type = ParameterTypeOf(number);
    if (type == kFailure)
        return nullptr;
    CFFGLPlugin* self = selfHandle ? selfHandle : this;
    if (IsTextType(type)) {
        const MixedValue text = self->GetTextParameter(number);
        return text.bits == kFailure ? nullptr : static_cast<const char*>(text.PointerValue);
    }
    // "%f" of a huge value is longer than the buffer: cut to 15 characters so
    // the host always gets a terminated text.
    char formatted[64];
    std::snprintf(formatted, sizeof(formatted), "%f", static_cast<double>(self->GetFloatParameter(number)));
    std::memset(displayText, 0, sizeof(displayText));
    std::memcpy(displayText, formatted, std::min(std::strlen(formatted), sizeof(displayText) - 1));
    return displayText;
}

uint32_t CFFGLPlugin::SetFloatParameter(uint32_t, float)
{
    return kFailure;
}

uint32_t CFFGLPlugin::SetTextParameter(uint32_t, const char*)
{
    return kFailure;
}

float CFFGLPlugin::GetFloatParameter(uint32_t)
{
    return 0.0f;
}

MixedValue CFFGLPlugin::GetTextParameter(uint32_t)
{
    return MixedFromUInt(kFailure);
}

uint32_t CFFGLPlugin::ProcessOpenGL(const FrameInput*)
{
    return kFailure;
}

uint32_t CFFGLPlugin::SetTime(double time)
{
    hostTime = time;
    return kSuccess;
}

void CFFGLPlugin::SetBeatInfo(float tempo_, float barPhase_)
{
    tempo = tempo_;
    barPhase = barPhase_;
}

void CFFGLPlugin::SetHostInfo(const char* hostName_, const char* hostVersion_)
{
    hostName = hostName_ ? hostName_ : "";
    hostVersion = hostVersion_ ? hostVersion_ : "";
}

void CFFGLPlugin::SetSampleRate(uint32_t sampleRate_)
{
    sampleRate = sampleRate_;
}

uint32_t CFFGLPlugin::GetInputStatus(uint32_t inputIndex)
{
    // A negative maximum compares as a huge unsigned count only if we let it; it means none.
    const int32_t maxInputs = MaxInputCount();
    if (maxInputs > 0 && inputIndex < static_cast<uint32_t>(maxInputs))
        return 1;
    return kFailure;
}

const char* CFFGLPlugin::GetShortName()
{
    return nullptr;
}

uint32_t CFFGLPlugin::Connect()
{
    return kSuccess;
}

uint32_t CFFGLPlugin::Disconnect()
{
    return kSuccess;
}

uint32_t CFFGLPlugin::Resize(const ViewportRecord* viewport_)
{
    if (viewport_ == nullptr)
        return kFailure;
    viewport = *viewport_;
    return kSuccess;
}
