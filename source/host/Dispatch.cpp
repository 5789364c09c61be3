// plugMain: decodes the host's function code, finds or makes the object that
// answers it, and turns the answer into the host's result convention. Nothing
// thrown inside may reach the host.
#include "Dispatch.h"

#include <atomic>
#include <new>

#include "GlLoader.h"
#include "HostRecords.h"
#include "PluginInfo.h"
#include "PluginInstance.h"

namespace {

// Hosts that render on several threads may ask for it from each at once.
std::atomic<CFFGLPlugin*> prototype{nullptr};

MixedValue Failure()
{
    return MixedFromUInt(kFailure);
}

CFFGLPlugin* MakeInstance(const CFFGLPluginInfo& registration)
{
    CFFGLPlugin* instance = nullptr;
    const uint32_t result = registration.GetFactory()(&instance);
    if (result == kFailure || instance == nullptr) {
        // A factory that failed but still handed over an object must not leak it.
        delete instance;
        return nullptr;
    }
    return instance;
}

// With made, also the prototype it found or made (null on failure).
uint32_t InitialiseStep(CFFGLPlugin** made = nullptr)
{
    const CFFGLPluginInfo* registration = RegisteredPlugin();
    if (registration == nullptr)
        return kFailure;
    if (PluginInitialiseCallback initialise = registration->GetInitialiseCallback()) {
        const uint32_t result = initialise();
        if (result != 0)
            return result;
    }
    CFFGLPlugin* existing = prototype.load(std::memory_order_acquire);
    if (existing == nullptr) {
        // Threads that find none make one each, outside any lock (its
        // constructor calls the host's log function, which may call back);
        // the first one published is everyone's, the others are let go.
        CFFGLPlugin* candidate = MakeInstance(*registration);
        if (candidate == nullptr)
            return kFailure;
        if (prototype.compare_exchange_strong(existing, candidate, std::memory_order_acq_rel))
            existing = candidate;
        else
            delete candidate;
    }
    if (made != nullptr)
        *made = existing;
    return kSuccess;
}

uint32_t Deinitialise()
{
    const CFFGLPluginInfo* registration = RegisteredPlugin();
    if (registration == nullptr)
        return kFailure;
    delete prototype.exchange(nullptr, std::memory_order_acq_rel);
    if (PluginDeinitialiseCallback deinitialise = registration->GetDeinitialiseCallback())
        deinitialise();
    return kSuccess;
}

MixedValue CreateInstance(const ViewportRecord* viewport)
{
    const CFFGLPluginInfo* registration = RegisteredPlugin();
    if (registration == nullptr || viewport == nullptr)
        return Failure();
    CFFGLPlugin* source = EnsurePrototype();
    if (source == nullptr)
        return Failure();
    CFFGLPlugin* instance = MakeInstance(*registration);
    if (instance == nullptr)
        return Failure();
    instance->selfHandle = instance;

    try {
        const uint32_t count = source->ParameterCount();
        for (uint32_t i = 0; i < count; ++i) {
            const MixedValue defaultValue = source->ParameterDefault(i);
            const uint32_t result =
                IsTextType(source->ParameterTypeOf(i))
                    ? instance->SetTextParameter(i, static_cast<const char*>(defaultValue.PointerValue))
                    : instance->SetFloatParameter(i, FloatFromBits(defaultValue.UIntValue));
            if (result == kFailure) {
                delete instance;
                return Failure();
            }
        }
        if (!EnsureGlLoader()) {
            delete instance;
            return Failure();
        }
        if (instance->InitGL(viewport) != kSuccess) {
            instance->DeInitGL();
            delete instance;
            return Failure();
        }
    } catch (...) {
        // GL objects may already exist; the context is current, so release them.
        instance->DeInitGL();
        delete instance;
        return Failure();
    }
    return MixedFromPointer(instance);
}

uint32_t DestroyInstance(CFFGLPlugin* instance)
{
    if (instance->connected) {
        instance->Disconnect();
        instance->connected = false;
    }
    instance->DeInitGL();
    delete instance;
    return kSuccess;
}

uint32_t Capability(uint32_t capability)
{
    CFFGLPlugin* source = EnsurePrototype();
    if (source == nullptr)
        return kFailure;
    switch (capability) {
    case Capability::SetTime:
        return source->TimeSupported() ? kTrue : kFalse;
    case Capability::MinimumInputs:
        return source->MinInputCount() < 0 ? 0 : static_cast<uint32_t>(source->MinInputCount());
    case Capability::MaximumInputs:
        return source->MaxInputCount() < 0 ? 0 : static_cast<uint32_t>(source->MaxInputCount());
    case Capability::TopLeftTextureOrientation:
        return source->TopLeftOrientationSupported() ? kTrue : kFalse;
    default:
        return kFalse;
    }
}

// The type decides between the text and float operations; it is read from the
// prototype, and an unknown number (or no prototype) counts as numeric.
bool PrototypeSaysText(uint32_t number)
{
    CFFGLPlugin* source = EnsurePrototype();
    return source != nullptr && IsTextType(source->ParameterTypeOf(number));
}

uint32_t SetParameter(CFFGLPlugin* instance, const ParameterValueRecord* record)
{
    if (record == nullptr)
        return kFailure;
    if (PrototypeSaysText(record->parameterNumber)) {
        if (record->textValue == nullptr)
            return kFailure;
        return instance->SetTextParameter(record->parameterNumber, record->textValue);
    }
    return instance->SetFloatParameter(record->parameterNumber, record->floatValue);
}

MixedValue GetParameter(CFFGLPlugin* instance, uint32_t number)
{
    if (PrototypeSaysText(number))
        return instance->GetTextParameter(number);
    return MixedFromUInt(FloatBits(instance->GetFloatParameter(number)));
}

uint32_t ProcessFrame(CFFGLPlugin* instance, const FrameInput* frame)
{
    if (frame == nullptr)
        return kFailure;
    if (!instance->connected) {
        instance->Connect();
        instance->connected = true;
    }
    return instance->ProcessOpenGL(frame);
}

// The codes the plug-in answers as a whole, with or without an instance;
// false when the code is not one of them.
bool DispatchGlobal(uint32_t code, MixedValue input, MixedValue* answer)
{
    switch (code) {
    case FunctionCode::GetInfo: {
        const CFFGLPluginInfo* registration = RegisteredPlugin();
        *answer = MixedFromPointer(registration ? registration->GetPluginInfo() : nullptr);
        return true;
    }
    case FunctionCode::GetExtendedInfo: {
        const CFFGLPluginInfo* registration = RegisteredPlugin();
        *answer = MixedFromPointer(registration ? registration->GetPluginExtendedInfo() : nullptr);
        return true;
    }
    case FunctionCode::Deinitialise:
        *answer = MixedFromUInt(Deinitialise());
        return true;
    case FunctionCode::InitialiseV2:
        *answer = MixedFromUInt(InitialiseStep());
        return true;
    case FunctionCode::GetNumParameters: {
        CFFGLPlugin* source = EnsurePrototype();
        *answer = MixedFromUInt(source ? source->ParameterCount() : kFailure);
        return true;
    }
    case FunctionCode::GetParameterName: {
        CFFGLPlugin* source = EnsurePrototype();
        *answer = MixedFromPointer(source ? source->ParameterName(input.UIntValue) : nullptr);
        return true;
    }
    case FunctionCode::GetParameterDefault: {
        CFFGLPlugin* source = EnsurePrototype();
        *answer = source ? source->ParameterDefault(input.UIntValue) : Failure();
        return true;
    }
    case FunctionCode::GetParameterType: {
        CFFGLPlugin* source = EnsurePrototype();
        *answer = MixedFromUInt(source ? source->ParameterTypeOf(input.UIntValue) : kFailure);
        return true;
    }
    case FunctionCode::GetPluginCaps:
        *answer = MixedFromUInt(Capability(input.UIntValue));
        return true;
    case FunctionCode::InstantiateGL:
        *answer = CreateInstance(static_cast<const ViewportRecord*>(input.PointerValue));
        return true;
    case FunctionCode::GetThumbnail:
        *answer = DispatchThumbnail(input);
        return true;
    default:
        return false;
    }
}

// The codes that address one live instance.
MixedValue DispatchInstance(uint32_t code, MixedValue input, CFFGLPlugin& instance)
{
    switch (code) {
    case FunctionCode::GetParameterDisplay:
        return MixedFromPointer(instance.GetParameterDisplay(input.UIntValue));
    case FunctionCode::SetParameter:
        return MixedFromUInt(SetParameter(&instance, static_cast<const ParameterValueRecord*>(input.PointerValue)));
    case FunctionCode::GetParameter:
        return GetParameter(&instance, input.UIntValue);
    case FunctionCode::GetInputStatus:
        return MixedFromUInt(instance.GetInputStatus(input.UIntValue));
    case FunctionCode::ProcessOpenGL:
        return MixedFromUInt(ProcessFrame(&instance, static_cast<const FrameInput*>(input.PointerValue)));
    case FunctionCode::DeinstantiateGL:
        return MixedFromUInt(DestroyInstance(&instance));
    case FunctionCode::SetTime: {
        const auto* time = static_cast<const double*>(input.PointerValue);
        return MixedFromUInt(time ? instance.SetTime(*time) : kFailure);
    }
    case FunctionCode::Connect: {
        const uint32_t result = instance.Connect();
        if (result == kSuccess)
            instance.connected = true;
        return MixedFromUInt(result);
    }
    case FunctionCode::Disconnect: {
        const uint32_t result = instance.Disconnect();
        if (result == kSuccess)
            instance.connected = false;
        return MixedFromUInt(result);
    }
    case FunctionCode::Resize: {
        const auto* viewport = static_cast<const ViewportRecord*>(input.PointerValue);
        return MixedFromUInt(viewport ? instance.Resize(viewport) : kFailure);
    }
    default:
        return Failure();
    }
}

MixedValue Dispatch(uint32_t code, MixedValue input, CFFGLPlugin* instance)
{
    MixedValue answer;
    if (DispatchGlobal(code, input, &answer))
        return answer;
    if (IsParameterDetailCode(code))
        return DispatchParameterDetail(code, input, instance);
    return instance != nullptr ? DispatchInstance(code, input, *instance) : Failure();
}

// Codes whose answer is a pointer report trouble as 0, all others as the failure code.
bool AnswersPointer(uint32_t code)
{
    switch (code) {
    case FunctionCode::GetInfo:
    case FunctionCode::GetExtendedInfo:
    case FunctionCode::GetParameterName:
    case FunctionCode::GetParameterDisplay:
    case FunctionCode::GetPluginShortName:
    case FunctionCode::GetParameterElementName:
    case FunctionCode::GetFileExtension:
        return true;
    default:
        return false;
    }
}

}  // namespace

CFFGLPlugin* EnsurePrototype()
{
    CFFGLPlugin* made = nullptr;
    return InitialiseStep(&made) == kSuccess ? made : nullptr;
}

ZAO_EXPORT MixedValue plugMain(uint32_t functionCode, MixedValue inputValue, InstanceHandle instanceHandle)
{
    try {
        return Dispatch(functionCode, inputValue, static_cast<CFFGLPlugin*>(instanceHandle));
    } catch (...) {
        return AnswersPointer(functionCode) ? MixedFromPointer(nullptr) : Failure();
    }
}
