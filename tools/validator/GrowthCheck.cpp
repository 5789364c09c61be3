// The validator's growth test: one instance over a few hundred small frames,
// as a host runs an effect for minutes, with the live GL objects of each kind
// and the resident memory taken every 50 frames. What grows in every stretch
// grows without bound (a cache that never evicts, a list that is never
// trimmed); what settles after the first frames does not.
#include "Checks.h"

#include <GL/glew.h>

#include <cstdio>
#include <vector>

#include "GlStateTable.h"
#include "LiveGlObjects.h"
#include "ProcessMemory.h"

namespace validator {

namespace {

constexpr uint32_t kWidth = 64, kHeight = 48;
// Frames before the first sample, so that set-up on first use (shader
// variants, buffers sized once) is not counted as growth.
constexpr uint32_t kWarmUpFrames = 30;
constexpr uint32_t kStretches = 6, kStretchFrames = 50, kFrames = kStretches * kStretchFrames;
// Resident memory moves in pages and with the allocator's own bookkeeping;
// growth below this over all stretches is no leak worth a report (a plug-in
// that keeps 1 KiB a frame keeps 3.6 MiB an hour at 60 frames a second, and
// is reported).
constexpr long kResidentNoiseKib = 256;

struct Sample {
    LiveGlObjects objects;
    long residentKib;
};

Sample TakeSample(uint32_t limitFloor)
{
    glFinish();
    return {CountLiveGlObjects(GlNameLimit(limitFloor)), ResidentKib()};
}

// "1 per frame", "0.5 per frame", "64 KiB per frame".
std::string PerFrame(double total, const char* unit)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.3g%s per frame", total / kFrames, unit);
    return text;
}

// "549 KiB", "18 MiB".
std::string KibText(long kib)
{
    return kib < 10 * 1024 ? std::to_string(kib) + " KiB" : std::to_string(kib / 1024) + " MiB";
}

// What grew in every stretch, as phrases.
std::vector<std::string> SteadyGrowth(const std::vector<Sample>& samples)
{
    std::vector<std::string> growth;
    const Sample& first = samples.front();
    const Sample& last = samples.back();
    for (size_t kind = 0; kind < kGlObjectKinds; ++kind) {
        bool steady = true;
        for (size_t i = 1; i < samples.size(); ++i)
            steady = steady && samples[i].objects[kind] > samples[i - 1].objects[kind];
        if (steady)
            growth.push_back(std::string(kGlObjectKindNames[kind]) + " grow " +
                             PerFrame(static_cast<double>(last.objects[kind] - first.objects[kind]), "") + " over " +
                             std::to_string(kFrames) + " frames (" + std::to_string(first.objects[kind]) + " -> " +
                             std::to_string(last.objects[kind]) + ")");
    }
    // Pages come back now and then; growth in all stretches but one is steady.
    size_t grew = 0;
    for (size_t i = 1; i < samples.size(); ++i)
        grew += samples[i].residentKib > samples[i - 1].residentKib ? 1 : 0;
    const long residentGrowth = last.residentKib - first.residentKib;
    if (first.residentKib >= 0 && grew + 1 >= kStretches && residentGrowth > kResidentNoiseKib)
        growth.push_back("resident memory grows " + PerFrame(static_cast<double>(residentGrowth), " KiB") + " over " +
                         std::to_string(kFrames) + " frames (+" + KibText(residentGrowth) + ")");
    return growth;
}

}  // namespace

std::string Growth(Session& session)
{
    FrameRig rig(TestImage(kWidth, kHeight, 47));
    session.report.Step("code 18 for the long run");
    hostkit::EffectInstance instance = session.Create(kWidth, kHeight);
    const uint32_t limitFloor = GlNameLimit(4096);
    std::vector<Sample> samples;
    for (uint32_t frame = 0; frame < kWarmUpFrames + kFrames; ++frame) {
        if (frame >= kWarmUpFrames && (frame - kWarmUpFrames) % kStretchFrames == 0) {
            session.report.Step("counting GL objects and resident memory before frame " + std::to_string(frame + 1));
            samples.push_back(TakeSample(limitFloor));
        }
        const std::string what = "frame " + std::to_string(frame + 1) + " of the long run";
        session.report.Step(what);
        // Time moves as a host's clock does, 60 frames a second.
        instance.SetTime(frame / 60.0);
        rig.ProcessOrFail(session, instance, what);
    }
    session.report.Step("counting GL objects and resident memory after the long run");
    samples.push_back(TakeSample(limitFloor));
    const std::vector<std::string> growth = SteadyGrowth(samples);
    Require(growth.empty(), JoinedChanges(growth));
    session.report.Step("code 19 after the long run");
    session.Destroy(instance);
    const long residentGrowth = samples.back().residentKib - samples.front().residentKib;
    return std::to_string(kFrames) + " frames of " + Size(kWidth, kHeight) + ", resident memory " +
           (residentGrowth < 0 ? "-" + KibText(-residentGrowth) : "+" + KibText(residentGrowth));
}

}  // namespace validator
