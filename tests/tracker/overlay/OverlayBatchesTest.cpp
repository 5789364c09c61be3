// The streaming batcher and the glyph cover: few draws in bounded memory,
// and nothing a pixel could tell from one draw per primitive.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "tracker/overlay/GlyphCover.h"
#include "tracker/overlay/OverlayLayout.h"
#include "tracker/overlay/OverlayBatches.h"

namespace {

// Every vertex in drawing order, with the colour it is drawn in.
struct DrawnVertex {
    PrimitiveKind kind;
    float x, y;
    OverlayColor color;
};

class Recorder : public OverlayChunkReceiver {
public:
    void Draw(const OverlayChunk& chunk) override
    {
        ++chunks;
        for (uint32_t b = 0; b < chunk.batchCount; ++b) {
            const OverlayBatch& batch = chunk.batches[b];
            ++batches;
            EXPECT_LE(batch.primitiveCount, maxPrimitives);
            for (uint32_t i = batch.firstVertex; i < batch.firstVertex + batch.vertexCount; ++i) {
                if (batch.kind == PrimitiveKind::Rect) {
                    ASSERT_LT(i, chunk.rectVertexCount);
                    drawn.push_back({batch.kind, chunk.rectVertices[i].x, chunk.rectVertices[i].y, batch.color});
                } else {
                    ASSERT_LT(i, chunk.lineVertexCount);
                    const OverlayLineVertex& v = chunk.lineVertices[i];
                    drawn.push_back({batch.kind, v.x, v.y, {batch.color.r, batch.color.g, batch.color.b, v.alpha}});
                }
            }
        }
    }

