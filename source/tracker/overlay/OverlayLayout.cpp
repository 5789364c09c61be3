// The layout's one piece that is no template: the label text.
#include "OverlayLayout.h"

int overlaylayout::FormatLabel(int32_t id, char* text)
{
    char* out = text;
    *out++ = 'T';
    *out++ = 'G';
    *out++ = 'T';
    *out++ = '-';
    // The magnitude in unsigned arithmetic, so that the smallest int32 has one too.
    uint32_t magnitude = static_cast<uint32_t>(id);
    if (id < 0) {
        *out++ = '-';
        magnitude = 0u - magnitude;
    }
    char digits[10];
    int digitCount = 0;
    do {
        digits[digitCount++] = static_cast<char>('0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude != 0);
    for (int width = digitCount + (id < 0 ? 1 : 0); width < 3; ++width)
        *out++ = '0';
    while (digitCount > 0)
        *out++ = digits[--digitCount];
    *out = '\0';
    return static_cast<int>(out - text);
}
