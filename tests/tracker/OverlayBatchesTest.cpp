// Batching the overlay's primitives: few draws, and nothing a pixel could tell.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <vector>

#include "tracker/OverlayBatches.h"

namespace {

constexpr uint32_t kBuffer = 256 * 1024;

// Every vertex of a plan in drawing order, with the colour it is drawn in.
struct DrawnVertex {
    PrimitiveKind kind;
    float x, y;
    OverlayColor color;
};

std::vector<DrawnVertex> Flatten(const OverlayDrawList& list, const OverlayBatchPlan& plan)
{
    std::vector<DrawnVertex> drawn;
    for (const OverlayBatch& batch : plan.batches)
        for (uint32_t i = 0; i < batch.vertexCount; ++i) {
            if (batch.perVertexColor) {
                const OverlayColoredVertex& v = plan.coloredVertices[batch.firstVertex + i];
                drawn.push_back({batch.kind, v.x, v.y, {v.r, v.g, v.b, v.a}});
            } else {
                const OverlayVertex& v = plan.vertices[batch.firstVertex + i];
                drawn.push_back({batch.kind, v.x, v.y, list.Colors()[batch.colorIndex]});
            }
        }
    return drawn;
}

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
    size_t i = 0;
    while (i < drawn.size()) {
        const DrawnVertex& v = drawn[i];
        if (v.kind == PrimitiveKind::Line) {
            blend(std::lround(drawn[i].x * 63.0f), v.color);
            blend(std::lround(drawn[i + 1].x * 63.0f), v.color);
        } else {
            const long left = std::lround(drawn[i].x * 63.0f), right = std::lround(drawn[i + 1].x * 63.0f);
            for (long cell = std::min(left, right); cell < std::max(left, right); ++cell)
                blend(cell, v.color);
        }
        i += VertexCount(v.kind);
    }
    return cells;
}

TEST(OverlayBatches, BatchSizeOneDrawsEachPrimitiveByItselfInItsOrder)
{
    OverlayDrawList list;
    list.SetColor(1, 0, 0, 1);
    list.DrawRect(0.1f, 0.1f, 0.2f, 0.2f);
    list.DrawLine(0, 0, 1, 1);
    list.DrawLine(0, 1, 1, 0);
    list.SetColor(1, 0, 0, 0.5f);
    list.DrawRect(0.5f, 0.5f, 0.1f, 0.1f);
    OverlayBatchPlan plan;
    PlanOverlayBatches(list, 1, kBuffer, plan);
    ASSERT_EQ(plan.batches.size(), 4u);
    const PrimitiveKind kinds[] = {PrimitiveKind::Rect, PrimitiveKind::Line, PrimitiveKind::Line, PrimitiveKind::Rect};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(plan.batches[i].kind, kinds[i]);
        EXPECT_FALSE(plan.batches[i].perVertexColor);
        EXPECT_EQ(plan.batches[i].vertexCount, VertexCount(kinds[i]));
    }
    const std::vector<DrawnVertex> drawn = Flatten(list, plan), literal = Literal(list);
    ASSERT_EQ(drawn.size(), literal.size());
    for (size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(drawn[i].x, literal[i].x);
        EXPECT_EQ(drawn[i].y, literal[i].y);
        EXPECT_TRUE(drawn[i].color == literal[i].color);
    }
}

TEST(OverlayBatches, OpaqueRunBecomesOneLineDrawAndOneRectangleDraw)
{
    OverlayDrawList list;
    for (int target = 0; target < 20; ++target) {
        list.SetColor(1.0f, 0.078f, 0.576f, 1.0f);
        for (int line = 0; line < 12; ++line)
            list.DrawLine(0.01f * line, 0.1f, 0.02f, 0.2f);
        for (int cell = 0; cell < 500; ++cell)
            list.DrawRect(0.0015f * cell, 0.5f, 0.001f, 0.001f);
    }
    OverlayBatchPlan plan;
    PlanOverlayBatches(list, kUnlimitedBatch, 4 * kBuffer, plan);
    ASSERT_EQ(plan.batches.size(), 2u);
    EXPECT_EQ(plan.batches[0].kind, PrimitiveKind::Line);
    EXPECT_EQ(plan.batches[0].vertexCount, 20u * 12 * 2);
    EXPECT_EQ(plan.batches[1].kind, PrimitiveKind::Rect);
    EXPECT_EQ(plan.batches[1].vertexCount, 20u * 500 * 6);
}

