// The child side's plumbing: report lines, plug-in calls, frame records and
// the host's GL objects around a frame.
#include "ValidationHarness.h"

#include <GL/glew.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "CrashNote.h"
#include "ValidatorGlState.h"
#include "hostsupport/FileDescriptorIo.h"
#include "hostsupport/HostError.h"
#include "hostsupport/Scene.h"

namespace validator {

namespace {

// The host's clear colour: no effect output is likely to be exactly this.
constexpr uint8_t kClear[4] = {51, 102, 153, 204};
// What an effect must never sample: the allocation around the image.
constexpr uint8_t kPadding[4] = {255, 0, 255, 255};

}  // namespace

void Reporter::Line(const std::string& kind, const std::string& text) const
{
    const std::string line = kind + " " + hostsupport::OneLine(text) + "\n";
    hostsupport::WriteAll(fd, line.data(), line.size());
}

void Reporter::Step(const std::string& what) const
{
    lastStep = what;
    Line("step", what);
}

void Reporter::Pass(const std::string& note) const
{
    Line("pass", note);
}

void Reporter::Fail(const std::string& reason) const
{
    Line("fail", reason);
}

long TextLength(const char* text, size_t limit)
{
    const size_t length = strnlen(text, limit);
    return length < limit ? static_cast<long>(length) : -1;
}

std::string Printable(const char* text, size_t limit)
{
    std::string shown = "\"";
    for (size_t i = 0; i < limit && text[i] != '\0'; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7f) {
            shown += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            shown += escaped;
        }
        if (i + 1 == limit)
            shown += "...";
    }
    return shown + "\"";
}

std::string Hex(uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

std::string FloatText(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

Session::Session(const hostkit::PluginLibrary& pluginLibrary, const Reporter& reporter, uint32_t cycleCount)
    : library(pluginLibrary), report(reporter), cycles(cycleCount), watch(reporter)
{
    watch.Begin();
    library.Observe(&watch);
    report.Step("reading the description (codes 0, 13, 4, 5, 6, 15, 31, 35, 36, 41)");
    plugin = hostsupport::Describe(library);
    inputCount = hostsupport::InputTextureCount(plugin);
}

hostkit::EffectInstance Session::Create(uint32_t width, uint32_t height) const
{
    hostkit::EffectInstance instance(library, width, height);
    const std::string loader = instance.Valid() ? "" : LoaderNote();
    Require(instance.Valid(), "code 18 refused an instance with a " + std::to_string(width) + "x" +
                                  std::to_string(height) + " viewport" + (loader.empty() ? "" : ": " + loader));
    RequireCleanCalls();
    return instance;
}

void Session::Destroy(hostkit::EffectInstance& instance) const
{
    const uint64_t answer = instance.Destroy();
    Require(static_cast<uint32_t>(answer) == 0, "code 19 answered " + Hex(answer) + " instead of 0");
    RequireCleanCalls();
}

Session::~Session()
{
    library.Observe(nullptr);
}

void Session::RequireCleanCalls() const
{
    Require(watch.Fault().empty(), watch.Fault());
}

Image TestImage(uint32_t width, uint32_t height, uint32_t seed)
{
    const uint32_t area = width * height;
    const uint32_t blobs = area < 64 * 64 ? 2 : area < 640 * 480 ? 6 : 12;
    return hostsupport::MakeBlobField(width, height, blobs, seed);
}

FrameRig::FrameRig(const Image& image, uint32_t hardwareWidth, uint32_t hardwareHeight)
    : width(image.width), height(image.height)
{
    UseValidatorGlState();
    if (hardwareWidth < width)
        hardwareWidth = width;
    if (hardwareHeight < height)
        hardwareHeight = height;
    std::vector<uint8_t> allocation(static_cast<size_t>(hardwareWidth) * hardwareHeight * 4);
    for (size_t at = 0; at < allocation.size(); at += 4)
        std::memcpy(&allocation[at], kPadding, 4);
    for (uint32_t y = 0; y < height; ++y)
        std::memcpy(&allocation[static_cast<size_t>(y) * hardwareWidth * 4], image.Row(y),
                    static_cast<size_t>(width) * 4);
    texture = hostkit::Texture(hardwareWidth, hardwareHeight, allocation.data());
    target = hostkit::RenderTarget(width, height);
    DescribeTexture(width, height, hardwareWidth, hardwareHeight);
}

void FrameRig::DescribeTexture(uint32_t textureWidth, uint32_t textureHeight, uint32_t hardwareWidth,
                               uint32_t hardwareHeight)
{
    // A mixer gets the same texture on both inputs.
    inputs[0] = inputs[1] = {texture.Name(), textureWidth, textureHeight, hardwareWidth, hardwareHeight};
}

void FrameRig::HandHandle(uint32_t handle)
{
    inputs[0].handle = inputs[1].handle = handle != 0 ? handle : texture.Name();
}

uint64_t FrameRig::Process(Session& session, hostkit::EffectInstance& instance,
                           const std::function<void()>& hostState, const std::function<void()>& undo)
{
    UseValidatorGlState();
    instance.PrepareFrame(inputs, session.inputCount, target.framebuffer);
    hostkit::BeginFrame(target, kClear[0] / 255.0f, kClear[1] / 255.0f, kClear[2] / 255.0f, kClear[3] / 255.0f);
    if (hostState)
        hostState();
    session.watch.WatchHostObjects({texture.Name(), target.framebuffer});
    const uint64_t answer = instance.ProcessFrame();
    session.watch.WatchHostObjects({});
    if (undo)
        undo();
    session.RequireCleanCalls();
    return answer;
}

void FrameRig::ProcessOrFail(Session& session, hostkit::EffectInstance& instance, const std::string& what,
                             const std::function<void()>& hostState, const std::function<void()>& undo)
{
    const uint64_t answer = Process(session, instance, hostState, undo);
    Require(static_cast<uint32_t>(answer) == 0, "code 17 answered " + Hex(answer) + " for " + what);
}

std::vector<uint8_t> FrameRig::Output() const
{
    UseValidatorGlState();
    return hostkit::ReadPixels(target);
}

bool FrameRig::OutputProduced() const
{
    const std::vector<uint8_t> pixels = Output();
    for (size_t at = 0; at < pixels.size(); at += 4)
        if (std::memcmp(&pixels[at], kClear, 4) != 0)
            return true;
    return false;
}

std::string FirstDifference(const std::vector<uint8_t>& expected, const std::vector<uint8_t>& actual,
                            uint32_t width)
{
    if (expected.size() != actual.size())
        return "outputs of different sizes";
    size_t differing = 0, first = 0;
    for (size_t at = 0; at < expected.size(); at += 4) {
        if (std::memcmp(&expected[at], &actual[at], 4) != 0) {
            if (differing == 0)
                first = at / 4;
            ++differing;
        }
    }
    if (differing == 0)
        return {};
    const size_t x = first % width, y = first / width;
    char text[160];
    std::snprintf(text, sizeof text, "%zu pixels differ, first at (%zu, %zu): %u,%u,%u,%u instead of %u,%u,%u,%u",
                  differing, x, y, actual[first * 4], actual[first * 4 + 1], actual[first * 4 + 2],
                  actual[first * 4 + 3], expected[first * 4], expected[first * 4 + 1], expected[first * 4 + 2],
                  expected[first * 4 + 3]);
    return text;
}

}  // namespace validator
