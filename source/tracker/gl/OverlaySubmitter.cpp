// Uploads and draws overlay chunks, and the literal path. Rectangle batches
// use the overlay program; line batches switch to its twin with alpha per
// vertex, and the overlay program is current again at the end. Where wide
// lines are not available every line becomes the quad a wide line covers.
#include "OverlaySubmitter.h"

#include "ffglex/GlHeaders.h"
#include "overlay/OverlayLayout.h"

namespace {

// Each line's two ends become its quad's six vertices, the alpha carried along.
void ExpandLinesToQuads(const OverlayLineQuads& quads, const OverlayLineVertex* lines, uint32_t lineVertexCount)
{
    OverlayVertex quad[kLineQuadVertexCount];
    OverlayLineVertex* out = quads.staging;
    for (uint32_t i = 0; i + 1 < lineVertexCount; i += kLineVertexCount) {
        const OverlayLineVertex& from = lines[i];
        const OverlayLineVertex& to = lines[i + 1];
        WideLineQuad(quads.viewport, kOverlayLineWidth, {from.x, from.y}, {to.x, to.y}, quad);
        for (const OverlayVertex& v : quad)
            *out++ = {v.x, v.y, from.alpha};
    }
}

}  // namespace

void OverlayChunkUploader::Draw(const OverlayChunk& chunk)
{
    glBindBuffer(GL_ARRAY_BUFFER, gl.buffer);
    if (chunk.rectVertexCount != 0)
        glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(chunk.rectVertexCount * sizeof(OverlayVertex)),
                        chunk.rectVertices);
    // Vertices a line takes in the buffer: its two ends, or its quad's six.
    const uint32_t lineScale = quads.on ? kLineQuadVertexCount / kLineVertexCount : 1;
    const OverlayLineVertex* lineVertices = chunk.lineVertices;
    if (quads.on && chunk.lineVertexCount != 0) {
        ExpandLinesToQuads(quads, chunk.lineVertices, chunk.lineVertexCount);
        lineVertices = quads.staging;
    }
    if (chunk.lineVertexCount != 0)
        glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(gl.lineOffset),
                        static_cast<GLsizeiptr>(chunk.lineVertexCount * lineScale * sizeof(OverlayLineVertex)),
                        lineVertices);
    const GLint lineBase = static_cast<GLint>(gl.lineOffset / sizeof(OverlayLineVertex));
    for (uint32_t i = 0; i < chunk.batchCount; ++i) {
        const OverlayBatch& batch = chunk.batches[i];
        if (batch.kind == PrimitiveKind::Rect) {
            if (mode != Mode::Flat) {
                glUseProgram(gl.program);
                glBindVertexArray(gl.vertexArray);
                mode = Mode::Flat;
            }
            if (!colorSet || !(batch.color == color)) {
                glUniform4f(gl.colorLocation, batch.color.r, batch.color.g, batch.color.b, batch.color.a);
                color = batch.color;
                colorSet = true;
            }
            glDrawArrays(GL_TRIANGLES, static_cast<GLint>(batch.firstVertex), static_cast<GLsizei>(batch.vertexCount));
        } else {
            if (mode != Mode::VertexColor) {
                glUseProgram(gl.vertexColorProgram);
                glBindVertexArray(gl.vertexColorArray);
                if (!quads.on)
                    glLineWidth(kOverlayLineWidth);
                mode = Mode::VertexColor;
            }
            const OverlayColor& c = batch.color;
            if (!lineColorSet || !(c.r == lineColor.r && c.g == lineColor.g && c.b == lineColor.b)) {
                glUniform3f(gl.vertexColorLocation, c.r, c.g, c.b);
                lineColor = c;
                lineColorSet = true;
            }
            glDrawArrays(quads.on ? GL_TRIANGLES : GL_LINES,
                         lineBase + static_cast<GLint>(batch.firstVertex * lineScale),
                         static_cast<GLsizei>(batch.vertexCount * lineScale));
        }
    }
}

void OverlayChunkUploader::Finish()
{
    if (mode == Mode::VertexColor)
        glUseProgram(gl.program);
    glBindVertexArray(0);
    mode = Mode::Unset;
}

LiteralOverlaySink::LiteralOverlaySink(const OverlayGlObjects& gl_, const OverlayLineQuads& quads_)
    : gl(gl_), quads(quads_)
{
    glBindVertexArray(gl.vertexArray);
}

void LiteralOverlaySink::SetColor(float r, float g, float b, float a)
{
    glUniform4f(gl.colorLocation, r, g, b, a);
}

void LiteralOverlaySink::DrawLine(float x0, float y0, float x1, float y1)
{
    glBindBuffer(GL_ARRAY_BUFFER, gl.buffer);
    if (quads.on) {
        OverlayVertex quad[kLineQuadVertexCount];
        WideLineQuad(quads.viewport, kOverlayLineWidth, {x0, y0}, {x1, y1}, quad);
        glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof quad, quad);
        glDrawArrays(GL_TRIANGLES, 0, kLineQuadVertexCount);
        return;
    }
    const OverlayVertex vertices[kLineVertexCount] = {{x0, y0}, {x1, y1}};
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof vertices, vertices);
    glLineWidth(kOverlayLineWidth);
    glDrawArrays(GL_LINES, 0, kLineVertexCount);
}

void LiteralOverlaySink::DrawRect(float x, float y, float w, float h)
{
    OverlayVertex vertices[kRectVertexCount];
    WriteRectVertices(x, y, x + w, y + h, vertices);
    glBindBuffer(GL_ARRAY_BUFFER, gl.buffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof vertices, vertices);
    glDrawArrays(GL_TRIANGLES, 0, kRectVertexCount);
}

void LiteralOverlaySink::Finish()
{
    glBindVertexArray(0);
}

void DrawGlyph(char ch, float x, float y, float size, LiteralOverlaySink& sink)
{
    overlaylayout::DrawGlyphCells(ch, x, y, size, sink);
}
