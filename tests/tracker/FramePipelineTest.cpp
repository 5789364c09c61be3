// The frame road against a real GL context: the input passes through
// unchanged, only the image area of a larger texture reaches the output, the
// GL state on return, missing input, and GL objects released on every path.
#include <set>

#include "EffectHarness.h"
#include "GlTestContext.h"
#include "GlewInterpose.h"

namespace {

using testsupport::EffectHarness;
using testsupport::GlTest;
using testsupport::Image;
using testsupport::Interpose;

class FramePipelineTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(harness.Init(64, 48));
        // Only the title remains: no target decorations over the image.
        harness.effect.SetFloatParameter(kShowBlobs, 0.0f);
    }
    void TearDown() override
    {
        harness.Release();
        GlTest::TearDown();
    }

    // Pixels outside the title's corner (x below 0.15, y above 0.95 of the output).
    static bool InTitleCorner(const Image& image, uint32_t x, uint32_t y)
    {
        return x < image.width * 0.15f + 2 && y + 2 > image.height * 0.95f;
    }

    EffectHarness harness;
};

TEST_F(FramePipelineTest, OpaqueInputPassesThroughUnchangedOutsideTheOverlay)
{
    Image input(64, 48, 0, 0, 0);
    testsupport::AddNoise(input, 7, 255);
    ASSERT_EQ(harness.Frame(input), 0u);
    const Image output = harness.Output();
    size_t compared = 0;
    for (uint32_t y = 0; y < input.height; ++y)
        for (uint32_t x = 0; x < input.width; ++x) {
            if (InTitleCorner(input, x, y))
                continue;
            ++compared;
            ASSERT_EQ(0, std::memcmp(input.At(x, y), output.At(x, y), 4)) << x << "," << y;
        }
    EXPECT_GT(compared, input.width * input.height * 9 / 10);
}

TEST_F(FramePipelineTest, SemiTransparentInputComesOutAsPremultipliedColourClampedToAlpha)
{
    Image input(64, 48, 200, 100, 50, 128);
    input.Fill(0, 0, 32, 24, 60, 30, 10, 64);
    input.Fill(32, 0, 64, 24, 0, 0, 0, 0);
    ASSERT_EQ(harness.Frame(input), 0u);
    const Image output = harness.Output();
    struct Case {
        uint32_t x, y;
        uint8_t expected[4];
    };
    const Case cases[] = {
        {40, 30, {128, 100, 50, 128}},  // red above alpha is clamped to alpha
        {10, 10, {60, 30, 10, 64}},     // already premultiplied: unchanged
        {40, 10, {0, 0, 0, 0}},         // alpha 0: no division
    };
    for (const Case& c : cases) {
        const uint8_t* pixel = output.At(c.x, c.y);
        for (int channel = 0; channel < 4; ++channel)
            EXPECT_NEAR(pixel[channel], c.expected[channel], 1) << c.x << "," << c.y << " channel " << channel;
    }
}

TEST_F(FramePipelineTest, OnlyTheImageAreaOfALargerTextureReachesTheOutput)
{
    Image input(40, 30, 0, 0, 0);
    testsupport::AddNoise(input, 11, 200);
    // The texture is 64 x 64; its unused area is green, which must never show.
    ASSERT_EQ(harness.Frame(input, 64, 64), 0u);
    const Image output = harness.Output();
    for (uint32_t y = 0; y < input.height; ++y)
        for (uint32_t x = 0; x < input.width; ++x) {
            if (InTitleCorner(input, x, y))
                continue;
            ASSERT_EQ(0, std::memcmp(input.At(x, y), output.At(x, y), 4)) << x << "," << y;
        }
}

TEST_F(FramePipelineTest, ZeroAllocatedSizeMeansTheImageSize)
{
    Image input(40, 30, 0, 0, 0);
    testsupport::AddNoise(input, 3, 200);
    ASSERT_EQ(harness.Frame(input, 0, 0, 0, 0), 0u);
    const Image output = harness.Output();
    EXPECT_EQ(0, std::memcmp(input.At(5, 5), output.At(5, 5), 4));
    EXPECT_EQ(0, std::memcmp(input.At(39, 0), output.At(39, 0), 4));
}

