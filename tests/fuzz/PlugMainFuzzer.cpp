// libFuzzer harness for plugMain, linked in-process: fuzzed sequences of
// function codes whose records, texts and textures the harness owns, on a real
// GL context (EGL surfaceless, else GLX), so instances and frames are reached.
#include <GL/glew.h>
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "hostkit/FfglCodes.h"
#include "hostkit/GlContext.h"
#include "hostkit/HostGl.h"

// The two exports, declared as a host sees them.
extern "C" uint64_t plugMain(uint32_t functionCode, uint64_t inputValue, void* instanceHandle);
extern "C" void SetLogCallback(void (*callback)(const char* text));

namespace {

constexpr uint64_t kFailure = 0xFFFFFFFFu;
constexpr size_t kMaxLiveInstances = 3;
constexpr int kMaxCallsPerInput = 48;
constexpr uint32_t kTextureSide = 64;
constexpr uint32_t kThumbnailBytes = 160 * 120 * 4;

[[noreturn]] void Fail(const char* what, uint32_t code, uint64_t value)
{
    std::fprintf(stderr, "PlugMainFuzzer: %s (code %u, value 0x%llx)\n", what, code,
                 static_cast<unsigned long long>(value));
    std::abort();
}

#define FUZZ_CHECK(condition, code, value)                                                                             \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            Fail(#condition, code, value);                                                                             \
    } while (0)

// Host memory for one input: every record is its own heap block of exactly
// the size the code expects, so any read or write past it is caught.
class HostMemory {
public:
    uint8_t* Block(size_t size)
    {
        blocks.emplace_back(new uint8_t[size == 0 ? 1 : size]());
        return blocks.back().get();
    }
    uint8_t* Record(FuzzedDataProvider& data, size_t size)
    {
        uint8_t* block = Block(size);
        const std::vector<uint8_t> bytes = data.ConsumeBytes<uint8_t>(size);
        if (!bytes.empty())
            std::memcpy(block, bytes.data(), bytes.size());
        return block;
    }
    // A NUL-terminated text of fuzzed bytes, or null.
    const char* Text(FuzzedDataProvider& data)
    {
        if (data.ConsumeIntegralInRange<int>(0, 7) == 0)
            return nullptr;
        const std::string text = data.ConsumeRandomLengthString(40);
        char* block = reinterpret_cast<char*>(Block(text.size() + 1));
        std::memcpy(block, text.c_str(), text.size() + 1);
        return block;
    }
    void Clear() { blocks.clear(); }

private:
    std::vector<std::unique_ptr<uint8_t[]>> blocks;
};

void PutU32(uint8_t* record, size_t offset, uint32_t value)
{
    std::memcpy(record + offset, &value, 4);
}
void PutPointer(uint8_t* record, size_t offset, const void* pointer)
{
    const uint64_t value = reinterpret_cast<uintptr_t>(pointer);
    std::memcpy(record + offset, &value, 8);
}
uint32_t U32(const uint8_t* record, size_t offset)
{
    uint32_t value;
    std::memcpy(&value, record + offset, 4);
    return value;
}
const char* TextAt(const uint8_t* record, size_t offset)
{
    uint64_t value;
    std::memcpy(&value, record + offset, 8);
    return reinterpret_cast<const char*>(static_cast<uintptr_t>(value));
}

struct GlWorld {
    std::unique_ptr<hostkit::GlContext> context;
    // Never destroyed: the process ends with them.
    hostkit::Texture texture;
    hostkit::RenderTarget output;
};

GlWorld* world = nullptr;
// ZAO_FUZZ_TRACE=1 prints every call, to turn a crash input into a plain test.
bool trace = false;

void LogLine(const char* text)
{
    FUZZ_CHECK(text != nullptr, 0, 0);
    FUZZ_CHECK(std::strlen(text) < 4096, 0, 0);
}

enum class Input {
    Nothing,
    Number,
    Viewport,
    ParameterValue,
    Frame,
    Time,
    IndexPair,
    ElementValue,
    Beat,
    HostInfo,
    Range,
    Thumbnail,
    Events,
    TextQuery,
    Unknown
};

