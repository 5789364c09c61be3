// zao-host validate as a user runs it: every test passes on our plug-in in
// every kind of GL context, and plug-ins with one deliberate fault each (a
// crash, a hang, leaked GL objects, GL errors, host state or host objects not
// given back, a host sampler sampled through, unchecked input handles and
// declared sizes, memory or GL objects that grow every frame) are reported
// test by test with the reason while the validator itself carries on and
// exits non-zero.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <regex>

#include "HostProcess.h"

namespace refhosttest {
namespace {

const std::vector<std::string> kTestNames = {
    "info-records", "function-codes", "create-destroy", "create-destroy-frames", "gl-resources", "parameter-storm",
    "frame-sizes", "zero-size-texture", "resize", "many-instances", "gl-state", "input-handles", "viewport-indices",
    "declared-size", "growth"};
const std::vector<std::string> kKinds = {"core", "forward", "compat", "debug", "mac"};

std::string BrokenPlugin(const std::string& fault)
{
    return std::string(ZAO_BROKEN_PLUGIN_DIR) + "/libRefhostBroken_" + fault + ".so";
}

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
TEST(RefhostValidate, WholeSuitePassesOnOurPluginInEveryKindOfContext)
{
    const ProcessResult result = RunHost({"validate", ZAO_PLUGIN_PATH, "--gl", "egl"});
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_EQ(result.out.find("FAIL "), std::string::npos) << result.out;
    for (const std::string& kind : kKinds) {
        const std::regex header("\ncontext " + kind + " \\(EGL " + kind + " 4\\.1\\): [^\n]*OpenGL [^\n]+\n");
        EXPECT_TRUE(std::regex_search(result.out, header)) << kind << "\n" << result.out;
        EXPECT_NE(result.out.find("\nvalidate " + kind + ": " + std::to_string(kTestNames.size()) + " passed, 0 failed\n"),
                  std::string::npos)
            << result.out;
    }
    ExpectSummary(result, kTestNames.size() * kKinds.size(), 0);
}

TEST(RefhostValidate, QuickTestsPassOnOurPluginUnderGlx)
{
    const ProcessResult result =
        RunHost({"validate", ZAO_PLUGIN_PATH, "--only", "info-records,function-codes,zero-size-texture,gl-state"});
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    ExpectSummary(result, 4 * kKinds.size(), 0);
    EXPECT_NE(result.out.find("in 5 kinds of context (core, forward, compat, debug, mac), each in its own process "
                              "(GLX, at most 60 s each)"),
              std::string::npos)
        << result.out;
}

// A display nobody serves: no GLX context can be made, which is no test's failure.
TEST(RefhostValidate, KindWithoutAContextIsSkippedWithTheReason)
{
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    setenv("DISPLAY", ":987", 1);
    const ProcessResult result =
        RunHost({"validate", ZAO_PLUGIN_PATH, "--context", "compat", "--only", "info-records"});
    if (display)
        setenv("DISPLAY", saved.c_str(), 1);
    else
        unsetenv("DISPLAY");
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    EXPECT_NE(result.out.find("\ncontext compat (GLX compat 4.1): skipped: no GLX compat 4.1 context: "),
              std::string::npos)
        << result.out;
    EXPECT_EQ(result.out.find("PASS "), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\nvalidate: 0 passed, 0 failed, 1 kind of context skipped\n"), std::string::npos)
        << result.out;
}

TEST(RefhostValidate, CrashOnFramesFailsEveryFrameTestAndTheRestStillRuns)
{
    LetCrashesThrough();
    const ProcessResult result =
        RunHost({"validate", BrokenPlugin("CRASH_ON_FRAME"), "--gl", "egl", "--context", "core"});
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    // Tests without frames pass; each test with a frame names the crash and the frame.
    for (const char* name : {"info-records", "create-destroy"})
        EXPECT_EQ(ResultLine(result, name).rfind("PASS ", 0), 0u) << name << "\n" << result.out;
    for (const char* name : {"function-codes", "create-destroy-frames", "gl-resources", "parameter-storm",
                             "frame-sizes", "zero-size-texture", "resize", "many-instances", "gl-state",
                             "input-handles", "viewport-indices", "declared-size", "growth"}) {
        const std::string line = ResultLine(result, name);
        EXPECT_EQ(line.rfind("FAIL ", 0), 0u) << name << "\n" << result.out;
        EXPECT_NE(line.find("crashed (Segmentation fault, signal 11) during: "), std::string::npos) << line;
    }
    EXPECT_NE(ResultLine(result, "frame-sizes").find("during: frame 1 at 1x1"), std::string::npos) << result.out;
    ExpectSummary(result, 2, kTestNames.size() - 2);
}

TEST(RefhostValidate, LeakedProgramPerInstanceFailsOnlyTheGlResourceTest)
{
    const ProcessResult result =
        RunHost({"validate", BrokenPlugin("LEAK_PROGRAM"), "--gl", "egl", "--context", "core"});
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    const std::string line = ResultLine(result, "gl-resources");
    EXPECT_EQ(line.rfind("FAIL gl-resources", 0), 0u) << result.out;
    EXPECT_NE(line.find("after 1000 create/destroy cycles: programs 0 -> 1000"), std::string::npos) << line;
    ExpectSummary(result, kTestNames.size() - 1, 1);
}

// Each probe makes one fault; the test where it shows names it in one line,
// which holds reason and, where given, then after it (around a GL name or a
// rate that the driver decides).
TEST(RefhostValidate, EachFaultFailsWithItsReason)
{
    struct Case {
        const char* fault;
        const char* context;
        const char* test;
        const char* reason;
        const char* then;
    };
    const Case cases[] = {
        {"LEAVE_GL_ERROR", "core", "frame-sizes",
         "code 17 (process frame) left GL_INVALID_VALUE during: frame 1 at 1x1", ""},
        {"SWALLOW_GL_ERROR", "debug", "zero-size-texture",
         "code 17 (process frame) raised a GL debug message: error ", ""},
        {"LEAVE_BLEND", "forward", "resize",
         "code 17 (process frame) left GL_BLEND enabled (the host had it disabled) during: frame 1 at 64x64", ""},
        {"MOVE_VIEWPORT", "core", "resize",
         "code 17 (process frame) left GL_VIEWPORT at 1,2,3,4 (the host had 0,0,64,64) during: frame 1", ""},
        {"LEAVE_TEXTURE_BOUND", "compat", "many-instances",
         "bound to GL_TEXTURE_2D on unit 5 (the host had 0) during: frame 1 of instance 0", ""},
        {"LEAVE_SAMPLER_BOUND", "core", "gl-state",
         "bound on unit 5 (the host had 0) during: a frame with clean host GL state", ""},
        {"BIND_INPUT_UNCHECKED", "core", "input-handles",
         "code 17 (process frame) left GL_INVALID_OPERATION during: a frame whose input handle is a name never", ""},
        {"BIND_INPUT_UNCHECKED", "compat", "input-handles", ") bound it: the name is a texture now", ""},
        {"SET_ALL_VIEWPORTS", "core", "viewport-indices",
         "code 17 (process frame) left GL_VIEWPORT index 1 at 0,0,64,48 (the host had 3.5,2.25,20,10) during: frame 1 "
         "at 64x48",
         ""},
        {"ALLOCATE_DECLARED_SIZE", "core", "declared-size",
         "a frame whose 64x48 texture is declared as 12000x12000 raised the peak resident memory by ", ""},
        {"UNGUARDED_DECLARED_SIZE", "core", "declared-size",
         "code 17 (process frame) left GL_INVALID_VALUE during: a frame whose 64x48 texture is declared wider than "
         "GL_MAX_TEXTURE_SIZE, as ",
         ""},
        {"SAMPLE_THROUGH_HOST_SAMPLER", "core", "gl-state",
         "a frame with a host sampler with default parameters bound on unit 0 differs from one with clean state: ",
         " pixels differ"},
        {"LEAVE_VERTEX_ARRAY", "mac", "frame-sizes", "code 17 (process frame) left vertex array ",
         " bound (the host had 0) during: frame 1 at 1x1"},
        {"LEAVE_DEPTH_TEST", "debug", "resize",
         "code 17 (process frame) left GL_DEPTH_TEST enabled (the host had it disabled) during: frame 1 at 64x64", ""},
        {"CHANGE_PIXEL_STORE", "compat", "frame-sizes",
         "code 17 (process frame) left GL_UNPACK_ALIGNMENT at 1 (the host had 4) and left GL_PACK_ROW_LENGTH at 1000 "
         "(the host had 0) during: frame 1 at 1x1",
         ""},
        {"CHANGE_HOST_TEXTURE_FILTER", "forward", "frame-sizes",
         "code 17 (process frame) changed the host's input texture ",
         ": GL_TEXTURE_MIN_FILTER to GL_LINEAR (the host had GL_NEAREST) during: frame 1 at 1x1"},
        {"CHANGE_HOST_FRAMEBUFFER", "core", "resize", "code 17 (process frame) changed the host's framebuffer ",
         ": GL_COLOR_ATTACHMENT1 type to GL_TEXTURE (the host had GL_NONE) and GL_COLOR_ATTACHMENT1 object to "},
        {"CHANGE_HOST_VERTEX_ARRAY", "compat", "gl-state", "code 17 (process frame) changed the host's vertex array ",
         ": attribute 0 disabled (the host had it enabled) during: a frame with a host vertex array"},
        {"GROW_MEMORY", "core", "growth", "resident memory grows ", " KiB per frame over 300 frames (+"},
        {"GROW_GL_OBJECTS", "compat", "growth", "textures grow 1 per frame over 300 frames (", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fault) + " in " + c.context);
        const ProcessResult result =
            RunHost({"validate", BrokenPlugin(c.fault), "--gl", "egl", "--context", c.context, "--only", c.test});
        EXPECT_EQ(result.status, 1) << result.out << result.err;
        const std::string line = ResultLine(result, c.test);
        EXPECT_EQ(line.rfind("FAIL ", 0), 0u) << result.out;
        const size_t at = line.find(c.reason);
        EXPECT_NE(at, std::string::npos) << line;
        if (at != std::string::npos) {
            EXPECT_NE(line.find(c.then, at + std::strlen(c.reason)), std::string::npos) << line;
        }
    }
}

// State a plug-in leaves is its fault, named in every test with a frame and
// never turned into a fault of the validator's own read-back (a pack row
// length of 1000 would make it write far past its buffer).
TEST(RefhostValidate, StateLeftByAPlugInIsNamedAsItsFaultInEveryTestWithFrames)
{
    const ProcessResult result =
        RunHost({"validate", BrokenPlugin("CHANGE_PIXEL_STORE"), "--gl", "egl", "--context", "core"});
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    for (const std::string& name : kTestNames) {
        const std::string line = ResultLine(result, name);
        if (name == "info-records" || name == "create-destroy") {
            EXPECT_EQ(line.rfind("PASS ", 0), 0u) << line;
            continue;
        }
        EXPECT_EQ(line.rfind("FAIL ", 0), 0u) << line;
        EXPECT_NE(line.find("): code 17 (process frame) left GL_UNPACK_ALIGNMENT at 1 (the host had 4) and left "
                            "GL_PACK_ROW_LENGTH at 1000 (the host had 0) during: "),
                  std::string::npos)
            << line;
    }
    ExpectSummary(result, 2, kTestNames.size() - 2);
}

// A fault that only a debug context's messages reveal: the other kinds pass.
TEST(RefhostValidate, SwallowedGlErrorFailsOnlyInTheDebugContext)
{
    const ProcessResult result =
        RunHost({"validate", BrokenPlugin("SWALLOW_GL_ERROR"), "--gl", "egl", "--only", "zero-size-texture"});
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    for (const char* kind : {"core", "forward", "compat"})
        EXPECT_NE(result.out.find("\nvalidate " + std::string(kind) + ": 1 passed, 0 failed\n"), std::string::npos)
            << result.out;
    EXPECT_NE(result.out.find("\nvalidate debug: 0 passed, 1 failed\n"), std::string::npos) << result.out;
}

// What this machine's driver forgives and a Mac does not: only the mac kind fails them.
TEST(RefhostValidate, MacContextFailsPlugInsThatWouldNotLoadOnAMac)
{
    LetCrashesThrough();
    const std::pair<const char*, const char*> cases[] = {
        {"UNGUARDED_GL45", "crashed (Segmentation fault, signal 11) during: cycle 1 of 100: the plug-in called "
                           "address 0: a function pointer it never checked"},
        {"GLEW_BY_EXTENSION_LIST", "crashed (Segmentation fault, signal 11) during: cycle 1 of 100: the plug-in "
                                   "loads OpenGL by the extension list (GLEW without glewExperimental?)"},
    };
    for (const auto& [fault, reason] : cases) {
        SCOPED_TRACE(fault);
        const ProcessResult mac =
            RunHost({"validate", BrokenPlugin(fault), "--gl", "egl", "--context", "mac", "--only", "create-destroy"});
        EXPECT_EQ(mac.status, 1) << mac.out << mac.err;
        EXPECT_NE(ResultLine(mac, "create-destroy").find(reason), std::string::npos) << mac.out;
        const ProcessResult core =
            RunHost({"validate", BrokenPlugin(fault), "--gl", "egl", "--context", "core", "--only", "create-destroy"});
        EXPECT_EQ(core.status, 0) << core.out << core.err;
    }
}

TEST(RefhostValidate, HangIsKilledAtTheTimeoutAndReported)
{
    const ProcessResult result = RunHost({"validate", BrokenPlugin("HANG_ON_FRAME"), "--gl", "egl", "--context",
                                          "core", "--only", "frame-sizes", "--timeout", "3"});
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    const std::string line = ResultLine(result, "frame-sizes");
    EXPECT_NE(line.find("hung: no verdict within 3 s, killed during: frame 1 at 1x1"), std::string::npos)
        << result.out;
    ExpectSummary(result, 0, 1);
}

TEST(RefhostValidate, UnknownTestOrContextFailsWithOneLine)
{
    ExpectOneLineFailure(RunHost({"validate", ZAO_PLUGIN_PATH, "--only", "frame-size"}),
                         "unknown test \"frame-size\" (the tests are: info-records, function-codes");
    ExpectOneLineFailure(RunHost({"validate", ZAO_PLUGIN_PATH, "--context", "legacy"}), "--context");
}

TEST(RefhostValidate, MissingPluginFailsWithOneLine)
{
    ExpectOneLineFailure(RunHost({"validate", "/nonexistent/plugin.so"}), "/nonexistent/plugin.so: no such file");
    ExpectOneLineFailure(RunHost({"validate"}), "needs the PLUGIN file");
}

TEST(RefhostValidate, FileThatIsNoPluginFailsEveryTestWithTheReason)
{
    const ProcessResult result =
        RunHost({"validate", ZAO_NOT_A_PLUGIN_PATH, "--context", "core", "--only", "info-records"});
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    EXPECT_NE(ResultLine(result, "info-records").find("does not export plugMain"), std::string::npos) << result.out;
}

}  // namespace
}  // namespace refhosttest
