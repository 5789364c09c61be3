// The records of one frame as a host hands them to code 17: a TextureInfo per
// input and the FrameInput that points at them, built by byte offset once, so
// that a timed frame is the call alone.
#pragma once

#include <cstdint>
#include <vector>

#include "hostkit/ByteRecord.h"

namespace hostkit {

// One input of a frame, sent as it stands (a zero hardware size stays zero).
struct InputTexture {
    uint32_t handle = 0;
    uint32_t width = 0, height = 0;
    uint32_t hardwareWidth = 0, hardwareHeight = 0;

    // A texture whose allocation is exactly the image.
    static InputTexture Whole(uint32_t handle, uint32_t width, uint32_t height)
    {
        return {handle, width, height, width, height};
    }
};

class FrameRecords {
public:
    FrameRecords() = default;
    FrameRecords(const InputTexture* inputs, uint32_t count, uint32_t framebuffer) { Build(inputs, count, framebuffer); }
    // The FrameInput points into the texture list, so a copy would point into the original.
    FrameRecords(FrameRecords&&) = default;
    FrameRecords& operator=(FrameRecords&&) = default;
    FrameRecords(const FrameRecords&) = delete;
    FrameRecords& operator=(const FrameRecords&) = delete;

    void Build(const InputTexture* inputs, uint32_t count, uint32_t framebuffer)
    {
        textureInfos.clear();
        texturePointers.clear();
        for (uint32_t i = 0; i < count; ++i) {
            const InputTexture& input = inputs[i];
            textureInfos.push_back(
                MakeTextureInfo(input.width, input.height, input.hardwareWidth, input.hardwareHeight, input.handle));
        }
        for (const auto& info : textureInfos)
            texturePointers.push_back(info.Data());
        frameInput =
            MakeFrameInput(count, texturePointers.empty() ? nullptr : texturePointers.data(), framebuffer);
    }

    // The FrameInput record, and the TextureInfo of input i.
    const void* Data() const { return frameInput.Data(); }
    const void* Texture(uint32_t i) const { return textureInfos[i].Data(); }

private:
    std::vector<ByteRecord<24>> textureInfos;
    std::vector<const void*> texturePointers;
    ByteRecord<24> frameInput;
};

}  // namespace hostkit
