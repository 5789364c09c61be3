// Equality and printing of the detection's records, so that test failures
// show whole records. Found by argument-dependent lookup, so they live in the
// records' own (global) namespace.
#pragma once

#include <ostream>

#include "tracker/analysis/BlobDetection.h"
#include "tracker/analysis/TargetList.h"

inline bool operator==(const ComponentStats& a, const ComponentStats& b)
{
    return a.minX == b.minX && a.minY == b.minY && a.maxX == b.maxX && a.maxY == b.maxY && a.sumX == b.sumX &&
           a.sumY == b.sumY && a.cellCount == b.cellCount;
}

inline std::ostream& operator<<(std::ostream& out, const ComponentStats& s)
{
    return out << "{min " << s.minX << "," << s.minY << " max " << s.maxX << "," << s.maxY << " sum " << s.sumX
               << "," << s.sumY << " n " << s.cellCount << "}";
}

inline bool operator==(const TrackedBlob& a, const TrackedBlob& b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height && a.centerX == b.centerX &&
           a.centerY == b.centerY && a.area == b.area && a.id == b.id;
}

inline std::ostream& operator<<(std::ostream& out, const TrackedBlob& t)
{
    return out << "{id " << t.id << " x " << t.x << " y " << t.y << " w " << t.width << " h " << t.height << " c "
               << t.centerX << "," << t.centerY << " area " << t.area << "}";
}
