// The GL calls of the plug-in's own frame call, seen from a host. Each query
// (glGet*, glIs*, glCheck*FramebufferStatus) is a round trip on threaded
// drivers, so a steady frame may ask no more than it asks today, at any size.
#include <GL/glew.h>

#include <optional>
#include <string>
#include <thread>

#include "PluginFixture.h"
#include "hostkit/DrawCallCounter.h"
#include "hostkit/GlCallCounter.h"
#include "hostkit/GlFeatures.h"
#include "hostkit/HostGl.h"
#include "hostkit/Image.h"

namespace {

using hostkit::GlCallKind;
using testsupport::GlPluginTest;

// The queries of a steady frame at 64x48 and 1920x1080 alike, on the GPU
// road: the frame saves and restores the host's state it touches
// (glGetIntegerv 9, glIsEnabled 4, glIsEnabledi 2, glGetBooleani_v 1,
// glGetFloati_v 1), checks the host's input texture (glIsTexture 1, its
// target 1: glGetTextureParameteriv, or through multi-bind glGetIntegerv in a
// compatibility context; glGetTexParameteriv 2, glGetTexLevelParameteriv 3)
// and the read framebuffer (glCheckFramebufferStatus 1). A 4.1 context
// without direct state access or multi-bind (macOS) tells the target by
// glGetError before and after a bind: one more.
constexpr uint64_t kMaxQueriesPerFrame = 25;
constexpr uint64_t kMaxQueriesPerFrame41 = 26;

// Counts inside plugMain's frame code only; the fixture's own checks, which
// call GL before and after every call, stay outside.
class FrameCallCounting final : public hostkit::CallObserver {
public:
    explicit FrameCallCounting(hostkit::CallObserver& next) : next(next) {}
    void BeforeCall(uint32_t code) override
    {
        next.BeforeCall(code);
        if (code == ffgl::kProcessOpenGL)
            counting.emplace();
    }
    void AfterCall(uint32_t code) override
    {
        counting.reset();
        next.AfterCall(code);
    }

private:
    hostkit::CallObserver& next;
    std::optional<hostkit::GlCallCounting> counting;
};

class GlCallCountTest : public GlPluginTest {
protected:
    void SetUp() override
    {
        GlPluginTest::SetUp();
        if (!HasFatalFailure())
            library->Observe(&frameCalls);
    }

    uint64_t Calls(const char* name) const
    {
        for (const hostkit::GlFunctionCalls& function : hostkit::CountedGlCallsByFunction())
            if (name == std::string(function.name))
                return function.calls;
        return 0;
    }

    FrameCallCounting frameCalls{glCalls};
};

TEST_F(GlCallCountTest, ASteadyFrameAsksAtMostItsQueriesAtAnySize)
{
    const std::pair<uint32_t, uint32_t> sizes[] = {{64, 48}, {1920, 1080}};
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        hostkit::Image scene(width, height, 0, 0, 0);  // three white squares on black: three targets
        for (uint32_t i = 0; i < 3; ++i)
            scene.Fill(width * (4 * i + 1) / 12, height / 3, width * (4 * i + 3) / 12, height * 2 / 3, 255, 255, 255);
        const hostkit::Texture input(width, height, scene.pixels.data());
        const uint32_t texture = input.Name();
        hostkit::EffectInstance instance = MakeInstance(width, height);
        ASSERT_TRUE(instance.Valid());
        testsupport::HostFrame frame;
        for (int warmUp = 0; warmUp < 2; ++warmUp)
            EXPECT_EQ(frame.Run(instance, texture, width, height), 0u);
        frame.Prepare(instance, texture, width, height);
        hostkit::ResetGlCallCounts();
        hostkit::ResetDrawCallCount();
        EXPECT_EQ(instance.ProcessFrame(), 0u);

        const hostkit::GlCallCounts counts = hostkit::CountedGlCalls();
        const auto functions = hostkit::CountedGlCallsByFunction();
        const bool asksTarget = hostkit::ContextHasFeature(4, 5, "GL_ARB_direct_state_access") ||
                                hostkit::ContextHasFeature(4, 4, "GL_ARB_multi_bind");
        const uint64_t limit = asksTarget ? kMaxQueriesPerFrame : kMaxQueriesPerFrame41;
        EXPECT_LE(counts.queries, limit) << hostkit::GlCallList(functions, GlCallKind::Query);
        // Both ways in are counted: glDrawArrays straight from libGL, glUseProgram through GLEW's loader.
        EXPECT_EQ(counts.draws, hostkit::DrawCallCount());
        EXPECT_GT(counts.draws, 0u);
        EXPECT_GT(Calls("glUseProgram"), 0u) << hostkit::GlCallList(functions, GlCallKind::Other);
        EXPECT_EQ(instance.Destroy(), 0u);
    }
}

TEST_F(GlCallCountTest, HostCallsCountOnlyWhileCountingIsOnInItsThread)
{
    hostkit::ResetGlCallCounts();
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    {
        const hostkit::GlCallCounting on;
        glGetIntegerv(GL_VIEWPORT, viewport);
        glGetIntegeri_v(GL_VIEWPORT, 0, viewport);  // through GLEW's pointer
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        std::thread([] { glGetError(); }).join();  // no context there: the call does nothing
        const hostkit::GlCallCounting stillOn(false);
        glFlush();
    }
    glGetIntegeri_v(GL_VIEWPORT, 0, viewport);
    EXPECT_EQ(Calls("glGetIntegerv"), 1u);
    EXPECT_EQ(Calls("glGetIntegeri_v"), 1u);
    EXPECT_EQ(Calls("glGetError"), 0u);
    const hostkit::GlCallCounts counts = hostkit::CountedGlCalls();
    EXPECT_EQ(counts.queries, 3u);
    EXPECT_EQ(counts.draws, 0u);
    EXPECT_EQ(counts.others, 2u);
    EXPECT_EQ(hostkit::GlCallList(hostkit::CountedGlCallsByFunction(), GlCallKind::Query),
              "glGetIntegeri_v 1, glGetIntegerv 1, glIsEnabled 1");
}

TEST(GlCallKindTest, QueriesAskTheDriverDrawsDrawTheRestSetState)
{
    for (const char* name : {"glGetIntegerv", "glGetError", "glIsEnabledi", "glCheckFramebufferStatus"})
        EXPECT_EQ(hostkit::KindOfGlCall(name), GlCallKind::Query) << name;
    for (const char* name : {"glDrawArrays", "glDrawElementsInstanced", "glMultiDrawArrays"})
        EXPECT_EQ(hostkit::KindOfGlCall(name), GlCallKind::Draw) << name;
    for (const char* name : {"glDrawBuffers", "glBindTexture", "glClear", "glReadPixels"})
        EXPECT_EQ(hostkit::KindOfGlCall(name), GlCallKind::Other) << name;
}

}  // namespace
