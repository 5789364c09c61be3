// Uploads and draws the planned batches. Uniform-colour batches use the
// overlay program; per-vertex batches switch to its per-vertex twin and back.
#include "OverlaySubmitter.h"

#include "../ffglex/GlHeaders.h"

void SubmitOverlay(const OverlayDrawList& list, const OverlayBatchPlan& plan, const OverlayGlObjects& gl)
{
    const std::vector<OverlayColor>& colors = list.Colors();
    bool vertexColorMode = false;
    bool colorSet = false;
    uint32_t currentColor = 0;
    glBindVertexArray(gl.vertexArray);
    for (const OverlayBatch& batch : plan.batches) {
        if (batch.perVertexColor != vertexColorMode) {
            vertexColorMode = batch.perVertexColor;
            glUseProgram(vertexColorMode ? gl.vertexColorProgram : gl.program);
            glBindVertexArray(vertexColorMode ? gl.vertexColorArray : gl.vertexArray);
        }
        glBindBuffer(GL_ARRAY_BUFFER, gl.buffer);
        if (vertexColorMode) {
            glBufferSubData(GL_ARRAY_BUFFER, 0, batch.vertexCount * sizeof(OverlayColoredVertex),
                            &plan.coloredVertices[batch.firstVertex]);
        } else {
            if (!colorSet || batch.colorIndex != currentColor) {
                const OverlayColor& c = colors[batch.colorIndex];
                glUniform4f(gl.colorLocation, c.r, c.g, c.b, c.a);
                currentColor = batch.colorIndex;
                colorSet = true;
            }
            glBufferSubData(GL_ARRAY_BUFFER, 0, batch.vertexCount * sizeof(OverlayVertex),
                            &plan.vertices[batch.firstVertex]);
        }
        if (batch.kind == PrimitiveKind::Line) {
            glLineWidth(3.0f);
            glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(batch.vertexCount));
        } else {
            glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(batch.vertexCount));
        }
    }
    if (vertexColorMode)
        glUseProgram(gl.program);
    glBindVertexArray(0);
}