Input InputOf(uint32_t code)
{
    switch (code) {
    case ffgl::kGetInfo: case ffgl::kDeinitialise: case ffgl::kGetNumParameters: case ffgl::kGetExtendedInfo: case ffgl::kDeinstantiateGL: case ffgl::kConnect: case ffgl::kDisconnect: case ffgl::kGetPluginShortName: case ffgl::kInitialiseV2:
        return Input::Nothing;
    case ffgl::kGetParameterName: case ffgl::kGetParameterDefault: case ffgl::kGetParameterDisplay: case ffgl::kGetParameter: case ffgl::kGetPluginCaps: case ffgl::kGetParameterType: case ffgl::kGetInputStatus: case ffgl::kGetNumParameterElements: case ffgl::kGetParameterUsage:
    case ffgl::kSetSampleRate: case ffgl::kGetNumFileExtensions: case ffgl::kGetParameterVisibility: case ffgl::kGetNumElementSeparators: case ffgl::kEnablePluginCap:
        return Input::Number;
    case ffgl::kInstantiateGL: case ffgl::kResize:
        return Input::Viewport;
    case ffgl::kSetParameter:
        return Input::ParameterValue;
    case ffgl::kProcessOpenGL:
        return Input::Frame;
    case ffgl::kSetTime:
        return Input::Time;
    case ffgl::kGetParameterElementName: case ffgl::kGetParameterElementValue: case ffgl::kGetFileExtension: case ffgl::kGetElementSeparator:
        return Input::IndexPair;
    case ffgl::kSetParameterElementValue:
        return Input::ElementValue;
    case ffgl::kSetBeatInfo:
        return Input::Beat;
    case ffgl::kSetHostInfo:
        return Input::HostInfo;
    case ffgl::kGetRange:
        return Input::Range;
    case ffgl::kGetThumbnail:
        return Input::Thumbnail;
    case ffgl::kGetParameterEvents:
        return Input::Events;
    case ffgl::kGetParameterGroup: case ffgl::kGetParameterDisplayName:
        return Input::TextQuery;
    default:
        return Input::Unknown;
    }
}

bool NeedsInstance(uint32_t code)
{
    switch (code) {
    case ffgl::kGetParameterDisplay: case ffgl::kSetParameter: case ffgl::kGetParameter: case ffgl::kGetInputStatus: case ffgl::kProcessOpenGL: case ffgl::kDeinstantiateGL: case ffgl::kSetTime: case ffgl::kConnect: case ffgl::kDisconnect: case ffgl::kResize:
    case ffgl::kSetParameterElementValue: case ffgl::kSetBeatInfo: case ffgl::kSetHostInfo: case ffgl::kSetSampleRate: case ffgl::kGetParameterEvents: case ffgl::kEnablePluginCap: case ffgl::kGetParameterDisplayName:
        return true;
    default:
        return false;
    }
}

bool AnswersPointer(uint32_t code)
{
    switch (code) {
    case ffgl::kGetInfo: case ffgl::kGetParameterName: case ffgl::kGetParameterDefault: case ffgl::kGetParameterDisplay: case ffgl::kGetParameter: case ffgl::kGetExtendedInfo: case ffgl::kInstantiateGL: case ffgl::kGetPluginShortName: case ffgl::kGetParameterElementName: case ffgl::kGetFileExtension:
        return true;
    default:
        return false;
    }
}

uint32_t Number(FuzzedDataProvider& data)
{
    switch (data.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
        return data.ConsumeIntegralInRange<uint32_t>(0, 12);
    case 1: {
        static const uint32_t capabilities[] = {0, 4, 5, 10, 11, 16, 17, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu};
        return capabilities[data.ConsumeIntegralInRange<size_t>(0, 9)];
    }
    default:
        return data.ConsumeIntegral<uint32_t>();
    }
}

uint32_t ImageSide(FuzzedDataProvider& data)
{
    // The rejected sizes stay below what a frame would have to allocate.
    switch (data.ConsumeIntegralInRange<int>(0, 15)) {
    case 0:
        return 0;
    case 1:
        return 0x20000000u;
    case 2:
        return 0xFFFFFFFFu;
    default:
        return data.ConsumeIntegralInRange<uint32_t>(1, 512);
    }
}

uint32_t HardwareSide(FuzzedDataProvider& data, uint32_t side)
{
    switch (data.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
        return 0;
    case 1:
        return side;
    case 2:
        return side + data.ConsumeIntegralInRange<uint32_t>(0, 512);
    default:
        return data.ConsumeIntegral<uint32_t>();
    }
}

struct Call {
    uint32_t code = 0;
    uint64_t input = 0;
    uint8_t* record = nullptr;  // the record behind input, when there is one
    size_t recordSize = 0;
    uint32_t capacity = 0;      // events array entries, or text buffer bytes
    uint8_t* buffer = nullptr;  // events array or text buffer
};

uint64_t Pointer(const void* pointer)
{
    return reinterpret_cast<uintptr_t>(pointer);
}

