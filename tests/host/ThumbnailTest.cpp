// Code 42 through plugMain: the 160 x 120 picture compared pixel by pixel with
// a rendering from the shapes' equations, its byte order, and the record rules.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "PluginFixture.h"

namespace {

using hostkit::ByteRecord;
using hostkit::kFailureCode;
using testsupport::LogCapture;
using testsupport::PluginTest;

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr size_t kImageBytes = kWidth * kHeight * 4;
constexpr size_t kGuardBytes = 64;
constexpr uint8_t kGuard = 0xCD;

using Rgba = std::array<int, 4>;

const Rgba kBlack{0, 0, 0, 255};
const Rgba kBlobOuter{63, 0, 32, 255};
const Rgba kBlobInner{85, 0, 42, 255};
const Rgba kPink{255, 0, 128, 255};
const Rgba kGreen{57, 255, 20, 255};
const Rgba kGrey{80, 80, 80, 255};

// The picture's shape list, each shape as the set of pixels it covers.
enum class Kind { Fill, Disc, Ring, Segment };

struct Shape {
    Kind kind;
    int a, b, c, d;  // disc and ring: centre x, y and radius; segment: x0, y0, x1, y1
    Rgba colour;
};

const Shape kPicture[] = {
    {Kind::Fill, 0, 0, 0, 0, kBlack},
    {Kind::Disc, 78, 58, 22, 0, kBlobOuter},
    {Kind::Disc, 84, 55, 18, 0, kBlobInner},
    {Kind::Disc, 76, 63, 16, 0, kBlobInner},
    {Kind::Ring, 80, 60, 25, 0, kPink},
    {Kind::Segment, 80, 40, 80, 48, kGreen},
    {Kind::Segment, 80, 72, 80, 80, kGreen},
    {Kind::Segment, 60, 60, 68, 60, kGreen},
    {Kind::Segment, 92, 60, 100, 60, kGreen},
    {Kind::Segment, 8, 8, 20, 8, kGrey},
    {Kind::Segment, 8, 8, 8, 20, kGrey},
    {Kind::Segment, 151, 8, 139, 8, kGrey},
    {Kind::Segment, 151, 8, 151, 20, kGrey},
    {Kind::Segment, 8, 111, 20, 111, kGrey},
    {Kind::Segment, 8, 111, 8, 99, kGrey},
    {Kind::Segment, 151, 111, 139, 111, kGrey},
    {Kind::Segment, 151, 111, 151, 99, kGrey},
};

bool Covers(const Shape& shape, int x, int y)
{
    switch (shape.kind) {
    case Kind::Fill:
        return true;
    case Kind::Disc: {
        const int dx = x - shape.a, dy = y - shape.b;
        return dx * dx + dy * dy <= shape.c * shape.c;
    }
    case Kind::Ring: {
        // The midpoint circle takes, in the octant 0 <= v <= u, the pixel whose
        // left midpoint (u - 1/2) lies inside the circle and whose right one
        // (u + 1/2) lies outside: u^2 - u + v^2 < r^2 <= u^2 + u + v^2 in integers
        // (checked against the algorithm for radii 1 to 199); the other octants mirror it.
        const int u = std::max(std::abs(x - shape.a), std::abs(y - shape.b));
        const int v = std::min(std::abs(x - shape.a), std::abs(y - shape.b));
        const int r2 = shape.c * shape.c;
        return u * u - u + v * v < r2 && r2 <= u * u + u + v * v;
    }
    case Kind::Segment:
        // Every segment of the picture is horizontal or vertical: a range of pixels.
        return std::min(shape.a, shape.c) <= x && x <= std::max(shape.a, shape.c) && std::min(shape.b, shape.d) <= y &&
               y <= std::max(shape.b, shape.d);
    }
    return false;
}

// The colour of the last shape in drawing order that covers the pixel.
Rgba Expected(int x, int y)
{
    Rgba colour{};
    for (const Shape& shape : kPicture)
        if (Covers(shape, x, y))
            colour = shape.colour;
    return colour;
}

struct Fetched {
    uint32_t result;
    uint32_t width;
    uint32_t height;
    std::vector<uint8_t> bytes;  // the image, then guard bytes that must stay untouched

