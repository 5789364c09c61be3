// The validator's record tests: the information records and parameter tables
// are self-consistent, and every function code from 0 to 100 answers safely.
#include "Checks.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>

#include "hostkit/FfglCodes.h"

namespace validator {

namespace {

constexpr size_t kTextLimit = 65536;

// Printable bytes, then zero bytes to the end of the field; at least one printable.
bool PrintableThenZeros(const uint8_t* bytes, size_t size)
{
    size_t length = 0;
    while (length < size && bytes[length] >= 0x20 && bytes[length] < 0x7f)
        ++length;
    if (length == 0)
        return false;
    for (size_t i = length; i < size; ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

std::string FieldText(const uint8_t* bytes, size_t size)
{
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, bytes[i] >= 0x20 && bytes[i] < 0x7f ? "%c" : "\\x%02x", bytes[i]);
        text += escaped;
    }
    return "\"" + text + "\"";
}

// A text answer that must be there, terminated and (unless allowed) non-empty.
std::string RequiredText(uint64_t answer, const std::string& what, bool mayBeEmpty = false)
{
    const char* text = AnswerText(answer);
    Require(text != nullptr, what + " is missing (answer " + Hex(answer) + ")");
    const long length = TextLength(text, kTextLimit);
    Require(length >= 0, what + " has no terminating zero within " + std::to_string(kTextLimit) + " bytes");
    Require(mayBeEmpty || length > 0, what + " is empty");
    return text;
}

// Codes whose input is a number (or nothing) in FFGL 2; every other code,
// known or not, may take a pointer and gets only 0 and a real, zeroed record.
bool TakesNumber(uint32_t code)
{
    using namespace ffgl;
    static const std::set<uint32_t> numeric = {
        kGetInfo,           kDeinitialise,       kGetNumParameters, kGetParameterName,       kGetParameterDefault,
        kGetParameterDisplay, kGetParameter,     kGetPluginCaps,    kGetExtendedInfo,        kGetParameterType,
        kGetInputStatus,    kDeinstantiateGL,    kConnect,          kDisconnect,             kGetNumParameterElements,
        kGetParameterUsage, kGetPluginShortName, kInitialiseV2,     kSetSampleRate,          kGetNumFileExtensions,
        kGetParameterVisibility, kGetNumElementSeparators, kEnablePluginCap};
    return numeric.count(code) == 1;
}

bool AnswersText(uint32_t code)
{
    return code == ffgl::kGetParameterName || code == ffgl::kGetParameterDisplay ||
           code == ffgl::kGetPluginShortName || code == ffgl::kGetParameterElementName ||
           code == ffgl::kGetFileExtension;
}

// A 64-byte zeroed record with a guard behind it that must stay as it was.
struct GuardedRecord {
    static constexpr size_t kSize = 64;
    static constexpr uint8_t kGuard = 0xA5;
    alignas(16) uint8_t bytes[kSize * 2];

