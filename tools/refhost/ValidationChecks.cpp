// The validator's tests, as they run inside their child process: records and
// tables, every function code, create/destroy cycles, GL objects left behind,
// parameter storms, frame sizes, resizes, many instances and careless host state.
#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <set>

#include "hostkit/FfglCodes.h"
#include "GlSession.h"
#include "HostError.h"
#include "Validation.h"
#include "ValidationHarness.h"
#include "ValidationKeptState.h"

namespace refhost {

namespace {

using namespace validation;
using hostkit::ByteRecord;

constexpr uint32_t kCycles = 1000;
constexpr size_t kTextLimit = 65536;

std::string Size(uint32_t width, uint32_t height)
{
    return std::to_string(width) + "x" + std::to_string(height);
}

bool IsTextType(uint32_t type)
{
    return type == kTypeText || type == kTypeFile;
}

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

// ---------------------------------------------------------------- info-records

std::string InfoRecords(Session& session)
{
    const Reporter& report = session.report;
    report.Step("code 0 (information record)");
    const uint64_t infoAnswer = session.Call(ffgl::kGetInfo);
    Require(AnswerText(infoAnswer) != nullptr, "code 0 answered " + Hex(infoAnswer) + " instead of a record");
    ByteRecord<32> info;
    std::memcpy(info.bytes, AnswerText(infoAnswer), 32);
    Require(info.U32(0) == 2, "the information record names interface version " + std::to_string(info.U32(0)) +
                                  "." + std::to_string(info.U32(4)) + ", not 2.x");
    Require(PrintableThenZeros(info.bytes + 8, 4),
            "the plug-in code is not printable characters then zero bytes: " + FieldText(info.bytes + 8, 4));
    Require(PrintableThenZeros(info.bytes + 12, 16),
            "the plug-in name is not printable characters then zero bytes: " + FieldText(info.bytes + 12, 16));
    const uint32_t type = info.U32(28);
    Require(type == 0 || type == 1, "plug-in type " + std::to_string(type) + " is neither 0 (effect) nor 1 (source)");

    report.Step("code 13 (extended information record)");
    const uint64_t extendedAnswer = session.Call(ffgl::kGetExtendedInfo);
    Require(AnswerText(extendedAnswer) != nullptr,
            "code 13 answered " + Hex(extendedAnswer) + " instead of a record");
    ByteRecord<40> extended;
    std::memcpy(extended.bytes, AnswerText(extendedAnswer), 40);
    report.Step("reading the description text of code 13");
    RequiredText(extended.U64(8), "the description of code 13", true);
    report.Step("reading the about text of code 13");
    RequiredText(extended.U64(16), "the about text of code 13", true);

    report.Step("code 4 (parameter count)");
    const uint32_t count = static_cast<uint32_t>(session.Call(ffgl::kGetParameterCount));
    Require(count != hostkit::kFailureCode, "code 4 answered the failure code");
    Require(count <= 4096, "code 4 claims " + std::to_string(count) + " parameters");

    static const std::set<uint32_t> knownTypes = {0, 1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 14, 15, 16, 17, 18, 100};
    std::vector<uint32_t> types(count);
    for (uint32_t i = 0; i < count; ++i) {
        const std::string parameter = "parameter " + std::to_string(i);
        report.Step("code 5 (name) of " + parameter);
        const std::string name = RequiredText(session.Call(ffgl::kGetParameterName, i), "the name of " + parameter);
        const std::string named = parameter + " (" + Printable(name.c_str()) + ")";
        report.Step("code 15 (type) of " + named);
        const uint32_t type = static_cast<uint32_t>(session.Call(ffgl::kGetParameterType, i));
        types[i] = type;
        Require(knownTypes.count(type) == 1, named + " has the unknown type " + Hex(type));

        report.Step("code 6 (default) of " + named);
        const uint64_t defaultAnswer = session.Call(ffgl::kGetParameterDefault, i);
        float defaultValue = 0;
        if (IsTextType(type)) {
            if (const char* text = AnswerText(defaultAnswer))
                Require(TextLength(text, kTextLimit) >= 0, "the default text of " + named + " is not terminated");
        } else {
            Require(!IsFailureCode(defaultAnswer), "code 6 answered the failure code for " + named);
            defaultValue = hostkit::FloatOfBits(static_cast<uint32_t>(defaultAnswer));
        }

        if (!IsTextType(type)) {
            report.Step("code 41 (range) of " + named);
            ByteRecord<12> range;
            range.PutU32(0, i);
            range.PutF32(4, -12345.0f);
            range.PutF32(8, -12345.0f);
            const uint64_t rangeAnswer = session.library.CallPointer(ffgl::kGetRange, range.Data());
            Require(static_cast<uint32_t>(rangeAnswer) == 0,
                    "code 41 answered " + Hex(rangeAnswer) + " for " + named);
            const float minimum = range.F32(4), maximum = range.F32(8);
            Require(std::isfinite(minimum) && std::isfinite(maximum) && minimum <= maximum,
                    "the range of " + named + " is " + FloatText(minimum) + " to " + FloatText(maximum));
            if (type == 10) {
                Require(defaultValue >= 0.0f && defaultValue <= 1.0f,
                        "the default " + FloatText(defaultValue) + " of the standard " + named + " is outside 0 to 1");
                Require(defaultValue >= minimum && defaultValue <= maximum,
                        "the default " + FloatText(defaultValue) + " of " + named + " is outside its range " +
                            FloatText(minimum) + " to " + FloatText(maximum));
            }
        }

        report.Step("code 31 (element count) of " + named);
        const uint32_t elements = static_cast<uint32_t>(session.Call(ffgl::kGetElementCount, i));
        Require(elements != hostkit::kFailureCode && elements >= 1,
                named + " has an element count of " + Hex(elements) + " (code 31), not at least 1");
        Require(elements <= 65536, named + " claims " + std::to_string(elements) + " elements");
        if (type == kTypeOption) {
            bool defaultIsElement = false;
            for (uint32_t e = 0; e < elements; ++e) {
                const std::string element = "element " + std::to_string(e) + " of " + named;
                ByteRecord<8> pair;
                pair.PutU32(0, i);
                pair.PutU32(4, e);
                report.Step("code 35 (element name) of " + element);
                RequiredText(session.library.CallPointer(ffgl::kGetElementName, pair.Data()), "the name of " + element);
                report.Step("code 36 (element value) of " + element);
                const uint64_t value = session.library.CallPointer(ffgl::kGetElementValue, pair.Data());
                Require(!IsFailureCode(value), "code 36 answered the failure code for " + element);
                const float elementValue = hostkit::FloatOfBits(static_cast<uint32_t>(value));
                defaultIsElement = defaultIsElement || elementValue == defaultValue;
            }
            Require(defaultIsElement, "the default " + FloatText(defaultValue) + " of the option " + named +
                                          " is none of its element values");
        }
    }

    report.Step("code 18 for the display texts");
    InstanceGuard instance(session, session.Create(64, 64));
    for (uint32_t i = 0; i < count; ++i) {
        const std::string parameter = "parameter " + std::to_string(i);
        report.Step("code 7 (display text) of " + parameter);
        const uint64_t answer = session.Call(ffgl::kGetParameterDisplay, i, instance.Get());
        if (IsTextType(types[i])) {
            if (const char* text = AnswerText(answer))
                Require(TextLength(text, kTextLimit) >= 0, "the display text of " + parameter + " is not terminated");
            continue;
        }
        const char* text = AnswerText(answer);
        Require(text != nullptr, "code 7 gave no display text for " + parameter);
        Require(TextLength(text, 16) >= 0,
                "the display text of " + parameter + " is not terminated within 16 bytes: " + Printable(text, 16));
    }
    instance.Destroy();
    return std::to_string(count) + " parameters";
}

// -------------------------------------------------------------- function-codes

// Codes whose input is a number (or nothing) in FFGL 2; every other code,
// known or not, may take a pointer and gets only 0 and a real, zeroed record.
bool TakesNumber(uint32_t code)
{
    using namespace ffgl;
    static const std::set<uint32_t> numeric = {
        kGetInfo,          kDeinitialise,    kGetParameterCount,     kGetParameterName, kGetParameterDefault,
        kGetParameterDisplay, kGetParameter, kGetCapability,         kGetExtendedInfo,  kGetParameterType,
        kGetInputStatus,   kDestroyInstance, kConnect,               kDisconnect,       kGetElementCount,
        kGetParameterUsage, kGetShortName,   kInitialise,            kSetSampleRate,    kGetFileExtensionCount,
        kGetParameterVisibility, kGetSeparatorCount, kEnableCapability};
    return numeric.count(code) == 1;
}

bool AnswersText(uint32_t code)
{
    return code == ffgl::kGetParameterName || code == ffgl::kGetParameterDisplay || code == ffgl::kGetShortName ||
           code == ffgl::kGetElementName || code == ffgl::kGetFileExtension;
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
        if (code == ffgl::kDestroyInstance && instance != nullptr)
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
            if (code == ffgl::kCreateInstance) {
                // A made instance is the host's to destroy.
                if (answer != 0 && !IsFailureCode(answer)) {
                    session.report.Step("code 19 for the instance that " + call + " made");
                    session.Destroy(reinterpret_cast<void*>(static_cast<uintptr_t>(answer)));
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

std::string FunctionCodes(Session& session)
{
    GuardedRecord record;
    SweepCodes(session, nullptr, record);
    session.report.Step("code 18 for the live instance");
    InstanceGuard instance(session, session.Create(64, 64));
    FrameRig rig(TestImage(64, 64, 3));
    // A working instance, connected and with a frame behind it, gets every code.
    session.report.Step("a 64x64 frame on the live instance before the sweep");
    rig.ProcessOrFail(session, instance.Get(), "a 64x64 frame before the sweep");
    SweepCodes(session, instance.Get(), record);

    // Whatever the sweep did to it, the instance must still work.
    session.report.Step("a 64x64 frame on the live instance after the sweep");
    rig.ProcessOrFail(session, instance.Get(), "a 64x64 frame after every code was sent");
    session.report.Step("code 19 for the live instance at the end");
    instance.Destroy();
    return "codes 0 to 100, without and with an instance";
}

// ------------------------------------------------------------- create-destroy

std::string CreateDestroy(Session& session)
{
    for (uint32_t cycle = 0; cycle < kCycles; ++cycle) {
        session.report.Step("cycle " + std::to_string(cycle + 1) + " of " + std::to_string(kCycles));
        void* instance = session.Create(64, 64);
        session.Destroy(instance);
    }
    return std::to_string(kCycles) + " cycles";
}

void CyclesWithFrames(Session& session, uint32_t cycles)
{
    FrameRig rig(TestImage(64, 64, 5));
    for (uint32_t cycle = 0; cycle < cycles; ++cycle) {
        const std::string step = "cycle " + std::to_string(cycle + 1) + " of " + std::to_string(cycles);
        session.report.Step(step + ": code 18");
        InstanceGuard instance(session, session.Create(64, 64));
        session.report.Step(step + ": a 64x64 frame");
        rig.ProcessOrFail(session, instance.Get(), "a 64x64 frame in " + step);
        if (cycle % 100 == 0)
            Require(rig.OutputProduced(), "the 64x64 frame in " + step + " left the output untouched");
        session.report.Step(step + ": code 19");
        instance.Destroy();
    }
}

std::string CreateDestroyFrames(Session& session)
{
    CyclesWithFrames(session, kCycles);
    return std::to_string(kCycles) + " cycles with a 64x64 frame each";
}

// ---------------------------------------------------------------- gl-resources

struct LiveObjects {
    size_t programs = 0, shaders = 0, buffers = 0, vertexArrays = 0, framebuffers = 0, textures = 0,
           renderbuffers = 0, samplers = 0;
};

// The highest name the driver hands out next, so that the probe covers every
// name given so far whether the driver reuses names or not.
GLuint NameFrontier()
{
    GLuint highest = 0;
    const GLuint program = glCreateProgram();
    const GLuint shader = glCreateShader(GL_VERTEX_SHADER);
    GLuint buffer = 0, vertexArray = 0, framebuffer = 0, texture = 0, renderbuffer = 0, sampler = 0;
    glGenBuffers(1, &buffer);
    glGenVertexArrays(1, &vertexArray);
    glGenFramebuffers(1, &framebuffer);
    glGenTextures(1, &texture);
    glGenRenderbuffers(1, &renderbuffer);
    glGenSamplers(1, &sampler);
    highest = std::max({program, shader, buffer, vertexArray, framebuffer, texture, renderbuffer, sampler});
    glDeleteProgram(program);
    glDeleteShader(shader);
    glDeleteBuffers(1, &buffer);
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &texture);
    glDeleteRenderbuffers(1, &renderbuffer);
    glDeleteSamplers(1, &sampler);
    return highest;
}

LiveObjects CountLiveObjects(GLuint limit)
{
    LiveObjects live;
    for (GLuint name = 1; name <= limit; ++name) {
        live.programs += glIsProgram(name) ? 1 : 0;
        live.shaders += glIsShader(name) ? 1 : 0;
        live.buffers += glIsBuffer(name) ? 1 : 0;
        live.vertexArrays += glIsVertexArray(name) ? 1 : 0;
        live.framebuffers += glIsFramebuffer(name) ? 1 : 0;
        live.textures += glIsTexture(name) ? 1 : 0;
        live.renderbuffers += glIsRenderbuffer(name) ? 1 : 0;
        live.samplers += glIsSampler(name) ? 1 : 0;
    }
    return live;
}

std::string GlResources(Session& session)
{
    session.report.Step("counting the host's own GL objects");
    FrameRig rig(TestImage(64, 64, 7));
    const GLuint limitBefore = std::max<GLuint>(20000, NameFrontier() * 2 + 1024);
    const LiveObjects before = CountLiveObjects(limitBefore);

    CyclesWithFrames(session, kCycles);

    session.report.Step("counting the GL objects left after the cycles");
    glFinish();
    const GLuint limit = std::max<GLuint>(limitBefore, NameFrontier() * 2 + 1024);
    const LiveObjects after = CountLiveObjects(limit);
    std::string leaks;
    const auto compare = [&](const char* kind, size_t was, size_t is) {
        if (is != was)
            leaks += (leaks.empty() ? "" : ", ") + std::string(kind) + " " + std::to_string(was) + " -> " +
                     std::to_string(is);
    };
    compare("programs", before.programs, after.programs);
    compare("shaders", before.shaders, after.shaders);
    compare("buffers", before.buffers, after.buffers);
    compare("vertex arrays", before.vertexArrays, after.vertexArrays);
    compare("framebuffers", before.framebuffers, after.framebuffers);
    compare("textures", before.textures, after.textures);
    compare("renderbuffers", before.renderbuffers, after.renderbuffers);
    compare("samplers", before.samplers, after.samplers);
    Require(leaks.empty(), "live GL objects after " + std::to_string(kCycles) + " create/destroy cycles: " + leaks);
    Require(glIsTexture(rig.Texture()) && glIsFramebuffer(rig.Framebuffer()),
            "the host's own texture or framebuffer was deleted by the plug-in");
    return std::to_string(kCycles) + " cycles, names 1 to " + std::to_string(limit) + " probed";
}

// ------------------------------------------------------------- parameter-storm

// A small fixed generator: storms repeat exactly from run to run.
class Random {
public:
    explicit Random(uint32_t seed) : state(seed ? seed : 1) {}
    uint32_t Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    float Unit() { return static_cast<float>(Next() >> 8) / 16777216.0f; }
    uint32_t Below(uint32_t n) { return Next() % n; }

private:
    uint32_t state;
};

float StormValue(Random& random, const ParameterDescription& parameter)
{
    static const float kHostile[] = {std::numeric_limits<float>::quiet_NaN(),
                                     std::numeric_limits<float>::infinity(),
                                     -std::numeric_limits<float>::infinity(),
                                     -1.0f,
                                     1e9f,
                                     -1e9f,
                                     0.0f,
                                     1.0f,
                                     std::numeric_limits<float>::max(),
                                     -std::numeric_limits<float>::max(),
                                     std::numeric_limits<float>::denorm_min(),
                                     -0.0f};
    constexpr uint32_t kHostileCount = sizeof kHostile / sizeof kHostile[0];
    const uint32_t pick = random.Below(kHostileCount + 3);
    if (pick < kHostileCount)
        return kHostile[pick];
    if (pick == kHostileCount && !parameter.elements.empty())
        return parameter.elements[random.Below(static_cast<uint32_t>(parameter.elements.size()))].value;
    if (pick == kHostileCount + 1)
        return (random.Unit() - 0.5f) * 20.0f;
    return parameter.minimum + random.Unit() * (parameter.maximum - parameter.minimum);
}

std::string ParameterStorm(Session& session)
{
    static const std::string kLongText(1000, 'x');
    static const char* const kTexts[] = {"", "x", "\xc3\xa9t\xc3\xa9 %s %n", kLongText.c_str()};
    const std::vector<ParameterDescription>& parameters = session.plugin.parameters;
    Random random(20240611);
    struct StormSize {
        uint32_t width, height, frames;
    };
    const StormSize sizes[] = {{64, 64, 120}, {257, 131, 100}, {640, 360, 80}};
    uint32_t total = 0;
    for (const StormSize& size : sizes) {
        session.report.Step("code 18 for the " + Size(size.width, size.height) + " storm");
        InstanceGuard instance(session, session.Create(size.width, size.height));
        FrameRig rig(TestImage(size.width, size.height, size.frames));
        for (uint32_t frame = 0; frame < size.frames; ++frame, ++total) {
            std::string values;
            for (const ParameterDescription& parameter : parameters) {
                const std::string number = "parameter " + std::to_string(parameter.index);
                std::string setting;
                uint64_t answer;
                if (parameter.IsText()) {
                    const char* text = kTexts[random.Below(4)];
                    setting = std::to_string(parameter.index) + "=text" + std::to_string(std::strlen(text));
                    session.report.Step("code 8 on " + number + " with a text of " + std::to_string(std::strlen(text)) +
                                        " bytes");
                    answer = session.SetText(instance.Get(), parameter.index, text);
                } else {
                    const float value = StormValue(random, parameter);
                    setting = std::to_string(parameter.index) + "=" + FloatText(value);
                    session.report.Step("code 8 on " + number + " with " + FloatText(value));
                    answer = session.SetFloat(instance.Get(), parameter.index, value);
                }
                values += " " + setting;
                Require(IsSuccessOrFailure(answer),
                        "code 8 on " + number + " answered " + Hex(answer) + ", neither 0 nor the failure code");
                if (!parameter.IsText()) {
                    session.report.Step("code 7 (display text) of " + number + " after " + setting);
                    const char* text = AnswerText(session.Call(ffgl::kGetParameterDisplay, parameter.index, instance.Get()));
                    Require(text != nullptr, "code 7 gave no display text for " + number + " after " + setting);
                    Require(TextLength(text, 16) >= 0, "the display text of " + number + " after " + setting +
                                                           " is not terminated within 16 bytes: " +
                                                           Printable(text, 16));
                }
            }
            const std::string what = "frame " + std::to_string(frame + 1) + " at " + Size(size.width, size.height) +
                                     (values.empty() ? std::string(" (no parameters)") : " after setting" + values);
            session.report.Step(what);
            rig.ProcessOrFail(session, instance.Get(), what);
            Require(rig.OutputProduced(), what + " left the output untouched");
        }
        session.report.Step("code 19 after the " + Size(size.width, size.height) + " storm");
        instance.Destroy();
    }
    return std::to_string(total) + " frames at 3 sizes";
}

// ----------------------------------------------------------------- frame-sizes

// The first frame of a fresh instance, at time 0 with the default parameters.
std::vector<uint8_t> FirstFrame(Session& session, FrameRig& rig, const std::string& what)
{
    session.report.Step("code 18 for " + what);
    InstanceGuard instance(session, session.Create(rig.Width(), rig.Height()));
    session.SetTime(instance.Get(), 0.0);
    session.report.Step(what);
    rig.ProcessOrFail(session, instance.Get(), what);
    std::vector<uint8_t> output = rig.Output();
    session.report.Step("code 19 after " + what);
    instance.Destroy();
    return output;
}

std::string FrameSizes(Session& session)
{
    struct Case {
        uint32_t width, height;
    };
    const Case sizes[] = {{1, 1}, {15, 15}, {16, 16}, {53, 53}, {37, 23}, {641, 479}, {1920, 1080}, {3840, 2160}};
    for (const Case& size : sizes) {
        const std::string name = Size(size.width, size.height);
        session.report.Step("code 18 for " + name + " frames");
        InstanceGuard instance(session, session.Create(size.width, size.height));
        FrameRig rig(TestImage(size.width, size.height, 11));
        for (int frame = 1; frame <= 2; ++frame) {
            const std::string what = "frame " + std::to_string(frame) + " at " + name;
            session.report.Step(what);
            rig.ProcessOrFail(session, instance.Get(), "a " + name + " frame");
            Require(rig.OutputProduced(), "the " + name + " frame left the output untouched");
        }
        session.report.Step("code 19 after the " + name + " frames");
        instance.Destroy();
    }

    // An image in a larger texture, the rest of it a loud colour: the output
    // must be the one of the same image in a texture of its own size.
    const Case padded[][2] = {{{1920, 1080}, {2048, 2048}}, {{37, 23}, {64, 64}}};
    for (const auto& [image, hardware] : padded) {
        const std::string name = Size(image.width, image.height) + " in a " + Size(hardware.width, hardware.height) +
                                 " texture";
        const Image input = TestImage(image.width, image.height, 13);
        FrameRig tight(input);
        const std::vector<uint8_t> expected = FirstFrame(session, tight, "a " + Size(image.width, image.height) +
                                                                             " frame in a texture of its size");
        FrameRig roomy(input, hardware.width, hardware.height);
        const std::vector<uint8_t> actual = FirstFrame(session, roomy, "a frame of " + name);
        const std::string difference = FirstDifference(expected, actual, image.width);
        Require(difference.empty(), "a frame of " + name + " differs from the same image in a texture of its size: " +
                                        difference);
    }
    return "8 sizes up to 3840x2160, 2 larger textures";
}

// ----------------------------------------------------------- zero-size-texture

std::string ZeroSizeTexture(Session& session)
{
    session.report.Step("code 18 for the zero-size frames");
    InstanceGuard instance(session, session.Create(64, 64));
    FrameRig rig(TestImage(64, 64, 17));
    struct Case {
        uint32_t width, height, hardwareWidth, hardwareHeight;
        const char* name;
    };
    const Case cases[] = {{0, 64, 64, 64, "a texture of width 0"},
                          {64, 0, 64, 64, "a texture of height 0"},
                          {0, 0, 64, 64, "a texture of 0x0"},
                          {0, 0, 0, 0, "a texture of 0x0 in a 0x0 allocation"},
                          {64, 64, 0, 0, "a 64x64 texture with an allocated size of 0x0"}};
    std::string answers;
    for (const Case& c : cases) {
        rig.DescribeTexture(c.width, c.height, c.hardwareWidth, c.hardwareHeight);
        session.report.Step("a frame with " + std::string(c.name));
        const uint64_t answer = rig.Process(session, instance.Get());
        Require(IsSuccessOrFailure(answer), "a frame with " + std::string(c.name) + " answered " + Hex(answer) +
                                                ", neither 0 nor the failure code");
        answers += std::string(answers.empty() ? "" : ", ") + (IsFailureCode(answer) ? "failure" : "0");
    }
    if (session.inputCount > 0) {
        // Frame records a careless host may send: no textures, or a null entry.
        ByteRecord<24> empty = hostkit::MakeFrameInput(0, nullptr, rig.Framebuffer());
        session.report.Step("a frame with a texture count of 0");
        const uint64_t none = session.library.CallPointer(ffgl::kProcessFrame, empty.Data(), instance.Get());
        Require(IsSuccessOrFailure(none), "a frame without textures answered " + Hex(none));
        const void* nullEntry[1] = {nullptr};
        ByteRecord<24> holed = hostkit::MakeFrameInput(1, nullEntry, rig.Framebuffer());
        session.report.Step("a frame whose texture list holds a null entry");
        const uint64_t hole = session.library.CallPointer(ffgl::kProcessFrame, holed.Data(), instance.Get());
        Require(IsSuccessOrFailure(hole), "a frame with a null texture entry answered " + Hex(hole));
    }
    rig.DescribeTexture(64, 64, 64, 64);
    session.report.Step("a 64x64 frame after the zero-size frames");
    rig.ProcessOrFail(session, instance.Get(), "a 64x64 frame after the zero-size frames");
    Require(rig.OutputProduced(), "the 64x64 frame after the zero-size frames left the output untouched");
    session.report.Step("code 19 after the zero-size frames");
    instance.Destroy();
    return "answers " + answers;
}

// ---------------------------------------------------------------------- resize

std::string Resize(Session& session)
{
    session.report.Step("code 18 at 64x64 for the resizes");
    InstanceGuard instance(session, session.Create(64, 64));
    struct Case {
        uint32_t width, height;
    };
    const Case sizes[] = {{64, 64}, {320, 240}, {17, 9}, {1920, 1080}, {1, 1}, {64, 64}};
    bool first = true;
    for (const Case& size : sizes) {
        const std::string name = Size(size.width, size.height);
        if (!first) {
            const auto viewport = hostkit::MakeViewport(0, 0, size.width, size.height);
            session.report.Step("code 23 (resize) to " + name);
            const uint64_t answer = session.library.CallPointer(ffgl::kResize, viewport.Data(), instance.Get());
            Require(IsSuccessOrFailure(answer), "code 23 to " + name + " answered " + Hex(answer));
        }
        const std::string when = first ? "" : " after the resize to " + name;
        first = false;
        FrameRig rig(TestImage(size.width, size.height, 19));
        for (int frame = 1; frame <= 3; ++frame) {
            session.report.Step("frame " + std::to_string(frame) + " at " + name + when);
            rig.ProcessOrFail(session, instance.Get(), "a " + name + " frame" + when);
            Require(rig.OutputProduced(), "the " + name + " frame" + when + " left the output untouched");
        }
    }
    // Hosts also change the input size without a resize: the frame record is what counts.
    for (const Case& size : {Case{640, 480}, Case{16, 16}, Case{333, 77}, Case{1, 1}, Case{1280, 720}}) {
        const std::string name = Size(size.width, size.height);
        FrameRig rig(TestImage(size.width, size.height, 31));
        session.report.Step("a " + name + " frame without a resize");
        rig.ProcessOrFail(session, instance.Get(), "a " + name + " frame without a resize");
        Require(rig.OutputProduced(), "the " + name + " frame without a resize left the output untouched");
    }
    session.report.Step("code 19 after the resizes");
    instance.Destroy();
    return "5 resizes with 3 frames each, 5 size changes without";
}

// -------------------------------------------------------------- many-instances

// Distinct settings per instance, so that state shared between instances shows.
void ApplyInstanceSettings(Session& session, void* instance, uint32_t which)
{
    for (const ParameterDescription& parameter : session.plugin.parameters) {
        if (parameter.IsText())
            continue;
        float value;
        if (parameter.type == kTypeOption && !parameter.elements.empty())
            value = parameter.elements[(which + parameter.index) % parameter.elements.size()].value;
        else if (parameter.type == kTypeBoolean)
            value = ((which >> (parameter.index % 5)) & 1) ? 1.0f : 0.0f;
        else
            value = parameter.minimum +
                    static_cast<float>((which * 7 + parameter.index * 3) % 32) / 31.0f *
                        (parameter.maximum - parameter.minimum);
        session.report.Step("code 8 on parameter " + std::to_string(parameter.index) + " of instance " +
                            std::to_string(which));
        const uint64_t answer = session.SetFloat(instance, parameter.index, value);
        Require(IsSuccessOrFailure(answer), "code 8 answered " + Hex(answer));
    }
}

std::string ManyInstances(Session& session)
{
    constexpr uint32_t kInstances = 32;
    FrameRig rig(TestImage(96, 96, 23));
    std::vector<std::unique_ptr<InstanceGuard>> instances;
    for (uint32_t i = 0; i < kInstances; ++i) {
        session.report.Step("code 18 for instance " + std::to_string(i) + " of " + std::to_string(kInstances));
        instances.emplace_back(new InstanceGuard(session, session.Create(96, 96)));
        ApplyInstanceSettings(session, instances.back()->Get(), i);
        session.SetTime(instances.back()->Get(), 0.0);
    }
    std::vector<std::vector<uint8_t>> firstOutputs(kInstances);
    for (int round = 1; round <= 3; ++round) {
        for (uint32_t i = 0; i < kInstances; ++i) {
            const std::string what = "frame " + std::to_string(round) + " of instance " + std::to_string(i) +
                                     " with " + std::to_string(kInstances) + " alive";
            session.report.Step(what);
            rig.ProcessOrFail(session, instances[i]->Get(), what);
            if (round == 1)
                firstOutputs[i] = rig.Output();
        }
    }
    // Out of creation order, as hosts close effects.
    for (uint32_t step = 0; step < kInstances; ++step) {
        const uint32_t i = (step * 13) % kInstances;
        session.report.Step("code 19 for instance " + std::to_string(i));
        instances[i]->Destroy();
    }
    // Alone again, each must give what it gave among the others.
    for (const uint32_t i : {0u, 13u, kInstances - 1}) {
        session.report.Step("code 18 for instance " + std::to_string(i) + "'s settings alone");
        InstanceGuard alone(session, session.Create(96, 96));
        ApplyInstanceSettings(session, alone.Get(), i);
        session.SetTime(alone.Get(), 0.0);
        session.report.Step("a frame with instance " + std::to_string(i) + "'s settings alone");
        rig.ProcessOrFail(session, alone.Get(), "a frame with instance " + std::to_string(i) + "'s settings alone");
        const std::string difference = FirstDifference(firstOutputs[i], rig.Output(), rig.Width());
        Require(difference.empty(), "instance " + std::to_string(i) + " drew differently among " +
                                        std::to_string(kInstances) + " instances than alone: " + difference);
        alone.Destroy();
    }
    return std::to_string(kInstances) + " instances, 3 frames each";
}

// -------------------------------------------------------------------- gl-state

// The host's own GL objects for the careless state.
class CarelessHost {
public:
    explicit CarelessHost(uint32_t width, uint32_t height)
    {
        program = CompileProgram();
        const uint8_t red[16 * 4] = {255, 0, 0, 255};
        decoyTexture = hostkit::CreateTexture(4, 4, red);
        otherTexture = hostkit::CreateTexture(4, 4, red);
        glGenVertexArrays(1, &vertexArray);
        glGenBuffers(1, &arrayBuffer);
        glGenBuffers(1, &elementBuffer);
        glGenBuffers(1, &packBuffer);
        glGenBuffers(1, &unpackBuffer);
        const std::vector<float> junk(4096, 7.5f);
        glBindVertexArray(vertexArray);
        glBindBuffer(GL_ARRAY_BUFFER, arrayBuffer);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(junk.size() * sizeof(float)), junk.data(),
                     GL_STATIC_DRAW);
        for (GLuint attribute = 0; attribute < 4; ++attribute) {
            glEnableVertexAttribArray(attribute);
            glVertexAttribPointer(attribute, 4, GL_FLOAT, GL_FALSE, 64, reinterpret_cast<const void*>(attribute * 4));
        }
        const std::vector<uint32_t> indices(1024, 3);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elementBuffer);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * 4), indices.data(),
                     GL_STATIC_DRAW);
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        const GLsizeiptr frameBytes = static_cast<GLsizeiptr>(width) * height * 4 * 2 + 65536;
        glBindBuffer(GL_PIXEL_PACK_BUFFER, packBuffer);
        glBufferData(GL_PIXEL_PACK_BUFFER, frameBytes, nullptr, GL_STREAM_READ);
        glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, unpackBuffer);
        glBufferData(GL_PIXEL_UNPACK_BUFFER, frameBytes, nullptr, GL_STREAM_DRAW);
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
        rowLength = static_cast<GLint>(width) + 13;
    }
    ~CarelessHost()
    {
        glDeleteProgram(program);
        hostkit::DeleteTexture(decoyTexture);
        hostkit::DeleteTexture(otherTexture);
        glDeleteVertexArrays(1, &vertexArray);
        const GLuint buffers[] = {arrayBuffer, elementBuffer, packBuffer, unpackBuffer};
        glDeleteBuffers(4, buffers);
    }
    CarelessHost(const CarelessHost&) = delete;
    CarelessHost& operator=(const CarelessHost&) = delete;

    void UseProgram() const { glUseProgram(program); }
    void OtherTextureUnit() const
    {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, decoyTexture);
        glActiveTexture(GL_TEXTURE3);
        glBindTexture(GL_TEXTURE_2D, otherTexture);
    }
    static void PackAlignment(GLint alignment) { glPixelStorei(GL_PACK_ALIGNMENT, alignment); }
    void PackRows() const
    {
        glPixelStorei(GL_PACK_ROW_LENGTH, rowLength);
        glPixelStorei(GL_PACK_SKIP_ROWS, 3);
        glPixelStorei(GL_PACK_SKIP_PIXELS, 5);
    }
    void PackBuffer() const { glBindBuffer(GL_PIXEL_PACK_BUFFER, packBuffer); }
    void VertexArray() const
    {
        glBindVertexArray(vertexArray);
        glBindBuffer(GL_ARRAY_BUFFER, arrayBuffer);
    }
    void Unpack() const
    {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, 2);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, 3);
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, unpackBuffer);
    }
    void Everything() const
    {
        UseProgram();
        OtherTextureUnit();
        PackAlignment(8);
        PackRows();
        PackBuffer();
        VertexArray();
        Unpack();
    }
    // Back to GL's defaults, which the host's own read-back relies on.
    static void Clean()
    {
        glUseProgram(0);
        glActiveTexture(GL_TEXTURE3);
        glBindTexture(GL_TEXTURE_2D, 0);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        glPixelStorei(GL_PACK_SKIP_ROWS, 0);
        glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
        glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }

