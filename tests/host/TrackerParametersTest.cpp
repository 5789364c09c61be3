// The effect's ten parameters as a host reads and writes them.
#include <cstring>

#include "PluginFixture.h"

namespace {

using hostkit::FloatBitsOf;
using hostkit::kFailureCode;
using testsupport::GlPluginTest;
using testsupport::PluginTest;

struct Expected {
    const char* name;
    uint32_t type;
    float defaultValue;
    const char* display;
};

constexpr Expected kParameters[10] = {
    {"Threshold", 10, 0.4f, "0.400000"},     {"Invert", 0, 0.0f, "0.000000"},
    {"Min Size", 10, 0.1f, "0.100000"},      {"Max Blobs", 10, 0.5f, "0.500000"},
    {"Box Style", 11, 1.0f, "1.000000"},     {"Show Blobs", 0, 1.0f, "1.000000"},
    {"Show Network", 0, 0.0f, "0.000000"},   {"Show Labels", 0, 1.0f, "1.000000"},
    {"Show Contours", 0, 0.0f, "0.000000"},  {"Hue Shift", 10, 0.0f, "0.000000"},
};

TEST_F(PluginTest, TenParametersWithNamesTypesAndDefaultsInNumberOrder)
{
    ASSERT_EQ(Call32(ffgl::kGetNumParameters), 10u);
    for (uint32_t i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(CallText(ffgl::kGetParameterName, i), kParameters[i].name);
        EXPECT_EQ(Call32(ffgl::kGetParameterType, i), kParameters[i].type);
        EXPECT_EQ(Call32(ffgl::kGetParameterDefault, i), FloatBitsOf(kParameters[i].defaultValue));
        EXPECT_EQ(Call32(ffgl::kGetNumParameterElements, i), i == 4 ? 4u : 1u);
    }
}

TEST_F(PluginTest, BoxStyleOffersFourNamedValuedElements)
{
    const char* names[] = {"Rectangle", "Corners", "Brackets", "Dashed"};
    for (uint32_t element = 0; element < 4; ++element) {
        hostkit::ByteRecord<8> pair;
        pair.PutU32(0, 4);
        pair.PutU32(4, element);
        EXPECT_STREQ(reinterpret_cast<const char*>(library->CallPointer(ffgl::kGetParameterElementName, pair.Data())),
                     names[element]);
        EXPECT_EQ(CallRecord(ffgl::kGetParameterElementValue, pair.Data()), FloatBitsOf(static_cast<float>(element)));
    }
}

using TrackerInstanceTest = testsupport::InstanceTest;

TEST_F(TrackerInstanceTest, DefaultsDisplayWithSixDecimals)
{
    for (uint32_t i = 0; i < 10; ++i)
        EXPECT_STREQ(CallText(ffgl::kGetParameterDisplay, i, instance), kParameters[i].display) << i;
}

TEST_F(TrackerInstanceTest, ValuesAreStoredAsSentWithoutClamping)
{
    const std::pair<uint32_t, float> cases[] = {{4, 3.0f}, {3, 2.0f}, {0, -1.0f}, {9, 1e9f}, {7, 0.49f}};
    for (const auto& [number, value] : cases) {
        EXPECT_EQ(SetFloat(number, value), 0u);
        EXPECT_EQ(Call32(ffgl::kGetParameter, number, instance), FloatBitsOf(value));
    }
}

TEST_F(TrackerInstanceTest, ParameterTenCannotBeSetAndReadsZero)
{
    EXPECT_EQ(SetFloat(10, 0.7f), kFailureCode);
    EXPECT_EQ(Call32(ffgl::kGetParameter, 10, instance), FloatBitsOf(0.0f));
}

TEST_F(TrackerInstanceTest, OnlyInputZeroIsInUse)
{
    EXPECT_EQ(Call32(ffgl::kGetInputStatus, 0, instance), 1u);
    EXPECT_EQ(Call32(ffgl::kGetInputStatus, 1, instance), kFailureCode);
    EXPECT_EQ(Call32(ffgl::kGetInputStatus, 0xFFFFFFFFu, instance), kFailureCode);
}

TEST_F(TrackerInstanceTest, InstancesKeepTheirOwnValues)
{
    void* other = CreateInstance();
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(SetFloat(0, 0.9f), 0u);
    EXPECT_EQ(Call32(ffgl::kGetParameter, 0, other), FloatBitsOf(0.4f));
    EXPECT_EQ(Call32(ffgl::kDeinstantiateGL, 0, other), 0u);
}

}  // namespace
