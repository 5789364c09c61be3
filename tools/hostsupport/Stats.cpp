// Order statistics of frame times.
#include "Stats.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace hostsupport {

TimingSummary Summarise(std::vector<double> times)
{
    TimingSummary summary;
    summary.frames = times.size();
    if (times.empty())
        return summary;
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    summary.meanMs = std::accumulate(times.begin(), times.end(), 0.0) / static_cast<double>(n);
    summary.medianMs = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2.0;
    const size_t rank = static_cast<size_t>(std::ceil(0.99 * static_cast<double>(n)));
    summary.p99Ms = times[std::max<size_t>(rank, 1) - 1];
    summary.framesPerSecond = summary.meanMs > 0 ? 1000.0 / summary.meanMs : 0.0;
    return summary;
}

}  // namespace hostsupport
