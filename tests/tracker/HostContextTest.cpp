// A frame inside a careless host's context, through plugMain: host state the
// frame must not read (a sampler on unit 0, indexed viewports and scissors,
// clip distances) leaves the output as a clean frame's and comes back as the
// host set it; an input that is no 2D texture is drawn as texture 0; a
// declared size beyond the texture reads back only what the texture holds.
// Every call is checked for GL errors by the fixture.
#include <GL/glew.h>

#include <functional>
#include <memory>

#include "PluginFixture.h"
#include "hostkit/DrawCallCounter.h"
#include "hostkit/HostGl.h"
#include "hostkit/Image.h"

namespace {

using testsupport::GlPluginTest;

constexpr uint32_t kWidth = 64, kHeight = 48;

class HostContextTest : public GlPluginTest {
protected:
    void SetUp() override
    {
        GlPluginTest::SetUp();
        if (HasFatalFailure())
            return;
        hostkit::Image image(kWidth, kHeight, 0, 0, 0);
        image.Fill(20, 14, 44, 34, 255, 255, 255, 255);
        image.Fill(4, 4, 10, 9, 255, 255, 255, 255);
        input = hostkit::Texture(kWidth, kHeight, image.pixels.data());
        texture = input.Name();
    }
    void TearDown() override
    {
        input.Release();
        frame.reset();
        GlPluginTest::TearDown();
    }

    // A fresh instance with lines of every kind on, one frame on input.
    std::vector<uint8_t> Frame(const hostkit::InputTexture& input, uint64_t* answer = nullptr)
    {
        hostkit::EffectInstance instance = MakeInstance(kWidth, kHeight);
        EXPECT_EQ(instance.SetFloat("Show Network", 1.0f), 0u);
        EXPECT_EQ(instance.SetFloat("Show Contours", 1.0f), 0u);
        frame->Prepare(instance, texture, kWidth, kHeight);
        instance.PrepareFrame(&input, 1, frame->output.framebuffer);
        const uint64_t result = instance.ProcessFrame();
        if (answer)
            *answer = result;
        else
            EXPECT_EQ(result, 0u);
        return frame->Pixels();
    }
    std::vector<uint8_t> Frame(uint32_t handle) { return Frame(hostkit::InputTexture::Whole(handle, kWidth, kHeight)); }

    // From 4.4 a texture's target can be told without binding it to a guess.
    static bool TargetsCanBeTold()
    {
        GLint major = 0, minor = 0;
        glGetIntegerv(GL_MAJOR_VERSION, &major);
        glGetIntegerv(GL_MINOR_VERSION, &minor);
        return major > 4 || (major == 4 && minor >= 4);
    }

