// The effect's overlay stage: the literal path or the streaming batcher, on
// the GL objects that InitGL made for it.
#include "../ffglex/ScopedBindings.h"
#include "OverlayLayout.h"
#include "OverlaySubmitter.h"
#include "ZudArazOdudave.h"

void ZudArazOdudave::PrepareOverlay()
{
    if (overlayBatchSize > 1)
        overlayBatcher.Reserve(kOverlayRectVertexCapacity, kOverlayLineVertexCapacity);
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
    ::DrawOverlay(targets, CurrentOverlaySettings(), overlayBatcher);
    overlayBatcher.End();
}

void ZudArazOdudave::DrawOverlay()
{
    ffglex::ScopedProgramUse programScope(overlayObjects.program);
    const OverlayGlObjects& objects = overlayObjects;
    // Without staging memory the literal path still draws every primitive.
    if (overlayBatchSize <= 1 || !overlayBatcher.Reserved()) {
        LiteralOverlaySink sink(objects);
        overlaylayout::LayOutOverlay(targets, CurrentOverlaySettings(), sink);
        sink.Finish();
        return;
    }
    OverlayGlTarget target(objects);
    StreamOverlay(target);
    target.Finish();
}
