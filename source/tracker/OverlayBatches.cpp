// The batch planner. Three passes: primitives into pieces of one kind and one
// colour (reordering only inside an opaque single-colour run), consecutive
// pieces of one kind into one batch, and batches cut to the size limits.
#include "OverlayBatches.h"

#include <algorithm>

namespace {

struct Piece {
    PrimitiveKind kind;
    uint32_t colorIndex;
    std::vector<uint32_t> primitives;
};

void AppendPiece(std::vector<Piece>& pieces, PrimitiveKind kind, uint32_t colorIndex, uint32_t primitive)
{
    if (pieces.empty() || pieces.back().kind != kind || pieces.back().colorIndex != colorIndex)
        pieces.push_back({kind, colorIndex, {}});
    pieces.back().primitives.push_back(primitive);
}

std::vector<Piece> SplitIntoPieces(const OverlayDrawList& list, bool mayReorder)
{
    const std::vector<OverlayPrimitive>& primitives = list.Primitives();
    const std::vector<OverlayColor>& colors = list.Colors();
    std::vector<Piece> pieces;
    size_t runStart = 0;
    while (runStart < primitives.size()) {
        // A run: consecutive primitives of one colour value.
        const OverlayColor& color = colors[primitives[runStart].colorIndex];
        size_t runEnd = runStart + 1;
        while (runEnd < primitives.size() && colors[primitives[runEnd].colorIndex] == color)
            ++runEnd;
        const uint32_t colorIndex = primitives[runStart].colorIndex;
        if (mayReorder && color.a == 1.0f) {
            // Opaque: blending writes the colour itself, so the order inside the run is invisible.
            for (PrimitiveKind kind : {PrimitiveKind::Line, PrimitiveKind::Rect}) {
                bool started = false;
                for (size_t i = runStart; i < runEnd; ++i) {
                    if (primitives[i].kind != kind)
                        continue;
                    if (!started)
                        pieces.push_back({kind, colorIndex, {}});
                    started = true;
                    pieces.back().primitives.push_back(static_cast<uint32_t>(i));
                }
            }
        } else {
            for (size_t i = runStart; i < runEnd; ++i)
                AppendPiece(pieces, primitives[i].kind, colorIndex, static_cast<uint32_t>(i));
        }
        runStart = runEnd;
    }
    return pieces;
}

class PlanWriter {
public:
    PlanWriter(const OverlayDrawList& list_, uint32_t maxPrimitives_, uint32_t bufferBytes, OverlayBatchPlan& plan_)
        : list(list_), maxPrimitives(std::max<uint32_t>(1, maxPrimitives_)), plan(plan_)
    {
        maxPlainVertices = std::max<uint32_t>(kRectVertexCount, bufferBytes / sizeof(OverlayVertex));
        maxColoredVertices = std::max<uint32_t>(kRectVertexCount, bufferBytes / sizeof(OverlayColoredVertex));
    }

    // One group: consecutive pieces of one kind, one batch before the limits cut it.
    void Write(const Piece* first, const Piece* last)
    {
        const bool perVertex = last - first > 1;
        const PrimitiveKind kind = first->kind;
        const uint32_t perPrimitive = VertexCount(kind);
        const uint32_t vertexLimit = perVertex ? maxColoredVertices : maxPlainVertices;
        const uint32_t primitiveLimit = std::min(maxPrimitives, vertexLimit / perPrimitive);
        OverlayBatch* open = nullptr;
        uint32_t openPrimitives = 0;
        for (const Piece* piece = first; piece != last; ++piece) {
            for (uint32_t primitive : piece->primitives) {
                if (open == nullptr || openPrimitives == primitiveLimit) {
                    const uint32_t start = static_cast<uint32_t>(perVertex ? plan.coloredVertices.size()
                                                                           : plan.vertices.size());
                    plan.batches.push_back({kind, perVertex, piece->colorIndex, start, 0});
                    open = &plan.batches.back();
                    openPrimitives = 0;
                }
                AppendVertices(list.Primitives()[primitive], perVertex);
                open->vertexCount += perPrimitive;
                ++openPrimitives;
            }
        }
    }

private:
    void AppendVertices(const OverlayPrimitive& primitive, bool perVertex)
    {
        const uint32_t count = VertexCount(primitive.kind);
        const OverlayVertex* vertex = &list.Vertices()[primitive.firstVertex];
        if (!perVertex) {
            plan.vertices.insert(plan.vertices.end(), vertex, vertex + count);
            return;
        }
        const OverlayColor& c = list.Colors()[primitive.colorIndex];
        for (uint32_t i = 0; i < count; ++i)
            plan.coloredVertices.push_back({vertex[i].x, vertex[i].y, c.r, c.g, c.b, c.a});
    }

    const OverlayDrawList& list;
    uint32_t maxPrimitives;
    uint32_t maxPlainVertices = 0;
    uint32_t maxColoredVertices = 0;
    OverlayBatchPlan& plan;
};

}  // namespace

void PlanOverlayBatches(const OverlayDrawList& list, uint32_t maxPrimitives, uint32_t bufferBytes,
                        OverlayBatchPlan& plan)
{
    plan.vertices.clear();
    plan.coloredVertices.clear();
    plan.batches.clear();
    const bool literal = maxPrimitives <= 1;
    const std::vector<Piece> pieces = SplitIntoPieces(list, !literal);
    PlanWriter writer(list, maxPrimitives, bufferBytes, plan);
    size_t groupStart = 0;
    while (groupStart < pieces.size()) {
        size_t groupEnd = groupStart + 1;
        if (!literal)
            while (groupEnd < pieces.size() && pieces[groupEnd].kind == pieces[groupStart].kind)
                ++groupEnd;
        writer.Write(&pieces[groupStart], &pieces[groupEnd]);
        groupStart = groupEnd;
    }
}
