// Creating, driving and destroying instances through plugMain with a real GL
// context: defaults copied in, the connect step, the order of Disconnect and
// DeInitGL, every failed creation cleaning up, and the once-only GL loader.
#include "PluginFixture.h"

namespace {

using hostkit::FloatBitsOf;
using hostkit::kFailureCode;
using testsupport::GlPluginTest;
using testsupport::LogCapture;
using Lines = std::vector<std::string>;

TEST_F(GlPluginTest, NewInstanceHoldsThePrototypesDefaults)
{
    void* instance = CreateInstance();
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(Call32(ffgl::kGetParameter, 0, instance), FloatBitsOf(0.4f));
    EXPECT_EQ(Call32(ffgl::kGetParameter, 4, instance), FloatBitsOf(1.0f));
    EXPECT_EQ(Call32(ffgl::kDeinstantiateGL, 0, instance), 0u);
}

TEST_F(GlPluginTest, EveryConstructedInstanceSendsOneCreationLine)
{
    library->SetLogCallback(LogCapture::Callback);
    EXPECT_EQ(Call32(ffgl::kInitialiseV2), 0u);
    void* first = CreateInstance();
    void* second = CreateInstance();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(LogCapture::Lines(), Lines(3, "Created ZEL DadiDaruzad v3.0 [K.V.R.]"));
    EXPECT_EQ(Call32(ffgl::kDeinstantiateGL, 0, first), 0u);
    EXPECT_EQ(Call32(ffgl::kDeinstantiateGL, 0, second), 0u);
}

TEST_F(GlPluginTest, CreationFailsForGoodOnceTheGlLoaderFailed)
{
    context->ReleaseCurrent();
    EXPECT_EQ(CreateInstance(), nullptr) << "no context current: the loader fails";
    ASSERT_TRUE(context->MakeCurrent());
    EXPECT_EQ(CreateInstance(), nullptr) << "the loader is never run a second time";
}

class ProbeLifecycleTest : public GlPluginTest {
protected:
    ProbeLifecycleTest() : GlPluginTest(ZAO_PROBE_PLUGIN_PATH) {}
    void SetUp() override
    {
        GlPluginTest::SetUp();
        if (HasFatalFailure())
            return;
        library->SetLogCallback(LogCapture::Callback);
        ASSERT_EQ(Call32(ffgl::kInitialiseV2), 0u);
        LogCapture::Reset();
    }

    uint32_t Frame(void* instance)
    {
        // The probe only logs the call: texture and framebuffer 0 will do.
        const auto input = hostkit::InputTexture::Whole(0, 4, 4);
        const hostkit::FrameRecords frame(&input, 1, 0);
        return CallRecord(ffgl::kProcessOpenGL, frame.Data(), instance);
    }
};

TEST_F(ProbeLifecycleTest, FirstFrameConnectsOnceAndDestroyDisconnectsBeforeDeInitGl)
{
    void* instance = CreateInstance();
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(LogCapture::Lines(), (Lines{"probe: constructed", "probe: InitGL"}));
    LogCapture::Reset();
    EXPECT_EQ(Frame(instance), 0u);
    EXPECT_EQ(Frame(instance), 0u);
    EXPECT_EQ(Call32(ffgl::kDeinstantiateGL, 0, instance), 0u);
    EXPECT_EQ(LogCapture::Lines(), (Lines{"probe: Connect", "probe: ProcessOpenGL", "probe: ProcessOpenGL",
                                          "probe: Disconnect", "probe: DeInitGL", "probe: destroyed"}));
}

TEST_F(ProbeLifecycleTest, ExplicitConnectIsNotRepeatedByTheFirstFrame)
{
    void* instance = CreateInstance();
    ASSERT_NE(instance, nullptr);
    LogCapture::Reset();
    EXPECT_EQ(Call32(ffgl::kConnect, 0, instance), 0u);
    EXPECT_EQ(Frame(instance), 0u);
    EXPECT_EQ(LogCapture::Lines(), (Lines{"probe: Connect", "probe: ProcessOpenGL"}));
    EXPECT_EQ(Call32(ffgl::kDisconnect, 0, instance), 0u);
    LogCapture::Reset();
    EXPECT_EQ(Call32(ffgl::kDeinstantiateGL, 0, instance), 0u);
    EXPECT_EQ(LogCapture::Lines(), (Lines{"probe: DeInitGL", "probe: destroyed"})) << "already disconnected";
}

TEST_F(ProbeLifecycleTest, FrameWithoutARecordFailsWithoutConnecting)
{
    void* instance = CreateInstance();
    ASSERT_NE(instance, nullptr);
    LogCapture::Reset();
    EXPECT_EQ(library->Call(ffgl::kProcessOpenGL, 0, instance), kFailureCode);
    EXPECT_TRUE(LogCapture::Lines().empty());
    EXPECT_EQ(Call32(ffgl::kDeinstantiateGL, 0, instance), 0u);
}

TEST_F(ProbeLifecycleTest, FailedInitGlReleasesAndDestroysTheNewInstance)
{
    void* instance = CreateInstance();
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(SetFloat(instance, 1, 1.0f), 0u);
    LogCapture::Reset();
    EXPECT_EQ(CreateInstance(), nullptr);
    EXPECT_EQ(LogCapture::Lines(),
              (Lines{"probe: constructed", "probe: InitGL", "probe: DeInitGL", "probe: destroyed"}));
    EXPECT_EQ(Call32(ffgl::kDeinstantiateGL, 0, instance), 0u);
}

TEST_F(ProbeLifecycleTest, RejectedDefaultDestroysTheNewInstanceBeforeGl)
{
    void* instance = CreateInstance();
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(SetFloat(instance, 2, 1.0f), 0u);
    LogCapture::Reset();
    EXPECT_EQ(CreateInstance(), nullptr);
    EXPECT_EQ(LogCapture::Lines(), (Lines{"probe: constructed", "probe: destroyed"}));
    EXPECT_EQ(Call32(ffgl::kDeinstantiateGL, 0, instance), 0u);
}

TEST_F(ProbeLifecycleTest, WithoutAPrototypeEveryCodeAnswersItsFallback)
{
    void* instance = CreateInstance();
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(SetFloat(instance, 0, 1.0f), 0u);
    ASSERT_EQ(Call32(ffgl::kDeinitialise), 0u);
    LogCapture::Reset();

    EXPECT_EQ(library->Call(ffgl::kInitialiseV2), kFailureCode);
    EXPECT_EQ(library->Call(ffgl::kGetNumParameters), kFailureCode);
    EXPECT_EQ(library->Call(ffgl::kGetParameterName, 0), 0u);
    EXPECT_EQ(library->Call(ffgl::kGetParameterDefault, 0), kFailureCode);
    EXPECT_EQ(library->Call(ffgl::kGetPluginCaps, ffgl::kCapabilitySetTime), kFailureCode);
    EXPECT_EQ(library->Call(ffgl::kGetParameterType, 0), kFailureCode);
    EXPECT_EQ(CreateInstance(), nullptr);
    // Codes 8 and 9 still reach the instance; the type then counts as numeric.
    EXPECT_EQ(SetFloat(instance, 3, 0.75f), 0u);
    EXPECT_EQ(Call32(ffgl::kGetParameter, 3, instance), FloatBitsOf(0.75f));
    EXPECT_TRUE(LogCapture::Lines().empty()) << "the factory made nothing";
    EXPECT_EQ(Call32(ffgl::kDeinstantiateGL, 0, instance), 0u);
}

}  // namespace
