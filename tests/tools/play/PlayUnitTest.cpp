// The live window's logic without a window: where the output goes, which
// values a reloaded plug-in starts with and which it drops, the verdict on a
// version tried in a child, the frame-time record, and a clip's shown size.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "TestClips.h"

#include "hostkit/FfglCodes.h"
#include "hostsupport/HostError.h"
#include "hostsupport/VideoIo.h"
#include "play/FrameTimes.h"
#include "play/KeptValues.h"
#include "play/OutputView.h"
#include "play/SourceWorker.h"
#include "play/VersionTrial.h"

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

    // A value outside the new range is not kept either. Each value not kept
    // is told with its reason; a new parameter or an event is no loss.
    after.parameters[2].maximum = 0.2f;
    std::vector<DroppedValue> dropped;
    EXPECT_EQ(kept.StartValues(after, &dropped)[2], Number(0));
    ASSERT_EQ(dropped.size(), 3u);
    const std::string expected[][3] = {{"Box Style", "3", "no longer one of its options"},
                                       {"Hue Shift", "0.25", "outside its new range 0 to 0.2"},
                                       {"Was Number", "0.5", "now a text"}};
    for (size_t i = 0; i < dropped.size(); ++i) {
        EXPECT_EQ(dropped[i].name, expected[i][0]);
        EXPECT_EQ(dropped[i].value, expected[i][1]);
        EXPECT_EQ(dropped[i].reason, expected[i][2]);
    }

    // A trial's child gets the same values by its command line.
    EXPECT_EQ(KeptValues::FromLines(kept.Lines()).StartValues(before), kept.StartValues(before));
    before.parameters[0].maximum = 0.3f;
    kept.Remember(before.parameters[0], Number(0.1f + 0.2f));  // a float with many digits
    EXPECT_EQ(KeptValues::FromLines(kept.Lines()).StartValues(before)[0], Number(0.1f + 0.2f));
}

TEST(PlayVersionTrial, TheVerdictNamesTheCallAndHowTheChildEnded)
{
    struct Case {
        const char* report;
        int status;
        bool hung;
        const char* lastOutput;
        const char* reason;
    };
    const Case cases[] = {
        {"step loading the file\nstep code 17 (frame 3 of 3)\npass\n", 0, false, "", ""},
        {"step code 18 (make an instance at 64x48)\n", 128 + 11, false, "",
         "crashed in code 18 (make an instance at 64x48): Segmentation fault, signal 11"},
        {"step code 17 (frame 1 of 3)\n", 128 + 6, false, "terminate called without an active exception",
         "crashed in code 17 (frame 1 of 3): Aborted, signal 6 (its last words: terminate called without an active "
         "exception)"},
        {"step code 17 (frame 1 of 3)\n", 128 + 9, true, "", "hung in code 17 (frame 1 of 3): no answer within 2 s, stopped"},
        {"step code 17 (frame 1 of 3)\nfail left GL_INVALID_VALUE after code 17 (frame 1 of 3)\n", 1, false, "",
         "left GL_INVALID_VALUE after code 17 (frame 1 of 3)"},
        {"step unloading the library\n", 3, false, "", "ended in unloading the library with status 3 before its verdict"},
        // A pass the process does not confirm is no pass.
        {"step code 2 (deinitialise)\npass\n", 1, false, "", "ended in code 2 (deinitialise) with status 1 before its verdict"},
    };
    for (const Case& c : cases) {
        TrialReport report;
        // As a pipe delivers it: in pieces that split lines.
        const std::string text = c.report;
        for (size_t at = 0; at < text.size(); at += 5)
            report.Append(text.data() + at, std::min<size_t>(5, text.size() - at));
        TrialEnd end;
        end.status = c.status;
        end.hung = c.hung;
        end.callSeconds = 2;
        end.lastOutput = c.lastOutput;
        EXPECT_EQ(JudgeTrial(report, end), c.reason) << c.report;
    }
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

// Frames whose first pixel is their number; the clip ends after length frames,
// or fails there when failing.
class CountingSource : public FrameSource {
public:
    CountingSource(uint8_t length, bool loops, bool failing) : length(length), loops(loops), failing(failing) {}
    bool Read(Image& image) override
    {
        if (next == length) {
            if (failing)
                throw hostsupport::HostError("broken at " + std::to_string(next));
            return false;
        }
        image.pixels[0] = next++;
        return true;
    }
    bool Seek(uint64_t position) override
    {
        next = static_cast<uint8_t>(position);
        return true;
    }
    bool Loops() const override { return loops; }

private:
    uint8_t length, next = 0;
    bool loops, failing;
};

// The first pixels of the next count frames the worker hands over, waiting for each.
std::vector<int> Take(SourceWorker& worker, int count)
{
    std::vector<int> seen;
    for (int tries = 0; tries < 2000 && static_cast<int>(seen.size()) < count; ++tries) {
        if (const SourceFrame* frame = worker.TakeNext()) {
            EXPECT_EQ(frame->position, static_cast<uint64_t>(frame->image.pixels[0]));
            seen.push_back(frame->image.pixels[0]);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return seen;
}

TEST(PlaySourceWorker, FramesComeInOrderLoopAndSeekAndAFailureStopsWithItsReason)
{
    SourceWorker looping(std::make_unique<CountingSource>(3, true, false), 1, 1);
    EXPECT_EQ(Take(looping, 7), (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));
    EXPECT_EQ(looping.Status(), "");

    SourceWorker failing(std::make_unique<CountingSource>(4, true, true), 1, 1);
    EXPECT_EQ(Take(failing, 4), (std::vector<int>{0, 1, 2, 3}));
    for (int i = 0; i < 2000 && failing.Status().empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(failing.Status(), "broken at 4");
    EXPECT_EQ(failing.TakeNext(), nullptr);  // the last frame stays the GL thread's
    // Stepping back starts it again from there.
    ASSERT_TRUE(failing.Seek(1));
    EXPECT_EQ(Take(failing, 3), (std::vector<int>{1, 2, 3}));
}

// A clip is shown as its player shows it: turned upright, wide pixels wide.
TEST(PlayClipSize, ARotatedOrWidePixelClipIsDecodedUprightAtItsShownSize)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("play-clips-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    struct Case {
        refhosttest::TestClip clip;
        uint32_t width, height;
    };
    for (const Case& c : {Case{refhosttest::TestClip::Rotated, 90, 160}, Case{refhosttest::TestClip::WidePixels, 160, 90}}) {
        const std::string path = (folder / "clip.mp4").string();
        ASSERT_TRUE(refhosttest::MakeTestClip(path, c.clip));
        const hostsupport::VideoProbe probe = hostsupport::ProbeVideo(path);
        EXPECT_EQ(probe.width, c.width);
        EXPECT_EQ(probe.height, c.height);
        if (c.clip != refhosttest::TestClip::Rotated)
            continue;
        // Red beside blue, turned: one above the other, each a whole row wide.
        hostsupport::VideoReader reader(path, probe.width, probe.height, 1);
        Image frame;
        ASSERT_TRUE(reader.ReadFrame(frame));
        const uint8_t* top = frame.At(probe.width / 2, probe.height / 4);
        const uint8_t* bottom = frame.At(probe.width / 2, probe.height * 3 / 4);
        const uint8_t* topLeft = frame.At(probe.width / 8, probe.height / 4);
        EXPECT_GT(std::abs(top[0] - bottom[0]), 150) << "top and bottom should be red and blue";
        EXPECT_LT(std::abs(top[0] - topLeft[0]), 40) << "a row should be one colour";
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace play
