// The information records answered by codes 0 and 13, read byte by byte.
#include <cstring>

#include "PluginFixture.h"

namespace {

using testsupport::PluginTest;

TEST_F(PluginTest, InformationRecordHoldsVersionCodeNameAndTypeByteForByte)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(library->Call(ffgl::kGetInfo));
    ASSERT_NE(bytes, nullptr);
    const uint8_t expected[32] = {2,   0,   0,   0,   1,   0,   0,   0,   'Q', 'X', '0', '1', 'Z', 'E', 'L', ' ',
                                  'D', 'a', 'd', 'i', 'D', 'a', 'r', 'u', 'z', 'a', 'd', 0,   0,   0,   0,   0};
    EXPECT_EQ(0, std::memcmp(bytes, expected, sizeof(expected)));
}

TEST_F(PluginTest, ExtendedInformationRecordHoldsVersionsTextsAndNoExtendedData)
{
    const auto* record = reinterpret_cast<const uint8_t*>(library->Call(ffgl::kGetExtendedInfo));
    ASSERT_NE(record, nullptr);
    hostkit::ByteRecord<40> copy;
    std::memcpy(copy.bytes, record, 40);
    EXPECT_EQ(copy.U32(0), 3u);
    EXPECT_EQ(copy.U32(4), 0u);
    EXPECT_STREQ(static_cast<const char*>(copy.Pointer(8)), "K.V.R. blob/motion tracking with surveillance overlay");
    EXPECT_STREQ(static_cast<const char*>(copy.Pointer(16)), "Zozivad Uzozaro");
    EXPECT_EQ(copy.U32(24), 0u);
    EXPECT_EQ(copy.Pointer(32), nullptr);
}

TEST_F(PluginTest, InformationRecordsAreTheSameObjectsOnEveryRequest)
{
    EXPECT_EQ(library->Call(ffgl::kGetInfo), library->Call(ffgl::kGetInfo));
    EXPECT_EQ(library->Call(ffgl::kGetExtendedInfo), library->Call(ffgl::kGetExtendedInfo));
}

class ProbeInfoTest : public PluginTest {
protected:
    void SetUp() override { Load(ZAO_PROBE_PLUGIN_PATH); }
};

TEST_F(ProbeInfoTest, NameAsLongAsTheFieldFillsItWithoutTerminator)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(library->Call(ffgl::kGetInfo));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(0, std::memcmp(bytes + 8, "PRB1", 4));
    EXPECT_EQ(0, std::memcmp(bytes + 12, "Probe Effect 16c", 16));
    // The type follows the name directly: a zero word, no stray terminator in between.
    uint32_t type = 1;
    std::memcpy(&type, bytes + 28, 4);
    EXPECT_EQ(type, 0u);
}

}  // namespace