    std::vector<DrawnVertex> drawn;
    uint32_t chunks = 0, batches = 0, maxPrimitives = kUnlimitedBatch;
};

std::vector<DrawnVertex> Literal(const OverlayDrawList& list)
{
    std::vector<DrawnVertex> drawn;
    for (const OverlayPrimitive& p : list.Primitives())
        for (uint32_t i = 0; i < VertexCount(p.kind); ++i) {
            const OverlayVertex& v = list.Vertices()[p.firstVertex + i];
            drawn.push_back({p.kind, v.x, v.y, list.Colors()[p.colorIndex]});
        }
    return drawn;
}

// Replays a draw list's primitives into a batcher of the given limits.
Recorder Stream(const OverlayDrawList& list, uint32_t maxPrimitives, uint32_t rectVertices, uint32_t lineVertices)
{
    Recorder recorder;
    recorder.maxPrimitives = maxPrimitives;
    OverlayBatcher batcher;
    batcher.Reserve(rectVertices, lineVertices);
    batcher.Begin(recorder, maxPrimitives);
    for (const OverlayPrimitive& p : list.Primitives()) {
        const OverlayColor& c = list.Colors()[p.colorIndex];
        const OverlayVertex* v = &list.Vertices()[p.firstVertex];
        batcher.SetColor(c.r, c.g, c.b, c.a);
        if (p.kind == PrimitiveKind::Line)
            batcher.DrawLine(v[0].x, v[0].y, v[1].x, v[1].y);
        else
            batcher.DrawRect(v[0].x, v[0].y, v[1].x - v[0].x, v[2].y - v[0].y);
    }
    batcher.End();
    return recorder;
}

// A model framebuffer of 64 cells along x: a line covers the cells of its two
// end points, a rectangle the cells from its left edge up to (not including)
// its right edge; covered cells blend source over destination in drawing order.
std::vector<float> Composite(const std::vector<DrawnVertex>& drawn)
{
    std::vector<float> cells(64, 0.25f);
    auto blend = [&](long cell, const OverlayColor& c) {
        float& value = cells[static_cast<size_t>(cell)];
        value = c.r * c.a + value * (1.0f - c.a);
    };
    for (size_t i = 0; i < drawn.size(); i += VertexCount(drawn[i].kind)) {
        const DrawnVertex& v = drawn[i];
        if (v.kind == PrimitiveKind::Line) {
            blend(std::lround(drawn[i].x * 63.0f), v.color);
            blend(std::lround(drawn[i + 1].x * 63.0f), v.color);
        } else {
            const long left = std::lround(drawn[i].x * 63.0f), right = std::lround(drawn[i + 1].x * 63.0f);
            for (long cell = std::min(left, right); cell < std::max(left, right); ++cell)
                blend(cell, v.color);
        }
    }
    return cells;
}

TEST(OverlayBatches, AnyLimitsComposeLikeOnePrimitivePerDraw)
{
    std::mt19937 random(42);
    const float alphas[] = {1.0f, 1.0f, 0.7f, 0.6f, 0.25f, 0.0f};
    const float reds[] = {1.0f, 0.2f};
    for (int trial = 0; trial < 300; ++trial) {
        OverlayDrawList list;
        const int count = 1 + static_cast<int>(random() % 80);
        for (int i = 0; i < count; ++i) {
            if (i == 0 || random() % 4 == 0)
                list.SetColor(reds[random() % 2], 0.1f, 0.2f, alphas[random() % 6]);
            auto cell = [&] { return static_cast<float>(random() % 60) / 63.0f; };
            if (random() % 2)
                list.DrawLine(cell(), 0, cell(), 1);
            else
                list.DrawRect(cell(), 0, static_cast<float>(random() % 4) / 63.0f, 0.1f);
        }
        const std::vector<float> expected = Composite(Literal(list));
        // Staging for one rectangle and one line forces a hand-over at nearly every primitive.
        for (uint32_t batchSize : {1u, 2u, 5u, kUnlimitedBatch})
            for (uint32_t capacity : {6u, 30u, 4096u}) {
                const Recorder recorder = Stream(list, batchSize, capacity, capacity / 3);
                ASSERT_EQ(Composite(recorder.drawn), expected)
                    << "trial " << trial << " batch " << batchSize << " capacity " << capacity;
            }
    }
}

TEST(OverlayBatches, HeavyOverlayIsThreeDrawsWithFewerVerticesThanCells)
{
    std::vector<TrackedBlob> targets;
    for (int i = 0; i < 20; ++i) {
        const float x = 0.05f * static_cast<float>(i % 5) * 4.0f + 0.02f, y = 0.2f * static_cast<float>(i / 5) + 0.03f;
        targets.push_back({x, y, 0.05f, 0.07f, x + 0.025f, y + 0.035f, 400.0f - static_cast<float>(i), i + 1});
    }
    const OverlaySettings heavy{3.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f};
    OverlayDrawList list;
    overlaylayout::LayOutOverlay(targets, heavy, list);
    Recorder recorder;
    OverlayBatcher batcher;
    batcher.Reserve(32768, 8192);
    batcher.Begin(recorder, kUnlimitedBatch);
    overlaylayout::LayOutOverlay(targets, heavy, batcher);
    batcher.End();
    EXPECT_EQ(recorder.chunks, 1u);
    EXPECT_EQ(recorder.batches, 3u) << "title, target rectangles, every line";
    const size_t literal = list.Vertices().size();
    EXPECT_LT(recorder.drawn.size() * 5, literal) << recorder.drawn.size() << " of " << literal;
    RecordProperty("LiteralVertices", static_cast<int>(literal));
    RecordProperty("BatchedVertices", static_cast<int>(recorder.drawn.size()));
}

// How often each sample is covered; half-open rectangles, as rasterisation
// treats a shared edge. Coverage is constant between neighbouring edge
// values, so sampling each edge and each midpoint between edges compares two
// sets of rectangles fully. Neighbouring cells may overlap by a rounding.
std::vector<int> Coverage(const std::vector<OverlayBox>& boxes, const std::vector<float>& xs,
                          const std::vector<float>& ys)
{
    std::vector<int> hits;
    for (float y : ys)
        for (float x : xs) {
            int count = 0;
            for (const OverlayBox& b : boxes)
                count += b.x0 <= x && x < b.x1 && b.y0 <= y && y < b.y1;
            hits.push_back(count);
        }
    return hits;
}

std::vector<float> Samples(std::vector<float> edges)
{
    std::sort(edges.begin(), edges.end());
    std::vector<float> samples;
    for (size_t i = 0; i < edges.size(); ++i) {
        samples.push_back(edges[i]);
        if (i + 1 < edges.size() && edges[i + 1] != edges[i])
            samples.push_back(edges[i] + (edges[i + 1] - edges[i]) * 0.5f);
    }
    return samples;
}

TEST(GlyphCover, CoversEveryGlyphExactlyLikeItsCells)
{
    struct Placement {
        float x, y, size;
    };
    // The title's placement, labels' at odd coordinates (where every join
    // holds, the opaque cover comes from its table), and cells without area.
    const Placement placements[] = {{0.01f, 0.96f, 0.007f},
                                    {-0.0731001f, 0.4431f, 0.012f},
                                    {0.6180339f, 0.2209f, 0.012f},
                                    {0.5f, 0.5f, 0.0f}};
    size_t cellTotal = 0, exactTotal = 0, overlapTotal = 0;
    for (const Placement& p : placements)
        for (int ch = 32; ch < 127; ++ch) {
            OverlayDrawList cells;
            DrawGlyph(static_cast<char>(ch), p.x, p.y, p.size, cells);
            std::vector<OverlayBox> literal;
            std::vector<float> xs, ys;
            for (size_t v = 0; v < cells.Vertices().size(); v += 6) {
                const OverlayVertex* r = &cells.Vertices()[v];
                literal.push_back({r[0].x, r[0].y, r[2].x, r[2].y});
                xs.insert(xs.end(), {r[0].x, r[2].x});
                ys.insert(ys.end(), {r[0].y, r[2].y});
            }
            xs = Samples(xs);
            ys = Samples(ys);
            const std::vector<int> expected = Coverage(literal, xs, ys);
            for (bool overlapHidden : {false, true}) {
                OverlayBox boxes[kMaxGlyphBoxes];
                const int count = CoverGlyph(static_cast<char>(ch), p.x, p.y, p.size, overlapHidden, boxes);
                const std::vector<int> hits = Coverage({boxes, boxes + count}, xs, ys);
                for (size_t i = 0; i < hits.size(); ++i)
                    ASSERT_TRUE(overlapHidden ? (hits[i] > 0) == (expected[i] > 0) : hits[i] == expected[i])
                        << "'" << static_cast<char>(ch) << "' at " << p.x << " overlap " << overlapHidden;
                (overlapHidden ? overlapTotal : exactTotal) += static_cast<size_t>(count);
            }
            cellTotal += literal.size();
        }
    EXPECT_LT(exactTotal * 2, cellTotal);
    EXPECT_LT(overlapTotal, exactTotal);
    RecordProperty("Cells", static_cast<int>(cellTotal));
    RecordProperty("ExactRectangles", static_cast<int>(exactTotal));
    RecordProperty("OverlapRectangles", static_cast<int>(overlapTotal));
}

}  // namespace