private:
    static GLuint CompileProgram()
    {
        static const char* vertex = "#version 410 core\nlayout(location = 0) in vec4 p;\nuniform vec4 Offset;\n"
                                    "void main() { gl_Position = p + Offset; }\n";
        static const char* fragment = "#version 410 core\nout vec4 c;\nuniform vec4 Tint;\n"
                                      "void main() { c = Tint; }\n";
        const GLuint program = glCreateProgram();
        for (const auto& [type, source] : {std::make_pair(GL_VERTEX_SHADER, vertex),
                                           std::make_pair(GL_FRAGMENT_SHADER, fragment)}) {
            const GLuint shader = glCreateShader(type);
            glShaderSource(shader, 1, &source, nullptr);
            glCompileShader(shader);
            glAttachShader(program, shader);
            glDeleteShader(shader);
        }
        glLinkProgram(program);
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked)
            throw HostError("the validator's own GL program does not link");
        glUseProgram(program);
        glUniform4f(glGetUniformLocation(program, "Offset"), 0.25f, -0.5f, 0.0f, 0.0f);
        glUniform4f(glGetUniformLocation(program, "Tint"), 0.0f, 1.0f, 0.0f, 1.0f);
        glUseProgram(0);
        return program;
    }

    GLuint program = 0, decoyTexture = 0, otherTexture = 0;
    GLuint vertexArray = 0, arrayBuffer = 0, elementBuffer = 0, packBuffer = 0, unpackBuffer = 0;
    GLint rowLength = 0;
};

