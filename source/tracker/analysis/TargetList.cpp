// The target list: size filter, discovery-order ids, largest first, cut to
// the maximum length, all from one frame's components.
#include "TargetList.h"

#include <algorithm>

namespace {

TrackedBlob MakeTarget(const ComponentStats& stats, float gridWidth, float gridHeight, int32_t id)
{
    // The differences are taken in 64 bits so that no record, however odd, overflows.
    const float count = static_cast<float>(stats.cellCount);
    TrackedBlob target;
    target.x = static_cast<float>(stats.minX) / gridWidth;
    target.y = static_cast<float>(stats.minY) / gridHeight;
    target.width = static_cast<float>(static_cast<int64_t>(stats.maxX) - stats.minX) / gridWidth;
    target.height = static_cast<float>(static_cast<int64_t>(stats.maxY) - stats.minY) / gridHeight;
    target.centerX = (static_cast<float>(stats.sumX) / count) / gridWidth;
    target.centerY = (static_cast<float>(stats.sumY) / count) / gridHeight;
    target.area = count;
    target.id = id;
    return target;
}

// Orders by area, largest first; as a heap comparison it keeps the smallest on top.
bool LargerArea(const TrackedBlob& a, const TrackedBlob& b) { return a.area > b.area; }

} // namespace

int32_t MinCells(float minSize) { return TruncateToInt32((minSize * 0.09f) * 100.0f); }

int32_t MaxTargets(float maxBlobs)
{
    const int32_t count = TruncateToInt32(maxBlobs * 19.0f + 1.0f);
    return count < 1 ? 1 : count;
}

void BuildTargetList(const std::vector<ComponentStats>& components, int32_t gridWidth, int32_t gridHeight,
                     float minSize, float maxBlobs, std::vector<TrackedBlob>& targets)
{
    targets.clear();
    const int32_t minCells = MinCells(minSize);
    const size_t maxTargets = static_cast<size_t>(MaxTargets(maxBlobs));
    const float width = static_cast<float>(gridWidth);
    const float height = static_cast<float>(gridHeight);
    int32_t nextId = 1;

    if (components.size() <= maxTargets) {
        for (const ComponentStats& stats : components)
            if (stats.cellCount >= minCells)
                targets.push_back(MakeTarget(stats, width, height, nextId++));
        std::sort(targets.begin(), targets.end(), LargerArea);
        return;
    }

    // More blobs than places: only the largest maxTargets can survive the cut,
    // so they are kept in a heap with the smallest on top and only they are
    // ever converted. Ids still count every blob that passes the size filter.
    // Of equal areas at the cut the earlier blobs stay, one of the outcomes
    // that an unstable sort followed by the cut allows.
    for (const ComponentStats& stats : components) {
        if (stats.cellCount < minCells)
            continue;
        const int32_t id = nextId++;
        if (targets.size() < maxTargets) {
            targets.push_back(MakeTarget(stats, width, height, id));
            std::push_heap(targets.begin(), targets.end(), LargerArea);
        } else if (static_cast<float>(stats.cellCount) > targets.front().area) {
            std::pop_heap(targets.begin(), targets.end(), LargerArea);
            targets.back() = MakeTarget(stats, width, height, id);
            std::push_heap(targets.begin(), targets.end(), LargerArea);
        }
    }
    std::sort_heap(targets.begin(), targets.end(), LargerArea);
}

void DetectTargets(const uint8_t* grid, int32_t gridWidth, int32_t gridHeight, const DetectionParameters& parameters,
                   DetectionWorkspace& workspace, std::vector<TrackedBlob>& targets)
{
    targets.clear();
    ExtractComponents(grid, gridWidth, gridHeight, parameters.threshold, parameters.invert, workspace);
    BuildTargetList(workspace.components, gridWidth, gridHeight, parameters.minSize, parameters.maxBlobs, targets);
}
