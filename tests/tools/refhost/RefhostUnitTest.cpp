// The reference host's parts without a process around them: frame sizes and
// the contact sheet's layout and scaling.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "hostsupport/HostError.h"
#include "refhost/ContactSheet.h"
#include "refhost/FrameSize.h"

namespace refhost {
namespace {

using namespace hostsupport;

TEST(RefhostFrameSize, AcceptsWidthByHeightOnly)
{
    EXPECT_EQ(ParseFrameSize("1280x720").width, 1280u);
    EXPECT_EQ(ParseFrameSize("3840X2160").height, 2160u);
    for (const char* bad : {"1280", "x720", "1280x", "-1x5", " 12x5", "12x5 ", "12x+5", "20000x10", "0x10", "axb"})
        EXPECT_THROW(ParseFrameSize(bad), HostError) << bad;
}

TEST(RefhostContactSheet, PicksFirstAndLastFrameAndSpreadsTheRest)
{
    const ContactSheet sheet(3, 2, 120, 1280, 720);
    EXPECT_EQ(sheet.PickedFrames(), (std::vector<uint64_t>{0, 24, 48, 71, 95, 119}));
    EXPECT_EQ(ContactSheet(3, 2, 4, 64, 48).PickedFrames(), (std::vector<uint64_t>{0, 1, 2, 3}));
    EXPECT_EQ(ContactSheet(3, 2, 1, 64, 48).PickedFrames(), (std::vector<uint64_t>{0}));
}

TEST(RefhostContactSheet, LargeFramesAreScaledToKeepTheSheetWithinItsWidth)
{
    const ContactSheet sheet(3, 2, 10, 3840, 2160);
    EXPECT_LE(sheet.Sheet().width, ContactSheet::kMaxSheetWidth);
    EXPECT_EQ(sheet.TileHeight(), sheet.TileWidth() * 2160 / 3840);
}

TEST(RefhostContactSheet, TileShowsTheFrameScaledDown)
{
    ContactSheet sheet(1, 1, 1, 8, 8);
    Image frame(8, 8);
    for (size_t i = 0; i < frame.pixels.size(); i += 4) {
        frame.pixels[i] = 200;
        frame.pixels[i + 3] = 255;
    }
    sheet.Add(0, frame);
    const uint8_t* p = sheet.Sheet().Row(ContactSheet::kGap) + ContactSheet::kGap * 4;
    EXPECT_EQ(p[0], 200);
    EXPECT_EQ(p[1], 0);
}

TEST(RefhostScaling, BoxFilterAveragesEachBlock)
{
    Image source(4, 2), target(2, 1);
    const uint8_t values[8] = {0, 100, 10, 30, 200, 0, 50, 70};
    for (int i = 0; i < 8; ++i)
        source.pixels[i * 4] = values[i];
    ScaleInto(source, target);
    EXPECT_EQ(target.pixels[0], 75);  // (0 + 100 + 200 + 0) / 4
    EXPECT_EQ(target.pixels[4], 40);  // (10 + 30 + 50 + 70) / 4
}

}  // namespace
}  // namespace refhost