    void Reset()
    {
        std::memset(bytes, 0, kSize);
        std::memset(bytes + kSize, kGuard, kSize);
    }
    bool GuardIntact() const
    {
        for (size_t i = kSize; i < 2 * kSize; ++i)
            if (bytes[i] != kGuard)
                return false;
        return true;
    }
};

void SweepCodes(Session& session, void* instance, GuardedRecord& record)
{
    const std::string with = instance ? "with the live instance" : "with no instance";
    for (uint32_t code = 0; code <= 100; ++code) {
        // Destroying the live instance waits for the end.
        if (code == ffgl::kDeinstantiateGL && instance != nullptr)
            continue;
        std::vector<std::pair<uint64_t, std::string>> inputs = {{0, "input 0"}};
        if (TakesNumber(code)) {
            inputs.push_back({1, "input 1"});
            inputs.push_back({16, "input 16"});
            inputs.push_back({0xFFFFFFFFu, "input 0xffffffff"});
        }
        inputs.push_back({reinterpret_cast<uintptr_t>(record.bytes), "a zeroed 64-byte record"});
        for (const auto& [input, inputName] : inputs) {
            const std::string call = "code " + std::to_string(code) + " " + with + ", " + inputName;
            record.Reset();
            session.report.Step(call);
            const uint64_t answer = session.Call(code, input, instance);
            Require(record.GuardIntact(), call + " wrote beyond the 64-byte record");
            if (code == ffgl::kInstantiateGL) {
                // A made instance is the host's to destroy.
                if (answer != 0 && !IsFailureCode(answer)) {
                    session.report.Step("code 19 for the instance that " + call + " made");
                    hostkit::EffectInstance made = hostkit::EffectInstance::Adopt(
                        session.library, reinterpret_cast<void*>(static_cast<uintptr_t>(answer)));
                    session.Destroy(made);
                }
                continue;
            }
            if (AnswersText(code)) {
                if (const char* text = AnswerText(answer)) {
                    session.report.Step("reading the text that " + call + " answered");
                    Require(TextLength(text, kTextLimit) >= 0, call + " answered an unterminated text");
                }
            }
        }
    }
}

// Code 0: interface version 2, a printable code and name, effect or source.
void CheckInfoRecord(Session& session)
{
    session.report.Step("code 0 (information record)");
    const uint64_t infoAnswer = session.Call(ffgl::kGetInfo);
    Require(AnswerText(infoAnswer) != nullptr, "code 0 answered " + Hex(infoAnswer) + " instead of a record");
    hostkit::ByteRecord<32> info;
    std::memcpy(info.bytes, AnswerText(infoAnswer), 32);
    Require(info.U32(0) == 2, "the information record names interface version " + std::to_string(info.U32(0)) +
                                  "." + std::to_string(info.U32(4)) + ", not 2.x");
    Require(PrintableThenZeros(info.bytes + 8, 4),
            "the plug-in code is not printable characters then zero bytes: " + FieldText(info.bytes + 8, 4));
    Require(PrintableThenZeros(info.bytes + 12, 16),
            "the plug-in name is not printable characters then zero bytes: " + FieldText(info.bytes + 12, 16));
    const uint32_t type = info.U32(28);
    Require(type == ffgl::kPluginTypeEffect || type == ffgl::kPluginTypeSource,
            "plug-in type " + std::to_string(type) + " is neither 0 (effect) nor 1 (source)");
}

// Code 13: a record whose two texts are terminated.
void CheckExtendedInfoRecord(Session& session)
{
    session.report.Step("code 13 (extended information record)");
    const uint64_t extendedAnswer = session.Call(ffgl::kGetExtendedInfo);
    Require(AnswerText(extendedAnswer) != nullptr,
            "code 13 answered " + Hex(extendedAnswer) + " instead of a record");
    hostkit::ByteRecord<40> extended;
    std::memcpy(extended.bytes, AnswerText(extendedAnswer), 40);
    session.report.Step("reading the description text of code 13");
    RequiredText(extended.U64(8), "the description of code 13", true);
    session.report.Step("reading the about text of code 13");
    RequiredText(extended.U64(16), "the about text of code 13", true);
}

// Code 41 of a numeric parameter: a finite range that holds a standard parameter's default.
void CheckRange(Session& session, uint32_t index, const std::string& named, uint32_t type, float defaultValue)
{
    session.report.Step("code 41 (range) of " + named);
    hostkit::ByteRecord<12> range = hostkit::MakeRange(index, -12345.0f, -12345.0f);
    const uint64_t rangeAnswer = session.library.CallPointer(ffgl::kGetRange, range.Data());
    Require(static_cast<uint32_t>(rangeAnswer) == 0, "code 41 answered " + Hex(rangeAnswer) + " for " + named);
    const float minimum = range.F32(4), maximum = range.F32(8);
    Require(std::isfinite(minimum) && std::isfinite(maximum) && minimum <= maximum,
            "the range of " + named + " is " + FloatText(minimum) + " to " + FloatText(maximum));
    if (type != ffgl::kParameterStandard)
        return;
    Require(defaultValue >= 0.0f && defaultValue <= 1.0f,
            "the default " + FloatText(defaultValue) + " of the standard " + named + " is outside 0 to 1");
    Require(defaultValue >= minimum && defaultValue <= maximum,
            "the default " + FloatText(defaultValue) + " of " + named + " is outside its range " +
                FloatText(minimum) + " to " + FloatText(maximum));
}

// Codes 31, 35 and 36: at least one element; an option's elements are named
// and valued, and its default is one of them.
void CheckElements(Session& session, uint32_t index, const std::string& named, uint32_t type, float defaultValue)
{
    session.report.Step("code 31 (element count) of " + named);
    const uint32_t elements = static_cast<uint32_t>(session.Call(ffgl::kGetNumParameterElements, index));
    Require(elements != hostkit::kFailureCode && elements >= 1,
            named + " has an element count of " + Hex(elements) + " (code 31), not at least 1");
    Require(elements <= 65536, named + " claims " + std::to_string(elements) + " elements");
    if (type != ffgl::kParameterOption)
        return;
    bool defaultIsElement = false;
    for (uint32_t e = 0; e < elements; ++e) {
        const std::string element = "element " + std::to_string(e) + " of " + named;
        const hostkit::ByteRecord<8> pair = hostkit::MakeIndexPair(index, e);
        session.report.Step("code 35 (element name) of " + element);
        RequiredText(session.library.CallPointer(ffgl::kGetParameterElementName, pair.Data()),
                     "the name of " + element);
        session.report.Step("code 36 (element value) of " + element);
        const uint64_t value = session.library.CallPointer(ffgl::kGetParameterElementValue, pair.Data());
        Require(!IsFailureCode(value), "code 36 answered the failure code for " + element);
        defaultIsElement = defaultIsElement || hostkit::FloatOfBits(static_cast<uint32_t>(value)) == defaultValue;
    }
    Require(defaultIsElement, "the default " + FloatText(defaultValue) + " of the option " + named +
                                  " is none of its element values");
}

// One parameter's name, type, default, range and elements; returns its type.
uint32_t CheckParameter(Session& session, uint32_t index)
{
    static const std::set<uint32_t> knownTypes = {
        ffgl::kParameterBoolean, ffgl::kParameterEvent,    ffgl::kParameterRed,        ffgl::kParameterGreen,
        ffgl::kParameterBlue,    ffgl::kParameterXPosition, ffgl::kParameterYPosition, ffgl::kParameterStandard,
        ffgl::kParameterOption,  ffgl::kParameterBuffer,   ffgl::kParameterInteger,    ffgl::kParameterFile,
        ffgl::kParameterHue,     ffgl::kParameterSaturation, ffgl::kParameterBrightness, ffgl::kParameterAlpha,
        ffgl::kParameterText};
    const std::string parameter = "parameter " + std::to_string(index);
    session.report.Step("code 5 (name) of " + parameter);
    const std::string name = RequiredText(session.Call(ffgl::kGetParameterName, index), "the name of " + parameter);
    const std::string named = parameter + " (" + Printable(name.c_str()) + ")";
    session.report.Step("code 15 (type) of " + named);
    const uint32_t type = static_cast<uint32_t>(session.Call(ffgl::kGetParameterType, index));
    Require(knownTypes.count(type) == 1, named + " has the unknown type " + Hex(type));

    session.report.Step("code 6 (default) of " + named);
    const uint64_t defaultAnswer = session.Call(ffgl::kGetParameterDefault, index);
    if (hostsupport::IsTextType(type)) {
        if (const char* text = AnswerText(defaultAnswer))
            Require(TextLength(text, kTextLimit) >= 0, "the default text of " + named + " is not terminated");
    } else {
        Require(!IsFailureCode(defaultAnswer), "code 6 answered the failure code for " + named);
        const float defaultValue = hostkit::FloatOfBits(static_cast<uint32_t>(defaultAnswer));
        CheckRange(session, index, named, type, defaultValue);
        CheckElements(session, index, named, type, defaultValue);
        return type;
    }
    CheckElements(session, index, named, type, 0.0f);
    return type;
}

// Code 7 on a live instance: every numeric parameter's display text fits 16 bytes.
void CheckDisplayTexts(Session& session, const std::vector<uint32_t>& types)
{
    session.report.Step("code 18 for the display texts");
    hostkit::EffectInstance instance = session.Create(64, 64);
    for (uint32_t i = 0; i < types.size(); ++i) {
        const std::string parameter = "parameter " + std::to_string(i);
        session.report.Step("code 7 (display text) of " + parameter);
        const uint64_t answer = instance.Call(ffgl::kGetParameterDisplay, i);
        if (hostsupport::IsTextType(types[i])) {
            if (const char* text = AnswerText(answer))
                Require(TextLength(text, kTextLimit) >= 0, "the display text of " + parameter + " is not terminated");
            continue;
        }
        const char* text = AnswerText(answer);
        Require(text != nullptr, "code 7 gave no display text for " + parameter);
        Require(TextLength(text, 16) >= 0,
                "the display text of " + parameter + " is not terminated within 16 bytes: " + Printable(text, 16));
    }
    session.Destroy(instance);
}

}  // namespace

std::string InfoRecords(Session& session)
{
    CheckInfoRecord(session);
    CheckExtendedInfoRecord(session);
    session.report.Step("code 4 (parameter count)");
    const uint32_t count = static_cast<uint32_t>(session.Call(ffgl::kGetNumParameters));
    Require(count != hostkit::kFailureCode, "code 4 answered the failure code");
    Require(count <= 4096, "code 4 claims " + std::to_string(count) + " parameters");
    std::vector<uint32_t> types(count);
    for (uint32_t i = 0; i < count; ++i)
        types[i] = CheckParameter(session, i);
    CheckDisplayTexts(session, types);
    return std::to_string(count) + " parameters";
}

std::string FunctionCodes(Session& session)
{
    GuardedRecord record;
    SweepCodes(session, nullptr, record);
    session.report.Step("code 18 for the live instance");
    hostkit::EffectInstance instance = session.Create(64, 64);
    FrameRig rig(TestImage(64, 64, 3));
    // A working instance, connected and with a frame behind it, gets every code.
    session.report.Step("a 64x64 frame on the live instance before the sweep");
    rig.ProcessOrFail(session, instance, "a 64x64 frame before the sweep");
    SweepCodes(session, instance.Handle(), record);

    // Whatever the sweep did to it, the instance must still work.
    session.report.Step("a 64x64 frame on the live instance after the sweep");
    rig.ProcessOrFail(session, instance, "a 64x64 frame after every code was sent");
    session.report.Step("code 19 for the live instance at the end");
    session.Destroy(instance);
    return "codes 0 to 100, without and with an instance";
}

}  // namespace validator
