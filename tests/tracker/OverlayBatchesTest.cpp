// Batching the overlay's primitives: few draws, and nothing a pixel could tell.
#include <gtest/gtest.h>

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

// A model framebuffer: each primitive covers the cells its vertices' x fall
// in; covered cells blend source over destination in drawing order.
std::vector<float> Composite(const std::vector<DrawnVertex>& drawn)
{
    std::vector<float> cells(64, 0.25f);
    size_t i = 0;
    while (i < drawn.size()) {
        const uint32_t count = VertexCount(drawn[i].kind);
        for (uint32_t k = 0; k < count; ++k) {
            const DrawnVertex& v = drawn[i + k];
            float& cell = cells[static_cast<size_t>(v.x * 63.0f)];
            cell = v.color.r * v.color.a + cell * (1.0f - v.color.a);
        }
        i += count;
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
            list.DrawRect(0.001f * cell, 0.5f, 0.001f, 0.001f);
    }
    OverlayBatchPlan plan;
    PlanOverlayBatches(list, kUnlimitedBatch, 4 * kBuffer, plan);
    ASSERT_EQ(plan.batches.size(), 2u);
    EXPECT_EQ(plan.batches[0].kind, PrimitiveKind::Line);
    EXPECT_EQ(plan.batches[0].vertexCount, 20u * 12 * 2);
    EXPECT_EQ(plan.batches[1].kind, PrimitiveKind::Rect);
    EXPECT_EQ(plan.batches[1].vertexCount, 20u * 500 * 6);
}

TEST(OverlayBatches, TranslucentPrimitivesKeepTheirOrder)
{
    OverlayDrawList list;
    list.SetColor(1, 1, 1, 0.5f);
    list.DrawRect(0, 0, 0.1f, 0.1f);
    list.DrawLine(0, 0, 0.1f, 0.1f);
    list.DrawRect(0.2f, 0, 0.1f, 0.1f);
    OverlayBatchPlan plan;
    PlanOverlayBatches(list, kUnlimitedBatch, kBuffer, plan);
    ASSERT_EQ(plan.batches.size(), 3u);
    EXPECT_EQ(plan.batches[0].kind, PrimitiveKind::Rect);
    EXPECT_EQ(plan.batches[1].kind, PrimitiveKind::Line);
    EXPECT_EQ(plan.batches[2].kind, PrimitiveKind::Rect);
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
        list.DrawRect(0.001f * cell, 0, 0.001f, 0.001f);
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
            auto cell = [&] { return static_cast<float>(random() % 64) / 63.0f; };
            if (random() % 2)
                list.DrawLine(cell(), 0, cell(), 1);
            else
                list.DrawRect(cell(), 0, 0, 0);
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
