// The finer parameter questions (elements, ranges, visibility, events, names)
// and the host's notifications (tempo, host information, sample rate). Every
// answer comes from a registry or the instance base; nothing is kept here.
#include <algorithm>
#include <cstring>
#include <string>

#include "Dispatch.h"
#include "HostRecords.h"
#include "PluginInstance.h"

namespace {

MixedValue Failure()
{
    return MixedFromUInt(kFailure);
}

// How each code finds the object that answers it.
enum class Source { Instance, Prototype, InstanceOrPrototype };

Source SourceOf(uint32_t code)
{
    switch (code) {
    case FunctionCode::GetNumParameterElements:
    case FunctionCode::GetParameterElementName:
    case FunctionCode::GetParameterElementValue:
    case FunctionCode::GetParameterVisibility:
        return Source::InstanceOrPrototype;
    case FunctionCode::GetParameterUsage:
    case FunctionCode::GetPluginShortName:
    case FunctionCode::GetRange:
    case FunctionCode::GetNumFileExtensions:
    case FunctionCode::GetFileExtension:
    case FunctionCode::GetNumElementSeparators:
    case FunctionCode::GetElementSeparator:
    case FunctionCode::GetParameterGroup:
        return Source::Prototype;
    default:
        return Source::Instance;
    }
}

// The answer when the code's object is missing: no instance handle, or no prototype.
MixedValue Unanswerable(uint32_t code)
{
    switch (code) {
    case FunctionCode::GetPluginShortName:
    case FunctionCode::GetParameterElementName:
    case FunctionCode::GetFileExtension:
    case FunctionCode::GetNumElementSeparators:
        return MixedFromUInt(0);
    default:
        return Failure();
    }
}

// Copies at most the buffer's size, without a terminator: the host cleared its buffer.
uint32_t CopyTextOut(const TextQueryRecord* query, const std::string& text)
{
    if (query == nullptr || query->bufferSize == 0 || query->buffer == nullptr)
        return kFailure;
    const size_t count = std::min<size_t>(text.size(), query->bufferSize);
    if (count != 0)
        std::memcpy(query->buffer, text.data(), count);
    return kSuccess;
}

uint32_t ParameterEvents(CFFGLPlugin& instance, EventsRecord* record)
{
    if (record == nullptr)
        return kFailure;
    if (record->events == nullptr) {
        record->count = instance.PendingEventCount();
        return kSuccess;
    }
    EventEntry* events = record->events;
    record->count = instance.HarvestEvents(record->count, [events](uint32_t slot, uint32_t number, uint64_t flags) {
        events[slot].parameterNumber = number;
        events[slot].eventFlags = flags;
    });
    return kSuccess;
}

MixedValue AnswerSetElementValue(CFFGLPlugin& target, const ElementValueRecord* record)
{
    if (record == nullptr)
        return Failure();
    return MixedFromUInt(target.SetElementValue(record->parameterNumber, record->elementNumber, record->value));
}

MixedValue AnswerSetBeatInfo(CFFGLPlugin& target, const BeatRecord* record)
{
    if (record == nullptr)
        return Failure();
    target.SetBeatInfo(record->tempo, record->barPhase);
    return MixedFromUInt(kSuccess);
}

MixedValue AnswerSetHostInfo(CFFGLPlugin& target, const HostInfoRecord* record)
{
    if (record == nullptr)
        return Failure();
    // A missing text is an empty one, whatever the effect's own SetHostInfo does with null.
    target.SetHostInfo(record->hostName ? record->hostName : "", record->hostVersion ? record->hostVersion : "");
    return MixedFromUInt(kSuccess);
}

MixedValue AnswerGetRange(const CFFGLPlugin& target, RangeRecord* record)
{
    if (record == nullptr)
        return Failure();
    const ParameterRange range = target.ParameterRangeOf(record->parameterNumber);
    record->minimum = range.minimum;
    record->maximum = range.maximum;
    return MixedFromUInt(kSuccess);
}

// Support is a fact of the plug-in, read from the prototype; the switch belongs to the instance.
MixedValue AnswerEnableCapability(CFFGLPlugin& target, const CFFGLPlugin& prototype, uint32_t capability)
{
    if (capability != Capability::TopLeftTextureOrientation || !prototype.TopLeftOrientationSupported())
        return Failure();
    target.EnableTopLeftOrientation();
    return MixedFromUInt(kSuccess);
}

MixedValue Answer(uint32_t code, MixedValue input, CFFGLPlugin& target, CFFGLPlugin* prototype)
{
    const uint32_t number = input.UIntValue;
    const auto* pair = static_cast<const IndexPairRecord*>(input.PointerValue);
    switch (code) {
    case FunctionCode::GetNumParameterElements:
        return MixedFromUInt(target.ElementCount(number));
    case FunctionCode::GetParameterUsage:
        return MixedFromUInt(target.ParameterUsage(number));
    case FunctionCode::GetPluginShortName:
        return MixedFromPointer(target.GetShortName());
    case FunctionCode::GetParameterElementName:
        return MixedFromPointer(pair ? target.ElementName(pair->parameterNumber, pair->index) : nullptr);
    case FunctionCode::GetParameterElementValue:
        return MixedFromUInt(pair ? target.ElementValueBits(pair->parameterNumber, pair->index) : kFailure);
    case FunctionCode::SetParameterElementValue:
        return AnswerSetElementValue(target, static_cast<const ElementValueRecord*>(input.PointerValue));
    case FunctionCode::SetBeatInfo:
        return AnswerSetBeatInfo(target, static_cast<const BeatRecord*>(input.PointerValue));
    case FunctionCode::SetHostInfo:
        return AnswerSetHostInfo(target, static_cast<const HostInfoRecord*>(input.PointerValue));
    case FunctionCode::SetSampleRate:
        target.SetSampleRate(number);
        return MixedFromUInt(kSuccess);
    case FunctionCode::GetRange:
        return AnswerGetRange(target, static_cast<RangeRecord*>(input.PointerValue));
    case FunctionCode::GetNumFileExtensions:
        return MixedFromUInt(target.FileExtensionCount(number));
    case FunctionCode::GetFileExtension:
        return MixedFromPointer(pair ? target.FileExtension(pair->parameterNumber, pair->index) : nullptr);
    case FunctionCode::GetParameterVisibility:
        return MixedFromUInt(target.ParameterVisible(number));
    case FunctionCode::GetParameterEvents:
        return MixedFromUInt(ParameterEvents(target, static_cast<EventsRecord*>(input.PointerValue)));
    case FunctionCode::GetNumElementSeparators:
        return MixedFromUInt(target.SeparatorCount(number));
    case FunctionCode::GetElementSeparator:
        return MixedFromUInt(pair ? target.Separator(pair->parameterNumber, pair->index) : kFailure);
    case FunctionCode::EnablePluginCap:
        return AnswerEnableCapability(target, *prototype, number);
    case FunctionCode::GetParameterGroup: {
        const auto* query = static_cast<const TextQueryRecord*>(input.PointerValue);
        return MixedFromUInt(CopyTextOut(query, query ? target.GroupName(query->parameterNumber) : std::string()));
    }
    case FunctionCode::GetParameterDisplayName: {
        const auto* query = static_cast<const TextQueryRecord*>(input.PointerValue);
        return MixedFromUInt(CopyTextOut(query, query ? target.DisplayName(query->parameterNumber) : std::string()));
    }
    default:
        return Failure();
    }
}

}  // namespace

bool IsParameterDetailCode(uint32_t code)
{
    using namespace FunctionCode;
    return (code >= GetNumParameterElements && code <= GetPluginShortName) ||
           (code >= GetParameterElementName && code <= GetRange) ||
           (code >= GetNumFileExtensions && code <= GetParameterDisplayName);
}

MixedValue DispatchParameterDetail(uint32_t code, MixedValue input, CFFGLPlugin* instance)
{
    const Source source = SourceOf(code);
    CFFGLPlugin* target = nullptr;
    if (source == Source::Prototype || (source == Source::InstanceOrPrototype && instance == nullptr)) {
        target = EnsurePrototype();
    } else {
        target = instance;
    }
    if (target == nullptr)
        return Unanswerable(code);
    CFFGLPlugin* prototype = nullptr;
    if (code == FunctionCode::EnablePluginCap) {
        prototype = EnsurePrototype();
        if (prototype == nullptr)
            return Failure();
    }
    return Answer(code, input, *target, prototype);
}
