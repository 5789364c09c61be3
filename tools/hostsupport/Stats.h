// Summary of a run of frame times: mean, median, 99th percentile, frames per second.
#pragma once

#include <cstddef>
#include <vector>

namespace hostsupport {

struct TimingSummary {
    size_t frames = 0;
    double meanMs = 0;
    double medianMs = 0;
    double p99Ms = 0;  // nearest rank: the smallest time that at least 99 % of frames do not exceed
    double framesPerSecond = 0;  // 1000 / mean
};

TimingSummary Summarise(std::vector<double> frameTimesMs);

}  // namespace hostsupport
