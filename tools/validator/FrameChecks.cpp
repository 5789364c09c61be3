// The validator's frame tests: frames of many sizes, textures of size 0 and
// frame records without textures, and resizes between frames.
#include "Checks.h"

#include "hostkit/FfglCodes.h"

namespace validator {

std::string Size(uint32_t width, uint32_t height)
{
    return std::to_string(width) + "x" + std::to_string(height);
}

// The first frame of a fresh instance, at time 0 with the default parameters.
std::vector<uint8_t> FirstFrame(Session& session, FrameRig& rig, const std::string& what,
                                const std::function<void()>& hostState, const std::function<void()>& undo)
{
    session.report.Step("code 18 for " + what);
    hostkit::EffectInstance instance = session.Create(rig.Width(), rig.Height());
    instance.SetTime(0.0);
    session.report.Step(what);
    rig.ProcessOrFail(session, instance, what, hostState, undo);
    std::vector<uint8_t> output = rig.Output();
    session.report.Step("code 19 after " + what);
    session.Destroy(instance);
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
        hostkit::EffectInstance instance = session.Create(size.width, size.height);
        FrameRig rig(TestImage(size.width, size.height, 11));
        for (int frame = 1; frame <= 2; ++frame) {
            const std::string what = "frame " + std::to_string(frame) + " at " + name;
            session.report.Step(what);
            rig.ProcessOrFail(session, instance, "a " + name + " frame");
            Require(rig.OutputProduced(), "the " + name + " frame left the output untouched");
        }
        session.report.Step("code 19 after the " + name + " frames");
        session.Destroy(instance);
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

std::string ZeroSizeTexture(Session& session)
{
    session.report.Step("code 18 for the zero-size frames");
    hostkit::EffectInstance instance = session.Create(64, 64);
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
        const uint64_t answer = rig.Process(session, instance);
        Require(IsSuccessOrFailure(answer), "a frame with " + std::string(c.name) + " answered " + Hex(answer) +
                                                ", neither 0 nor the failure code");
        answers += std::string(answers.empty() ? "" : ", ") + (IsFailureCode(answer) ? "failure" : "0");
    }
    if (session.inputCount > 0) {
        // Frame records a careless host may send: no textures, or a null entry.
        hostkit::ByteRecord<24> empty = hostkit::MakeFrameInput(0, nullptr, rig.Framebuffer());
        session.report.Step("a frame with a texture count of 0");
        const uint64_t none = instance.CallRecord(ffgl::kProcessOpenGL, empty.Data());
        Require(IsSuccessOrFailure(none), "a frame without textures answered " + Hex(none));
        const void* nullEntry[1] = {nullptr};
        hostkit::ByteRecord<24> holed = hostkit::MakeFrameInput(1, nullEntry, rig.Framebuffer());
        session.report.Step("a frame whose texture list holds a null entry");
        const uint64_t hole = instance.CallRecord(ffgl::kProcessOpenGL, holed.Data());
        Require(IsSuccessOrFailure(hole), "a frame with a null texture entry answered " + Hex(hole));
    }
    rig.DescribeTexture(64, 64, 64, 64);
    session.report.Step("a 64x64 frame after the zero-size frames");
    rig.ProcessOrFail(session, instance, "a 64x64 frame after the zero-size frames");
    Require(rig.OutputProduced(), "the 64x64 frame after the zero-size frames left the output untouched");
    session.report.Step("code 19 after the zero-size frames");
    session.Destroy(instance);
    return "answers " + answers;
}

std::string Resize(Session& session)
{
    session.report.Step("code 18 at 64x64 for the resizes");
    hostkit::EffectInstance instance = session.Create(64, 64);
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
            const uint64_t answer = instance.CallRecord(ffgl::kResize, viewport.Data());
            Require(IsSuccessOrFailure(answer), "code 23 to " + name + " answered " + Hex(answer));
        }
        const std::string when = first ? "" : " after the resize to " + name;
        first = false;
        FrameRig rig(TestImage(size.width, size.height, 19));
        for (int frame = 1; frame <= 3; ++frame) {
            session.report.Step("frame " + std::to_string(frame) + " at " + name + when);
            rig.ProcessOrFail(session, instance, "a " + name + " frame" + when);
            Require(rig.OutputProduced(), "the " + name + " frame" + when + " left the output untouched");
        }
    }
    // Hosts also change the input size without a resize: the frame record is what counts.
    for (const Case& size : {Case{640, 480}, Case{16, 16}, Case{333, 77}, Case{1, 1}, Case{1280, 720}}) {
        const std::string name = Size(size.width, size.height);
        FrameRig rig(TestImage(size.width, size.height, 31));
        session.report.Step("a " + name + " frame without a resize");
        rig.ProcessOrFail(session, instance, "a " + name + " frame without a resize");
        Require(rig.OutputProduced(), "the " + name + " frame without a resize left the output untouched");
    }
    session.report.Step("code 19 after the resizes");
    session.Destroy(instance);
    return "5 resizes with 3 frames each, 5 size changes without";
}

}  // namespace validator