// A frame record: up to four texture entries, any of them null, sized
// within bounds, on the harness's texture or on none.
void FillFrameRecord(FuzzedDataProvider& data, HostMemory& memory, uint8_t* r)
{
    const uint32_t count = data.ConsumeIntegralInRange<uint32_t>(0, 4);
    PutU32(r, 0, count);
    uint8_t* textures = nullptr;
    if (count > 0 && data.ConsumeIntegralInRange<int>(0, 15) != 0) {
        textures = memory.Block(count * sizeof(void*));
        for (uint32_t i = 0; i < count; ++i) {
            uint8_t* info = nullptr;
            if (data.ConsumeIntegralInRange<int>(0, 15) != 0) {
                info = memory.Block(20);
                const uint32_t width = ImageSide(data);
                const uint32_t height = ImageSide(data);
                PutU32(info, 0, width);
                PutU32(info, 4, height);
                PutU32(info, 8, HardwareSide(data, width));
                PutU32(info, 12, HardwareSide(data, height));
                PutU32(info, 16, world && data.ConsumeIntegralInRange<int>(0, 7) != 0 ? world->texture.Name() : 0);
            }
            PutPointer(textures, i * sizeof(void*), info);
        }
    }
    PutPointer(r, 8, textures);
    PutU32(r, 16, world && data.ConsumeBool() ? world->output.framebuffer : 0);
}

// An events record with room for up to 12 events, or a null buffer.
void FillEventsRecord(FuzzedDataProvider& data, HostMemory& memory, Call& call, uint8_t* r)
{
    call.capacity = data.ConsumeIntegralInRange<uint32_t>(0, 12);
    PutU32(r, 0, call.capacity);
    if (data.ConsumeBool()) {
        call.buffer = memory.Block(call.capacity * 16u);
        PutPointer(r, 8, call.buffer);
    } else {
        PutU32(r, 0, Number(data));
        PutPointer(r, 8, nullptr);
    }
}

// A text query whose buffer may be missing, filled with a marker to see what is written.
void FillTextQueryRecord(FuzzedDataProvider& data, HostMemory& memory, Call& call, uint8_t* r)
{
    PutU32(r, 0, Number(data));
    call.capacity = data.ConsumeIntegralInRange<uint32_t>(0, 64);
    if (data.ConsumeIntegralInRange<int>(0, 7) != 0) {
        call.buffer = memory.Block(call.capacity);
        std::memset(call.buffer, 0xA5, call.capacity);
    }
    PutPointer(r, 8, call.buffer);
    PutU32(r, 16, call.capacity);
}

void BuildInput(FuzzedDataProvider& data, HostMemory& memory, Call& call)
{
    const Input kind = InputOf(call.code);
    if (kind == Input::Nothing) {
        call.input = data.ConsumeBool() ? 0 : data.ConsumeIntegralInRange<uint64_t>(0, 3);
        return;
    }
    if (kind == Input::Number) {
        call.input = Number(data);
        if (data.ConsumeIntegralInRange<int>(0, 7) == 0)
            call.input |= static_cast<uint64_t>(data.ConsumeIntegral<uint32_t>()) << 32;
        return;
    }
    // A record code may get a null pointer: what the plug-in does then is its choice, not a crash.
    if (data.ConsumeIntegralInRange<int>(0, 9) == 0) {
        call.input = 0;
        return;
    }
    auto record = [&](size_t size) {
        call.record = memory.Record(data, size);
        call.recordSize = size;
        call.input = Pointer(call.record);
        return call.record;
    };
    switch (kind) {
    case Input::Viewport:
        record(16);
        break;
    case Input::ParameterValue: {
        uint8_t* r = record(16);
        PutU32(r, 0, Number(data));
        // No parameter of this effect takes text; a text pointer would sit at offset 8 otherwise.
        break;
    }
    case Input::Frame:
        FillFrameRecord(data, memory, record(24));
        break;
    case Input::Time:
        record(8);
        break;
    case Input::IndexPair: {
        uint8_t* r = record(8);
        PutU32(r, 0, Number(data));
        PutU32(r, 4, Number(data));
        break;
    }
    case Input::ElementValue: {
        uint8_t* r = record(12);
        PutU32(r, 0, Number(data));
        PutU32(r, 4, Number(data));
        break;
    }
    case Input::Beat:
        record(8);
        break;
    case Input::HostInfo: {
        uint8_t* r = record(16);
        PutPointer(r, 0, memory.Text(data));
        PutPointer(r, 8, memory.Text(data));
        break;
    }
    case Input::Range: {
        uint8_t* r = record(12);
        PutU32(r, 0, Number(data));
        break;
    }
    case Input::Thumbnail: {
        uint8_t* r = record(16);
        PutPointer(r, 8, data.ConsumeBool() ? memory.Block(kThumbnailBytes) : nullptr);
        break;
    }
    case Input::Events:
        FillEventsRecord(data, memory, call, record(16));
        break;
    case Input::TextQuery:
        FillTextQueryRecord(data, memory, call, record(24));
        break;
    default: {
        // Codes the plug-in does not know: anything the host might pass.
        static const size_t sizes[] = {8, 12, 16, 24, 40};
        if (data.ConsumeBool())
            record(sizes[data.ConsumeIntegralInRange<size_t>(0, 4)]);
        else
            call.input = data.ConsumeIntegralInRange<uint64_t>(0, 255);
        break;
    }
    }
}

