// The Windows host check: loads ZudArazOdudave.dll with LoadLibrary, reads its
// records by byte offset, creates an instance in a WGL 4.1 core context, runs a
// frame into a host framebuffer and checks the pixels, and checks that shader
// diagnostics reach standard output and the debugger channel.
//
//   WindowsPluginTest.exe [--require-overlay] [--save-frame FILE.ppm] [path\to\ZudArazOdudave.dll]
//
// Without --require-overlay, a frame with no overlay pixel at all skips the
// overlay checks instead of failing them (the overlay may not be built yet).
#define NOMINMAX
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "hostkit/ByteRecord.h"
#include "hostkit/EffectInstance.h"
#include "hostkit/FfglCodes.h"
#include "hostkit/HostGl.h"
#include "hostkit/Image.h"
#include "hostkit/PluginLibrary.h"
#include "hostkit/WglContext.h"

namespace {

using hostkit::ByteRecord;
using hostkit::FloatBitsOf;
using hostkit::kFailureCode;

class Results {
public:
    void Check(bool ok, const std::string& name, const std::string& detail = std::string())
    {
        if (ok) {
            ++passed;
            std::printf("PASS: %s\n", name.c_str());
        } else {
            ++failed;
            std::printf("FAIL: %s%s%s\n", name.c_str(), detail.empty() ? "" : ": ", detail.c_str());
        }
        std::fflush(stdout);
    }
    void Skip(const std::string& name, const std::string& reason)
    {
        ++skipped;
        std::printf("SKIP: %s: %s\n", name.c_str(), reason.c_str());
        std::fflush(stdout);
    }
    int Summary() const
    {
        std::printf("WindowsPluginTest: %d passed, %d failed, %d skipped\n", passed, failed, skipped);
        std::fflush(stdout);
        return failed == 0 ? 0 : 1;
    }

private:
    int passed = 0;
    int failed = 0;
    int skipped = 0;
};

std::string Hex(const uint8_t* bytes, size_t count)
{
    std::string text;
    char cell[4];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(cell, sizeof(cell), "%02x", bytes[i]);
        text += cell;
        if (i + 1 < count)
            text += ' ';
    }
    return text;
}

std::string ExecutableDirectory()
{
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string full(path, length);
    const size_t slash = full.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : full.substr(0, slash);
}

// Every line the plug-in sent to the log callback.
std::vector<std::string>& LogLines()
{
    static std::vector<std::string> lines;
    return lines;
}
void LogCallback(const char* text)
{
    LogLines().emplace_back(text ? text : "<null>");
}

struct ParameterRow {
    const char* name;
    float defaultValue;
    uint32_t type;
};
const ParameterRow kParameters[] = {
    {"Threshold", 0.4f, 10},  {"Invert", 0.0f, 0},      {"Min Size", 0.1f, 10},     {"Max Blobs", 0.5f, 10},
    {"Box Style", 1.0f, 11},  {"Show Blobs", 1.0f, 0},  {"Show Network", 0.0f, 0},  {"Show Labels", 1.0f, 0},
    {"Show Contours", 0.0f, 0}, {"Hue Shift", 0.0f, 10},
};

void CheckInformationRecords(const hostkit::PluginLibrary& plugin, Results& results)
{
    const auto* info = reinterpret_cast<const uint8_t*>(plugin.Call(ffgl::kGetInfo));
    const uint8_t expected[32] = {2, 0, 0, 0, 1, 0, 0, 0, 'Q', 'X', '0', '1', 'Z', 'E', 'L', ' ',
                                  'D', 'a', 'd', 'i', 'D', 'a', 'r', 'u', 'z', 'a', 'd', 0, 0, 0, 0, 0};
    results.Check(info != nullptr && std::memcmp(info, expected, sizeof(expected)) == 0,
                  "code 0 answers the 32-byte information record",
                  info ? "got " + Hex(info, 32) : std::string("null pointer"));

    const auto* extended = reinterpret_cast<const uint8_t*>(plugin.Call(ffgl::kGetExtendedInfo));
    if (extended == nullptr) {
        results.Check(false, "code 13 answers the extended information record", "null pointer");
        return;
    }
    ByteRecord<40> record;
    std::memcpy(record.bytes, extended, sizeof(record.bytes));
    results.Check(record.U32(0) == 3 && record.U32(4) == 0, "code 13 carries plug-in version 3.0",
                  std::to_string(record.U32(0)) + "." + std::to_string(record.U32(4)));
    const auto* description = static_cast<const char*>(record.Pointer(8));
    const auto* about = static_cast<const char*>(record.Pointer(16));
    results.Check(description != nullptr &&
                      std::strcmp(description, "K.V.R. blob/motion tracking with surveillance overlay") == 0,
                  "code 13 description text", description ? description : "null");
    results.Check(about != nullptr && std::strcmp(about, "Zozivad Uzozaro") == 0, "code 13 about text",
                  about ? about : "null");
    results.Check(record.U32(24) == 0 && record.Pointer(32) == nullptr, "code 13 carries no extended data");
}

