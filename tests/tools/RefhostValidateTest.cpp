// zao-host validate as a user runs it: every test passes on our plug-in, and
// a plug-in that crashes, hangs or leaks GL programs is reported test by
// test while the validator itself carries on and exits non-zero.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "HostProcess.h"

namespace refhosttest {
namespace {

const std::vector<std::string> kTestNames = {
    "info-records", "function-codes",    "create-destroy", "create-destroy-frames", "gl-resources", "parameter-storm",
    "frame-sizes",  "zero-size-texture", "resize",         "many-instances",        "gl-state"};

// The result line of one test, "PASS name (...)" or "FAIL name (...): reason".
std::string ResultLine(const ProcessResult& result, const std::string& name)
{
    std::smatch match;
    const std::regex line("(^|\n)((PASS|FAIL) " + name + " \\([0-9.]+ s\\)[^\n]*)");
    return std::regex_search(result.out, match, line) ? match[2].str() : std::string();
}

void ExpectSummary(const ProcessResult& result, size_t passed, size_t failed)
{
    const std::string summary =
        "validate: " + std::to_string(passed) + " passed, " + std::to_string(failed) + " failed\n";
    EXPECT_NE(result.out.find(summary), std::string::npos) << result.out << result.err;
}

TEST(RefhostValidate, ListNamesEveryTestWithoutAPlugin)
{
    const ProcessResult result = RunHost({"validate", "--list"});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const std::string& name : kTestNames)
        EXPECT_TRUE(std::regex_search(result.out, std::regex("(^|\n)" + name + " +[a-z0-9]")))
            << name << "\n" << result.out;
}

// The long runs use EGL: they need no X server, so a busy display cannot fail them.
TEST(RefhostValidate, WholeSuitePassesOnOurPlugin)
{
    const ProcessResult result = RunHost({"validate", ZAO_PLUGIN_PATH, "--gl", "egl"});
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    for (const std::string& name : kTestNames)
        EXPECT_EQ(ResultLine(result, name).rfind("PASS ", 0), 0u) << name << "\n" << result.out;
    ExpectSummary(result, kTestNames.size(), 0);
}

TEST(RefhostValidate, QuickTestsPassOnOurPluginUnderGlx)
{
    const ProcessResult result =
        RunHost({"validate", ZAO_PLUGIN_PATH, "--only", "info-records,function-codes,zero-size-texture,gl-state"});
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    ExpectSummary(result, 4, 0);
    EXPECT_NE(result.out.find("(GLX, at most 60 s each)"), std::string::npos) << result.out;
}

TEST(RefhostValidate, CrashOnFramesFailsEveryFrameTestAndTheRestStillRuns)
{
#if defined(ZAO_SANITIZED)
    // The crash must reach the validator as the signal a plain build gets,
    // not as AddressSanitizer's report and exit status.
    const char* options = std::getenv("ASAN_OPTIONS");
    setenv("ASAN_OPTIONS", (std::string(options ? options : "") + ":handle_segv=0").c_str(), 1);
#endif
    const ProcessResult result = RunHost({"validate", ZAO_CRASHING_PLUGIN_PATH, "--gl", "egl"});
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    // Tests without frames pass; each test with a frame names the crash and the frame.
    for (const char* name : {"info-records", "create-destroy"})
        EXPECT_EQ(ResultLine(result, name).rfind("PASS ", 0), 0u) << name << "\n" << result.out;
    for (const char* name : {"function-codes", "create-destroy-frames", "gl-resources", "parameter-storm",
                             "frame-sizes", "zero-size-texture", "resize", "many-instances", "gl-state"}) {
        const std::string line = ResultLine(result, name);
        EXPECT_EQ(line.rfind("FAIL ", 0), 0u) << name << "\n" << result.out;
        EXPECT_NE(line.find("crashed (Segmentation fault, signal 11) during: "), std::string::npos) << line;
    }
    EXPECT_NE(ResultLine(result, "frame-sizes").find("during: frame 1 at 1x1"), std::string::npos) << result.out;
    ExpectSummary(result, 2, 9);
}

TEST(RefhostValidate, LeakedProgramPerInstanceFailsOnlyTheGlResourceTest)
{
    const ProcessResult result = RunHost({"validate", ZAO_LEAKING_PLUGIN_PATH, "--gl", "egl"});
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    const std::string line = ResultLine(result, "gl-resources");
    EXPECT_EQ(line.rfind("FAIL gl-resources", 0), 0u) << result.out;
    EXPECT_NE(line.find("after 1000 create/destroy cycles: programs 0 -> 1000"), std::string::npos) << line;
    ExpectSummary(result, kTestNames.size() - 1, 1);
}

TEST(RefhostValidate, HangIsKilledAtTheTimeoutAndReported)
{
    const ProcessResult result =
        RunHost({"validate", ZAO_HANGING_PLUGIN_PATH, "--gl", "egl", "--only", "frame-sizes", "--timeout", "3"});
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    const std::string line = ResultLine(result, "frame-sizes");
    EXPECT_NE(line.find("hung: no verdict within 3 s, killed during: frame 1 at 1x1"), std::string::npos)
        << result.out;
    ExpectSummary(result, 0, 1);
}

TEST(RefhostValidate, UnknownTestNameFailsWithOneLineListingTheTests)
{
    ExpectOneLineFailure(RunHost({"validate", ZAO_PLUGIN_PATH, "--only", "frame-size"}),
                         "unknown test \"frame-size\" (the tests are: info-records, function-codes");
}

TEST(RefhostValidate, MissingPluginFailsWithOneLine)
{
    ExpectOneLineFailure(RunHost({"validate", "/nonexistent/plugin.so"}), "/nonexistent/plugin.so: no such file");
    ExpectOneLineFailure(RunHost({"validate"}), "needs the PLUGIN file");
}

TEST(RefhostValidate, FileThatIsNoPluginFailsEveryTestWithTheReason)
{
    const ProcessResult result = RunHost({"validate", ZAO_NOT_A_PLUGIN_PATH, "--only", "info-records"});
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    EXPECT_NE(ResultLine(result, "info-records").find("does not export plugMain"), std::string::npos) << result.out;
}

}  // namespace
}  // namespace refhosttest