void CheckText(const char* text, uint32_t code)
{
    // strlen runs through the plug-in's memory: an unterminated text is an overflow report.
    FUZZ_CHECK(std::strlen(text) < 4096, code, Pointer(text));
}

void CheckAnswer(const Call& call, void* instance, uint64_t result)
{
    const uint32_t code = call.code;
    if (InputOf(code) == Input::Unknown)
        FUZZ_CHECK(result == kFailure, code, result);
    if (NeedsInstance(code) && instance == nullptr)
        FUZZ_CHECK(result == kFailure, code, result);
    if (!AnswersPointer(code))
        FUZZ_CHECK((result >> 32) == 0, code, result);

    switch (code) {
    case ffgl::kGetInfo:
        if (result != 0) {
            uint8_t info[32];
            std::memcpy(info, reinterpret_cast<const void*>(result), sizeof info);
            FUZZ_CHECK(std::memcmp(info + 8, "QX01", 4) == 0, code, result);
        }
        break;
    case ffgl::kGetExtendedInfo:
        if (result != 0) {
            uint8_t info[40];
            std::memcpy(info, reinterpret_cast<const void*>(result), sizeof info);
            for (size_t offset : {size_t{8}, size_t{16}})
                if (const char* text = TextAt(info, offset))
                    CheckText(text, code);
            const uint32_t extendedSize = U32(info, 24);
            if (const void* block = TextAt(info, 32)) {
                std::vector<uint8_t> copy(extendedSize);
                std::memcpy(copy.data(), block, extendedSize);
            }
        }
        break;
    case ffgl::kGetNumParameters:
        FUZZ_CHECK(result == 10, code, result);
        break;
    case ffgl::kGetParameterName: case ffgl::kGetPluginShortName: case ffgl::kGetParameterElementName: case ffgl::kGetFileExtension:
        if (result != 0)
            CheckText(reinterpret_cast<const char*>(result), code);
        break;
    case ffgl::kGetParameterDefault: case ffgl::kGetParameterDisplay: case ffgl::kGetParameter:
        // A text answer is a pointer (upper half set), a number fits the lower half.
        if ((result >> 32) != 0)
            CheckText(reinterpret_cast<const char*>(result), code);
        break;
    case ffgl::kGetRange:
        if (call.record != nullptr)
            FUZZ_CHECK(result == 0, code, result);
        break;
    case ffgl::kGetParameterEvents:
        if (call.record != nullptr && instance != nullptr) {
            FUZZ_CHECK(result == 0, code, result);
            // This effect raises no events.
            FUZZ_CHECK(U32(call.record, 0) == 0, code, U32(call.record, 0));
        }
        break;
    case ffgl::kGetParameterGroup: case ffgl::kGetParameterDisplayName:
        if (call.buffer != nullptr) {
            // Every group and display name of this effect is empty: nothing is copied.
            for (uint32_t i = 0; i < call.capacity; ++i)
                FUZZ_CHECK(call.buffer[i] == 0xA5, code, i);
        }
        if (call.record == nullptr || call.buffer == nullptr || call.capacity == 0)
            FUZZ_CHECK(result == kFailure, code, result);
        break;
    default:
        break;
    }
}

