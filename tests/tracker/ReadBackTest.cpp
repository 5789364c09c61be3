// What a frame reads back from the GPU, seen from a host: only the analysis
// grid, and never the previous frame's pixels when the input cannot be read.
#include "PluginFixture.h"
#include "hostkit/DrawCallCounter.h"
#include "hostkit/HostGl.h"

namespace {

using testsupport::GlPluginTest;

class ReadBackTest : public GlPluginTest {
protected:
    void TearDown() override
    {
        for (void* instance : instances)
            EXPECT_EQ(Call32(ffgl::kDestroyInstance, 0, instance), 0u);
        hostkit::DeleteTexture(texture);
        hostkit::DeleteRenderTarget(output);
        GlPluginTest::TearDown();
    }

    void* NewInstance(float invert)
    {
        void* instance = CreateInstance(width, height);
        EXPECT_NE(instance, nullptr);
        hostkit::ByteRecord<16> record;
        record.PutU32(0, 1);
        record.PutF32(8, invert);
        EXPECT_EQ(CallRecord(ffgl::kSetParameter, record.Data(), instance), 0u);
        instances.push_back(instance);
        return instance;
    }

    void Upload(const std::vector<uint8_t>& pixels)
    {
        hostkit::DeleteTexture(texture);
        texture = hostkit::CreateTexture(width, height, pixels.data());
    }

    // One frame on the given texture name; the output it drew.
    std::vector<uint8_t> Frame(void* instance, uint32_t handle)
    {
        if (output.width != width || output.height != height) {
            hostkit::DeleteRenderTarget(output);
            output = hostkit::CreateRenderTarget(width, height);
        }
        hostkit::BeginFrame(output, 0, 0, 0, 0);
        const auto info = hostkit::MakeTextureInfo(width, height, width, height, handle);
        const void* textures[] = {info.Data()};
        const auto frame = hostkit::MakeFrameInput(1, textures, output.framebuffer);
        EXPECT_EQ(CallRecord(ffgl::kProcessFrame, frame.Data(), instance), 0u);
        return hostkit::ReadPixels(output);
    }

    std::vector<uint8_t> WhiteSquare() const
    {
        std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4, 0);
        for (uint32_t y = height / 3; y < height * 2 / 3; ++y)
            for (uint32_t x = width / 3; x < width * 2 / 3; ++x)
                for (int channel = 0; channel < 4; ++channel)
                    pixels[(static_cast<size_t>(y) * width + x) * 4 + channel] = 255;
        return pixels;
    }

    uint32_t width = 160, height = 120;
    uint32_t texture = 0;
    hostkit::RenderTarget output;
    std::vector<void*> instances;
};

TEST_F(ReadBackTest, TextureNameZeroAfterATargetDrawsWhatAnEmptyGridGives)
{
    Upload(WhiteSquare());
    std::vector<uint8_t> emptyGridOutput[2];
    for (int invert = 0; invert < 2; ++invert) {
        SCOPED_TRACE(invert ? "inverted" : "plain");
        void* seen = NewInstance(static_cast<float>(invert));
        const std::vector<uint8_t> withTarget = Frame(seen, texture);
        const std::vector<uint8_t> afterTarget = Frame(seen, 0);
        // A fresh instance has no earlier frame whose pixels could show.
        emptyGridOutput[invert] = Frame(NewInstance(static_cast<float>(invert)), 0);
        EXPECT_EQ(afterTarget, emptyGridOutput[invert]);
        EXPECT_NE(afterTarget, withTarget);
    }
    // Inverted, the all-zero grid is one whole-grid target: its box shows.
    EXPECT_NE(emptyGridOutput[0], emptyGridOutput[1]);
}

TEST_F(ReadBackTest, AnRgbaFrameReadsBackOnlyItsGrid)
{
    struct Case {
        uint32_t width, height;
        uint64_t gridBytes;
    };
    const Case cases[] = {{1280, 720, 331776}, {1920, 1080, 746496}, {53, 53, 1024}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        width = c.width;
        height = c.height;
        Upload(WhiteSquare());
        void* instance = NewInstance(0.0f);
        Frame(instance, texture);
        hostkit::BeginFrame(output, 0, 0, 0, 0);
        hostkit::ResetDrawCallCount();
        const auto info = hostkit::MakeTextureInfo(width, height, width, height, texture);
        const void* textures[] = {info.Data()};
        const auto frame = hostkit::MakeFrameInput(1, textures, output.framebuffer);
        EXPECT_EQ(CallRecord(ffgl::kProcessFrame, frame.Data(), instance), 0u);
        EXPECT_EQ(hostkit::ReadBackByteCount(), c.gridBytes);
    }
}

}  // namespace