std::string GlState(Session& session)
{
    // Odd sizes, so that row padding and alignment change the layout.
    const uint32_t width = 203, height = 117;
    FrameRig rig(TestImage(width, height, 29));
    CarelessHost host(width, height);
    const std::vector<uint8_t> clean = FirstFrame(session, rig, "a frame with clean host GL state");

    struct Variant {
        const char* name;
        std::function<void()> apply;
    };
    const Variant variants[] = {
        {"a host program in use", [&] { host.UseProgram(); }},
        {"texture unit 3 active and other textures bound on units 0 and 3", [&] { host.OtherTextureUnit(); }},
        {"pack alignment 1", [] { CarelessHost::PackAlignment(1); }},
        {"pack alignment 8", [] { CarelessHost::PackAlignment(8); }},
        {"a pack row length with skipped rows and pixels", [&] { host.PackRows(); }},
        {"a pixel-pack buffer bound", [&] { host.PackBuffer(); }},
        {"a host vertex array with an element buffer, and an array buffer bound", [&] { host.VertexArray(); }},
        {"unpack alignment 8, row length, skips and a pixel-unpack buffer bound", [&] { host.Unpack(); }},
        {"all of these at once", [&] { host.Everything(); }},
    };
    for (const Variant& variant : variants) {
        const std::string what = std::string("a frame with ") + variant.name;
        session.report.Step("code 18 for " + what);
        InstanceGuard instance(session, session.Create(width, height));
        session.SetTime(instance.Get(), 0.0);
        session.report.Step(what);
        const uint64_t answer = rig.Process(session, instance.Get(), variant.apply, CarelessHost::Clean);
        Require(static_cast<uint32_t>(answer) == 0, "code 17 answered " + Hex(answer) + " for " + what);
        const std::string difference = FirstDifference(clean, rig.Output(), width);
        Require(difference.empty(), what + " differs from one with clean state: " + difference);
        session.report.Step("code 19 after " + what);
        instance.Destroy();
    }
    const int kept = CheckKeptHostState(session, rig);
    return "9 kinds of careless state, " + std::to_string(kept) + " kinds of host state given back";
}