// One texture of blobs for the frames of this input: a grid of fuzzed cells.
void PaintInputTexture(FuzzedDataProvider& data)
{
    if (world == nullptr)
        return;
    const uint64_t cells = data.ConsumeIntegral<uint64_t>();
    const uint8_t level = data.ConsumeIntegral<uint8_t>();
    std::vector<uint8_t> pixels(kTextureSide * kTextureSide * 4);
    for (uint32_t y = 0; y < kTextureSide; ++y)
        for (uint32_t x = 0; x < kTextureSide; ++x) {
            const bool lit = (cells >> ((y / 8) * 8 + x / 8)) & 1u;
            uint8_t* p = &pixels[(y * kTextureSide + x) * 4];
            p[0] = p[1] = p[2] = lit ? level : static_cast<uint8_t>(255 - level);
            p[3] = 255;
        }
    hostkit::UpdateTexture(world->texture.Name(), kTextureSide, kTextureSide, pixels.data());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetLogCallback(LogLine);
    trace = std::getenv("ZAO_FUZZ_TRACE") != nullptr;
    std::string error;
    auto context = hostkit::GlContext::Create(hostkit::GlApi::Egl, 4, 1, &error);
    if (!context) {
        std::string glxError;
        context = hostkit::GlContext::Create(hostkit::GlApi::Glx, 4, 1, &glxError);
        if (!context)
            error += "; GLX: " + glxError;
    }
    if (!context) {
        // Without a context every creation fails; the rest of the dispatch is still fuzzed.
        std::fprintf(stderr, "PlugMainFuzzer: no GL context (%s): instances cannot be made\n", error.c_str());
        return 0;
    }
    world = new GlWorld();
    world->context = std::move(context);
    std::fprintf(stderr, "PlugMainFuzzer: %s\n", hostkit::CurrentRendererDescription().c_str());
    std::vector<uint8_t> black(kTextureSide * kTextureSide * 4, 0);
    world->texture = hostkit::Texture(kTextureSide, kTextureSide, black.data());
    world->output = hostkit::RenderTarget(kTextureSide, kTextureSide);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    FuzzedDataProvider data(bytes, size);
    HostMemory memory;
    std::vector<void*> live;
    PaintInputTexture(data);
    if (world != nullptr)
        hostkit::BeginFrame(world->output, 0, 0, 0, 1);

    for (int calls = 0; calls < kMaxCallsPerInput && data.remaining_bytes() > 0; ++calls) {
        const uint8_t selector = data.ConsumeIntegral<uint8_t>();
        if (selector == 255) {
            SetLogCallback(data.ConsumeBool() ? LogLine : nullptr);
            continue;
        }
        Call call;
        if (selector < 212)
            call.code = selector % 53u;
        else if (selector < 250)
            call.code = 53u + selector % 48u;
        else
            call.code = data.ConsumeIntegral<uint32_t>();

        // Handles are 0 or ones that code 18 gave and code 19 has not taken back.
        void* instance = nullptr;
        const size_t pick = data.ConsumeIntegralInRange<size_t>(0, live.size());
        if (pick < live.size())
            instance = live[pick];
        if (call.code == ffgl::kInstantiateGL && live.size() >= kMaxLiveInstances)
            continue;

        BuildInput(data, memory, call);
        const uint64_t result = plugMain(call.code, call.input, instance);
        if (trace) {
            std::fprintf(stderr, "plugMain(%u, 0x%llx, %p) = 0x%llx", call.code,
                         static_cast<unsigned long long>(call.input), instance, static_cast<unsigned long long>(result));
            for (size_t i = 0; i < call.recordSize; ++i)
                std::fprintf(stderr, "%s%02x", i == 0 ? " record " : " ", call.record[i]);
            std::fprintf(stderr, "\n");
        }
        CheckAnswer(call, instance, result);

        if (call.code == ffgl::kInstantiateGL) {
            if (call.input == 0)
                FUZZ_CHECK(result == kFailure, call.code, result);
            if (result != kFailure) {
                void* handle = reinterpret_cast<void*>(static_cast<uintptr_t>(result));
                FUZZ_CHECK(handle != nullptr, call.code, result);
                for (void* other : live)
                    FUZZ_CHECK(other != handle, call.code, result);
                live.push_back(handle);
            }
        } else if (call.code == ffgl::kDeinstantiateGL && instance != nullptr) {
            FUZZ_CHECK(result == 0, call.code, result);
            live.erase(live.begin() + static_cast<std::ptrdiff_t>(pick));
        } else if (call.code == ffgl::kSetParameter && instance != nullptr && result == 0 && call.record != nullptr) {
            // The value comes back as it was stored, unclamped.
            const uint32_t number = U32(call.record, 0);
            const uint32_t bits = U32(call.record, 8);
            float value;
            std::memcpy(&value, &bits, sizeof value);
            if (!std::isnan(value)) {
                const uint64_t stored = plugMain(ffgl::kGetParameter, number, instance);
                FUZZ_CHECK(stored == bits, ffgl::kGetParameter, stored);
            }
        }
    }

    // Leave nothing behind: the next input starts from a fresh library state.
    for (void* instance : live)
        FUZZ_CHECK(plugMain(ffgl::kDeinstantiateGL, 0, instance) == 0, ffgl::kDeinstantiateGL, 0);
    plugMain(ffgl::kDeinitialise, 0, nullptr);
    SetLogCallback(LogLine);
    return 0;
}
