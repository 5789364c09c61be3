// The plug-in in contexts that lack GL functions, as a host on macOS gives
// them: each function of 4.1 it calls, when the context does not give it,
// makes code 18 fail with a log line naming it, never a call through null;
// without the functions past 4.1 it takes the 4.1 path and draws the same
// frame. The host kit withholds a function by answering null for its name.
#include <GL/glew.h>

#include <algorithm>
#include <set>
#include <string>

#include "PluginFixture.h"
#include "hostkit/GlCallCounter.h"
#include "hostkit/HostGl.h"
#include "hostkit/Image.h"

namespace {

using testsupport::GlPluginTest;
using testsupport::LogCapture;

constexpr uint32_t kWidth = 64, kHeight = 48;
// Used where the context has them, each with a 4.1 path beside it.
const std::set<std::string> kPast41 = {"glGetTextureParameteriv", "glBindTextures"};

// Counts every GL call inside plugMain and nothing of the host's own.
class PluginCallCounting final : public hostkit::CallObserver {
public:
    explicit PluginCallCounting(hostkit::CallObserver& next) : next(next) {}
    void BeforeCall(uint32_t code) override
    {
        next.BeforeCall(code);
        counting = new hostkit::GlCallCounting();
    }
    void AfterCall(uint32_t code) override
    {
        delete counting;
        counting = nullptr;
        next.AfterCall(code);
    }

private:
    hostkit::CallObserver& next;
    hostkit::GlCallCounting* counting = nullptr;
};

class GlEntryPointsTest : public GlPluginTest {
protected:
    void SetUp() override
    {
        GlPluginTest::SetUp();
        if (HasFatalFailure())
            return;
        hostkit::Image image(kWidth, kHeight, 0, 0, 0);
        image.Fill(20, 14, 44, 34, 255, 255, 255, 255);
        input = hostkit::Texture(kWidth, kHeight, image.pixels.data());
    }
    void TearDown() override
    {
        hostkit::WithholdGlFunction(nullptr);
        input.Release();
        frame.output.Release();
        GlPluginTest::TearDown();
    }

    // A fresh load (so a fresh loader), one instance and one frame; the
    // frame's pixels, or empty when code 18 refused.
    std::vector<uint8_t> LifeWithout(const char* withheld)
    {
        hostkit::WithholdGlFunction(withheld);
        Load(pluginPath);
        library->SetLogCallback(LogCapture::Callback);
        hostkit::EffectInstance instance = MakeInstance(kWidth, kHeight);
        if (!instance.Valid())
            return {};
        EXPECT_EQ(frame.Run(instance, input.Name(), kWidth, kHeight), 0u);
        EXPECT_EQ(instance.Destroy(), 0u);
        return frame.Pixels();
    }

    hostkit::Texture input;
    testsupport::HostFrame frame;
};

TEST_F(GlEntryPointsTest, EachMissingFunctionFailsCreationByNameOrLeavesTheSameFrame)
{
    // What one instance's life calls through the loader, in this context.
    PluginCallCounting counting(glCalls);
    callObserver = &counting;  // for every load to come
    hostkit::ResetGlCallCounts();
    const std::vector<uint8_t> reference = LifeWithout(nullptr);
    callObserver = &glCalls;
    ASSERT_FALSE(reference.empty());
    std::vector<std::string> loaded;
    for (const hostkit::GlFunctionCalls& function : hostkit::CountedGlCallsByFunction())
        if (hostkit::IsLoadedGlFunction(function.name))
            loaded.push_back(function.name);
    std::sort(loaded.begin(), loaded.end());
    ASSERT_GE(loaded.size(), 25u);

    for (const std::string& name : loaded) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> pixels = LifeWithout(name.c_str());
        if (kPast41.count(name)) {
            EXPECT_EQ(pixels, reference);
            continue;
        }
        EXPECT_TRUE(pixels.empty());
        const std::vector<std::string>& lines = LogCapture::Lines();
        EXPECT_NE(std::find(lines.begin(), lines.end(),
                            "ZEL DadiDaruzad cannot start: this OpenGL context has no " + name),
                  lines.end());
    }
}

// A 4.1 context tells the input's target by a bind and glGetError: an error
// the host left pending must still be there after the frame, and a name that
// is no 2D texture is refused as on every context.
TEST_F(GlEntryPointsTest, AHostErrorPendingBeforeAFrameIsPendingAfterIt)
{
    hostkit::EffectInstance instance = MakeInstance(kWidth, kHeight);
    ASSERT_TRUE(instance.Valid());
    library->Observe(nullptr);  // the fixture would drain the host's error before the call
    for (const GLenum error : {GL_INVALID_ENUM, GL_INVALID_VALUE, GL_INVALID_OPERATION}) {
        SCOPED_TRACE(error);
        frame.Prepare(instance, input.Name(), kWidth, kHeight);
        if (error == GL_INVALID_ENUM)
            glEnable(GL_NONE);
        else if (error == GL_INVALID_VALUE)
            glLineWidth(-1.0f);
        else
            glBindVertexArray(~0u);
        EXPECT_EQ(instance.ProcessFrame(), 0u);
        EXPECT_EQ(glGetError(), error);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    library->Observe(&glCalls);
    EXPECT_EQ(instance.Destroy(), 0u);
}

}  // namespace