// ------------------------------------------------------------------ catalogue

struct ValidationTest {
    const char* name;
    const char* summary;
    std::string (*run)(Session&);
};

const ValidationTest kTests[] = {
    {"info-records", "information records and parameter tables are self-consistent", InfoRecords},
    {"function-codes", "codes 0 to 100 with small inputs, without and with an instance", FunctionCodes},
    {"create-destroy", "1000 create/destroy cycles", CreateDestroy},
    {"create-destroy-frames", "1000 create/destroy cycles with a frame each", CreateDestroyFrames},
    {"gl-resources", "no GL program, shader, buffer, vertex array, framebuffer, texture, renderbuffer or sampler left",
     GlResources},
    {"parameter-storm", "random, NaN, infinite and huge parameter values between frames", ParameterStorm},
    {"frame-sizes", "frames from 1x1 to 3840x2160, odd sizes, images in larger textures", FrameSizes},
    {"zero-size-texture", "textures of width or height 0 and frame records without textures", ZeroSizeTexture},
    {"resize", "frames of changing size, with code 23 between them and without", Resize},
    {"many-instances", "32 instances alive at once, each processing frames", ManyInstances},
    {"gl-state", "careless host GL state does not change the output, other host state comes back", GlState},
};

void IgnoreLogLine(const char*) {}

}  // namespace

