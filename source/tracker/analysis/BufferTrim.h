// Per-frame buffers keep their capacity so that steady frames allocate
// nothing. BufferTrim tells when one has been far larger than every recent
// frame needed, so that a single huge frame does not pin its memory for the
// life of the instance, while sizes that alternate never reallocate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class BufferTrim {
public:
    // Frames in a row that must need under a quarter of the capacity.
    static constexpr uint32_t kQuietFrames = 60;
    // Below this a buffer is never worth giving back.
    static constexpr size_t kFloorBytes = 1u << 20;

    // Called once per frame with this frame's need; true when the buffer should be released.
    bool Tick(size_t neededBytes, size_t capacityBytes)
    {
        if (capacityBytes <= kFloorBytes || neededBytes >= capacityBytes / 4) {
            quietFrames = 0;
            return false;
        }
        if (++quietFrames < kQuietFrames)
            return false;
        quietFrames = 0;
        return true;
    }

private:
    uint32_t quietFrames = 0;
};

template <typename T>
size_t CapacityBytes(const std::vector<T>& buffer)
{
    return buffer.capacity() * sizeof(T);
}

template <typename T>
void ReleaseBuffer(std::vector<T>& buffer)
{
    std::vector<T>().swap(buffer);
}