TEST(OverlayBatches, PrimitivesOfDifferentColoursKeepTheirOrder)
{
    OverlayDrawList list;
    list.SetColor(1, 1, 1, 0.5f);
    list.DrawRect(0, 0, 0.1f, 0.1f);
    list.SetColor(1, 0, 1, 0.5f);
    list.DrawRect(0.05f, 0, 0.1f, 0.1f);
    list.SetColor(1, 1, 1, 0.5f);
    list.DrawRect(0.2f, 0, 0.1f, 0.1f);
    OverlayBatchPlan plan;
    PlanOverlayBatches(list, kUnlimitedBatch, kBuffer, plan);
    ASSERT_EQ(plan.batches.size(), 1u);
    ASSERT_TRUE(plan.batches[0].perVertexColor) << "one draw, colours per vertex, in the drawn order";
    EXPECT_EQ(plan.coloredVertices[0].x, 0.0f);
    EXPECT_EQ(plan.coloredVertices[6].x, 0.05f);
    EXPECT_EQ(plan.coloredVertices[12].x, 0.2f);
}

TEST(OverlayBatches, RowsOfCellsOnTopOfEachOtherBecomeOneRectangle)
{
    // A 3 x 4 block of cells, laid out as the font does: rows from the top.
    OverlayDrawList list;
    list.SetColor(1, 1, 1, 0.7f);
    const float size = 0.012f, h = size * 1.5f, rowStep = h / 24.0f, cell = size * 0.0625f;
    for (int r = 1; r <= 4; ++r)
        for (int i = 0; i < 3; ++i)
            list.DrawRect(0.25f + static_cast<float>(i) * cell, (0.5f + h) - static_cast<float>(r) * rowStep, cell,
                          rowStep);
    OverlayBatchPlan plan;
    PlanOverlayBatches(list, kUnlimitedBatch, kBuffer, plan);
    ASSERT_EQ(plan.batches.size(), 1u);
    // Whether a seam merges depends on the rounding of its two edges; where they
    // meet exactly the block is one rectangle spanning all of it.
    const std::vector<OverlayVertex>& v = plan.vertices;
    EXPECT_LT(plan.batches[0].vertexCount, 12u * 6);
    EXPECT_EQ(v[0].x, 0.25f);
    float left = 1, right = 0, bottom = 1, top = 0;
    for (const OverlayVertex& vertex : v) {
        left = std::min(left, vertex.x);
        right = std::max(right, vertex.x);
        bottom = std::min(bottom, vertex.y);
        top = std::max(top, vertex.y);
    }
    const OverlayVertex* first = &list.Vertices()[0];
    const OverlayVertex* lastCell = &list.Vertices()[11 * 6];
    EXPECT_EQ(left, first[0].x);
    EXPECT_EQ(top, first[2].y);
    EXPECT_EQ(right, lastCell[1].x);
    EXPECT_EQ(bottom, lastCell[0].y);
}

TEST(OverlayBatches, LinesOfChangingColourShareOneDrawWithColourPerVertex)
{
    OverlayDrawList list;
    for (int pair = 0; pair < 190; ++pair) {
        list.SetColor(1.0f, 0.078f, 0.576f, 0.001f * pair);
        list.DrawLine(0, 0, 0.5f, 0.001f * pair);
    }
    OverlayBatchPlan plan;
    PlanOverlayBatches(list, kUnlimitedBatch, kBuffer, plan);
    ASSERT_EQ(plan.batches.size(), 1u);
    EXPECT_TRUE(plan.batches[0].perVertexColor);
    EXPECT_EQ(plan.batches[0].vertexCount, 380u);
    for (int pair = 0; pair < 190; ++pair) {
        EXPECT_EQ(plan.coloredVertices[2 * pair].a, 0.001f * pair);
        EXPECT_EQ(plan.coloredVertices[2 * pair + 1].a, 0.001f * pair);
    }
}

