// The overlay's programs, vertex arrays and stream buffer, and the choice
// between the streaming batcher and the literal path for each frame.
#include "OverlayRenderer.h"

#include <cstddef>

#include "ffglex/GlHeaders.h"
#include "ffglex/ScopedBindings.h"
#include "overlay/OverlayLayout.h"
#include "ShaderSources.h"

bool OverlayRenderer::Create(const char* vertexSource, const char* fragmentSource, bool wideLines_)
{
    if (!program.CompileAndLink(vertexSource, fragmentSource) ||
        !vertexColorProgram.CompileAndLink(kOverlayVertexColorVertexSource, kOverlayVertexColorFragmentSource))
        return false;
    wideLines = wideLines_;
    GLuint flatArray = 0, vertexColorArray = 0, buffer = 0;
    glGenVertexArrays(1, &flatArray);
    glGenBuffers(1, &buffer);
    glBindVertexArray(flatArray);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(kOverlayStreamBytes), nullptr, GL_DYNAMIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(OverlayVertex), nullptr);

    // The twin with alpha per vertex reads the same buffer: position, then alpha.
    glGenVertexArrays(1, &vertexColorArray);
    glBindVertexArray(vertexColorArray);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(OverlayLineVertex), nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 1, GL_FLOAT, GL_FALSE, sizeof(OverlayLineVertex),
                          reinterpret_cast<const void*>(offsetof(OverlayLineVertex, alpha)));
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    objects = {program.GetProgram(), program.UniformLocation("Color"), flatArray,
               vertexColorProgram.GetProgram(), vertexColorProgram.UniformLocation("Color"), vertexColorArray,
               buffer, kOverlayLineOffset};
    return true;
}

void OverlayRenderer::Release()
{
    program.Release();
    vertexColorProgram.Release();
    if (objects.buffer != 0)
        glDeleteBuffers(1, &objects.buffer);
    if (objects.vertexArray != 0)
        glDeleteVertexArrays(1, &objects.vertexArray);
    if (objects.vertexColorArray != 0)
        glDeleteVertexArrays(1, &objects.vertexColorArray);
    objects = {};
}

void OverlayRenderer::Prepare()
{
    if (batchSize > 1)
        batcher.Reserve(kOverlayRectVertexCapacity, kOverlayLineVertexCapacity);
    if (LineQuads() && !lineQuadStaging)
        lineQuadStaging.reset(new OverlayLineVertex[kOverlayLineVertexCapacity / kLineVertexCount *
                                                    kLineQuadVertexCount]);
}

void OverlayRenderer::Stream(const std::vector<TrackedBlob>& targets, const OverlaySettings& settings,
                             OverlayChunkReceiver& receiver)
{
    if (!batcher.Reserved())
        batcher.Reserve(kOverlayRectVertexCapacity, kOverlayLineVertexCapacity);
    batcher.Begin(receiver, batchSize);
    overlaylayout::LayOutOverlay(targets, settings, batcher);
    batcher.End();
}

void OverlayRenderer::Draw(const std::vector<TrackedBlob>& targets, const OverlaySettings& settings,
                           FrameViewport& viewport)
{
    ffglex::ScopedProgramUse programScope(objects.program);
    OverlayLineQuads quads{false, {0.0f, 0.0f, 0.0f, 0.0f}, nullptr};
    if (LineQuads()) {
        const float* v = viewport.Get();
        quads = {true, {v[0], v[1], v[2], v[3]}, lineQuadStaging.get()};
    }
    // Without staging memory the literal path still draws every primitive.
    if (batchSize <= 1 || !batcher.Reserved() || (quads.on && !quads.staging)) {
        LiteralOverlaySink sink(objects, quads);
        overlaylayout::LayOutOverlay(targets, settings, sink);
        sink.Finish();
        return;
    }
    OverlayChunkUploader uploader(objects, quads);
    Stream(targets, settings, uploader);
    uploader.Finish();
}
