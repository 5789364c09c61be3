// What a frame reads back from the GPU, seen from a host: only the analysis
// grid, and never the previous frame's pixels when the input cannot be read.
#include <deque>
#include <memory>

#include "PluginFixture.h"
#include "hostkit/DrawCallCounter.h"
#include "hostkit/HostGl.h"
#include "hostkit/Image.h"

namespace {

using testsupport::GlPluginTest;

class ReadBackTest : public GlPluginTest {
protected:
    void TearDown() override
    {
        for (hostkit::EffectInstance& instance : instances)
            EXPECT_EQ(instance.Destroy(), 0u);
        texture.Release();
        frame.reset();
        GlPluginTest::TearDown();
    }

    hostkit::EffectInstance& NewInstance(float invert)
    {
        instances.push_back(MakeInstance(width, height));
        EXPECT_TRUE(instances.back().Valid());
        EXPECT_EQ(instances.back().SetFloat("Invert", invert), 0u);
        return instances.back();
    }

    void Upload(const std::vector<uint8_t>& pixels)
    {
        texture.Release();  // first, so that the new texture may take its name
        texture = hostkit::Texture(width, height, pixels.data());
    }

    // One frame on the given texture name; the output it drew.
    std::vector<uint8_t> Frame(hostkit::EffectInstance& instance, uint32_t handle)
    {
        EXPECT_EQ(frame->Run(instance, handle, width, height), 0u);
        return frame->Pixels();
    }

    std::vector<uint8_t> WhiteSquare() const
    {
        hostkit::Image image(width, height);
        image.Fill(width / 3, height / 3, width * 2 / 3, height * 2 / 3, 255, 255, 255, 255);
        return image.pixels;
    }

    uint32_t width = 160, height = 120;
    hostkit::Texture texture;
    std::unique_ptr<testsupport::HostFrame> frame = std::make_unique<testsupport::HostFrame>();
    std::deque<hostkit::EffectInstance> instances;  // references stay valid as it grows
};

TEST_F(ReadBackTest, TextureNameZeroAfterATargetDrawsWhatAnEmptyGridGives)
{
    Upload(WhiteSquare());
    std::vector<uint8_t> emptyGridOutput[2];
    for (int invert = 0; invert < 2; ++invert) {
        SCOPED_TRACE(invert ? "inverted" : "plain");
        hostkit::EffectInstance& seen = NewInstance(static_cast<float>(invert));
        const std::vector<uint8_t> withTarget = Frame(seen, texture.Name());
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
        hostkit::EffectInstance& instance = NewInstance(0.0f);
        Frame(instance, texture.Name());
        frame->Prepare(instance, texture.Name(), width, height);
        hostkit::ResetDrawCallCount();
        EXPECT_EQ(instance.ProcessFrame(), 0u);
        EXPECT_EQ(hostkit::ReadBackByteCount(), c.gridBytes);
    }
}

}  // namespace
