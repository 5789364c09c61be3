// One instance of a loaded plug-in, driven as a host drives it: made with a
// viewport, given parameters and time, run frame by frame on textures into a
// framebuffer, destroyed once. The reference host, the validator, the tests
// and the benchmarks all drive instances through this.
#pragma once

#include <cstdint>
#include <utility>

#include "hostkit/ByteRecord.h"
#include "hostkit/FrameRecords.h"
#include "hostkit/PluginLibrary.h"

namespace hostkit {

// A parameter's number by its name (code 5; exact spelling first, then
// ignoring case), or -1.
int ParameterIndex(const PluginLibrary& library, const char* name);

// Code 8 on a bare handle, for callers that keep handles themselves: index
// (0), then a float or a text pointer (8).
uint64_t SetParameter(const PluginLibrary& library, void* instance, uint32_t index, float value);
uint64_t SetParameterText(const PluginLibrary& library, void* instance, uint32_t index, const char* text);

class EffectInstance {
public:
    EffectInstance() = default;
    // Code 18 with a viewport of width x height at (0, 0); Valid() is false
    // when the plug-in refuses.
    EffectInstance(const PluginLibrary& library, uint32_t width, uint32_t height);
    // Takes over a handle that some other call made, to destroy it in turn.
    static EffectInstance Adopt(const PluginLibrary& library, void* handle);
    ~EffectInstance() { Destroy(); }
    EffectInstance(EffectInstance&& other) noexcept;
    EffectInstance& operator=(EffectInstance&& other) noexcept;
    EffectInstance(const EffectInstance&) = delete;
    EffectInstance& operator=(const EffectInstance&) = delete;

    bool Valid() const { return handle != nullptr; }
    void* Handle() const { return handle; }
    // Code 19 now; its answer, or 0 when there is no instance left.
    uint64_t Destroy();
    // Hands the handle over without destroying it; the caller then owns it.
    void* TakeHandle() { return std::exchange(handle, nullptr); }

    // plugMain with this instance: a number, or a record by address.
    uint64_t Call(uint32_t code, uint64_t input = 0) const;
    uint64_t CallRecord(uint32_t code, const void* record) const;

    // Code 8 as above.
    uint64_t SetFloat(uint32_t index, float value) const;
    uint64_t SetText(uint32_t index, const char* text) const;
    // By the name the plug-in gives; the failure code when it has no such parameter.
    uint64_t SetFloat(const char* name, float value) const;
    // Code 9: the value's bits in the low half of the answer.
    float GetFloat(uint32_t index) const;
    // Code 20 with the time in seconds.
    uint64_t SetTime(double seconds) const;

    // Builds the frame records once, so that a timed frame is the call alone.
    void PrepareFrame(const InputTexture* inputs, uint32_t count, uint32_t framebuffer)
    {
        frame.Build(inputs, count, framebuffer);
    }
    // Code 17 with the prepared records; FramesFailed counts the failure-code answers.
    uint64_t ProcessFrame();
    // Prepare and process in one.
    uint64_t Frame(const InputTexture* inputs, uint32_t count, uint32_t framebuffer)
    {
        PrepareFrame(inputs, count, framebuffer);
        return ProcessFrame();
    }
    uint64_t Frame(const InputTexture& input, uint32_t framebuffer) { return Frame(&input, 1, framebuffer); }
    // Code 17 between two glFinish, so that the time is the whole frame's.
    uint64_t ProcessFrameTimed(double* milliseconds);

    uint64_t FramesFailed() const { return framesFailed; }

private:
    const PluginLibrary* library = nullptr;
    void* handle = nullptr;
    FrameRecords frame;
    uint64_t framesFailed = 0;
};

}  // namespace hostkit
