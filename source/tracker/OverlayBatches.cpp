// The batch planner. Three passes: primitives into pieces of one kind and one
// colour (reordering only inside a run of one colour), consecutive pieces of
// one kind into one batch, and batches cut to the size limits, with the
// rectangles of a single-colour batch merged where they share edges exactly.
#include "OverlayBatches.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>

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
        if (mayReorder) {
            // One colour and alpha: every covered pixel gets the same blend once per
            // primitive that covers it, whatever their order, so lines and rectangles
            // of the run can be drawn apart.
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

// The rectangles of one single-colour batch, merged where that cannot change
// a pixel. In such a batch every fragment blends the same colour with the same
// alpha, and applying that blend twice gives the same result in either order,
// so the order of the rectangles is free; what must stay is which pixels each
// rectangle covers, and how often. Two rectangles that share an edge bit for
// bit cover exactly the pixels of their union, each once, so they become one:
// glyph cells side by side, then runs on top of each other. A rounding gap or
// overlap at the seam keeps them apart, so the seam renders as before.
class RectangleMerger {
public:
    void Clear()
    {
        boxes.clear();
        below.clear();
        lastOpen = false;
    }

    void Add(const OverlayVertex* rect)
    {
        const Box box{rect[0].x, rect[0].y, rect[1].x, rect[2].y};
        if (lastOpen && box.Positive() && boxes.back().Positive() && box.x0 == boxes.back().x1 &&
            box.y0 == boxes.back().y0 && box.y1 == boxes.back().y1) {
            boxes.back().x1 = box.x1;
            return;
        }
        CloseLast();
        boxes.push_back(box);
        lastOpen = true;
    }

    // Six vertices a box, in the order DrawRect writes them.
    void Emit(std::vector<OverlayVertex>& vertices)
    {
        CloseLast();
        for (const Box& b : boxes) {
            const OverlayVertex six[6] = {{b.x0, b.y0}, {b.x1, b.y0}, {b.x1, b.y1},
                                          {b.x0, b.y0}, {b.x1, b.y1}, {b.x0, b.y1}};
            vertices.insert(vertices.end(), six, six + 6);
        }
    }

private:
    struct Box {
        float x0, y0, x1, y1;
        bool Positive() const { return x0 < x1 && y0 < y1; }
    };

    static uint64_t Bits(float a, float b)
    {
        uint32_t p, q;
        std::memcpy(&p, &a, 4);
        std::memcpy(&q, &b, 4);
        return (static_cast<uint64_t>(p) << 32) | q;
    }

    // A finished run joins the box right above it when both span the same
    // columns; text is laid out top row first, so boxes grow downward.
    void CloseLast()
    {
        if (!lastOpen)
            return;
        lastOpen = false;
        Box& last = boxes.back();
        if (!last.Positive())
            return;
        const uint64_t columns = Bits(last.x0, last.x1);
        auto found = below.find({columns, Bits(last.y1, 0.0f)});
        if (found != below.end()) {
            Box& above = boxes[found->second];
            below.erase(found);
            above.y0 = last.y0;
            boxes.pop_back();
            below[{columns, Bits(above.y0, 0.0f)}] = static_cast<uint32_t>(&above - boxes.data());
            return;
        }
        below[{columns, Bits(last.y0, 0.0f)}] = static_cast<uint32_t>(boxes.size() - 1);
    }

    struct KeyHash {
        size_t operator()(const std::pair<uint64_t, uint64_t>& key) const
        {
            return std::hash<uint64_t>()(key.first * 0x9E3779B97F4A7C15ull ^ key.second);
        }
    };

    std::vector<Box> boxes;
    // Boxes by their columns and lower edge, for the run that may continue them.
    std::unordered_map<std::pair<uint64_t, uint64_t>, uint32_t, KeyHash> below;
    bool lastOpen = false;
};

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
        // Merging needs more than one primitive a draw and one colour a batch.
        const bool merge = !perVertex && kind == PrimitiveKind::Rect && primitiveLimit > 1;
        uint32_t openPrimitives = 0;
        bool open = false;
        for (const Piece* piece = first; piece != last; ++piece) {
            for (uint32_t primitive : piece->primitives) {
                if (!open || openPrimitives == primitiveLimit) {
                    if (open)
                        Close(merge);
                    const uint32_t start = static_cast<uint32_t>(perVertex ? plan.coloredVertices.size()
                                                                           : plan.vertices.size());
                    plan.batches.push_back({kind, perVertex, piece->colorIndex, start, 0});
                    open = true;
                    openPrimitives = 0;
                }
                const OverlayPrimitive& p = list.Primitives()[primitive];
                if (merge)
                    merger.Add(&list.Vertices()[p.firstVertex]);
                else
                    AppendVertices(p, perVertex);
                ++openPrimitives;
            }
        }
        if (open)
            Close(merge);
    }

private:
    void Close(bool merge)
    {
        OverlayBatch& batch = plan.batches.back();
        if (merge) {
            merger.Emit(plan.vertices);
            merger.Clear();
        }
        const size_t end = batch.perVertexColor ? plan.coloredVertices.size() : plan.vertices.size();
        batch.vertexCount = static_cast<uint32_t>(end - batch.firstVertex);
    }

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
    RectangleMerger merger;
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