void CheckParameterTables(const hostkit::PluginLibrary& plugin, Results& results)
{
    results.Check(plugin.Call32(ffgl::kGetNumParameters) == 10, "code 4 answers 10 parameters",
                  std::to_string(plugin.Call32(ffgl::kGetNumParameters)));
    std::string names, defaults, types;
    bool namesOk = true, defaultsOk = true, typesOk = true;
    for (uint32_t i = 0; i < 10; ++i) {
        const ParameterRow& row = kParameters[i];
        const auto* name = reinterpret_cast<const char*>(plugin.Call(ffgl::kGetParameterName, i));
        const size_t length = std::strlen(row.name);
        // The name field is 16 bytes; every expected name is shorter, so a terminator follows.
        const bool nameOk = name != nullptr && std::memcmp(name, row.name, length) == 0 && name[length] == '\0';
        namesOk = namesOk && nameOk;
        names += std::string(i ? ", " : "") + (name ? std::string(name, strnlen(name, 16)) : "null");
        const uint32_t bits = plugin.Call32(ffgl::kGetParameterDefault, i);
        defaultsOk = defaultsOk && bits == FloatBitsOf(row.defaultValue);
        defaults += std::string(i ? " " : "") + std::to_string(hostkit::FloatOfBits(bits));
        const uint32_t type = plugin.Call32(ffgl::kGetParameterType, i);
        typesOk = typesOk && type == row.type;
        types += std::string(i ? "," : "") + std::to_string(type);
    }
    results.Check(namesOk, "code 5 names the ten parameters", names);
    results.Check(defaultsOk, "code 6 answers the ten defaults as float bits", defaults);
    results.Check(typesOk, "code 15 answers the ten types", types);
}

// Overlay pink (1.0, 0.078, 0.576) at any alpha from about 0.5 over a dark or white input.
bool IsOverlayPink(const uint8_t* p)
{
    return p[0] >= 120 && p[1] <= 110 && p[0] >= p[1] + 60 && p[2] >= p[1] + 30 && p[2] + 20 <= p[0];
}

// The pixel at a fraction of the frame's width and height.
const uint8_t* AtFraction(const hostkit::Image& frame, float fx, float fy)
{
    return frame.At(static_cast<uint32_t>(fx * static_cast<float>(frame.width)),
                    static_cast<uint32_t>(fy * static_cast<float>(frame.height)));
}

// Pink pixels in the fraction rectangle [x0, x1) x [y0, y1).
int CountPink(const hostkit::Image& frame, float x0, float y0, float x1, float y1)
{
    const auto toPixels = [](float fraction, uint32_t size) {
        return std::min(size, static_cast<uint32_t>(std::max(0.0f, fraction) * static_cast<float>(size)));
    };
    int count = 0;
    for (uint32_t y = toPixels(y0, frame.height); y < toPixels(y1, frame.height); ++y)
        for (uint32_t x = toPixels(x0, frame.width); x < toPixels(x1, frame.width); ++x)
            count += IsOverlayPink(frame.At(x, y)) ? 1 : 0;
    return count;
}

// A binary PPM, top row first, so that a person can look at the frame.
void SaveFrame(const hostkit::Image& frame, const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return;
    std::fprintf(file, "P6\n%u %u\n255\n", frame.width, frame.height);
    for (uint32_t row = frame.height; row-- > 0;)
        for (uint32_t x = 0; x < frame.width; ++x)
            std::fwrite(frame.pixels.data() + (static_cast<size_t>(row) * frame.width + x) * 4, 1, 3, file);
    std::fclose(file);
}

