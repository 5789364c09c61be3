// The validator's tests of input records a careless host sends: a handle that
// names no 2D texture, and a declared size far beyond the texture's own.
#include "Checks.h"

#include <GL/glew.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace validator {

namespace {

constexpr uint32_t kWidth = 64, kHeight = 48;
constexpr uint32_t kDeclared = 12000;
// Half of what one RGBA8 copy of the declared image takes (275 MiB): an
// effect may keep work buffers that follow the declared size at a fraction
// of it (a small analysis grid, say), but not a read-back or copy of it.
constexpr long kGrowthLimitKib = static_cast<long>(uint64_t{kDeclared} * kDeclared * 4 / 2 / 1024);
constexpr double kSecondsLimit = 2.0;

// A name no texture has: glBindTexture makes a texture of it in a
// compatibility context and fails in a core one.
GLuint NameNeverGenerated()
{
    GLuint name = 0x7fff0000;
    while (glIsTexture(name))
        ++name;
    return name;
}

GLuint RectangleTexture(const Image& image)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_RECTANGLE, texture);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_RECTANGLE, 0, GL_RGBA8, static_cast<GLsizei>(image.width),
                 static_cast<GLsizei>(image.height), 0, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels.data());
    glBindTexture(GL_TEXTURE_RECTANGLE, 0);
    return texture;
}

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"), or -1.
long StatusKib(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) != 0)
            continue;
        long kib = -1;
        std::istringstream(line.substr(field.size() + 1)) >> kib;
        return kib;
    }
    return -1;
}

// Where peak resident memory counts from: the peak is reset to the current
// size where the kernel allows it, else growth counts from the peak so far.
long PeakBaseKib()
{
    std::ofstream reset("/proc/self/clear_refs");
    reset << "5" << std::flush;
    return reset ? StatusKib("VmRSS") : StatusKib("VmHWM");
}

void FrameStillWorks(Session& session, FrameRig& rig, hostkit::EffectInstance& instance, const std::string& after)
{
    const std::string what = "a 64x48 frame after " + after;
    session.report.Step(what);
    rig.ProcessOrFail(session, instance, what);
    Require(rig.OutputProduced(), what + " left the output untouched");
}

}  // namespace

std::string InputHandles(Session& session)
{
    if (session.inputCount == 0)
        return "a source takes no input";
    const Image image = TestImage(kWidth, kHeight, 37);
    FrameRig rig(image);
    const GLuint never = NameNeverGenerated();
    const GLuint rectangle = RectangleTexture(image);
    const std::pair<GLuint, std::string> handles[] = {
        {never, "a name never generated (" + std::to_string(never) + ")"},
        {rectangle, "a GL_TEXTURE_RECTANGLE texture (" + std::to_string(rectangle) + ")"}};
    session.report.Step("code 18 for the odd input handles");
    hostkit::EffectInstance instance = session.Create(kWidth, kHeight);
    FrameStillWorks(session, rig, instance, "code 18");
    std::string answers;
    for (const auto& [handle, name] : handles) {
        const std::string what = "a frame whose input handle is " + name;
        rig.HandHandle(handle);
        session.report.Step(what);
        const uint64_t answer = rig.Process(session, instance);
        rig.HandHandle(0);
        Require(IsSuccessOrFailure(answer), what + " answered " + Hex(answer) + ", neither 0 nor the failure code");
        Require(handle != never || !glIsTexture(never), what + " bound it: the name is a texture now");
        answers += std::string(answers.empty() ? "" : ", ") + (IsFailureCode(answer) ? "failure" : "0");
        FrameStillWorks(session, rig, instance, what);
    }
    session.report.Step("code 19 after the odd input handles");
    session.Destroy(instance);
    glDeleteTextures(1, &rectangle);
    return "a name never generated and a rectangle texture, answers " + answers;
}

std::string DeclaredSize(Session& session)
{
    if (session.inputCount == 0)
        return "a source takes no input";
    FrameRig rig(TestImage(kWidth, kHeight, 41));
    session.report.Step("code 18 for the declared-size frame");
    hostkit::EffectInstance instance = session.Create(kWidth, kHeight);
    FrameStillWorks(session, rig, instance, "code 18");

    const std::string what = "a frame whose 64x48 texture is declared as " + Size(kDeclared, kDeclared);
    rig.DescribeTexture(kDeclared, kDeclared, kDeclared, kDeclared);
    glFinish();
    const long base = PeakBaseKib();
    session.report.Step(what);
    const auto start = std::chrono::steady_clock::now();
    // A size beyond GL_MAX_TEXTURE_SIZE may fairly be refused with the failure code.
    const uint64_t answer = rig.Process(session, instance, {}, [] { glFinish(); });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long growthKib = StatusKib("VmHWM") - base;
    const std::string growth = std::to_string(growthKib / 1024) + " MiB";
    Require(IsSuccessOrFailure(answer), what + " answered " + Hex(answer) + ", neither 0 nor the failure code");
    Require(growthKib <= kGrowthLimitKib, what + " raised the peak resident memory by " + growth +
                                              ": memory sized by the declared size, not the texture");
    char took[32];
    std::snprintf(took, sizeof took, "%.1f s", seconds);
    Require(seconds <= kSecondsLimit, what + " took " + took + ", more than 2 s");

    rig.DescribeTexture(kWidth, kHeight, kWidth, kHeight);
    FrameStillWorks(session, rig, instance, "the declared-size frame");
    session.report.Step("code 19 after the declared-size frame");
    session.Destroy(instance);
    return std::string(IsFailureCode(answer) ? "failure" : "0") + " for " + Size(kDeclared, kDeclared) +
           " declared, peak memory +" + growth + ", " + took;
}

}  // namespace validator
