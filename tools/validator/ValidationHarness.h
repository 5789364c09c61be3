// What the validator's tests share inside their child process: the report
// line to the parent, failures, plug-in calls by byte record, and the host's
// input texture and output framebuffer around one frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "CallWatch.h"
#include "hostkit/ByteRecord.h"
#include "hostkit/EffectInstance.h"
#include "hostkit/HostGl.h"
#include "hostkit/Image.h"
#include "hostkit/PluginLibrary.h"
#include "hostsupport/Plugin.h"

namespace validator {

using hostkit::Image;

// Lines to the parent: "step WHAT" before anything that may crash or hang,
// then one "pass NOTE" or "fail REASON". Written unbuffered, so that the last
// step survives a crash.
class Reporter {
public:
    explicit Reporter(int fd) : fd(fd) {}
    void Step(const std::string& what) const;
    void Pass(const std::string& note) const;
    void Fail(const std::string& reason) const;
    // What the last Step announced, for reasons that name where a fault arose.
    const std::string& LastStep() const { return lastStep; }

private:
    void Line(const std::string& kind, const std::string& text) const;
    int fd;
    mutable std::string lastStep;
};

// A fault of the plug-in, with the reason the parent prints.
class TestFailure : public std::runtime_error {
public:
    explicit TestFailure(const std::string& reason) : std::runtime_error(reason) {}
};

inline void Require(bool condition, const std::string& reason)
{
    if (!condition)
        throw TestFailure(reason);
}

using hostkit::AnswerText;
using hostkit::IsFailureCode;

inline bool IsSuccessOrFailure(uint64_t answer)
{
    return static_cast<uint32_t>(answer) == 0 || IsFailureCode(answer);
}
// The length of a text the plug-in handed over, or -1 when no zero byte lies
// within the first limit bytes (which are read: an unterminated text may crash us).
long TextLength(const char* text, size_t limit);
std::string Printable(const char* text, size_t limit = 40);
std::string Hex(uint64_t value);
std::string FloatText(float value);

// The plug-in as the tests drive it: its description, and instances whose
// making and destroying are checked. Every plugMain call goes through its
// CallWatch while it lives.
class Session {
public:
    Session(const hostkit::PluginLibrary& library, const Reporter& report, uint32_t cycles);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const hostkit::PluginLibrary& library;
    const Reporter& report;
    hostsupport::PluginDescription plugin;
    // Input textures per frame: 0 for a source, 1 for an effect, 2 for a mixer.
    uint32_t inputCount = 1;
    // Create/destroy cycles of the lifecycle and GL-resource tests.
    uint32_t cycles;
    CallWatch watch;

    uint64_t Call(uint32_t code, uint64_t input = 0, void* instance = nullptr) const
    {
        return library.Call(code, input, instance);
    }
    // Code 18 with a viewport of width x height; a refusal is a failure.
    hostkit::EffectInstance Create(uint32_t width, uint32_t height) const;
    // Code 19 now, which must answer 0.
    void Destroy(hostkit::EffectInstance& instance) const;
    // Throws the first GL fault of a plug-in call so far.
    void RequireCleanCalls() const;
};

// An RGBA image for the input: separated bright blobs on a dark background
// that give an analysing effect something to find.
Image TestImage(uint32_t width, uint32_t height, uint32_t seed);

// One input texture (the image in the lower left of its allocation, the rest a
// loud colour) and one output framebuffer of the image's size, with the frame
// records built by byte offset.
class FrameRig {
public:
    FrameRig(const Image& image, uint32_t hardwareWidth = 0, uint32_t hardwareHeight = 0);

    // The texture description the plug-in gets; by default the real one.
    void DescribeTexture(uint32_t width, uint32_t height, uint32_t hardwareWidth, uint32_t hardwareHeight);
    // The handle the plug-in gets instead of the rig's texture (0: the rig's again).
    void HandHandle(uint32_t handle);
    // Sets the validator's own GL state, clears the output to the host's
    // clear colour, then code 17 with the rig's texture and framebuffer
    // watched; hostState runs after the clear and undo after the call. Any
    // plug-in call's GL fault so far, host state or host objects the frame
    // did not give back included, is a failure.
    uint64_t Process(Session& session, hostkit::EffectInstance& instance,
                     const std::function<void()>& hostState = {}, const std::function<void()>& undo = {});
    // As Process, but anything other than success is a failure naming what.
    void ProcessOrFail(Session& session, hostkit::EffectInstance& instance, const std::string& what,
                       const std::function<void()>& hostState = {}, const std::function<void()>& undo = {});
    // Read back in the validator's own GL state.
    std::vector<uint8_t> Output() const;
    // Whether the plug-in drew anything: some pixel differs from the clear colour.
    bool OutputProduced() const;
    uint32_t Width() const { return width; }
    uint32_t Height() const { return height; }
    uint32_t Texture() const { return texture.Name(); }
    uint32_t Framebuffer() const { return target.framebuffer; }

private:
    uint32_t width, height;
    hostkit::Texture texture;
    hostkit::RenderTarget target;
    hostkit::InputTexture inputs[2];
};

// Where two outputs first differ, for a failure reason; empty when they are equal.
std::string FirstDifference(const std::vector<uint8_t>& expected, const std::vector<uint8_t>& actual,
                            uint32_t width);

}  // namespace validator
