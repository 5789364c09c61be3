// A ring of the newest frames, and the run's times up to a bound.
#include "FrameTimes.h"

#include <algorithm>

namespace play {

FrameTimes::FrameTimes()
{
    pluginTimes.reserve(kRecorded);
    hostTimes.reserve(kRecorded);
    decodeTimes.reserve(kRecorded);
}

namespace {

void Accumulate(FrameStages& sum, const FrameStages& stages)
{
    sum.decode += stages.decode;
    sum.upload += stages.upload;
    sum.plugins += stages.plugins;
    sum.output += stages.output;
    sum.panel += stages.panel;
    sum.present += stages.present;
}

FrameStages Scaled(FrameStages stages, float scale)
{
    stages.decode *= scale;
    stages.upload *= scale;
    stages.plugins *= scale;
    stages.output *= scale;
    stages.panel *= scale;
    stages.present *= scale;
    return stages;
}

}  // namespace

void FrameTimes::Add(const FrameStages& stages)
{
    Accumulate(sums, stages);
    ++added;
    history[next] = stages;
    next = (next + 1) % kHistory;
    count = std::min(count + 1, kHistory);
    if (pluginTimes.size() < kRecorded) {
        pluginTimes.push_back(stages.plugins);
        hostTimes.push_back(stages.Host());
        decodeTimes.push_back(stages.decode);
    }
}

FrameStages FrameTimes::Mean(size_t frames) const
{
    const size_t n = frames == 0 ? count : std::min(frames, count);
    FrameStages sum;
    for (size_t age = 0; age < n; ++age)
        Accumulate(sum, Recent(age));
    return n == 0 ? sum : Scaled(sum, 1.0f / static_cast<float>(n));
}

FrameStages FrameTimes::RunMean() const
{
    return added == 0 ? sums : Scaled(sums, 1.0f / static_cast<float>(added));
}

}  // namespace play
