// Placeholder until detection lands.
#include "BlobDetection.h"

void ExtractComponents(const uint8_t*, int32_t, int32_t, float, float, DetectionWorkspace& workspace)
{
    workspace.components.clear();
}

std::vector<ComponentStats> ExtractComponents(const uint8_t* grid, int32_t gridWidth, int32_t gridHeight,
                                              float threshold, float invert)
{
    DetectionWorkspace workspace;
    ExtractComponents(grid, gridWidth, gridHeight, threshold, invert, workspace);
    return workspace.components;
}

void FloodFillComponent(const uint8_t*, int32_t*, int32_t, int32_t, int32_t, int32_t, int32_t, std::vector<int32_t>&,
                        ComponentStats*)
{
}