    hostkit::Texture input;
    uint32_t texture = 0;  // input's name
    std::unique_ptr<testsupport::HostFrame> frame = std::make_unique<testsupport::HostFrame>();
};

TEST_F(HostContextTest, HostStateTheFrameMustNotReadChangesNoPixelAndComesBack)
{
    const std::vector<uint8_t> clean = Frame(texture);
    GLuint sampler = 0;
    glGenSamplers(1, &sampler);
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    struct Case {
        const char* what;
        std::function<void()> set;
        std::function<void()> check;
        std::function<void()> undo;
    };
    const Case cases[] = {
        {"a sampler with a mipmap filter on unit 0", [&] { glBindSampler(0, sampler); },
         [&] {
             glActiveTexture(GL_TEXTURE0);
             GLint bound = 0;
             glGetIntegerv(GL_SAMPLER_BINDING, &bound);
             EXPECT_EQ(bound, static_cast<GLint>(sampler));
         },
         [] { glBindSampler(0, 0); }},
        {"viewport and scissor of index 1",
         [] {
             glViewportIndexedf(1, 3.5f, 2.25f, 20.0f, 10.0f);
             glScissorIndexed(1, 2, 3, 5, 7);
             glEnablei(GL_SCISSOR_TEST, 1);
         },
         [] {
             GLfloat viewport[4] = {};
             glGetFloati_v(GL_VIEWPORT, 1, viewport);
             EXPECT_EQ(viewport[0], 3.5f);
             EXPECT_EQ(viewport[1], 2.25f);
             EXPECT_EQ(viewport[2], 20.0f);
             EXPECT_EQ(viewport[3], 10.0f);
             GLint box[4] = {};
             glGetIntegeri_v(GL_SCISSOR_BOX, 1, box);
             EXPECT_EQ(box[2], 5);
             EXPECT_TRUE(glIsEnabledi(GL_SCISSOR_TEST, 1));
             EXPECT_FALSE(glIsEnabledi(GL_SCISSOR_TEST, 0));
         },
         [] {
             glDisablei(GL_SCISSOR_TEST, 1);
             glViewport(0, 0, static_cast<GLsizei>(kWidth), static_cast<GLsizei>(kHeight));
         }},
        {"every clip distance enabled",
         [] {
             for (int i = 0; i < 8; ++i)
                 glEnable(GL_CLIP_DISTANCE0 + i);
         },
         [] {
             for (int i = 0; i < 8; ++i)
                 EXPECT_TRUE(glIsEnabled(GL_CLIP_DISTANCE0 + i)) << i;
         },
         [] {
             for (int i = 0; i < 8; ++i)
                 glDisable(GL_CLIP_DISTANCE0 + i);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        hostkit::EffectInstance instance = MakeInstance(kWidth, kHeight);
        EXPECT_EQ(instance.SetFloat("Show Network", 1.0f), 0u);
        EXPECT_EQ(instance.SetFloat("Show Contours", 1.0f), 0u);
        frame->Prepare(instance, texture, kWidth, kHeight);
        c.set();
        EXPECT_EQ(instance.ProcessFrame(), 0u);
        c.check();
        c.undo();
        EXPECT_EQ(frame->Pixels(), clean);
    }
    glDeleteSamplers(1, &sampler);
}

TEST_F(HostContextTest, AnInputThatIsNoTwoDTextureIsDrawnAsTextureZero)
{
    const std::vector<uint8_t> nameZero = Frame(0);
    ASSERT_NE(Frame(texture), nameZero);
    GLuint rectangle = 0, generatedOnly = 0;
    glGenTextures(1, &rectangle);
    glGenTextures(1, &generatedOnly);
    glBindTexture(GL_TEXTURE_RECTANGLE, rectangle);
    std::vector<uint8_t> white(kWidth * kHeight * 4, 255);
    glTexImage2D(GL_TEXTURE_RECTANGLE, 0, GL_RGBA8, kWidth, kHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, white.data());
    struct Case {
        const char* what;
        GLuint handle;
    };
    std::vector<Case> cases = {{"a name generated but never bound", generatedOnly}, {"a name never generated", 987654u}};
    if (TargetsCanBeTold())
        cases.push_back({"a rectangle texture", rectangle});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Frame(c.handle), nameZero);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_RECTANGLE, &bound);
        EXPECT_EQ(bound, static_cast<GLint>(rectangle));
    }
    glBindTexture(GL_TEXTURE_RECTANGLE, 0);
    glDeleteTextures(1, &rectangle);
    glDeleteTextures(1, &generatedOnly);
}

TEST_F(HostContextTest, ADeclaredSizeBeyondTheTextureReadsBackOnlyWhatTheTextureHolds)
{
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const uint32_t beyond = static_cast<uint32_t>(maxSize) + 1;
    struct Case {
        uint32_t width, height;
        uint64_t answer;
        uint64_t readBackBytes;  // at most
    };
    const Case cases[] = {
        // Read back whole (the image is not inside level 0), but only level 0's 64 x 48.
        {12000, 12000, 0, kWidth * kHeight * 4},
        // No texture of this context can be that large: failed before any read.
        {beyond, kHeight, 0xFFFFFFFFu, 0},
        {100000, 100000, 0xFFFFFFFFu, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        hostkit::ResetDrawCallCount();
        uint64_t answer = 0;
        Frame(hostkit::InputTexture{texture, c.width, c.height, c.width, c.height}, &answer);
        EXPECT_EQ(answer, c.answer);
        EXPECT_LE(hostkit::ReadBackByteCount(), c.readBackBytes + 16 * 1024)
            << "the output's own read-back is the host's";
    }
}

}  // namespace
