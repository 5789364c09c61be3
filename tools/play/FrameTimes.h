// What each window frame cost, by stage: the last few hundred for the panel's
// plot and averages, and the run's for the summary printed at the end.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace play {

// Milliseconds. decode is the worker thread's time for the frame shown; the
// rest are spent on the GL thread.
struct FrameStages {
    float decode = 0;
    float upload = 0;   // the frame into the input texture
    float plugins = 0;  // every plug-in's frame call, glFinish'ed as render times it
    float output = 0;   // the output scaled into the window
    float panel = 0;    // the panel, drawn over the window
    float present = 0;  // swapping buffers and waiting for the next frame

    // What the window adds around the effects on the GL thread.
    float Host() const { return upload + output + panel; }
    float Total() const { return upload + plugins + output + panel + present; }
};

class FrameTimes {
public:
    static constexpr size_t kHistory = 300;
    // The run's summary covers this many frames at most.
    static constexpr size_t kRecorded = 100000;

    FrameTimes();
    void Add(const FrameStages& stages);

    size_t Count() const { return count; }
    // age 0 is the newest; age < Count().
    const FrameStages& Recent(size_t age) const { return history[(next + kHistory - 1 - age) % kHistory]; }
    // The mean of each stage over the newest frames (all of the history when 0).
    FrameStages Mean(size_t frames = 0) const;

    // Each stage's mean over the whole run.
    FrameStages RunMean() const;

    // The recorded frames' plug-in, host (upload, output, panel) and decode times.
    const std::vector<double>& PluginTimes() const { return pluginTimes; }
    const std::vector<double>& HostTimes() const { return hostTimes; }
    const std::vector<double>& DecodeTimes() const { return decodeTimes; }

private:
    std::array<FrameStages, kHistory> history{};
    size_t next = 0;
    size_t count = 0;
    FrameStages sums;
    size_t added = 0;
    std::vector<double> pluginTimes, hostTimes, decodeTimes;
};

}  // namespace play
