// The live window's logic without a window: where the output goes, which
// values a reloaded plug-in starts with, and the frame-time record.
#include <gtest/gtest.h>

#include "hostkit/FfglCodes.h"
#include "play/FrameTimes.h"
#include "play/KeptValues.h"
#include "play/OutputView.h"

namespace play {
namespace {

TEST(PlayOutputView, FitKeepsTheAspectAndCentresInTheArea)
{
    struct Case {
        uint32_t width, height;
        ViewRect area, expected;
    };
    const Case cases[] = {
        {1280, 720, {0, 0, 1280, 720}, {0, 0, 1280, 720}},     // exact
        {1280, 720, {0, 0, 640, 640}, {0, 140, 640, 360}},     // bars above and below
        {640, 480, {0, 0, 1000, 480}, {180, 0, 640, 480}},     // bars left and right
        {1920, 1080, {10, 20, 772, 640}, {10, 123, 772, 434}},  // offset area, rounded height
        {1280, 720, {0, 0, 0, 640}, {0, 0, 0, 0}},             // no room
        {0, 720, {0, 0, 100, 100}, {0, 0, 0, 0}},              // no image
    };
    for (const Case& c : cases) {
        const ViewRect fit = FitRect(c.width, c.height, c.area);
        EXPECT_EQ(fit.x, c.expected.x) << c.width << "x" << c.height;
        EXPECT_EQ(fit.y, c.expected.y) << c.width << "x" << c.height;
        EXPECT_EQ(fit.width, c.expected.width) << c.width << "x" << c.height;
        EXPECT_EQ(fit.height, c.expected.height) << c.width << "x" << c.height;
    }
}

hostsupport::ParameterDescription Parameter(uint32_t index, const char* name, uint32_t type, float defaultValue)
{
    hostsupport::ParameterDescription parameter;
    parameter.index = index;
    parameter.name = name;
    parameter.type = type;
    parameter.defaultValue = defaultValue;
    return parameter;
}

ParameterValue Number(float number)
{
    ParameterValue value;
    value.number = number;
    return value;
}

TEST(PlayKeptValues, AReloadKeepsWhatStillFitsByNameAndDefaultsTheRest)
{
    hostsupport::PluginDescription before;
    before.parameters = {Parameter(0, "Hue Shift", ffgl::kParameterStandard, 0),
                         Parameter(1, "Box Style", ffgl::kParameterOption, 1),
                         Parameter(2, "Caption", ffgl::kParameterText, 0),
                         Parameter(3, "Fire", ffgl::kParameterEvent, 0),
                         Parameter(4, "Was Number", ffgl::kParameterStandard, 0)};
    before.parameters[1].elements = {{"Rectangle", 0}, {"Corners", 1}, {"Dashed", 3}};
    KeptValues kept;
    kept.Remember(before.parameters[0], Number(0.25f));
    kept.Remember(before.parameters[1], Number(3));
    ParameterValue caption;
    caption.text = "hello";
    kept.Remember(before.parameters[2], caption);
    kept.Remember(before.parameters[3], Number(1));
    kept.Remember(before.parameters[4], Number(0.5f));

    // The new version moved Hue Shift, dropped the Dashed element, made a
    // number a text, and has a parameter the old one lacked.
    hostsupport::PluginDescription after;
    after.parameters = {Parameter(0, "New", ffgl::kParameterStandard, 0.7f),
                        Parameter(1, "Box Style", ffgl::kParameterOption, 1),
                        Parameter(2, "Hue Shift", ffgl::kParameterStandard, 0),
                        Parameter(3, "Caption", ffgl::kParameterText, 0),
                        Parameter(4, "Fire", ffgl::kParameterEvent, 0),
                        Parameter(5, "Was Number", ffgl::kParameterText, 0)};
    after.parameters[1].elements = {{"Rectangle", 0}, {"Corners", 1}};
    after.parameters[5].defaultText = "default";
    const std::vector<ParameterValue> values = kept.StartValues(after);
    ASSERT_EQ(values.size(), 6u);
    EXPECT_EQ(values[0], Number(0.7f));    // new: its default
    EXPECT_EQ(values[1], Number(1));       // kept element is gone: default
    EXPECT_EQ(values[2], Number(0.25f));   // kept, at its new place
    EXPECT_EQ(values[3].text, "hello");    // kept text
    EXPECT_EQ(values[4], Number(0));       // events start at rest
    EXPECT_EQ(values[5].text, "default");  // a kept number does not fill a text

    // A value outside the new range is not kept either.
    after.parameters[2].maximum = 0.2f;
    EXPECT_EQ(kept.StartValues(after)[2], Number(0));
}

TEST(PlayFrameTimes, KeepsTheNewestFramesAndTheWholeRunsMean)
{
    FrameTimes times;
    for (int i = 1; i <= static_cast<int>(FrameTimes::kHistory) + 10; ++i) {
        FrameStages stages;
        stages.plugins = static_cast<float>(i);
        stages.upload = 1;
        stages.panel = 2;
        times.Add(stages);
    }
    EXPECT_EQ(times.Count(), FrameTimes::kHistory);
    EXPECT_EQ(times.Recent(0).plugins, FrameTimes::kHistory + 10.0f);
    EXPECT_EQ(times.Recent(FrameTimes::kHistory - 1).plugins, 11.0f);
    EXPECT_FLOAT_EQ(times.Mean(2).plugins, FrameTimes::kHistory + 9.5f);
    EXPECT_FLOAT_EQ(times.RunMean().plugins, (FrameTimes::kHistory + 11) / 2.0f);
    EXPECT_EQ(times.PluginTimes().size(), FrameTimes::kHistory + 10);
    EXPECT_EQ(times.HostTimes()[0], 3.0);
}

}  // namespace
}  // namespace play
