// zao-host render end to end: frames of the generated scene or of a video
// through the built plug-in, written as PNG frames, MP4 and contact sheet,
// under GLX (its own Xvfb when no display is set) and EGL, and a run cut
// short by Ctrl-C. The tests that look for the overlay's colour need the
// overlay, font and hue shift.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>

#include "HostProcess.h"
#include "PngReader.h"

namespace refhosttest {
namespace {

namespace fs = std::filesystem;

class RefhostRender : public HostTest {
protected:
    // Renders frames of the generated scene into the folder name; the result must succeed.
    void RenderFrames(const std::string& folder, int frames, const std::vector<std::string>& extra = {},
                      const std::vector<std::string>& unset = {})
    {
        std::vector<std::string> args = {"render", ZAO_PLUGIN_PATH, "--frames", std::to_string(frames),
                                         "--size", "320x180",       "--frames-dir", Path(folder)};
        args.insert(args.end(), extra.begin(), extra.end());
        last = RunHost(args, unset);
        ASSERT_EQ(last.status, 0) << last.err;
    }
    hostkit::Image Frame(const std::string& folder, int index)
    {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", index);
        hostkit::Image image;
        EXPECT_TRUE(ReadPng(Path(folder) + "/" + name, image)) << folder << "/" << name;
        return image;
    }
    std::map<std::string, std::string> Probe(const std::string& video)
    {
        const ProcessResult probe = RunProgram(
            "ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                        "stream=width,height,nb_read_frames,codec_type", "-of", "default=noprint_wrappers=1", video});
        EXPECT_EQ(probe.status, 0) << probe.err;
        std::map<std::string, std::string> fields;
        std::istringstream lines(probe.out);
        std::string line;
        while (std::getline(lines, line))
            if (line.find('=') != std::string::npos)
                fields[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
        return fields;
    }
    void ExpectNoHiddenLeftovers(const fs::path& folder)
    {
        for (const auto& entry : fs::directory_iterator(folder))
            EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    }

    ProcessResult last;
};

TEST_F(RefhostRender, PngFramesHaveTheRequestedSizeAndCount)
{
    RenderFrames("frames", 4);
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(Path("frames"))) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 4u);
    for (int i = 0; i < 4; ++i) {
        const hostkit::Image frame = Frame("frames", i);
        EXPECT_EQ(frame.width, 320u);
        EXPECT_EQ(frame.height, 180u);
    }
    ExpectNoHiddenLeftovers(scratch);
}

TEST_F(RefhostRender, Mp4HasTheRequestedSizeAndFrameCount)
{
    const ProcessResult result = RunHost({"render", ZAO_PLUGIN_PATH, "--frames", "6", "--size", "320x180", "--output",
                                          Path("out/video.mp4")});
    ASSERT_EQ(result.status, 0) << result.err;
    auto fields = Probe(Path("out/video.mp4"));
    EXPECT_EQ(fields["codec_type"], "video");
    EXPECT_EQ(fields["width"], "320");
    EXPECT_EQ(fields["height"], "180");
    EXPECT_EQ(fields["nb_read_frames"], "6");
    ExpectNoHiddenLeftovers(Path("out"));
}

TEST_F(RefhostRender, Mpeg4EncoderIsAvailableAsTheFallback)
{
    const ProcessResult result = RunHost({"render", ZAO_PLUGIN_PATH, "--frames", "3", "--size", "160x90", "--codec",
                                          "mpeg4", "--output", Path("video.mp4")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Probe(Path("video.mp4"))["nb_read_frames"], "3");
}

TEST_F(RefhostRender, ContactSheetTilesTheRunAndTimingSummaryIsPrintedAndWritten)
{
    const ProcessResult result = RunHost({"render", ZAO_PLUGIN_PATH, "--frames", "8", "--size", "320x180",
                                          "--contact-sheet", Path("sheet.png"), "--timing", Path("timing.txt")});
    ASSERT_EQ(result.status, 0) << result.err;
    hostkit::Image sheet;
    ASSERT_TRUE(ReadPng(Path("sheet.png"), sheet));
    // 3 x 2 full-size tiles with a 4-pixel gap around each.
    EXPECT_EQ(sheet.width, 3u * 320 + 4 * 4);
    EXPECT_EQ(sheet.height, 2u * 180 + 3 * 4);
    const std::string timing = ReadFile(Path("timing.txt"));
    EXPECT_EQ(timing, result.out);
    for (const char* text : {"frames      8 at 320x180", "mean ", "median ", "p99 ", "frames/s"})
        EXPECT_NE(timing.find(text), std::string::npos) << text << "\n" << timing;
}

TEST_F(RefhostRender, GeneratedSceneIsTheSameForTheSameSeedAndDiffersForAnother)
{
    RenderFrames("a", 1, {"--seed", "7", "--set", "Show Blobs=off"});
    RenderFrames("b", 1, {"--seed", "7", "--set", "Show Blobs=off"});
    RenderFrames("c", 1, {"--seed", "8", "--set", "Show Blobs=off"});
    EXPECT_EQ(Frame("a", 0).pixels, Frame("b", 0).pixels);
    EXPECT_NE(Frame("a", 0).pixels, Frame("c", 0).pixels);
}

TEST_F(RefhostRender, FrameFolderOfAnEarlierLongerRunKeepsOnlyTheNewFrames)
{
    RenderFrames("frames", 5);
    RenderFrames("frames", 2);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Path("frames")))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"frame-000000.png", "frame-000001.png"}));
}

