// The effect's overlay stage: this frame's settings from the parameters, and
// the targets drawn by the overlay's GL owner.
#include "ZudArazOdudave.h"

OverlaySettings ZudArazOdudave::CurrentOverlaySettings() const
{
    return {parameters[kBoxStyle],   parameters[kShowBlobs],    parameters[kShowNetwork],
            parameters[kShowLabels], parameters[kShowContours], parameters[kHueShift]};
}

void ZudArazOdudave::DrawOverlay()
{
    overlay.Draw(targets, CurrentOverlaySettings(), hostViewport);
}
