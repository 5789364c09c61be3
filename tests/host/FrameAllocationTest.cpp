// Heap use of a frame, counted as a host sees it: the plug-in loaded with
// dlopen and driven through plugMain, every allocation that its own code makes
// on the calling thread tallied by the executable's own malloc.
#include <memory>

#include "PluginFixture.h"
#include "Scenes.h"
#include "hostkit/AllocationCounter.h"
#include "hostkit/HostGl.h"

namespace {

using testsupport::Image;

class FrameAllocationTest : public testsupport::GlPluginTest {
protected:
    void SetUp() override
    {
        // The sanitizers' runtime owns malloc in that build; the counter stands aside.
        if (!hostkit::AllocationCountingAvailable())
            GTEST_SKIP() << "allocation counting needs the plain allocator";
        GlPluginTest::SetUp();
        if (HasFatalFailure())
            return;
        instance = MakeInstance(kWidth, kHeight);
        ASSERT_TRUE(instance.Valid());
    }
    void TearDown() override
    {
        instance.Destroy();
        texture.Release();
        frame.reset();
        GlPluginTest::TearDown();
    }

    void SetParameter(const char* name, float value) { ASSERT_EQ(instance.SetFloat(name, value), 0u); }

    void Show(const Image& image)
    {
        texture.Release();  // first, so that the new texture may take its name
        texture = hostkit::Texture(image.width, image.height, image.pixels.data());
    }

    // One processed frame of the current input, its allocations counted.
    hostkit::AllocationStats Frame()
    {
        frame->Prepare(instance, texture.Name(), kWidth, kHeight, 1);
        hostkit::StartCountingAllocations(library->EntryAddress());
        const uint64_t result = instance.ProcessFrame();
        const hostkit::AllocationStats stats = hostkit::StopCountingAllocations();
        EXPECT_EQ(result, 0u);
        return stats;
    }

    static constexpr uint32_t kWidth = 640, kHeight = 360;
    hostkit::EffectInstance instance;
    hostkit::Texture texture;
    std::unique_ptr<testsupport::HostFrame> frame = std::make_unique<testsupport::HostFrame>();
};

TEST_F(FrameAllocationTest, SteadyStateFramesAllocateNothing)
{
    struct Scene {
        const char* name;
        Image image;
        float maxBlobs, boxStyle, network, contours;
    };
    const Scene scenes[] = {
        {"title only", Image(kWidth, kHeight, 0, 0, 0), 0.5f, 1.0f, 0.0f, 0.0f},
        {"20 labelled targets", testsupport::TwentyTargets(kWidth, kHeight), 1.0f, 1.0f, 0.0f, 0.0f},
        {"heavy", testsupport::TwentyTargets(kWidth, kHeight), 1.0f, 3.0f, 1.0f, 1.0f},
        {"grid checkerboard", testsupport::GridCheckerboard(kWidth, kHeight), 0.5f, 1.0f, 0.0f, 0.0f},
    };
    for (const Scene& scene : scenes) {
        SCOPED_TRACE(scene.name);
        SetParameter("Max Blobs", scene.maxBlobs);
        SetParameter("Box Style", scene.boxStyle);
        SetParameter("Show Network", scene.network);
        SetParameter("Show Contours", scene.contours);
        Show(scene.image);
        Frame();  // the first frame of new counts may grow what the instance keeps
        for (int frame = 0; frame < 2; ++frame) {
            const hostkit::AllocationStats stats = Frame();
            EXPECT_EQ(stats.allocations, 0u);
            RecordProperty(std::string("Allocations ") + scene.name, static_cast<int>(stats.allocations));
        }
    }
}

TEST_F(FrameAllocationTest, AnyTargetCountDrawsInBoundedMemory)
{
    // "Max Blobs" 10 keeps 191 one-cell targets of the checkerboard, and the
    // network joins nearly every pair of them: about 18,000 lines.
    Show(testsupport::GridCheckerboard(kWidth, kHeight));
    Frame();  // sizes the grid and the buffers the instance keeps
    SetParameter("Max Blobs", 10.0f);
    SetParameter("Show Network", 1.0f);
    SetParameter("Show Contours", 1.0f);
    const hostkit::AllocationStats first = Frame();
    RecordProperty("PeakBytes", static_cast<int>(first.peakBytes));
    // The target list grows to its new length; nothing grows with the lines.
    EXPECT_LT(first.peakBytes, 64 * 1024);
    EXPECT_EQ(Frame().allocations, 0u);
}

}  // namespace