TEST_F(FramePipelineTest, FrameLeavesTheDocumentedGlStateWhateverTheHostSet)
{
    // A careless host: a program in use, another texture unit active, blending
    // on with another function, odd pack state, a pixel-pack buffer bound.
    const GLuint hostProgram = glCreateProgram();
    GLuint hostArray = 0, packBuffer = 0;
    glGenVertexArrays(1, &hostArray);
    glGenBuffers(1, &packBuffer);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, packBuffer);
    glBindVertexArray(hostArray);
    glActiveTexture(GL_TEXTURE3);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glPixelStorei(GL_PACK_ALIGNMENT, 8);
    glPixelStorei(GL_PACK_ROW_LENGTH, 100);
    glActiveTexture(GL_TEXTURE0);

    Image input(37, 23, 0, 0, 0);
    testsupport::AddNoise(input, 5, 255);
    const hostkit::Texture texture(37, 23, input.pixels.data());
    const hostkit::RenderTarget output(37, 23);
    const auto whole = hostkit::InputTexture::Whole(texture.Name(), 37, 23);
    const hostkit::FrameRecords frame(&whole, 1, output.framebuffer);
    const hostkit::RenderTarget elsewhere(8, 8);
    glBindFramebuffer(GL_FRAMEBUFFER, elsewhere.framebuffer);
    glActiveTexture(GL_TEXTURE3);
    ASSERT_EQ(harness.effect.ProcessOpenGL(static_cast<const FrameInput*>(frame.Data())), 0u);

    EXPECT_EQ(Integer(GL_CURRENT_PROGRAM), 0);
    EXPECT_EQ(Integer(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(Integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), 0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(Integer(GL_BLEND_SRC_RGB), GL_ONE);
    EXPECT_EQ(Integer(GL_BLEND_DST_RGB), GL_ZERO);
    EXPECT_EQ(Integer(GL_ARRAY_BUFFER_BINDING), 0);
    GLfloat lineWidth = 0.0f;
    glGetFloatv(GL_LINE_WIDTH, &lineWidth);
    EXPECT_EQ(lineWidth, 1.0f);
    EXPECT_EQ(Integer(GL_DRAW_FRAMEBUFFER_BINDING), static_cast<GLint>(output.framebuffer));
    // The host's read framebuffer is its own again.
    EXPECT_EQ(Integer(GL_READ_FRAMEBUFFER_BINDING), static_cast<GLint>(elsewhere.framebuffer));
    // The read-back's own pack state is the host's again.
    EXPECT_EQ(Integer(GL_PACK_ALIGNMENT), 8);
    EXPECT_EQ(Integer(GL_PACK_ROW_LENGTH), 100);
    EXPECT_EQ(Integer(GL_PIXEL_PACK_BUFFER_BINDING), static_cast<GLint>(packBuffer));

    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glDeleteBuffers(1, &packBuffer);
    glDeleteVertexArrays(1, &hostArray);
    glDeleteProgram(hostProgram);
}

TEST_F(FramePipelineTest, HostPackStateDoesNotChangeWhatIsDetected)
{
    harness.effect.SetFloatParameter(kShowBlobs, 1.0f);
    Image input(37, 23, 0, 0, 0);
    input.Fill(3, 4, 12, 11, 255, 255, 255);
    input.Fill(20, 14, 33, 21, 250, 250, 250);
    ASSERT_EQ(harness.Frame(input), 0u);
    const std::vector<TrackedBlob> clean = harness.effect.Targets();
    const Image cleanOutput = harness.Output();
    ASSERT_EQ(clean.size(), 2u);

    glPixelStorei(GL_PACK_ALIGNMENT, 8);
    glPixelStorei(GL_PACK_ROW_LENGTH, 41);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 3);
    ASSERT_EQ(harness.Frame(input), 0u);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    const std::vector<TrackedBlob>& careless = harness.effect.Targets();
    ASSERT_EQ(careless.size(), clean.size());
    EXPECT_EQ(0, std::memcmp(careless.data(), clean.data(), clean.size() * sizeof(TrackedBlob)));
    EXPECT_EQ(harness.Output().pixels, cleanOutput.pixels);
}

TEST_F(FramePipelineTest, MissingInputFailsAndLeavesTheTargetsAlone)
{
    Image input(64, 48, 0, 0, 0);
    input.Fill(10, 10, 30, 30, 255, 255, 255);
    ASSERT_EQ(harness.Frame(input), 0u);
    const std::vector<TrackedBlob> before = harness.effect.Targets();
    ASSERT_FALSE(before.empty());

    const auto none = hostkit::MakeFrameInput(0, nullptr, harness.output.framebuffer);
    EXPECT_EQ(harness.effect.ProcessOpenGL(static_cast<const FrameInput*>(none.Data())), 0xFFFFFFFFu);
    const void* nullTexture[] = {nullptr};
    const auto empty = hostkit::MakeFrameInput(1, nullTexture, harness.output.framebuffer);
    EXPECT_EQ(harness.effect.ProcessOpenGL(static_cast<const FrameInput*>(empty.Data())), 0xFFFFFFFFu);
    const auto zeroSized = hostkit::MakeTextureInfo(0, 48, 64, 48, harness.input.Name());
    const void* zeroTextures[] = {zeroSized.Data()};
    const auto zeroFrame = hostkit::MakeFrameInput(1, zeroTextures, harness.output.framebuffer);
    EXPECT_EQ(harness.effect.ProcessOpenGL(static_cast<const FrameInput*>(zeroFrame.Data())), 0xFFFFFFFFu);

    const std::vector<TrackedBlob>& after = harness.effect.Targets();
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(0, std::memcmp(after.data(), before.data(), before.size() * sizeof(TrackedBlob)));
}