std::string PixelText(const uint8_t* p)
{
    return "(" + std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]) + "," +
           std::to_string(p[3]) + ")";
}

constexpr uint32_t kWidth = 1024;
constexpr uint32_t kHeight = 768;
constexpr uint8_t kDark = 24;
constexpr float kSquare0 = 0.4f;
constexpr float kSquare1 = 0.6f;

// A dark input with one bright square at [0.4, 0.6) x [0.4, 0.6).
hostkit::Image DarkInputWithSquare()
{
    hostkit::Image input(kWidth, kHeight);
    for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x) {
            const float fx = static_cast<float>(x) / kWidth, fy = static_cast<float>(y) / kHeight;
            const bool bright = fx >= kSquare0 && fx < kSquare1 && fy >= kSquare0 && fy < kSquare1;
            uint8_t* p = input.At(x, y);
            p[0] = p[1] = p[2] = bright ? 255 : kDark;
            p[3] = 255;
        }
    }
    return input;
}

// The title and the box around the square, in overlay pink; skipped where the
// build draws no overlay yet and the caller does not require one.
void CheckOverlay(const hostkit::Image& frame, bool requireOverlay, Results& results)
{
    const int anyPink = CountPink(frame, 0.0f, 0.0f, 1.0f, 1.0f);
    const char* const titleCheck = "overlay: the title in overlay pink at the top left";
    const char* const boxCheck = "overlay: a target box around the bright square";
    if (anyPink == 0 && !requireOverlay) {
        results.Skip(titleCheck, "no overlay pixel anywhere in the frame (overlay not drawn yet)");
        results.Skip(boxCheck, "no overlay pixel anywhere in the frame (overlay not drawn yet)");
    } else {
        // The title line spans x 0.01 to 0.136 and y 0.96 to 0.9705.
        const int title = CountPink(frame, 0.005f, 0.95f, 0.145f, 0.98f);
        results.Check(title > 0, titleCheck, std::to_string(title) + " pink pixels in the title area");
        // The box is padded by 0.09 on each side; every style passes through its corners.
        const float pad = 0.09f, window = 0.02f;
        const int topLeft = CountPink(frame, kSquare0 - pad - window, kSquare1 + pad - window,
                                      kSquare0 - pad + window, kSquare1 + pad + window);
        const int bottomRight = CountPink(frame, kSquare1 + pad - window, kSquare0 - pad - window,
                                          kSquare1 + pad + window, kSquare0 - pad + window);
        results.Check(topLeft > 0 && bottomRight > 0, boxCheck,
                      std::to_string(topLeft) + " pink pixels at the top-left corner, " +
                          std::to_string(bottomRight) + " at the bottom-right");
    }
}

// The input drawn once into a host framebuffer by a fresh instance.
void CheckInstanceAndFrame(const hostkit::PluginLibrary& plugin, bool requireOverlay, const std::string& savePath,
                           Results& results)
{
    hostkit::EffectInstance instance(plugin, kWidth, kHeight);
    results.Check(instance.Valid(), "code 18 with a viewport record creates an instance");
    if (!instance.Valid())
        return;
    const uint32_t threshold = static_cast<uint32_t>(instance.Call(ffgl::kGetParameter, 0));
    results.Check(threshold == FloatBitsOf(0.4f), "code 9 for parameter 0 answers the bits of 0.4 after creation",
                  std::to_string(hostkit::FloatOfBits(threshold)));
    bool logged = false;
    for (const std::string& line : LogLines())
        logged = logged || line == "Created ZEL DadiDaruzad v3.0 [K.V.R.]";
    results.Check(logged, "the creation line reaches the host's log callback",
                  std::to_string(LogLines().size()) + " lines");

    const hostkit::Image input = DarkInputWithSquare();
    const hostkit::Texture texture(kWidth, kHeight, input.pixels.data());
    const hostkit::RenderTarget target(kWidth, kHeight);

    const auto inputTexture = hostkit::InputTexture::Whole(texture.Name(), kWidth, kHeight);
    hostkit::BeginFrame(target, 0.0f, 0.0f, 0.0f, 0.0f);
    results.Check(static_cast<uint32_t>(instance.Frame(&inputTexture, 0, target.framebuffer)) == kFailureCode,
                  "code 17 with no input texture answers the failure code");

    hostkit::BeginFrame(target, 0.0f, 0.0f, 0.0f, 0.0f);
    const uint32_t processed = static_cast<uint32_t>(instance.Frame(inputTexture, target.framebuffer));
    results.Check(processed == 0, "code 17 processes a frame", std::to_string(processed));
    hostkit::Image frame;
    frame.width = kWidth;
    frame.height = kHeight;
    frame.pixels = hostkit::ReadPixels(target);
    if (!savePath.empty())
        SaveFrame(frame, savePath);

    // Far from the title, the target's box, label and crosshair: the input, unchanged.
    const float farPoints[][2] = {{0.9f, 0.1f}, {0.05f, 0.05f}, {0.95f, 0.5f}, {0.5f, 0.05f}};
    bool darkOk = true;
    std::string darkSeen;
    for (const auto& point : farPoints) {
        const uint8_t* p = AtFraction(frame, point[0], point[1]);
        darkOk = darkOk && p[0] == kDark && p[1] == kDark && p[2] == kDark && p[3] == 255;
        darkSeen += PixelText(p);
    }
    results.Check(darkOk, "pixels far from any overlay equal the dark input", darkSeen);
    const uint8_t* inside = AtFraction(frame, 0.43f, 0.43f);
    results.Check(inside[0] == 255 && inside[1] == 255 && inside[2] == 255 && inside[3] == 255,
                  "a pixel inside the bright square, clear of the crosshair, equals the input", PixelText(inside));
    results.Check(CountPink(frame, 0.8f, 0.0f, 1.0f, 0.2f) == 0, "no overlay colour far from title and target");

    CheckOverlay(frame, requireOverlay, results);

    results.Check(instance.Destroy() == 0, "code 19 destroys the instance");
}

