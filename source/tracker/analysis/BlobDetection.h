// Finds the 4-connected foreground regions of an analysis grid and sums each
// one up in a ComponentStats record. No GL: tests and benchmarks call it
// directly on a byte span and two sizes.
#pragma once

#include <cstdint>
#include <vector>

struct ComponentStats {
    int32_t minX;
    int32_t minY;
    int32_t maxX;
    int32_t maxY;
    int64_t sumX;
    int64_t sumY;
    int32_t cellCount;
};

// Buffers kept between calls so that a frame allocates nothing once sizes settle.
// Only their capacity carries over; every call starts from scratch.
struct DetectionWorkspace {
    std::vector<uint8_t> mask;
    std::vector<ComponentStats> components;
    // ExtractComponents labels runs of foreground cells rather than single cells:
    std::vector<int32_t> runBounds;   // first column and one past the last of each run, row by row
    std::vector<int32_t> runParents;  // per run: union-find parent while scanning, then its component index
    std::vector<int32_t> rowFirstRun; // index of each row's first run, then one past the last run
};

// Fills workspace.components with one record per blob, in discovery order
// (row-major order of each blob's first cell). grid holds 4 bytes per cell,
// R, G, B, A; A is never read. threshold and invert are the raw parameter values.
void ExtractComponents(const uint8_t* grid, int32_t gridWidth, int32_t gridHeight, float threshold, float invert,
                       DetectionWorkspace& workspace);

// Convenience form that owns its buffers for one call.
std::vector<ComponentStats> ExtractComponents(const uint8_t* grid, int32_t gridWidth, int32_t gridHeight,
                                              float threshold, float invert);

// Writes label into every cell of the blob that holds (startX, startY); the
// start cell must be foreground and unlabelled. When stats is non-null the
// blob's statistics are gathered while it is filled (*stats is overwritten).
// The plain cell-by-cell form of one blob: ExtractComponents labels runs
// instead, and the tests and the detection fuzzer hold it to this.
void FloodFillComponent(const uint8_t* mask, int32_t* labels, int32_t gridWidth, int32_t gridHeight, int32_t startX,
                        int32_t startY, int32_t label, std::vector<int32_t>& fillStack,
                        ComponentStats* stats = nullptr);