TEST_F(FramePipelineTest, DeInitGlTwiceIsHarmlessAndInitGlMayRunAgain)
{
    EXPECT_EQ(harness.effect.DeInitGL(), 0u);
    EXPECT_EQ(harness.effect.DeInitGL(), 0u);
    const auto viewport = hostkit::MakeViewport(0, 0, 64, 48);
    ASSERT_EQ(harness.effect.InitGL(static_cast<const ViewportRecord*>(viewport.Data())), 0u);
    Image input(64, 48, 10, 20, 30);
    EXPECT_EQ(harness.Frame(input), 0u);
}

// Every GL object InitGL makes, recorded through GLEW's pointers.
struct Made {
    std::set<GLuint> programs, shaders, buffers, arrays, framebuffers;
};
Made made;
PFNGLCREATEPROGRAMPROC realCreateProgram;
PFNGLCREATESHADERPROC realCreateShader;
PFNGLGENBUFFERSPROC realGenBuffers;
PFNGLGENVERTEXARRAYSPROC realGenVertexArrays;
PFNGLGENFRAMEBUFFERSPROC realGenFramebuffers;

GLuint GLAPIENTRY RecordProgram()
{
    const GLuint name = realCreateProgram();
    made.programs.insert(name);
    return name;
}
GLuint GLAPIENTRY RecordShader(GLenum type)
{
    const GLuint name = realCreateShader(type);
    made.shaders.insert(name);
    return name;
}
void GLAPIENTRY RecordBuffers(GLsizei n, GLuint* names)
{
    realGenBuffers(n, names);
    made.buffers.insert(names, names + n);
}
void GLAPIENTRY RecordArrays(GLsizei n, GLuint* names)
{
    realGenVertexArrays(n, names);
    made.arrays.insert(names, names + n);
}
void GLAPIENTRY RecordFramebuffers(GLsizei n, GLuint* names)
{
    realGenFramebuffers(n, names);
    made.framebuffers.insert(names, names + n);
}

class GlObjectsTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        made = Made();
        realCreateProgram = __glewCreateProgram;
        realCreateShader = __glewCreateShader;
        realGenBuffers = __glewGenBuffers;
        realGenVertexArrays = __glewGenVertexArrays;
        realGenFramebuffers = __glewGenFramebuffers;
    }

    static size_t Alive()
    {
        size_t alive = 0;
        for (GLuint name : made.programs)
            alive += glIsProgram(name) ? 1 : 0;
        for (GLuint name : made.shaders)
            alive += glIsShader(name) ? 1 : 0;
        for (GLuint name : made.buffers)
            alive += glIsBuffer(name) ? 1 : 0;
        for (GLuint name : made.arrays)
            alive += glIsVertexArray(name) ? 1 : 0;
        for (GLuint name : made.framebuffers)
            alive += glIsFramebuffer(name) ? 1 : 0;
        return alive;
    }

    uint32_t InitRecorded(ZudArazOdudave& effect)
    {
        Interpose<PFNGLCREATEPROGRAMPROC> programs(__glewCreateProgram, RecordProgram);
        Interpose<PFNGLCREATESHADERPROC> shaders(__glewCreateShader, RecordShader);
        Interpose<PFNGLGENBUFFERSPROC> buffers(__glewGenBuffers, RecordBuffers);
        Interpose<PFNGLGENVERTEXARRAYSPROC> arrays(__glewGenVertexArrays, RecordArrays);
        Interpose<PFNGLGENFRAMEBUFFERSPROC> framebuffers(__glewGenFramebuffers, RecordFramebuffers);
        const auto viewport = hostkit::MakeViewport(0, 0, 32, 32);
        return effect.InitGL(static_cast<const ViewportRecord*>(viewport.Data()));
    }
};

TEST_F(GlObjectsTest, DeInitGlReleasesEveryObjectInitGlMade)
{
    ZudArazOdudave effect;
    ASSERT_EQ(InitRecorded(effect), 0u);
    EXPECT_FALSE(made.programs.empty());
    EXPECT_FALSE(made.framebuffers.empty());
    EXPECT_GT(Alive(), 0u);
    effect.DeInitGL();
    EXPECT_EQ(Alive(), 0u);
}

TEST_F(GlObjectsTest, InitGlFailingPartWayReleasesWhatItHadMade)
{
    const char* const broken = "#version 410 core\nvoid main() { nope }\n";
    const TrackerShaderOverride cases[] = {
        {broken, nullptr, nullptr, nullptr},
        {nullptr, broken, nullptr, nullptr},
        {nullptr, nullptr, broken, nullptr},
        {nullptr, nullptr, nullptr, broken},
    };
    for (const TrackerShaderOverride& override : cases) {
        made = Made();
        ZudArazOdudave::shaderOverride = override;
        ZudArazOdudave effect;
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(InitRecorded(effect), 0xFFFFFFFFu);
        const std::string diagnostics = ::testing::internal::GetCapturedStdout();
        EXPECT_NE(diagnostics.find("Shader error: "), std::string::npos);
        EXPECT_FALSE(made.shaders.empty());
        EXPECT_EQ(Alive(), 0u);
        effect.DeInitGL();
    }
    ZudArazOdudave::shaderOverride = TrackerShaderOverride();
    // A debug context reports each failed compile as an error message: here they were the point.
    glCalls.Watch();
}

}  // namespace
