// The parameter registry as a host sees it through the probe plug-in, whose
// registrations exercise clamping, options, duplicates and text parameters.
#include <cstring>

#include "PluginFixture.h"

namespace {

using hostkit::FloatBitsOf;
using hostkit::kFailureCode;
using testsupport::GlPluginTest;
using testsupport::PluginTest;

class ProbeRegistryTest : public PluginTest {
protected:
    void SetUp() override { Load(ZAO_PROBE_PLUGIN_PATH); }
};

TEST_F(ProbeRegistryTest, StandardDefaultsAreLimitedToZeroToOneAndOthersKeptAsGiven)
{
    EXPECT_EQ(Call32(ffgl::kGetParameterDefault, 5), FloatBitsOf(1.0f)) << "1.7 on a standard parameter";
    EXPECT_EQ(Call32(ffgl::kGetParameterDefault, 6), FloatBitsOf(0.0f)) << "-0.2 on a standard parameter";
    EXPECT_EQ(Call32(ffgl::kGetParameterDefault, 7), FloatBitsOf(1.7f)) << "1.7 on a boolean parameter";
    EXPECT_EQ(Call32(ffgl::kGetParameterDefault, 8), FloatBitsOf(2.5f)) << "option defaults are not limited";
}

TEST_F(ProbeRegistryTest, FirstRecordWithANumberAnswersEveryLookup)
{
    EXPECT_EQ(Call32(ffgl::kGetNumParameters), 10u) << "the duplicate is a record of its own";
    EXPECT_STREQ(CallText(ffgl::kGetParameterName, 5), "Clamped High");
    EXPECT_EQ(Call32(ffgl::kGetParameterType, 5), 10u);
    EXPECT_EQ(Call32(ffgl::kGetParameterDefault, 5), FloatBitsOf(1.0f));
}

TEST_F(ProbeRegistryTest, OptionElementsStartEmptyAndOnlyInRangeElementsCanBeSet)
{
    EXPECT_EQ(Call32(ffgl::kGetNumParameterElements, 8), 4u);
    const std::pair<uint32_t, const char*> names[] = {{0, ""}, {1, "One"}, {2, ""}, {3, ""}};
    for (const auto& [element, name] : names) {
        const hostkit::ByteRecord<8> pair = hostkit::MakeIndexPair(8, element);
        EXPECT_STREQ(reinterpret_cast<const char*>(library->CallPointer(ffgl::kGetParameterElementName, pair.Data())),
                     name);
        EXPECT_EQ(CallRecord(ffgl::kGetParameterElementValue, pair.Data()), FloatBitsOf(element == 1 ? 1.5f : 0.0f));
    }
    const hostkit::ByteRecord<8> beyond = hostkit::MakeIndexPair(8, 4);
    EXPECT_EQ(library->CallPointer(ffgl::kGetParameterElementName, beyond.Data()), 0u)
        << "element 4 of four was never set";
    EXPECT_EQ(CallRecord(ffgl::kGetParameterElementValue, beyond.Data()), kFailureCode);
}

TEST_F(ProbeRegistryTest, TextParameterDefaultIsAnEmptyText)
{
    EXPECT_EQ(Call32(ffgl::kGetParameterType, 4), 100u);
    EXPECT_STREQ(CallText(ffgl::kGetParameterDefault, 4), "");
}

class ProbeInstanceRegistryTest : public testsupport::InstanceTest {
protected:
    ProbeInstanceRegistryTest() : InstanceTest(ZAO_PROBE_PLUGIN_PATH) {}
};

TEST_F(ProbeInstanceRegistryTest, DisplayTextFormatsTheValueWithSixDecimals)
{
    const std::pair<float, const char*> cases[] = {
        {0.5f, "0.500000"}, {-3.25f, "-3.250000"}, {0.0f, "0.000000"}, {12345.5f, "12345.500000"}};
    for (const auto& [value, text] : cases) {
        ASSERT_EQ(SetFloat(3, value), 0u);
        EXPECT_STREQ(CallText(ffgl::kGetParameterDisplay, 3, instance), text);
    }
    EXPECT_EQ(library->Call(ffgl::kGetParameterDisplay, 42, instance), 0u) << "unknown parameter: no text";
}

TEST_F(ProbeInstanceRegistryTest, DisplayTextTooLongForTheSharedBufferIsCutAndTerminated)
{
    ASSERT_EQ(SetFloat(3, 1e9f), 0u);
    const char* text = CallText(ffgl::kGetParameterDisplay, 3, instance);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "1000000000.0000");
    ASSERT_EQ(SetFloat(3, -1e7f), 0u);
    EXPECT_STREQ(CallText(ffgl::kGetParameterDisplay, 3, instance), "-10000000.00000");
}

TEST_F(ProbeInstanceRegistryTest, TextParametersTravelAsPointersAndAreCopied)
{
    char caption[] = "hello";
    hostkit::ByteRecord<16> record;
    record.PutU32(0, 4);
    record.PutPointer(8, caption);
    EXPECT_EQ(CallRecord(ffgl::kSetParameter, record.Data(), instance), 0u);
    std::strcpy(caption, "XXXXX");
    EXPECT_STREQ(CallText(ffgl::kGetParameter, 4, instance), "hello");
    EXPECT_STREQ(CallText(ffgl::kGetParameterDisplay, 4, instance), "hello") << "display of a text parameter is its text";
    record.PutPointer(8, nullptr);
    EXPECT_EQ(CallRecord(ffgl::kSetParameter, record.Data(), instance), kFailureCode) << "no text to set";
}

TEST_F(ProbeInstanceRegistryTest, MissingRecordsAnswerTheFailureCode)
{
    EXPECT_EQ(library->Call(ffgl::kSetParameter, 0, instance), kFailureCode);
    EXPECT_EQ(library->Call(ffgl::kResize, 0, instance), kFailureCode);
    EXPECT_EQ(library->Call(ffgl::kSetTime, 0, instance), kFailureCode);
}

TEST_F(ProbeInstanceRegistryTest, NoInputIsInUseWhenTheMaximumIsNegative)
{
    EXPECT_EQ(Call32(ffgl::kGetInputStatus, 0, instance), kFailureCode);
}

TEST_F(ProbeInstanceRegistryTest, HostNotificationsAnswerSuccess)
{
    const double time = 12.5;
    EXPECT_EQ(CallRecord(ffgl::kSetTime, &time, instance), 0u);
    const auto viewport = hostkit::MakeViewport(1, 2, 30, 40);
    EXPECT_EQ(CallRecord(ffgl::kResize, viewport.Data(), instance), 0u);
}

}  // namespace
