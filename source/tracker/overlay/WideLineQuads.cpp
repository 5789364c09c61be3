// Wide lines as quads: the one-pixel line's first and last fragment by the
// diamond-exit rule, then a parallelogram over exactly those columns (rows,
// for a y-major line), half the width on either side of the line.
#include "WideLineQuads.h"

#include <algorithm>
#include <cmath>

namespace {

// A point in window pixels with the major axis first.
struct MajorMinor {
    float major, minor;
};

// Inside the diamond |dx| + |dy| < 1/2 around the centre of its pixel.
bool InsideDiamond(MajorMinor p)
{
    const float cMajor = std::floor(p.major) + 0.5f;
    const float cMinor = std::floor(p.minor) + 0.5f;
    return std::fabs(p.major - cMajor) + std::fabs(p.minor - cMinor) < 0.5f;
}

// Where the quad starts and ends along the major axis, from a to b, so that
// its columns (pixel centres between the two) are those the one-pixel line
// gives a fragment in; false when there are none. A line with slope below 1
// leaves one fragment per column whose centre it crosses and exits a diamond
// only through its far half: the first column counts when the line starts
// inside its diamond or before its centre, the last when the line ends past
// its centre outside its diamond. An end stays where the line ends when that
// already gives its column the right answer, as a rasterizer's own wide line
// does, else moves to the column's edge.
bool MajorSpan(MajorMinor a, MajorMinor b, float* startAt, float* endAt)
{
    const bool ascending = b.major > a.major;
    const float first = std::floor(a.major);
    const float last = std::floor(b.major);
    const bool beforeFirstCentre = ascending ? a.major < first + 0.5f : a.major > first + 0.5f;
    const bool pastLastCentre = ascending ? b.major > last + 0.5f : b.major < last + 0.5f;
    const bool startDrawn = InsideDiamond(a) || beforeFirstCentre;
    const bool endDrawn = !InsideDiamond(b) && pastLastCentre;
    const float step = ascending ? 1.0f : -1.0f;
    // The edges of a column along the direction of the line: near, then far.
    const auto nearEdge = [ascending](float column) { return ascending ? column : column + 1.0f; };
    *startAt = startDrawn == beforeFirstCentre ? a.major : nearEdge(startDrawn ? first : first + step);
    *endAt = endDrawn == pastLastCentre ? b.major : nearEdge(endDrawn ? last + step : last);
    // Pixel centres c + 1/2 with low <= c + 1/2 < high.
    const float low = std::min(*startAt, *endAt);
    const float high = std::max(*startAt, *endAt);
    return std::ceil(high - 0.5f) - 1.0f >= std::ceil(low - 0.5f);
}

}  // namespace

void WideLineQuad(const OverlayViewport& viewport, float width, OverlayVertex from, OverlayVertex to,
                  OverlayVertex quad[kLineQuadVertexCount])
{
    const float x0 = viewport.x + from.x * viewport.width;
    const float y0 = viewport.y + from.y * viewport.height;
    const float x1 = viewport.x + to.x * viewport.width;
    const float y1 = viewport.y + to.y * viewport.height;
    const bool xMajor = std::fabs(x1 - x0) >= std::fabs(y1 - y0);
    const MajorMinor a = xMajor ? MajorMinor{x0, y0} : MajorMinor{y0, x0};
    const MajorMinor b = xMajor ? MajorMinor{x1, y1} : MajorMinor{y1, x1};

    float startAt = 0.0f, endAt = 0.0f;
    const bool drawable = viewport.width > 0.0f && viewport.height > 0.0f && a.major != b.major;
    if (!drawable || !MajorSpan(a, b, &startAt, &endAt)) {
        for (int i = 0; i < kLineQuadVertexCount; ++i)
            quad[i] = from;
        return;
    }
    // Each end's minor coordinate from its own end of the line, exact where it stayed.
    const float slope = (b.minor - a.minor) / (b.major - a.major);
    const float startMinor = startAt == a.major ? a.minor : a.minor + (startAt - a.major) * slope;
    const float endMinor = endAt == b.major ? b.minor : b.minor + (endAt - b.major) * slope;
    const float half = width * 0.5f;
    const MajorMinor corners[4] = {{startAt, startMinor - half},
                                   {endAt, endMinor - half},
                                   {endAt, endMinor + half},
                                   {startAt, startMinor + half}};
    // Two triangles in the rectangle's vertex order: 0 1 2, 0 2 3.
    static const int kOrder[kLineQuadVertexCount] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < kLineQuadVertexCount; ++i) {
        const MajorMinor c = corners[kOrder[i]];
        const float wx = xMajor ? c.major : c.minor;
        const float wy = xMajor ? c.minor : c.major;
        quad[i] = {(wx - viewport.x) / viewport.width, (wy - viewport.y) / viewport.height};
    }
}
