// The pixel-pack state a read-back relies on (tight rows, no pack buffer),
// set for the guard's life and given back to the host at its end.
#pragma once

#include <cstdint>

class PackStateGuard {
public:
    PackStateGuard();
    ~PackStateGuard();
    PackStateGuard(const PackStateGuard&) = delete;
    PackStateGuard& operator=(const PackStateGuard&) = delete;

private:
    int32_t alignment = 4, rowLength = 0, skipRows = 0, skipPixels = 0, packBuffer = 0;
};
