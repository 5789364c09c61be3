// The two ways of filling the analysis grid, GPU sampling and the whole
// read-back, over texture formats, texture states and sizes: wherever the GPU
// road is taken it must give exactly the read-back road's bytes.
#include <random>
#include <string>

#include "EffectHarness.h"
#include "GlTestContext.h"
#include "tracker/analysis/GridSampling.h"

namespace {

using testsupport::EffectHarness;
using testsupport::GlTest;

struct Format {
    GLenum internalFormat;
    const char* name;
    bool exact;  // a fetch returns the bytes a read returns
};
const Format kFormats[] = {
    {GL_RGBA8, "RGBA8", true},          {GL_RGB8, "RGB8", true},         {GL_R8, "R8", true},
    {GL_SRGB8_ALPHA8, "SRGB8_ALPHA8", false}, {GL_RGBA16F, "RGBA16F", false}, {GL_RGBA32F, "RGBA32F", false},
    {GL_RGB10_A2, "RGB10_A2", false},
};

enum class TextureState { Plain, MipmapFilterWithoutMipmaps, Linear, BaseLevelOne, Swizzled, Repeat, Mirrored, Larger };
struct StateCase {
    TextureState state;
    const char* name;
    bool keepsGpuRoad;
};
const StateCase kStates[] = {
    {TextureState::Plain, "plain", true},
    {TextureState::MipmapFilterWithoutMipmaps, "mipmap filter, level 0 only", true},
    {TextureState::Linear, "linear filters", true},
    {TextureState::BaseLevelOne, "base level 1", false},
    {TextureState::Swizzled, "swizzle BGRA", false},
    {TextureState::Repeat, "repeat", true},
    {TextureState::Mirrored, "mirrored repeat", true},
    {TextureState::Larger, "allocated larger than the image", true},
};

// A host texture: random colours, out of the 0..1 range too for float formats.
GLuint MakeTexture(const Format& format, TextureState state, uint32_t width, uint32_t height, uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-0.25f, 1.25f);
    std::vector<float> texels(static_cast<size_t>(width) * height * 4);
    for (float& texel : texels)
        texel = value(random);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format.internalFormat), static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, GL_RGBA, GL_FLOAT, texels.data());
    const auto parameter = [](GLenum name, GLint value) { glTexParameteri(GL_TEXTURE_2D, name, value); };
    switch (state) {
    case TextureState::Plain:
    case TextureState::Larger:
        parameter(GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        break;
    case TextureState::MipmapFilterWithoutMipmaps:
        parameter(GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        break;
    case TextureState::Linear:
        parameter(GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        parameter(GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        break;
    case TextureState::BaseLevelOne:
        glTexImage2D(GL_TEXTURE_2D, 1, static_cast<GLint>(format.internalFormat),
                     static_cast<GLsizei>(std::max(1u, width / 2)), static_cast<GLsizei>(std::max(1u, height / 2)),
                     0, GL_RGBA, GL_FLOAT, texels.data());
        parameter(GL_TEXTURE_BASE_LEVEL, 1);
        parameter(GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        break;
    case TextureState::Swizzled: {
        const GLint bgra[4] = {GL_BLUE, GL_GREEN, GL_RED, GL_ALPHA};
        glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, bgra);
        parameter(GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        break;
    }
    case TextureState::Repeat:
    case TextureState::Mirrored:
        parameter(GL_TEXTURE_WRAP_S, state == TextureState::Repeat ? GL_REPEAT : GL_MIRRORED_REPEAT);
        parameter(GL_TEXTURE_WRAP_T, state == TextureState::Repeat ? GL_REPEAT : GL_MIRRORED_REPEAT);
        parameter(GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        break;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

class GridRoadsTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(harness.Init(64, 64));
    }
    void TearDown() override
    {
        harness.Release();
        GlTest::TearDown();
    }

    struct Outcome {
        GridRoad road;
        std::vector<uint8_t> grid;
        std::vector<uint8_t> reference;  // the same frame, read back whole
    };

    // One frame by the road the effect chooses, one by the whole read-back.
    Outcome BothRoads(GLuint texture, uint32_t width, uint32_t height, uint32_t hardwareWidth, uint32_t hardwareHeight)
    {
        Outcome outcome;
        harness.effect.Input().ForceFullReadback(false);
        EXPECT_EQ(harness.FrameOn(texture, width, height, hardwareWidth, hardwareHeight), 0u);
        outcome.road = harness.effect.Input().LastRoad();
        outcome.grid = harness.effect.Input().Cells();
        harness.effect.Input().ForceFullReadback(true);
        EXPECT_EQ(harness.FrameOn(texture, width, height, hardwareWidth, hardwareHeight), 0u);
        EXPECT_NE(harness.effect.Input().LastRoad(), GridRoad::Gpu);
        outcome.reference = harness.effect.Input().Cells();
        return outcome;
    }

    EffectHarness harness;
};

TEST_F(GridRoadsTest, GpuRoadOnlyForExactFormatsAndStatesAndThenTheSameBytes)
{
    struct Size {
        uint32_t width, height;
    };
    const Size sizes[] = {{1, 1}, {37, 23}};
    uint32_t seed = 1;
    for (const Format& format : kFormats)
        for (const StateCase& state : kStates)
            for (const Size& size : sizes) {
                SCOPED_TRACE(std::string(format.name) + ", " + state.name + ", " + std::to_string(size.width) + "x" +
                             std::to_string(size.height));
                const bool larger = state.state == TextureState::Larger;
                const uint32_t hardwareWidth = larger ? 64 : size.width, hardwareHeight = larger ? 61 : size.height;
                const GLuint texture = MakeTexture(format, state.state, hardwareWidth, hardwareHeight, seed++);
                const Outcome outcome = BothRoads(texture, size.width, size.height, hardwareWidth, hardwareHeight);
                glDeleteTextures(1, &texture);
                EXPECT_EQ(outcome.road == GridRoad::Gpu, format.exact && state.keepsGpuRoad);
                EXPECT_EQ(outcome.grid, outcome.reference);
            }
}

TEST_F(GridRoadsTest, RgbaFramesFromOnePixelToCinemaFourKSampleTheCpuReferenceOnTheGpu)
{
    struct Size {
        uint32_t width, height;
    };
    const Size sizes[] = {{1, 1}, {2, 3}, {15, 16}, {53, 53}, {641, 479}, {1920, 1080}, {4096, 2160}};
    for (const Size& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        testsupport::Image image(size.width, size.height, 0, 0, 0);
        testsupport::AddNoise(image, size.width * 7 + size.height, 255);
        for (size_t i = 3; i < image.pixels.size(); i += 4)
            image.pixels[i] = static_cast<uint8_t>(i * 31);
        const Outcome outcome = BothRoads(hostkit::Texture(size.width, size.height, image.pixels.data()).Name(),
                                          size.width, size.height, size.width, size.height);
        EXPECT_EQ(outcome.road, GridRoad::Gpu);
        const GridSize grid = GridSizeFor(size.width, size.height);
        std::vector<uint8_t> expected(static_cast<size_t>(grid.width) * grid.height * 4);
        SampleGrid(image.pixels.data(), static_cast<int32_t>(size.width), static_cast<int32_t>(size.height),
                   expected.data(), grid.width, grid.height);
        EXPECT_TRUE(outcome.grid == expected) << "GPU road differs from CPU sampling";
        EXPECT_TRUE(outcome.reference == expected) << "read-back road differs from CPU sampling";
    }
}

TEST_F(GridRoadsTest, RandomSizesContentsAndAllocationsGiveTheSameGridOnBothRoads)
{
    const uint32_t seed = 20261208;
    std::mt19937 random(seed);
    const Format exactFormats[] = {kFormats[0], kFormats[1], kFormats[2]};
    for (int round = 0; round < 24; ++round) {
        const uint32_t width = 1 + random() % 700, height = 1 + random() % 500;
        const uint32_t hardwareWidth = width + (random() % 3 == 0 ? random() % 40 : 0);
        const uint32_t hardwareHeight = height + (random() % 3 == 0 ? random() % 40 : 0);
        const Format& format = exactFormats[random() % 3];
        SCOPED_TRACE("seed " + std::to_string(seed) + " round " + std::to_string(round) + ": " + format.name + " " +
                     std::to_string(width) + "x" + std::to_string(height) + " in " + std::to_string(hardwareWidth) +
                     "x" + std::to_string(hardwareHeight));
        const GLuint texture = MakeTexture(format, TextureState::Plain, hardwareWidth, hardwareHeight, random());
        const Outcome outcome = BothRoads(texture, width, height, hardwareWidth, hardwareHeight);
        glDeleteTextures(1, &texture);
        EXPECT_EQ(outcome.road, GridRoad::Gpu);
        ASSERT_EQ(outcome.grid, outcome.reference);
    }
}

TEST_F(GridRoadsTest, UnreadableInputGivesTheZeroGridNotThePreviousFrame)
{
    testsupport::Image white(64, 48, 255, 255, 255);
    ASSERT_EQ(harness.Frame(white), 0u);
    ASSERT_FALSE(harness.effect.Targets().empty());
    GLuint neverBound = 0;
    glGenTextures(1, &neverBound);
    for (const GLuint handle : {0u, neverBound, 987654u}) {
        SCOPED_TRACE(handle);
        ASSERT_EQ(harness.FrameOn(handle, 64, 48, 64, 48), 0u);
        EXPECT_EQ(harness.effect.Input().LastRoad(), GridRoad::Empty);
        EXPECT_EQ(harness.effect.Input().Cells(), std::vector<uint8_t>(harness.effect.Input().Cells().size(), 0));
        EXPECT_TRUE(harness.effect.Targets().empty());
        ASSERT_EQ(harness.Frame(white), 0u);
    }
    glDeleteTextures(1, &neverBound);
}

TEST_F(GridRoadsTest, InputsAReadCannotWhollyWriteShowNothingOfAnEarlierReadBack)
{
    // An integer texture cannot be read into bytes; a 16x16 one holds only part of a 64x48 image.
    const testsupport::Image white(64, 48, 255, 255, 255);
    GLuint integer = 0;
    glGenTextures(1, &integer);
    glBindTexture(GL_TEXTURE_2D, integer);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8UI, 64, 48, 0, GL_RGBA_INTEGER, GL_UNSIGNED_BYTE, white.pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    const hostkit::Texture partialTexture(16, 16, testsupport::Image(16, 16, 0, 0, 0).pixels.data());
    const GLuint partial = partialTexture.Name();
    const struct {
        GLuint texture;
        GridRoad road;
    } cases[] = {{integer, GridRoad::Empty}, {partial, GridRoad::FullReadback}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.texture == integer ? "RGBA8UI" : "16x16 level 0");
        harness.effect.Input().ForceFullReadback(true);
        ASSERT_EQ(harness.Frame(white), 0u);
        ASSERT_FALSE(harness.effect.Targets().empty());
        harness.effect.Input().ForceFullReadback(false);
        ASSERT_EQ(harness.FrameOn(c.texture, 64, 48, 64, 48), 0u);
        EXPECT_EQ(harness.effect.Input().LastRoad(), c.road);
        EXPECT_TRUE(harness.effect.Targets().empty());
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    glDeleteTextures(1, &integer);
}

}  // namespace

namespace {

// sRGB takes the whole read-back, the road with the largest buffer.
GLuint Checkerboard(uint32_t width, uint32_t height)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            std::fill_n(&pixels[(static_cast<size_t>(y) * width + x) * 4], 4, ((x / 4 + y / 4) % 2) ? 255 : 0);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_SRGB8_ALPHA8, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0,
                 GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

TEST_F(GridRoadsTest, MemoryFollowsTheFrameSizeAfterOneHugeFrameAndStaysPutWhenSizesAlternate)
{
    struct Input {
        uint32_t width, height;
        GLuint texture;
    };
    const Input small{320, 240, Checkerboard(320, 240)}, other{640, 360, Checkerboard(640, 360)},
        huge{4096, 4096, Checkerboard(4096, 4096)};
    const auto frame = [&](const Input& input) {
        ASSERT_EQ(harness.FrameOn(input.texture, input.width, input.height, input.width, input.height), 0u);
    };
    frame(small);
    const size_t smallNeeds = harness.effect.FrameSizedBytes();
    frame(huge);
    EXPECT_GT(harness.effect.FrameSizedBytes(), 64u << 20);
    for (int i = 0; i < 61; ++i)
        frame(small);
    EXPECT_LE(harness.effect.FrameSizedBytes(), smallNeeds * 2);

    frame(other);
    const size_t alternating = harness.effect.FrameSizedBytes();
    for (int i = 0; i < 130; ++i)
        frame(i % 2 ? small : other);
    EXPECT_EQ(harness.effect.FrameSizedBytes(), alternating);
    for (const Input& input : {small, other, huge})
        glDeleteTextures(1, &input.texture);
}

}  // namespace
