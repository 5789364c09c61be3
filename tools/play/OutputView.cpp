// The aspect fit in integer pixels, and the output drawn as one quad.
#include "OutputView.h"

#include <GL/glew.h>

#include <cmath>

namespace play {

ViewRect FitRect(uint32_t imageWidth, uint32_t imageHeight, const ViewRect& area)
{
    if (imageWidth == 0 || imageHeight == 0 || area.width <= 0 || area.height <= 0)
        return {area.x, area.y, 0, 0};
    // Compared in 64 bits: which side limits the picture.
    ViewRect fit = area;
    if (static_cast<uint64_t>(area.width) * imageHeight > static_cast<uint64_t>(area.height) * imageWidth) {
        fit.width = static_cast<int>(std::lround(static_cast<double>(area.height) * imageWidth / imageHeight));
        fit.x = area.x + (area.width - fit.width) / 2;
    } else {
        fit.height = static_cast<int>(std::lround(static_cast<double>(area.width) * imageHeight / imageWidth));
        fit.y = area.y + (area.height - fit.height) / 2;
    }
    return fit;
}

void OutputView::Draw(uint32_t texture, const ViewRect& where, int windowWidth, int windowHeight) const
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    // Only the bars around the output: the output covers the rest.
    glClearColor(0.08f, 0.08f, 0.09f, 1.0f);
    glEnable(GL_SCISSOR_TEST);
    const ViewRect bars[] = {
        {0, 0, where.x, windowHeight},
        {where.x + where.width, 0, windowWidth - where.x - where.width, windowHeight},
        {where.x, 0, where.width, where.y},
        {where.x, where.y + where.height, where.width, windowHeight - where.y - where.height},
    };
    for (const ViewRect& bar : bars)
        if (bar.width > 0 && bar.height > 0) {
            glScissor(bar.x, bar.y, bar.width, bar.height);
            glClear(GL_COLOR_BUFFER_BIT);
        }
    glDisable(GL_SCISSOR_TEST);
    if (where.width <= 0 || where.height <= 0)
        return;
    glViewport(where.x, where.y, where.width, where.height);
    glDisable(GL_BLEND);
    passThrough.Draw(texture);
    glViewport(0, 0, windowWidth, windowHeight);
}

}  // namespace play
