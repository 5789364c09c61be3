// Draws the thumbnail at load (no blending, whole pixels) and answers code 42
// with a plain copy.
#include "Thumbnail.h"

#include <cstdlib>
#include <cstring>

#include "Dispatch.h"
#include "HostRecords.h"
#include "ThumbnailShapes.h"

namespace {

class Canvas {
public:
    explicit Canvas(std::vector<uint32_t>& words_) : words(words_) {}

    void Set(int32_t x, int32_t y, uint32_t colour)
    {
        if (x < 0 || x >= kThumbnailWidth || y < 0 || y >= kThumbnailHeight)
            return;
        words[static_cast<size_t>(y) * kThumbnailWidth + static_cast<size_t>(x)] = colour;
    }

    void Disc(int32_t cx, int32_t cy, int32_t r, uint32_t colour)
    {
        for (int32_t dy = -r; dy <= r; ++dy)
            for (int32_t dx = -r; dx <= r; ++dx)
                if (dx * dx + dy * dy <= r * r)
                    Set(cx + dx, cy + dy, colour);
    }

    // Midpoint circle with eight-way symmetry.
    void Circle(int32_t cx, int32_t cy, int32_t r, uint32_t colour)
    {
        if (r < 0)
            return;
        int32_t x = r, y = 0, d = 1 - r;
        while (x >= y) {
            Set(cx + x, cy + y, colour);
            Set(cx - x, cy + y, colour);
            Set(cx + x, cy - y, colour);
            Set(cx - x, cy - y, colour);
            Set(cx + y, cy + x, colour);
            Set(cx - y, cy + x, colour);
            Set(cx + y, cy - x, colour);
            Set(cx - y, cy - x, colour);
            ++y;
            if (d < 0) {
                d += 2 * y + 1;
            } else {
                --x;
                d += 2 * (y - x) + 1;
            }
        }
    }

    // Integer Bresenham for every direction, both end points drawn.
    void Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour)
    {
        const int32_t dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int32_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int32_t err = dx + dy;
        for (;;) {
            Set(x0, y0, colour);
            if (x0 == x1 && y0 == y1)
                break;
            const int32_t e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }

private:
    std::vector<uint32_t>& words;
};

std::vector<uint32_t> DrawThumbnail()
{
    std::vector<uint32_t> words(static_cast<size_t>(kThumbnailWidth) * kThumbnailHeight);
    Canvas canvas(words);
    for (const ThumbnailShape& shape : kThumbnailShapes) {
        const uint32_t colour = PackRgba(shape.r, shape.g, shape.bl, shape.alpha);
        switch (shape.kind) {
        case ThumbnailShapeKind::Fill:
            for (uint32_t& word : words)
                word = colour;
            break;
        case ThumbnailShapeKind::Disc:
            canvas.Disc(shape.a, shape.b, shape.c, colour);
            break;
        case ThumbnailShapeKind::Circle:
            canvas.Circle(shape.a, shape.b, shape.c, colour);
            break;
        case ThumbnailShapeKind::Line:
            canvas.Line(shape.a, shape.b, shape.c, shape.d, colour);
            break;
        }
    }
    return words;
}

const ThumbnailImage* published = nullptr;

struct ThumbnailHolder {
    ThumbnailImage image;
    ThumbnailHolder()
    {
        image.Assign(DrawThumbnail(), kThumbnailWidth, kThumbnailHeight);
        published = &image;
    }
    ~ThumbnailHolder() { published = nullptr; }
};

ThumbnailHolder thumbnailHolder;

}  // namespace

void ThumbnailImage::Assign(std::vector<uint32_t> words, uint32_t width_, uint32_t height_)
{
    width = width_;
    height = height_;
    pixels = std::move(words);
    pixels.resize(static_cast<size_t>(width) * height, 0u);
    pixelData = pixels.data();
}

const ThumbnailImage* Thumbnail()
{
    return published;
}

MixedValue DispatchThumbnail(MixedValue input)
{
    auto* record = static_cast<ThumbnailRecord*>(input.PointerValue);
    if (record == nullptr)
        return MixedFromUInt(kFailure);
    const ThumbnailImage* image = Thumbnail();
    if (image == nullptr) {
        record->width = 0;
        record->height = 0;
        return MixedFromUInt(kFailure);
    }
    record->width = image->width;
    record->height = image->height;
    if (record->pixels != nullptr)
        std::memcpy(record->pixels, image->pixelData, static_cast<size_t>(image->width) * image->height * 4);
    return MixedFromUInt(kSuccess);
}