// Collects OutputDebugString text the way a debug monitor does (the DBWIN
// shared buffer), for the process with the given id, while it runs.
class DebugMonitor {
public:
    bool Start()
    {
        mutex = CreateMutexA(nullptr, FALSE, "DBWinMutex");
        bufferReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
        dataReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
        mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize, "DBWIN_BUFFER");
        if (!mutex || !bufferReady || !dataReady || !mapping)
            return false;
        view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, kBufferSize));
        if (view == nullptr)
            return false;
        thread = CreateThread(nullptr, 0, &DebugMonitor::Run, this, 0, nullptr);
        return thread != nullptr;
    }
    // Stops the reader; the texts are safe to read afterwards.
    void Stop()
    {
        if (thread != nullptr) {
            InterlockedExchange(&stop, 1);
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
            thread = nullptr;
        }
    }
    ~DebugMonitor()
    {
        Stop();
        if (view)
            UnmapViewOfFile(view);
        for (HANDLE handle : {mapping, dataReady, bufferReady, mutex})
            if (handle)
                CloseHandle(handle);
    }
    // Texts sent by the given process, in order.
    std::vector<std::string> TextsOf(DWORD processId) const
    {
        std::vector<std::string> texts;
        for (const auto& message : messages)
            if (message.first == processId)
                texts.push_back(message.second);
        return texts;
    }

private:
    static constexpr DWORD kBufferSize = 4096;

    static DWORD WINAPI Run(LPVOID self) { return static_cast<DebugMonitor*>(self)->Loop(); }
    DWORD Loop()
    {
        while (InterlockedCompareExchange(&stop, 0, 0) == 0) {
            SetEvent(bufferReady);
            if (WaitForSingleObject(dataReady, 50) != WAIT_OBJECT_0)
                continue;
            DWORD processId = 0;
            std::memcpy(&processId, view, sizeof(processId));
            const char* text = view + sizeof(processId);
            messages.emplace_back(processId, std::string(text, strnlen(text, kBufferSize - sizeof(processId))));
        }
        return 0;
    }

    HANDLE mutex = nullptr;
    HANDLE bufferReady = nullptr;
    HANDLE dataReady = nullptr;
    HANDLE mapping = nullptr;
    const char* view = nullptr;
    HANDLE thread = nullptr;
    volatile LONG stop = 0;
    std::vector<std::pair<DWORD, std::string>> messages;
};

struct ChildRun {
    bool started = false;
    DWORD exitCode = 0;
    DWORD processId = 0;
    std::string output;
    std::string error;
};

