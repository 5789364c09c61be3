// The validator's parameter-storm test: random, NaN, infinite and huge
// parameter values between frames.
#include "Checks.h"

#include <cstring>
#include <limits>

#include "hostkit/FfglCodes.h"

namespace validator {

namespace {

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

float StormValue(Random& random, const hostsupport::ParameterDescription& parameter)
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

}  // namespace

std::string ParameterStorm(Session& session)
{
    static const std::string kLongText(1000, 'x');
    static const char* const kTexts[] = {"", "x", "\xc3\xa9t\xc3\xa9 %s %n", kLongText.c_str()};
    const std::vector<hostsupport::ParameterDescription>& parameters = session.plugin.parameters;
    Random random(20240611);
    struct StormSize {
        uint32_t width, height, frames;
    };
    const StormSize sizes[] = {{64, 64, 120}, {257, 131, 100}, {640, 360, 80}};
    uint32_t total = 0;
    for (const StormSize& size : sizes) {
        session.report.Step("code 18 for the " + Size(size.width, size.height) + " storm");
        hostkit::EffectInstance instance = session.Create(size.width, size.height);
        FrameRig rig(TestImage(size.width, size.height, size.frames));
        for (uint32_t frame = 0; frame < size.frames; ++frame, ++total) {
            std::string values;
            for (const hostsupport::ParameterDescription& parameter : parameters) {
                const std::string number = "parameter " + std::to_string(parameter.index);
                std::string setting;
                uint64_t answer;
                if (parameter.IsText()) {
                    const char* text = kTexts[random.Below(4)];
                    setting = std::to_string(parameter.index) + "=text" + std::to_string(std::strlen(text));
                    session.report.Step("code 8 on " + number + " with a text of " + std::to_string(std::strlen(text)) +
                                        " bytes");
                    answer = instance.SetText(parameter.index, text);
                } else {
                    const float value = StormValue(random, parameter);
                    setting = std::to_string(parameter.index) + "=" + FloatText(value);
                    session.report.Step("code 8 on " + number + " with " + FloatText(value));
                    answer = instance.SetFloat(parameter.index, value);
                }
                values += " " + setting;
                Require(IsSuccessOrFailure(answer),
                        "code 8 on " + number + " answered " + Hex(answer) + ", neither 0 nor the failure code");
                if (!parameter.IsText()) {
                    session.report.Step("code 7 (display text) of " + number + " after " + setting);
                    const char* text = AnswerText(instance.Call(ffgl::kGetParameterDisplay, parameter.index));
                    Require(text != nullptr, "code 7 gave no display text for " + number + " after " + setting);
                    Require(TextLength(text, 16) >= 0, "the display text of " + number + " after " + setting +
                                                           " is not terminated within 16 bytes: " +
                                                           Printable(text, 16));
                }
            }
            const std::string what = "frame " + std::to_string(frame + 1) + " at " + Size(size.width, size.height) +
                                     (values.empty() ? std::string(" (no parameters)") : " after setting" + values);
            session.report.Step(what);
            rig.ProcessOrFail(session, instance, what);
            Require(rig.OutputProduced(), what + " left the output untouched");
        }
        session.report.Step("code 19 after the " + Size(size.width, size.height) + " storm");
        session.Destroy(instance);
    }
    return std::to_string(total) + " frames at 3 sizes";
}

}  // namespace validator
