// The validator's tests of input records a careless host sends: a handle that
// names no 2D texture, and declared sizes far beyond the texture's own, up to
// sizes no texture of the context can have.
#include "Checks.h"

#include <GL/glew.h>

#include <chrono>
#include <cstdio>

#include "ProcessMemory.h"

namespace validator {

namespace {

constexpr uint32_t kWidth = 64, kHeight = 48;
constexpr uint32_t kDeclared = 12000;
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

// Half of what one RGBA8 copy of the declared image takes: an effect may
// keep work buffers that follow the declared size at a fraction of it (a
// small analysis grid, say), but not a read-back or copy of it.
long GrowthLimitKib(uint32_t width, uint32_t height)
{
    return static_cast<long>(uint64_t{width} * height * 4 / 2 / 1024);
}

// The frame with the texture declared at width x height must answer 0 or the
// failure code, within the time and memory bounds, and leave no GL fault;
// returns its answer, growth and time for the note.
std::string DeclaredFrame(Session& session, FrameRig& rig, hostkit::EffectInstance& instance, uint32_t width,
                          uint32_t height, const std::string& what)
{
    rig.DescribeTexture(width, height, width, height);
    glFinish();
    const long base = PeakBaseKib();
    session.report.Step(what);
    const auto start = std::chrono::steady_clock::now();
    const uint64_t answer = rig.Process(session, instance, {}, [] { glFinish(); });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long growthKib = PeakKib() - base;
    const std::string growth = std::to_string(growthKib / 1024) + " MiB";
    Require(IsSuccessOrFailure(answer), what + " answered " + Hex(answer) + ", neither 0 nor the failure code");
    Require(growthKib <= GrowthLimitKib(width, height),
            what + " raised the peak resident memory by " + growth +
                ": memory sized by the declared size, not the texture");
    char took[32];
    std::snprintf(took, sizeof took, "%.1f s", seconds);
    Require(seconds <= kSecondsLimit, what + " took " + took + ", more than 2 s");
    rig.DescribeTexture(kWidth, kHeight, kWidth, kHeight);
    return std::string(IsFailureCode(answer) ? "failure" : "0") + " for " + Size(width, height) + " (peak memory +" +
           growth + ", " + took + ")";
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
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const uint32_t beyond = static_cast<uint32_t>(maxSize) + 1;
    struct Case {
        uint32_t width, height;
        std::string what;
    };
    const std::string texture = "a frame whose 64x48 texture is declared ";
    const Case cases[] = {
        {kDeclared, kDeclared, texture + "as " + Size(kDeclared, kDeclared)},
        // No texture of the context can have these sizes: a frame that sizes
        // its own textures or read-backs by them without a guard fails here.
        {beyond, kHeight, texture + "wider than GL_MAX_TEXTURE_SIZE, as " + Size(beyond, kHeight)},
        {kWidth, beyond, texture + "taller than GL_MAX_TEXTURE_SIZE, as " + Size(kWidth, beyond)},
        {beyond, beyond, texture + "beyond GL_MAX_TEXTURE_SIZE, as " + Size(beyond, beyond)},
    };
    FrameRig rig(TestImage(kWidth, kHeight, 41));
    session.report.Step("code 18 for the declared-size frames");
    hostkit::EffectInstance instance = session.Create(kWidth, kHeight);
    FrameStillWorks(session, rig, instance, "code 18");
    std::string answers;
    for (const Case& c : cases) {
        answers += (answers.empty() ? "" : ", ") + DeclaredFrame(session, rig, instance, c.width, c.height, c.what);
        FrameStillWorks(session, rig, instance, c.what);
    }
    session.report.Step("code 19 after the declared-size frames");
    session.Destroy(instance);
    return answers;
}

}  // namespace validator
