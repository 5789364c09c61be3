// Turns a frame's components into the numbered target list the overlay draws:
// size filter, ids in discovery order, largest first, cut to the maximum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "BlobDetection.h"
#include "Truncation.h"

// One target; positions are fractions of the grid, origin at the lower left.
struct TrackedBlob {
    float x;
    float y;
    float width;
    float height;
    float centerX;
    float centerY;
    float area;
    int32_t id;
};
static_assert(sizeof(TrackedBlob) == 32, "a target is 32 bytes");
static_assert(offsetof(TrackedBlob, id) == 28, "id follows the seven floats");

// The parameter values DetectBlobs reads each frame, as the host stored them.
struct DetectionParameters {
    float threshold;
    float invert;
    float minSize;
    float maxBlobs;
};

// "Min Size" x 0.09 x 100 in single precision, truncated.
int32_t MinCells(float minSize);
// "Max Blobs" x 19 + 1 in single precision, truncated, at least 1.
int32_t MaxTargets(float maxBlobs);

// Replaces targets with the list built from components (storage is kept).
void BuildTargetList(const std::vector<ComponentStats>& components, int32_t gridWidth, int32_t gridHeight,
                     float minSize, float maxBlobs, std::vector<TrackedBlob>& targets);

// ExtractComponents followed by BuildTargetList: the whole of one frame's detection.
void DetectTargets(const uint8_t* grid, int32_t gridWidth, int32_t gridHeight, const DetectionParameters& parameters,
                   DetectionWorkspace& workspace, std::vector<TrackedBlob>& targets);
