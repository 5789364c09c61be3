// zao-host's command line and its failures: each failure is one line on
// standard error, a non-zero exit, and no output file left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "HostProcess.h"

namespace refhosttest {
namespace {

class RefhostCli : public HostTest {
protected:
    // A render that fails after the given extra arguments, asked for every kind of output.
    ProcessResult RenderExpectingFailure(std::vector<std::string> extra)
    {
        std::vector<std::string> args = {"render",           ZAO_PLUGIN_PATH,         "--frames",
                                         "2",                "--size",                "64x48",
                                         "--output",         Path("out/video.mp4"),   "--frames-dir",
                                         Path("out/frames"), "--contact-sheet",       Path("out/sheet.png"),
                                         "--timing",         Path("out/timing.txt")};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunHost(args);
    }
    // Folders may stay; no file but the test's own inputs.
    void ExpectNoOutputFiles(const std::vector<std::string>& inputs = {})
    {
        for (const std::string& entry : Entries()) {
            if (std::find(inputs.begin(), inputs.end(), entry) == inputs.end()) {
                EXPECT_TRUE(std::filesystem::is_directory(scratch / entry)) << "left behind: " << entry;
            }
        }
    }
};

TEST_F(RefhostCli, UnknownCommandFailsWithOneLineNamingIt)
{
    const ProcessResult result = RunHost({"frobnicate", ZAO_PLUGIN_PATH});
    ExpectOneLineFailure(result, "frobnicate");
    EXPECT_TRUE(result.out.empty());
}

TEST_F(RefhostCli, MissingCommandFailsWithOneLine)
{
    ExpectOneLineFailure(RunHost({}), "zao-host");
}

TEST_F(RefhostCli, UnknownOptionFailsWithOneLineNamingIt)
{
    ExpectOneLineFailure(RunHost({"render", ZAO_PLUGIN_PATH, "--colour", "red"}), "--colour");
}

TEST_F(RefhostCli, HelpListsTheThreeCommandsAndSucceeds)
{
    const ProcessResult result = RunHost({"--help"});
    EXPECT_EQ(result.status, 0);
    for (const char* command : {"info", "render", "bench"})
        EXPECT_NE(result.out.find(command), std::string::npos) << command;
}

TEST_F(RefhostCli, MissingPluginFileIsReportedByName)
{
    const std::string missing = Path("no-such-plugin.so");
    ExpectOneLineFailure(RunHost({"info", missing}), missing + ": no such file");
}

// Files a user may name by mistake, each refused before the loader sees it
// (which would crash on a cut-short one), with what is wrong in one line.
TEST_F(RefhostCli, EveryCommandRefusesAFileThatIsNoPluginForThisMachineWithTheReason)
{
    const std::string plugin = ReadFile(ZAO_PLUGIN_PATH);
    ASSERT_GT(plugin.size(), 100000u);
    std::ofstream(Path("cut.so"), std::ios::binary) << plugin.substr(0, 5000);
    std::string arm = plugin;
    arm[18] = static_cast<char>(183);  // e_machine: EM_AARCH64
    arm[19] = 0;
    std::ofstream(Path("arm64.so"), std::ios::binary) << arm;
    std::string dll(512, '\0');
    dll.replace(0, 2, "MZ");
    dll[0x3c] = static_cast<char>(0x80);  // e_lfanew
    dll.replace(0x80, 4, std::string("PE\0\0", 4));
    dll[0x80 + 23] = 0x20;  // characteristics: IMAGE_FILE_DLL
    std::ofstream(Path("effect.dll"), std::ios::binary) << dll;
    std::ofstream(Path("effect.dylib"), std::ios::binary) << std::string("\xcf\xfa\xed\xfe\x07\x00\x00\x01", 8);
    std::ofstream(Path("fake.so")) << "not an ELF file\n";
    const std::pair<const char*, const char*> files[] = {
        {"cut.so", "cut short: 5,000 of "},
        {"arm64.so", "built for arm64, not x86-64"},
        {"effect.dll", "a Windows DLL, not a library for Linux"},
        {"effect.dylib", "a macOS library (Mach-O), not one for Linux"},
        {"fake.so", "not a shared library (it does not start with an ELF header)"},
    };
    for (const auto& [file, reason] : files) {
        SCOPED_TRACE(file);
        for (const char* command : {"info", "render", "bench"})
            ExpectOneLineFailure(RunHost({command, Path(file)}), reason);
        const ProcessResult validate = RunHost({"validate", Path(file)});
        EXPECT_EQ(validate.status, 1);
        EXPECT_NE(validate.out.find("\nFAIL plug-in-file: " + std::string(reason)), std::string::npos) << validate.out;
        EXPECT_NE(validate.out.find("\nvalidate: 0 passed, 1 failed\n"), std::string::npos) << validate.out;
    }
    ExpectNoOutputFiles({"cut.so", "arm64.so", "effect.dll", "effect.dylib", "fake.so"});
}

// What anyone does after unzipping: name the file in the folder that holds it.
TEST_F(RefhostCli, ABareFileNameIsTheFileInTheWorkingFolder)
{
    std::filesystem::copy_file(ZAO_PLUGIN_PATH, Path("ZudArazOdudave.so"));
    const auto run = [&](std::vector<std::string> args) {
        return RunProgram(ZAO_HOST_PATH, args, {}, {}, scratch.string());
    };
    EXPECT_EQ(run({"info", "ZudArazOdudave.so"}).status, 0);
    EXPECT_EQ(run({"render", "ZudArazOdudave.so", "--frames", "2", "--size", "64x48", "--output", "out.mp4"}).status,
              0);
    EXPECT_EQ(run({"validate", "ZudArazOdudave.so", "--context", "core", "--only", "info-records"}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(Path("out.mp4")));
}

TEST_F(RefhostCli, LibraryWithoutPlugMainIsRefused)
{
    ExpectOneLineFailure(RunHost({"info", ZAO_NOT_A_PLUGIN_PATH}), "does not export plugMain");
}

TEST_F(RefhostCli, MissingPluginLeavesNoRenderOutput)
{
    const ProcessResult result = RunHost({"render", Path("gone.so"), "--output", Path("out/video.mp4")});
    ExpectOneLineFailure(result, "no such file");
    ExpectNoOutputFiles();
}

TEST_F(RefhostCli, InfoShowsDescriptionAndEveryParameterWithTypeDefaultRangeAndOptions)
{
    const ProcessResult result = RunHost({"info", ZAO_PLUGIN_PATH});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* text : {"ZEL DadiDaruzad", "QX01", "effect", "3.0", "Zozivad Uzozaro",
                             "K.V.R. blob/motion tracking with surveillance overlay", "parameters   10"})
        EXPECT_NE(result.out.find(text), std::string::npos) << text;
    // One row per parameter: name, type, default as the host shows it, range.
    for (const char* row : {"Threshold      standard    0.4             0 to 1",
                            "Invert         boolean     off             0 to 1",
                            "Max Blobs      standard    0.5             0 to 1",
                            "Box Style      option      1 (Corners)     0 to 1",
                            "Show Blobs     boolean     on              0 to 1",
                            "Hue Shift      standard    0               0 to 1"})
        EXPECT_NE(result.out.find(row), std::string::npos) << row << "\n" << result.out;
    EXPECT_NE(result.out.find("options: Rectangle = 0, Corners = 1, Brackets = 2, Dashed = 3"), std::string::npos);
}

TEST_F(RefhostCli, UnknownParameterNameFailsAndListsTheKnownOnes)
{
    const ProcessResult result = RenderExpectingFailure({"--set", "Box Colour=2"});
    ExpectOneLineFailure(result, "unknown parameter \"Box Colour\"");
    EXPECT_NE(result.err.find("Threshold, Invert"), std::string::npos);
    ExpectNoOutputFiles();
}

TEST_F(RefhostCli, NumberThatIsNoNumberIsABadValue)
{
    ExpectOneLineFailure(RenderExpectingFailure({"--set", "Threshold=high"}), "bad value \"high\" for \"Threshold\"");
    ExpectNoOutputFiles();
}

TEST_F(RefhostCli, NumberOutsideTheParameterRangeIsABadValue)
{
    ExpectOneLineFailure(RenderExpectingFailure({"--set", "Threshold=1.5"}), "outside its range 0 to 1");
    ExpectNoOutputFiles();
}

TEST_F(RefhostCli, BooleanWordOutsideOnOffTrueFalseIsABadValue)
{
    ExpectOneLineFailure(RenderExpectingFailure({"--set", "Show Blobs=maybe"}), "on/off");
    ExpectNoOutputFiles();
}

TEST_F(RefhostCli, OptionNameThatIsNoElementIsABadValueListingTheElements)
{
    const ProcessResult result = RenderExpectingFailure({"--set", "Box Style=Wavy"});
    ExpectOneLineFailure(result, "Rectangle=0, Corners=1, Brackets=2, Dashed=3");
    ExpectNoOutputFiles();
}

TEST_F(RefhostCli, SettingWithoutEqualsSignIsRefused)
{
    ExpectOneLineFailure(RenderExpectingFailure({"--set", "Threshold"}), "Name=Value");
}

TEST_F(RefhostCli, MissingInputFileFailsAndLeavesNoOutput)
{
    const ProcessResult result = RenderExpectingFailure({"--input", Path("missing.mp4")});
    ExpectOneLineFailure(result, "missing.mp4: no such file");
    ExpectNoOutputFiles();
}

TEST_F(RefhostCli, InputThatIsNoVideoFailsWithFfmpegsReasonAndLeavesNoOutput)
{
    std::ofstream(Path("garbage.mp4")) << "this is no video at all";
    const ProcessResult result = RenderExpectingFailure({"--input", Path("garbage.mp4")});
    ExpectOneLineFailure(result, "cannot read the input");
    ExpectNoOutputFiles({"garbage.mp4"});
}

TEST_F(RefhostCli, MalformedSizeIsRefused)
{
    ExpectOneLineFailure(RunHost({"render", ZAO_PLUGIN_PATH, "--size", "1280by720"}), "bad size");
    ExpectOneLineFailure(RunHost({"render", ZAO_PLUGIN_PATH, "--size", "0x720"}), "1 to 16384");
}

TEST_F(RefhostCli, OddSizeCannotBeWrittenAsMp4)
{
    ExpectOneLineFailure(RunHost({"render", ZAO_PLUGIN_PATH, "--size", "65x48", "--output", Path("v.mp4")}),
                         "even width and height");
    ExpectNoOutputFiles();
}

TEST_F(RefhostCli, UnknownGlApiIsRefused)
{
    ExpectOneLineFailure(RunHost({"render", ZAO_PLUGIN_PATH, "--gl", "vulkan"}), "--gl");
}

TEST_F(RefhostCli, BenchWithUnknownParameterFailsBeforeMeasuring)
{
    const ProcessResult result =
        RunHost({"bench", ZAO_PLUGIN_PATH, "--set", "Speed=1", "--json", Path("bench.json")});
    ExpectOneLineFailure(result, "unknown parameter \"Speed\"");
    EXPECT_TRUE(result.out.empty());
    ExpectNoOutputFiles();
}

}  // namespace
}  // namespace refhosttest
