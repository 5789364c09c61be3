// zao-host info --thumbnail: the code 42 picture written as PNG, checked at
// the landmarks of our plug-in's drawing, and a plug-in without one refused.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "HostProcess.h"
#include "PngReader.h"

namespace refhosttest {
namespace {

using RefhostThumbnail = HostTest;

struct Landmark {
    const char* what;
    uint32_t x, y;
    std::array<uint8_t, 4> rgba;
};

TEST_F(RefhostThumbnail, WritesTheRingCrosshairAndCornerMarksTopRowFirst)
{
    const ProcessResult result = RunHost({"info", ZAO_PLUGIN_PATH, "--thumbnail", Path("thumb.png")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("ZEL DadiDaruzad"), std::string::npos) << "the listing still comes";

    hostkit::Image image;
    ASSERT_TRUE(ReadPng(Path("thumb.png"), image));
    ASSERT_EQ(image.width, 160u);
    ASSERT_EQ(image.height, 120u);
    const Landmark landmarks[] = {
        {"background corner", 0, 0, {0, 0, 0, 255}},
        {"ring centre, last disc", 80, 60, {85, 0, 42, 255}},
        {"top of the ring", 80, 35, {255, 0, 128, 255}},
        {"upper crosshair tick", 80, 44, {57, 255, 20, 255}},
        {"upper-left corner mark", 8, 8, {80, 80, 80, 255}},
        {"lower-right corner mark", 151, 99, {80, 80, 80, 255}},
        {"below the ring", 80, 100, {0, 0, 0, 255}},
    };
    for (const Landmark& landmark : landmarks) {
        const uint8_t* pixel = image.At(landmark.x, landmark.y);
        EXPECT_EQ((std::array<uint8_t, 4>{pixel[0], pixel[1], pixel[2], pixel[3]}), landmark.rgba) << landmark.what;
    }
}

TEST_F(RefhostThumbnail, PluginWithoutThumbnailFailsAndWritesNoFile)
{
    const ProcessResult result = RunHost({"info", ZAO_NO_THUMBNAIL_PLUGIN_PATH, "--thumbnail", Path("thumb.png")});
    ExpectOneLineFailure(result, "offers no thumbnail");
    EXPECT_FALSE(std::filesystem::exists(Path("thumb.png")));
}

}  // namespace
}  // namespace refhosttest
