// Placeholder until the target list lands.
#include "TargetList.h"

int32_t MinCells(float) { return 0; }
int32_t MaxTargets(float) { return 1; }

void BuildTargetList(const std::vector<ComponentStats>&, int32_t, int32_t, float, float,
                     std::vector<TrackedBlob>& targets)
{
    targets.clear();
}

void DetectTargets(const uint8_t* grid, int32_t gridWidth, int32_t gridHeight, const DetectionParameters& parameters,
                   DetectionWorkspace& workspace, std::vector<TrackedBlob>& targets)
{
    targets.clear();
    ExtractComponents(grid, gridWidth, gridHeight, parameters.threshold, parameters.invert, workspace);
    BuildTargetList(workspace.components, gridWidth, gridHeight, parameters.minSize, parameters.maxBlobs, targets);
}
