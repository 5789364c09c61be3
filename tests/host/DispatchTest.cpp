// Function-code dispatch without GL: unknown codes, the prototype instance,
// capabilities, missing instance handles and records.
#include "PluginFixture.h"

namespace {

using hostkit::kFailureCode;
using testsupport::LogCapture;
using testsupport::PluginTest;

TEST_F(PluginTest, UnassignedCodesAnswerTheFailureCodeAndDoNothing)
{
    library->SetLogCallback(LogCapture::Callback);
    for (uint32_t code : {1u, 3u, 11u, 12u, 14u, 24u, 25u, 26u, 27u, 28u, 29u, 30u, 52u, 53u, 100u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(library->Call(code, 0, nullptr), kFailureCode);
    }
    EXPECT_TRUE(LogCapture::Lines().empty()) << "no prototype is made for unassigned codes";
}

TEST_F(PluginTest, ParameterCountWithoutInitialiseMakesThePrototypeOnDemand)
{
    library->SetLogCallback(LogCapture::Callback);
    EXPECT_EQ(Call32(ffgl::kGetNumParameters), 10u);
    EXPECT_EQ(LogCapture::Lines(), std::vector<std::string>{"Created ZEL DadiDaruzad v3.0 [K.V.R.]"});
    EXPECT_EQ(Call32(ffgl::kGetNumParameters), 10u);
    EXPECT_EQ(LogCapture::Lines().size(), 1u) << "the prototype is kept";
}

TEST_F(PluginTest, InitialiseMakesOnePrototypeAndDeinitialiseDestroysIt)
{
    library->SetLogCallback(LogCapture::Callback);
    EXPECT_EQ(Call32(ffgl::kInitialiseV2), 0u);
    EXPECT_EQ(Call32(ffgl::kInitialiseV2), 0u);
    EXPECT_EQ(LogCapture::Lines().size(), 1u);
    EXPECT_EQ(Call32(ffgl::kDeinitialise), 0u);
    EXPECT_EQ(Call32(ffgl::kGetNumParameters), 10u);
    EXPECT_EQ(LogCapture::Lines().size(), 2u) << "a query after code 2 makes a fresh prototype";
}

TEST_F(PluginTest, NoLogLinesWithoutCallbackAndNoneAfterAZeroCallback)
{
    EXPECT_EQ(Call32(ffgl::kInitialiseV2), 0u);
    library->SetLogCallback(LogCapture::Callback);
    EXPECT_TRUE(LogCapture::Lines().empty());
    EXPECT_EQ(Call32(ffgl::kDeinitialise), 0u);
    EXPECT_EQ(Call32(ffgl::kInitialiseV2), 0u);
    EXPECT_EQ(LogCapture::Lines().size(), 1u);
    library->SetLogCallback(nullptr);
    EXPECT_EQ(Call32(ffgl::kDeinitialise), 0u);
    EXPECT_EQ(Call32(ffgl::kInitialiseV2), 0u);
    EXPECT_EQ(LogCapture::Lines().size(), 1u);
}

TEST_F(PluginTest, CapabilitiesAnswerSetTimeOneInputExactlyAndNoTopLeftOrientation)
{
    const std::pair<uint32_t, uint32_t> cases[] = {
        {ffgl::kCapabilitySetTime, 1}, {ffgl::kCapabilityMinimumInputs, 1}, {ffgl::kCapabilityMaximumInputs, 1},
        {ffgl::kCapabilityTopLeftOrientation, 0}, {4, 0}, {0, 0}, {99, 0},  // the last three: capabilities not offered
    };
    for (const auto& [capability, answer] : cases) {
        SCOPED_TRACE(capability);
        EXPECT_EQ(Call32(ffgl::kGetPluginCaps, capability), answer);
    }
}

TEST_F(PluginTest, CodesThatNeedAnInstanceFailWithAZeroHandle)
{
    const auto viewport = hostkit::MakeViewport(0, 0, 8, 8);
    const double time = 1.5;
    const auto frame = hostkit::MakeFrameInput(0, nullptr, 0);
    hostkit::ByteRecord<16> value;
    const std::pair<uint32_t, const void*> cases[] = {
        {ffgl::kGetParameterDisplay, nullptr}, {ffgl::kSetParameter, value.Data()},
        {ffgl::kGetParameter, nullptr},        {ffgl::kGetInputStatus, nullptr},
        {ffgl::kProcessOpenGL, frame.Data()},   {ffgl::kDeinstantiateGL, nullptr},
        {ffgl::kSetTime, &time},               {ffgl::kConnect, nullptr},
        {ffgl::kDisconnect, nullptr},          {ffgl::kResize, viewport.Data()},
    };
    for (const auto& [code, input] : cases) {
        SCOPED_TRACE(code);
        EXPECT_EQ(library->CallPointer(code, input, nullptr), kFailureCode);
    }
}

TEST_F(PluginTest, CreationWithAZeroViewportPointerFailsAndMakesNoInstance)
{
    EXPECT_EQ(Call32(ffgl::kInitialiseV2), 0u);
    library->SetLogCallback(LogCapture::Callback);
    EXPECT_EQ(library->Call(ffgl::kInstantiateGL, 0), kFailureCode);
    EXPECT_TRUE(LogCapture::Lines().empty());
}

TEST_F(PluginTest, ParameterQueriesOfThePrototypeAnswerUnknownNumbersAsFailure)
{
    EXPECT_EQ(library->Call(ffgl::kGetParameterName, 10), 0u) << "no name for parameter 10";
    EXPECT_EQ(library->Call(ffgl::kGetParameterDefault, 10), kFailureCode);
    EXPECT_EQ(library->Call(ffgl::kGetParameterType, 10), kFailureCode);
    EXPECT_EQ(library->Call(ffgl::kGetParameterType, 0xFFFFFFFFu), kFailureCode);
}

// The probe's factory can be made to fail, so the prototype cannot be made.
class ProbeDispatchTest : public PluginTest {
protected:
    void SetUp() override { Load(ZAO_PROBE_PLUGIN_PATH); }
};

TEST_F(ProbeDispatchTest, NegativeInputCountsAnswerZeroAndNoInputIsInUse)
{
    EXPECT_EQ(Call32(ffgl::kGetPluginCaps, ffgl::kCapabilityMinimumInputs), 0u);
    EXPECT_EQ(Call32(ffgl::kGetPluginCaps, ffgl::kCapabilityMaximumInputs), 0u);
}

}  // namespace