// Runs the program with its standard output on a pipe and collects all of it.
ChildRun RunCapturingStdout(const std::string& program)
{
    ChildRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        run.error = "CreatePipe failed";
        return run;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + program + "\"";
    const BOOL created = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);
    if (!created) {
        run.error = "cannot start " + program + " (Windows error " + std::to_string(GetLastError()) + ")";
        CloseHandle(readEnd);
        return run;
    }
    run.started = true;
    run.processId = process.dwProcessId;
    char buffer[4096];
    DWORD count = 0;
    while (ReadFile(readEnd, buffer, sizeof(buffer), &count, nullptr) && count > 0)
        run.output.append(buffer, count);
    CloseHandle(readEnd);
    if (WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        run.error = "timed out";
    }
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

void CheckShaderDiagnostics(Results& results)
{
    const std::string probe = ExecutableDirectory() + "\\ShaderDiagnosticProbe.exe";
    DebugMonitor monitor;
    const bool monitoring = monitor.Start();
    const ChildRun run = RunCapturingStdout(probe);
    monitor.Stop();
    results.Check(run.started && run.error.empty() && run.exitCode == 0,
                  "the diagnostic probe rejects a broken vertex shader",
                  run.error.empty() ? "exit code " + std::to_string(run.exitCode) : run.error);

    const std::vector<std::string> lines = SplitLines(run.output);
    bool direct = false, compiled = false;
    for (const std::string& line : lines) {
        direct = direct || line == "Vertex Shader error: diagnostic probe";
        compiled = compiled ||
                   (StartsWith(line, "Vertex Shader error: ") && line != "Vertex Shader error: diagnostic probe");
    }
    const std::string seen = lines.empty() ? std::string("no output") : "first line: " + lines.front();
    results.Check(direct, "PrintDiagnostic writes its line to standard output", seen);
    results.Check(compiled, "a vertex compile failure prints \"Vertex Shader error: \" and the log to standard output",
                  std::to_string(lines.size()) + " lines");

    if (!monitoring) {
        results.Skip("diagnostics reach the debugger output", "cannot open the debug-monitor buffer");
        return;
    }
    const std::vector<std::string> texts = monitor.TextsOf(run.processId);
    bool debugDirect = false, debugCompiled = false, separateNewline = false;
    for (size_t i = 0; i < texts.size(); ++i) {
        debugDirect = debugDirect || texts[i] == "Vertex Shader error: diagnostic probe";
        debugCompiled = debugCompiled || (StartsWith(texts[i], "Vertex Shader error: ") &&
                                          texts[i] != "Vertex Shader error: diagnostic probe");
        separateNewline = separateNewline ||
                          (i > 0 && texts[i] == "\n" && texts[i - 1] == "Vertex Shader error: diagnostic probe");
    }
    results.Check(debugDirect && debugCompiled && separateNewline,
                  "diagnostics reach the debugger output (OutputDebugStringA), line and line feed apart",
                  std::to_string(texts.size()) + " debug strings");
}

}  // namespace

int main(int argc, char** argv)
{
    bool requireOverlay = false;
    std::string savePath;
    std::string pluginPath = ExecutableDirectory() + "\\..\\plugin\\ZudArazOdudave.dll";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--require-overlay") == 0)
            requireOverlay = true;
        else if (std::strcmp(argv[i], "--save-frame") == 0 && i + 1 < argc)
            savePath = argv[++i];
        else
            pluginPath = argv[i];
    }
    Results results;

    std::string error;
    auto plugin = hostkit::PluginLibrary::Load(pluginPath, true, &error);
    results.Check(plugin != nullptr, "LoadLibrary finds plugMain in " + pluginPath, error);
    if (plugin) {
        results.Check(plugin->HasSetLogCallback(), "GetProcAddress finds SetLogCallback");
        plugin->SetLogCallback(&LogCallback);
        CheckInformationRecords(*plugin, results);
        results.Check(plugin->Call32(ffgl::kInitialiseV2) == 0, "code 34 initialises");
        CheckParameterTables(*plugin, results);

        auto context = hostkit::WglContext::Create(4, 1, &error);
        results.Check(context != nullptr, "a WGL 4.1 core-profile context", error);
        if (context) {
            std::printf("GL: %s\n", hostkit::WglContext::CurrentRendererDescription().c_str());
            CheckInstanceAndFrame(*plugin, requireOverlay, savePath, results);
            plugin.reset();
            context.reset();
        }
    }
    CheckShaderDiagnostics(results);
    return results.Summary();
}
