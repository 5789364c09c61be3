// zao-host bench, on small sizes and few frames: one row per size and run,
// the host's pass-through counting one draw call of four vertices, the
// plug-in reading back only its analysis grid, and the JSON copy.
#include <gtest/gtest.h>

#include <regex>

#include "HostProcess.h"

namespace refhosttest {
namespace {

class RefhostBench : public HostTest {};

TEST_F(RefhostBench, TableHasEverySizeAndRunAndThePassThroughDrawsOnce)
{
    const ProcessResult result = RunHost({"bench", ZAO_PLUGIN_PATH, "--sizes", "128x72,160x96", "--frames", "3",
                                          "--warmup", "1", "--json", Path("bench.json")});
    ASSERT_EQ(result.status, 0) << result.err;
    // The plug-in's grid: 38 x 21 and 48 x 28 cells of 4 bytes.
    for (const auto& [size, gridBytes] : {std::pair{"128x72", "3192"}, std::pair{"160x96", "5376"}}) {
        const std::string sizeText = size;
        const std::regex passRow(sizeText + " +pass-through \\(host\\)( +[0-9.]+){4} +1\\.00 +1 +4 +0\n");
        EXPECT_TRUE(std::regex_search(result.out, passRow)) << result.out;
        for (const char* run : {"read-back only \\(host\\)", "labels", "labels\\+network\\+contours"}) {
            const std::string readBack = run[0] == 'r' ? "[0-9]+" : gridBytes;
            const std::regex row(sizeText + " +" + run + "( +[0-9.]+){5} +[0-9]+(-[0-9]+)? +[0-9]+ +" + readBack +
                                 "\n");
            EXPECT_TRUE(std::regex_search(result.out, row)) << run << "\n" << result.out;
        }
    }
    EXPECT_NE(result.out.find("Max Blobs=1.0, Show Labels=on"), std::string::npos);
    const std::string json = ReadFile(Path("bench.json"));
    EXPECT_NE(json.find("\"width\": 160, \"height\": 96"), std::string::npos) << json;
    EXPECT_NE(json.find("\"name\": \"labels+network+contours\""), std::string::npos);
    EXPECT_NE(json.find("\"drawCallsMin\": 1, \"drawCallsMax\": 1, \"verticesPerFrame\": 4.0000"), std::string::npos);
}

TEST_F(RefhostBench, PlugInRunDrawsMoreThanThePassThroughOnTheBlobField)
{
    const ProcessResult result =
        RunHost({"bench", ZAO_PLUGIN_PATH, "--sizes", "320x180", "--frames", "2", "--warmup", "0"});
    ASSERT_EQ(result.status, 0) << result.err;
    std::smatch match;
    ASSERT_TRUE(std::regex_search(result.out, match, std::regex("320x180 +labels( +[0-9.]+){5} +([0-9]+)")));
    EXPECT_GT(std::stoi(match[2]), 1);
}

}  // namespace
}  // namespace refhosttest