TEST_F(RefhostRender, UserVideoIsReadThroughFfmpegAtItsOwnSizeOrScaled)
{
    const ProcessResult made = RunProgram("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=160x120:rate=10",
                                                     "-frames:v", "5", "-pix_fmt", "yuv420p", Path("input.mp4")});
    ASSERT_EQ(made.status, 0) << made.err;
    ProcessResult result =
        RunHost({"render", ZAO_PLUGIN_PATH, "--input", Path("input.mp4"), "--frames-dir", Path("native")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("frames      5 at 160x120, 10 frames/s"), std::string::npos) << result.out;
    EXPECT_EQ(Frame("native", 4).width, 160u);
    EXPECT_FALSE(fs::exists(Path("native/frame-000005.png")));

    result = RunHost({"render", ZAO_PLUGIN_PATH, "--input", Path("input.mp4"), "--size", "320x240", "--frames", "2",
                      "--frames-dir", Path("scaled")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Frame("scaled", 1).width, 320u);
    EXPECT_EQ(Frame("scaled", 1).height, 240u);
    EXPECT_FALSE(fs::exists(Path("scaled/frame-000002.png")));
}

TEST_F(RefhostRender, ImageSequencePatternIsAnInput)
{
    fs::create_directories(Path("shots"));
    const ProcessResult made = RunProgram("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=96x64:rate=5",
                                                     "-frames:v", "3", Path("shots/%04d.png")});
    ASSERT_EQ(made.status, 0) << made.err;
    const ProcessResult result =
        RunHost({"render", ZAO_PLUGIN_PATH, "--input", Path("shots/%04d.png"), "--frames-dir", Path("frames")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Frame("frames", 2).width, 96u);
    EXPECT_FALSE(fs::exists(Path("frames/frame-000003.png")));
}

// Needs the overlay: the pink of the title, boxes and labels.
TEST_F(RefhostRender, OverlayPinkAppearsOnTheGeneratedScene)
{
    RenderFrames("frames", 2);
    EXPECT_GT(CountPink(Frame("frames", 1)), 200u);
}

// Needs the overlay and the hue shift: the parameter reaches the plug-in by name.
TEST_F(RefhostRender, HueShiftSetByNameTurnsTheOverlayGreen)
{
    RenderFrames("frames", 2, {"--set", "Hue Shift=0.5"});
    const hostkit::Image frame = Frame("frames", 1);
    EXPECT_EQ(CountPink(frame), 0u);
    EXPECT_GT(CountShiftedGreen(frame), 200u);
}

// Needs the overlay: with the target drawing off only the title stays pink.
TEST_F(RefhostRender, ShowBlobsOffLeavesFarLessOverlay)
{
    RenderFrames("on", 2);
    RenderFrames("off", 2, {"--set", "Show Blobs=off"});
    const size_t on = CountPink(Frame("on", 1)), off = CountPink(Frame("off", 1));
    EXPECT_GT(on, 4 * off + 100) << on << " vs " << off;
}

// Needs the overlay: an option set by element name equals the same option set by value.
TEST_F(RefhostRender, OptionByElementNameEqualsOptionByValue)
{
    RenderFrames("named", 1, {"--set", "Box Style=dashed"});
    RenderFrames("valued", 1, {"--set", "Box Style=3"});
    RenderFrames("default", 1);
    EXPECT_EQ(Frame("named", 0).pixels, Frame("valued", 0).pixels);
    EXPECT_NE(Frame("named", 0).pixels, Frame("default", 0).pixels);
}

// Needs the overlay.
TEST_F(RefhostRender, EglRendersWithoutAnyDisplayLikeGlx)
{
    RenderFrames("egl", 2, {"--gl", "egl", "-v"}, {"DISPLAY"});
    EXPECT_NE(last.err.find("EGL"), std::string::npos) << last.err;
    RenderFrames("glx", 2, {"--gl", "glx"});
    const hostkit::Image egl = Frame("egl", 1), glx = Frame("glx", 1);
    EXPECT_EQ(egl.width, 320u);
    EXPECT_GT(CountPink(egl), 200u);
    ASSERT_EQ(egl.pixels.size(), glx.pixels.size());
    size_t differing = 0;
    for (size_t i = 0; i < egl.pixels.size(); i += 4)
        differing += std::memcmp(&egl.pixels[i], &glx.pixels[i], 3) != 0;
    EXPECT_LT(differing, egl.pixels.size() / 4 / 100);
}

TEST_F(RefhostRender, InterruptDestroysTheInstanceAndDeinitialisesBeforeExitAndLeavesNoOutput)
{
    // The probe logs each frame and each destruction: the instance's by code
    // 19, then the prototype's by code 2.
    const ProcessResult result =
        RunProgram(ZAO_HOST_PATH,
                   {"render", ZAO_PROBE_PLUGIN_PATH, "-v", "--size", "16x16", "--frames", "1000000", "--frames-dir",
                    Path("frames")},
                   {}, "probe: ProcessOpenGL");
    EXPECT_EQ(result.status, 130) << result.err;
    const size_t lastFrame = result.err.rfind("probe: ProcessOpenGL");
    ASSERT_NE(lastFrame, std::string::npos) << result.err;
    const std::string tail = result.err.substr(lastFrame);
    EXPECT_NE(tail.find("plug-in: probe: DeInitGL\nplug-in: probe: destroyed\nplug-in: probe: destroyed\nzao-host: "
                        "interrupted\n"),
              std::string::npos)
        << tail;
    EXPECT_TRUE(Entries().empty());
}

TEST_F(RefhostRender, GlxWithoutDisplayStartsItsOwnXvfbAndStopsIt)
{
    RenderFrames("frames", 1, {"--gl", "glx", "-v"}, {"DISPLAY"});
    const std::string& err = last.err;
    const size_t on = err.find("GLX on :");
    ASSERT_NE(on, std::string::npos) << err;
    EXPECT_NE(err.find("Xvfb started"), std::string::npos);
    const std::string number = err.substr(on + 8, err.find(' ', on + 8) - on - 8);
    EXPECT_FALSE(fs::exists("/tmp/.X" + number + "-lock")) << "Xvfb :" << number << " is still running";
    EXPECT_EQ(Frame("frames", 0).width, 320u);
}

}  // namespace
}  // namespace refhosttest