TEST(OverlayBatches, LimitsCutBatchesAtPrimitiveBoundaries)
{
    OverlayDrawList list;
    list.SetColor(0.5f, 0.5f, 0.5f, 0.7f);
    for (int cell = 0; cell < 1000; ++cell)
        list.DrawRect(0.0015f * cell, 0, 0.001f, 0.001f);
    const uint32_t buffer = 48 * 100 + 20;  // room for 100 rectangles and a bit
    OverlayBatchPlan plan;
    PlanOverlayBatches(list, kUnlimitedBatch, buffer, plan);
    ASSERT_EQ(plan.batches.size(), 10u);
    for (const OverlayBatch& batch : plan.batches) {
        EXPECT_EQ(batch.vertexCount % 6, 0u);
        EXPECT_LE(batch.vertexCount * sizeof(OverlayVertex), buffer);
    }
    PlanOverlayBatches(list, 64, kBuffer, plan);
    EXPECT_EQ(plan.batches.size(), 16u) << "1000 rectangles, at most 64 a draw";
}

TEST(OverlayBatches, CellsSideBySideBecomeOneRectangleUnlessTheirEdgesMiss)
{
    OverlayDrawList list;
    list.SetColor(1, 1, 1, 0.7f);
    const float cell = 0.007f * 0.0625f;
    float x = 0.01f;
    for (int i = 0; i < 3; ++i) {
        list.DrawRect(x, 0.5f, cell, cell);
        x = x + cell;  // exactly where the previous one ends
    }
    list.DrawRect(x + 1e-6f, 0.5f, cell, cell);  // a gap
    list.DrawRect(x + 1e-6f + cell, 0.6f, cell, cell);  // another row
    OverlayBatchPlan plan;
    PlanOverlayBatches(list, kUnlimitedBatch, kBuffer, plan);
    ASSERT_EQ(plan.batches.size(), 1u);
    ASSERT_EQ(plan.batches[0].vertexCount, 18u) << "three cells, then two that stand apart";
    EXPECT_EQ(plan.vertices[0].x, 0.01f);
    EXPECT_EQ(plan.vertices[1].x, list.Vertices()[2 * 6 + 1].x) << "the wide cell ends where the third did";
    PlanOverlayBatches(list, 1, kBuffer, plan);
    EXPECT_EQ(plan.batches.size(), 5u) << "one primitive per draw merges nothing";
}

TEST(OverlayBatches, AnyBatchingComposesLikeOnePrimitivePerDraw)
{
    std::mt19937 random(42);
    const float alphas[] = {1.0f, 1.0f, 0.7f, 0.6f, 0.25f, 0.0f};
    const float reds[] = {1.0f, 0.2f};
    for (int trial = 0; trial < 300; ++trial) {
        OverlayDrawList list;
        const int count = 1 + static_cast<int>(random() % 60);
        for (int i = 0; i < count; ++i) {
            if (i == 0 || random() % 4 == 0)
                list.SetColor(reds[random() % 2], 0.1f, 0.2f, alphas[random() % 6]);
            auto cell = [&] { return static_cast<float>(random() % 60) / 63.0f; };
            const float width = static_cast<float>(random() % 4) / 63.0f;
            if (random() % 2) {
                list.DrawLine(cell(), 0, cell(), 1);
            } else if (random() % 2 && !list.Primitives().empty() &&
                       list.Primitives().back().kind == PrimitiveKind::Rect) {
                // Side by side with the previous rectangle, as glyph cells are.
                const OverlayVertex* last = &list.Vertices()[list.Primitives().back().firstVertex];
                if (last[1].x + width < 1.0f)
                    list.DrawRect(last[1].x, 0, width, 0.1f);
            } else {
                list.DrawRect(cell(), 0, width, 0.1f);
            }
        }
        const std::vector<float> expected = Composite(Literal(list));
        for (uint32_t batchSize : {1u, 2u, 5u, kUnlimitedBatch}) {
            for (uint32_t buffer : {48u, 200u, kBuffer}) {
                OverlayBatchPlan plan;
                PlanOverlayBatches(list, batchSize, buffer, plan);
                ASSERT_EQ(Composite(Flatten(list, plan)), expected)
                    << "trial " << trial << " batch " << batchSize << " buffer " << buffer;
            }
        }
    }
}

}  // namespace
