// The effect's overlay stage: the literal path or the streaming batcher, on
// the GL objects that InitGL made for it.
#include "../ffglex/ScopedBindings.h"
#include "overlay/OverlayLayout.h"
#include "gl/OverlaySubmitter.h"
#include "ZudArazOdudave.h"

void ZudArazOdudave::PrepareOverlay()
{
    if (overlayBatchSize > 1)
        overlayBatcher.Reserve(kOverlayRectVertexCapacity, kOverlayLineVertexCapacity);
    if (LineQuads() && !lineQuadStaging)
        lineQuadStaging.reset(new OverlayLineVertex[kOverlayLineVertexCapacity / kLineVertexCount *
                                                    kLineQuadVertexCount]);
}

OverlaySettings ZudArazOdudave::CurrentOverlaySettings() const
{
    return {parameters[kBoxStyle],   parameters[kShowBlobs],    parameters[kShowNetwork],
            parameters[kShowLabels], parameters[kShowContours], parameters[kHueShift]};
}

void ZudArazOdudave::StreamOverlay(OverlayChunkTarget& target)
{
    if (!overlayBatcher.Reserved())
        overlayBatcher.Reserve(kOverlayRectVertexCapacity, kOverlayLineVertexCapacity);
    overlayBatcher.Begin(target, overlayBatchSize);
    overlaylayout::LayOutOverlay(targets, CurrentOverlaySettings(), overlayBatcher);
    overlayBatcher.End();
}

void ZudArazOdudave::DrawOverlay()
{
    ffglex::ScopedProgramUse programScope(overlayObjects.program);
    OverlayGlObjects objects = overlayObjects;
    if (LineQuads()) {
        const float* v = HostViewport();
        objects.lineQuads = true;
        objects.viewport = {v[0], v[1], v[2], v[3]};
        objects.quadStaging = lineQuadStaging.get();
    }
    // Without staging memory the literal path still draws every primitive.
    if (overlayBatchSize <= 1 || !overlayBatcher.Reserved() || (objects.lineQuads && !objects.quadStaging)) {
        LiteralOverlaySink sink(objects);
        overlaylayout::LayOutOverlay(targets, CurrentOverlaySettings(), sink);
        sink.Finish();
        return;
    }
    OverlayGlTarget target(objects);
    StreamOverlay(target);
    target.Finish();
}
