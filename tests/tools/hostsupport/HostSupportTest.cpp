// Host support's parts without a process around them: parameter settings by
// name, timing statistics and the generated inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <queue>
#include <utility>
#include <vector>

#include "hostkit/FfglCodes.h"
#include "hostsupport/HostError.h"
#include "hostsupport/Plugin.h"
#include "hostsupport/Scene.h"
#include "hostsupport/Stats.h"

namespace hostsupport {
namespace {

PluginDescription TestPlugin()
{
    const auto parameter = [](uint32_t index, const char* name, uint32_t type,
                              std::vector<OptionElement> elements = {}) {
        ParameterDescription described;
        described.index = index;
        described.name = name;
        described.type = type;
        described.elements = std::move(elements);
        return described;
    };
    PluginDescription plugin;
    plugin.name = "Test";
    plugin.parameters = {
        parameter(0, "Threshold", ffgl::kParameterStandard),
        parameter(1, "Show Blobs", ffgl::kParameterBoolean),
        parameter(2, "Box Style", ffgl::kParameterOption, {{"Rectangle", 0}, {"Corners", 1}, {"Brackets", 2}, {"Dashed", 3}}),
        parameter(3, "Mode", ffgl::kParameterOption, {{"Low", 0.25f}, {"High", 0.75f}}),
        parameter(4, "Caption", ffgl::kParameterText),
    };
    return plugin;
}

std::string FailureOf(const std::string& assignment)
{
    try {
        ResolveSetting(TestPlugin(), assignment);
    } catch (const HostError& error) {
        return error.what();
    }
    return "(no failure)";
}

TEST(HostSupportSettings, NameIsMatchedExactlyOrIgnoringCaseAndSpacesAroundIt)
{
    EXPECT_EQ(ResolveSetting(TestPlugin(), "Threshold=0.25").value, 0.25f);
    EXPECT_EQ(ResolveSetting(TestPlugin(), " show blobs = off").index, 1u);
}

TEST(HostSupportSettings, BooleansTakeOnOffTrueFalseYesNoAndOneZero)
{
    for (const char* on : {"on", "ON", "true", "yes", "1"})
        EXPECT_EQ(ResolveSetting(TestPlugin(), std::string("Show Blobs=") + on).value, 1.0f) << on;
    for (const char* off : {"off", "False", "no", "0"})
        EXPECT_EQ(ResolveSetting(TestPlugin(), std::string("Show Blobs=") + off).value, 0.0f) << off;
    EXPECT_NE(FailureOf("Show Blobs=0.5").find("on/off"), std::string::npos);
}

TEST(HostSupportSettings, OptionsTakeElementNameValueOrPosition)
{
    EXPECT_EQ(ResolveSetting(TestPlugin(), "Box Style=Dashed").value, 3.0f);
    EXPECT_EQ(ResolveSetting(TestPlugin(), "Box Style=brackets").value, 2.0f);
    EXPECT_EQ(ResolveSetting(TestPlugin(), "Box Style=2").value, 2.0f);
    EXPECT_EQ(ResolveSetting(TestPlugin(), "Mode=0.75").value, 0.75f);
    // A position where no element has that value.
    EXPECT_EQ(ResolveSetting(TestPlugin(), "Mode=1").value, 0.75f);
    EXPECT_NE(FailureOf("Mode=2").find("Low=0.25, High=0.75"), std::string::npos);
    EXPECT_NE(FailureOf("Box Style=1.5").find("use one of"), std::string::npos);
}

TEST(HostSupportSettings, NumbersMustBeWholeFiniteAndInsideTheRange)
{
    EXPECT_EQ(ResolveSetting(TestPlugin(), "Threshold=1").value, 1.0f);
    EXPECT_EQ(ResolveSetting(TestPlugin(), "Threshold=0").value, 0.0f);
    EXPECT_NE(FailureOf("Threshold=1.0001").find("outside its range 0 to 1"), std::string::npos);
    EXPECT_NE(FailureOf("Threshold=-0.1").find("outside its range"), std::string::npos);
    EXPECT_NE(FailureOf("Threshold=0.5x").find("not a number"), std::string::npos);
    EXPECT_NE(FailureOf("Threshold=nan").find("not a number"), std::string::npos);
    EXPECT_NE(FailureOf("Threshold=").find("not a number"), std::string::npos);
}

TEST(HostSupportSettings, TextParametersKeepTheTextAsGiven)
{
    const ParameterSetting setting = ResolveSetting(TestPlugin(), "Caption=Hello = world");
    EXPECT_TRUE(setting.isText);
    EXPECT_EQ(setting.text, "Hello = world");
}

TEST(HostSupportSettings, UnknownNameListsEveryParameter)
{
    EXPECT_EQ(FailureOf("Speed=1"),
              "unknown parameter \"Speed\" (the plug-in has: Threshold, Show Blobs, Box Style, Mode, Caption)");
}

TEST(HostSupportStats, MedianOfEvenCountIsTheMeanOfTheMiddleTwo)
{
    const TimingSummary summary = Summarise({4, 1, 3, 2});
    EXPECT_DOUBLE_EQ(summary.medianMs, 2.5);
    EXPECT_DOUBLE_EQ(summary.meanMs, 2.5);
    EXPECT_DOUBLE_EQ(summary.framesPerSecond, 400.0);
}

TEST(HostSupportStats, P99IsTheNearestRank)
{
    std::vector<double> times;
    for (int i = 100; i >= 1; --i)
        times.push_back(i);
    EXPECT_DOUBLE_EQ(Summarise(times).p99Ms, 99.0);
    times.push_back(1000);
    EXPECT_DOUBLE_EQ(Summarise(times).p99Ms, 100.0);
    EXPECT_DOUBLE_EQ(Summarise({5, 7, 6}).p99Ms, 7.0);
}

TEST(HostSupportStats, NoFramesGiveZeros)
{
    const TimingSummary summary = Summarise({});
    EXPECT_EQ(summary.frames, 0u);
    EXPECT_EQ(summary.framesPerSecond, 0.0);
}

size_t CountPinkPixels(const Image& image)
{
    size_t count = 0;
    for (size_t i = 0; i < image.pixels.size(); i += 4)
        count += IsOverlayPink(&image.pixels[i]);
    return count;
}

// Bright regions (luma above the plug-in's default threshold 0.4), 4-connected.
size_t CountBrightRegions(const Image& image)
{
    const auto bright = [&](uint32_t x, uint32_t y) {
        const uint8_t* p = image.Row(y) + x * 4;
        return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2] > 0.4 * 255;
    };
    std::vector<bool> seen(static_cast<size_t>(image.width) * image.height, false);
    size_t regions = 0;
    for (uint32_t y = 0; y < image.height; ++y)
        for (uint32_t x = 0; x < image.width; ++x) {
            if (seen[y * image.width + x] || !bright(x, y))
                continue;
            ++regions;
            std::queue<std::pair<uint32_t, uint32_t>> open;
            open.push({x, y});
            seen[y * image.width + x] = true;
            while (!open.empty()) {
                const auto [cx, cy] = open.front();
                open.pop();
                const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
                for (const auto& step : steps) {
                    const int nx = static_cast<int>(cx) + step[0], ny = static_cast<int>(cy) + step[1];
                    if (nx < 0 || ny < 0 || nx >= static_cast<int>(image.width) || ny >= static_cast<int>(image.height))
                        continue;
                    const size_t at = static_cast<size_t>(ny) * image.width + nx;
                    if (!seen[at] && bright(nx, ny)) {
                        seen[at] = true;
                        open.push({static_cast<uint32_t>(nx), static_cast<uint32_t>(ny)});
                    }
                }
            }
        }
    return regions;
}

TEST(HostSupportScene, SameSeedAndFrameGiveTheSameImage)
{
    Image a(160, 90), b(160, 90), c(160, 90);
    GeneratedScene(3).Render(17, 30, a);
    GeneratedScene(3).Render(17, 30, b);
    GeneratedScene(4).Render(17, 30, c);
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_NE(a.pixels, c.pixels);
}

TEST(HostSupportScene, NeverContainsTheOverlayPinkAndIsOpaque)
{
    Image image(320, 180);
    for (uint32_t seed : {1u, 2u, 99u})
        for (uint64_t frame = 0; frame < 120; frame += 7) {
            GeneratedScene(seed).Render(frame, 30, image);
            EXPECT_EQ(CountPinkPixels(image), 0u) << seed << " " << frame;
            for (size_t i = 3; i < image.pixels.size(); i += 4)
                ASSERT_EQ(image.pixels[i], 255);
        }
}

TEST(HostSupportScene, PairsMergeAndSplitSoTheRegionCountChanges)
{
    Image image(320, 180);
    size_t fewest = 1000, most = 0;
    for (uint64_t frame = 0; frame < 120; frame += 4) {
        GeneratedScene(1).Render(frame, 30, image);
        const size_t regions = CountBrightRegions(image);
        fewest = std::min(fewest, regions);
        most = std::max(most, regions);
    }
    EXPECT_GE(fewest, 3u);
    EXPECT_GE(most, fewest + 2);
}

TEST(HostSupportScene, BlobFieldHasExactlyTheAskedNumberOfSeparateBlobs)
{
    for (const auto& [width, height] : {std::pair<uint32_t, uint32_t>{1280, 720}, {384, 216}, {200, 300}}) {
        const Image field = MakeBlobField(width, height, 20, 1);
        EXPECT_EQ(CountBrightRegions(field), 20u) << width << "x" << height;
    }
    EXPECT_EQ(CountBrightRegions(MakeBlobField(320, 180, 0, 1)), 0u);
}

}  // namespace
}  // namespace hostsupport