    // Pixel words are R x 2^24 + G x 2^16 + B x 2^8 + A, little-endian: bytes A, B, G, R.
    Rgba Pixel(int x, int y) const
    {
        const uint8_t* p = &bytes[(static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 4];
        return {p[3], p[2], p[1], p[0]};
    }
    std::array<int, 4> MemoryBytes(int x, int y) const
    {
        const uint8_t* p = &bytes[(static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
};

class ThumbnailTest : public PluginTest {
protected:
    // Width and height start as garbage so that writing them shows.
    Fetched Fetch() const
    {
        Fetched fetched{0, 0, 0, std::vector<uint8_t>(kImageBytes + kGuardBytes, kGuard)};
        ByteRecord<16> record;
        record.PutU32(0, 0xDEADBEEFu);
        record.PutU32(4, 0xDEADBEEFu);
        record.PutPointer(8, fetched.bytes.data());
        fetched.result = CallRecord(ffgl::kGetThumbnail, record.Data());
        fetched.width = record.U32(0);
        fetched.height = record.U32(4);
        return fetched;
    }
};

TEST_F(ThumbnailTest, RequestWritesTheSizeAndCopiesExactlyTheImageBytes)
{
    const Fetched fetched = Fetch();
    EXPECT_EQ(fetched.result, 0u);
    EXPECT_EQ(fetched.width, 160u);
    EXPECT_EQ(fetched.height, 120u);
    const bool guardIntact = std::all_of(fetched.bytes.begin() + kImageBytes, fetched.bytes.end(),
                                         [](uint8_t byte) { return byte == kGuard; });
    EXPECT_TRUE(guardIntact) << "nothing is written past 160 x 120 x 4 bytes";
    EXPECT_NE(fetched.bytes[kImageBytes - 1], kGuard) << "the last pixel's red byte is written";
}

TEST_F(ThumbnailTest, ListedPixelsHaveTheirColours)
{
    struct Case {
        int x, y;
        Rgba colour;
        const char* what;
    };
    const Case cases[] = {
        {0, 0, kBlack, "a corner keeps the fill"},
        {80, 60, kBlobInner, "the ring's centre: the last disc drawn"},
        {80, 35, kPink, "the top of the ring"},
        {80, 44, kGreen, "the upper crosshair tick"},
        {8, 8, kGrey, "the lower-left corner mark"},
        {151, 99, kGrey, "the end of the upper-right mark's vertical arm"},
        {80, 100, kBlack, "above the ring: the fill"},
    };
    const Fetched fetched = Fetch();
    ASSERT_EQ(fetched.result, 0u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(fetched.Pixel(c.x, c.y), c.colour);
    }
}

TEST_F(ThumbnailTest, PixelBytesLieInMemoryAsAlphaBlueGreenRed)
{
    const Fetched fetched = Fetch();
    ASSERT_EQ(fetched.result, 0u);
    EXPECT_EQ(fetched.MemoryBytes(0, 0), (std::array<int, 4>{0xFF, 0x00, 0x00, 0x00}));
    EXPECT_EQ(fetched.MemoryBytes(80, 60), (std::array<int, 4>{0xFF, 0x2A, 0x00, 0x55}));
}

TEST_F(ThumbnailTest, EveryPixelMatchesARenderingFromTheShapesEquations)
{
    const Fetched fetched = Fetch();
    ASSERT_EQ(fetched.result, 0u);
    int mismatches = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (fetched.Pixel(x, y) == Expected(x, y))
                continue;
            if (++mismatches <= 10)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ")" << testing::PrintToString(fetched.Pixel(x, y))
                              << " expected " << testing::PrintToString(Expected(x, y));
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// A cross-check of the ring's equation by hand: the midpoint steps for radius
// 25, followed on paper, give these (x, y) in the first octant.
TEST_F(ThumbnailTest, RingHoldsTheHandTracedMidpointCircle)
{
    const std::pair<int, int> octant[] = {{25, 0}, {25, 1}, {25, 2}, {25, 3}, {25, 4},  {24, 5},
                                          {24, 6}, {24, 7}, {24, 8}, {23, 9}, {23, 10}, {22, 11},
                                          {22, 12}, {21, 13}, {21, 14}, {20, 15}, {19, 16}, {18, 17}};
    const Fetched fetched = Fetch();
    ASSERT_EQ(fetched.result, 0u);
    for (const auto& [x, y] : octant) {
        SCOPED_TRACE(testing::Message() << "octant point " << x << ", " << y);
        for (const auto& [px, py] : {std::pair<int, int>{80 + x, 60 + y}, {80 - x, 60 - y}, {80 + y, 60 - x},
                                     {80 - y, 60 + x}}) {
            EXPECT_EQ(fetched.Pixel(px, py), kPink) << px << ", " << py;
            EXPECT_EQ(Expected(px, py), kPink) << "the equation agrees at " << px << ", " << py;
        }
    }
    // 18 octant points times eight mirrors, less the four repeated on the axes at y = 0.
    int pink = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            pink += fetched.Pixel(x, y) == kPink ? 1 : 0;
    EXPECT_EQ(pink, 17 * 8 + 4);
    // The top row of the ring runs from x 76 to 84 (y 0 to 4 at x 25); the diagonal stops at (18, 17).
    EXPECT_EQ(fetched.Pixel(75, 35), kBlack);
    EXPECT_EQ(fetched.Pixel(76, 35), kPink);
    EXPECT_EQ(fetched.Pixel(84, 35), kPink);
    EXPECT_EQ(fetched.Pixel(85, 35), kBlack);
    EXPECT_NE(fetched.Pixel(98, 78), kPink);
}

TEST_F(ThumbnailTest, EveryRequestAnswersTheSameBytes)
{
    const Fetched first = Fetch();
    ASSERT_EQ(Call32(ffgl::kInitialiseV2), 0u);
    const Fetched second = Fetch();
    ASSERT_EQ(Call32(ffgl::kDeinitialise), 0u);
    const Fetched third = Fetch();
    ASSERT_EQ(first.result, 0u);
    ASSERT_EQ(second.result, 0u);
    ASSERT_EQ(third.result, 0u);
    EXPECT_EQ(std::memcmp(first.bytes.data(), second.bytes.data(), kImageBytes), 0);
    EXPECT_EQ(std::memcmp(first.bytes.data(), third.bytes.data(), kImageBytes), 0);
}

TEST_F(ThumbnailTest, ZeroPixelPointerAnswersZeroAndWritesTheSize)
{
    ByteRecord<16> record;
    record.PutU32(0, 7);
    record.PutU32(4, 9);
    record.PutPointer(8, nullptr);
    EXPECT_EQ(CallRecord(ffgl::kGetThumbnail, record.Data()), 0u);
    EXPECT_EQ(record.U32(0), 160u);
    EXPECT_EQ(record.U32(4), 120u);
    EXPECT_EQ(record.Pointer(8), nullptr);
}

TEST_F(ThumbnailTest, NullRecordAnswersTheFailureCode)
{
    EXPECT_EQ(library->Call(ffgl::kGetThumbnail, 0), kFailureCode);
}

TEST_F(ThumbnailTest, NeedsNoInstanceAndMakesNoPrototype)
{
    library->SetLogCallback(LogCapture::Callback);
    EXPECT_EQ(Fetch().result, 0u);
    EXPECT_TRUE(LogCapture::Lines().empty()) << "no instance was constructed";
}

}  // namespace