std::vector<ValidationTestInfo> ValidationTests()
{
    std::vector<ValidationTestInfo> tests;
    for (const ValidationTest& test : kTests)
        tests.push_back({test.name, test.summary});
    return tests;
}

int RunOneValidationTest(const std::string& pluginPath, const std::string& name, hostkit::GlApi api, int reportFd)
{
    const Reporter report(reportFd);
    const ValidationTest* test = nullptr;
    for (const ValidationTest& candidate : kTests)
        if (name == candidate.name)
            test = &candidate;
    if (test == nullptr) {
        report.Fail("no test named \"" + name + "\"");
        return 2;
    }
    try {
        report.Step("opening the GL context");
        auto gl = GlSession::Open(api);
        report.Step("loading the plug-in");
        std::string reason;
        auto library = hostkit::PluginLibrary::Load(pluginPath, false, &reason);
        if (!library)
            throw TestFailure("the plug-in cannot be loaded: " + reason);
        library->SetLogCallback(IgnoreLogLine);
        std::string note;
        {
            Session session(*library, report);
            note = test->run(session);
            report.Step("code 2 (deinitialise) at the end");
            library->Call(ffgl::kDeinitialise);
        }
        report.Step("unloading the plug-in");
        library.reset();
        report.Pass(note);
        return 0;
    } catch (const TestFailure& failure) {
        report.Fail(failure.what());
    } catch (const HostError& error) {
        report.Fail(error.what());
    } catch (const std::exception& error) {
        report.Fail(std::string("the validator failed: ") + error.what());
    }
    return 1;
}

}  // namespace refhost
