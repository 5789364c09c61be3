// Host records built and read by byte offset, as a host written against the
// published layout would, independent of the plug-in's own struct definitions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace hostkit {

template <size_t Size> struct alignas(8) ByteRecord {
    uint8_t bytes[Size] = {};

    void PutU32(size_t offset, uint32_t value) { std::memcpy(bytes + offset, &value, 4); }
    void PutU64(size_t offset, uint64_t value) { std::memcpy(bytes + offset, &value, 8); }
    void PutF32(size_t offset, float value) { std::memcpy(bytes + offset, &value, 4); }
    void PutF64(size_t offset, double value) { std::memcpy(bytes + offset, &value, 8); }
    void PutPointer(size_t offset, const void* pointer)
    {
        const uint64_t value = reinterpret_cast<uintptr_t>(pointer);
        std::memcpy(bytes + offset, &value, 8);
    }

    uint32_t U32(size_t offset) const
    {
        uint32_t value;
        std::memcpy(&value, bytes + offset, 4);
        return value;
    }
    uint64_t U64(size_t offset) const
    {
        uint64_t value;
        std::memcpy(&value, bytes + offset, 8);
        return value;
    }
    float F32(size_t offset) const
    {
        float value;
        std::memcpy(&value, bytes + offset, 4);
        return value;
    }
    const void* Pointer(size_t offset) const { return reinterpret_cast<const void*>(U64(offset)); }

    const void* Data() const { return bytes; }
    void* Data() { return bytes; }
};

// Viewport record: x (0), y (4), width (8), height (12).
inline ByteRecord<16> MakeViewport(uint32_t x, uint32_t y, uint32_t width, uint32_t height)
{
    ByteRecord<16> record;
    record.PutU32(0, x);
    record.PutU32(4, y);
    record.PutU32(8, width);
    record.PutU32(12, height);
    return record;
}

// TextureInfo: width (0), height (4), hardware width (8), hardware height (12), handle (16).
inline ByteRecord<24> MakeTextureInfo(uint32_t width, uint32_t height, uint32_t hardwareWidth,
                                      uint32_t hardwareHeight, uint32_t handle)
{
    ByteRecord<24> record;
    record.PutU32(0, width);
    record.PutU32(4, height);
    record.PutU32(8, hardwareWidth);
    record.PutU32(12, hardwareHeight);
    record.PutU32(16, handle);
    return record;
}

// FrameInput: texture count (0), pointer to the array of TextureInfo pointers (8), host framebuffer (16).
inline ByteRecord<24> MakeFrameInput(uint32_t textureCount, const void* const* textures, uint32_t hostFbo)
{
    ByteRecord<24> record;
    record.PutU32(0, textureCount);
    record.PutPointer(8, textures);
    record.PutU32(16, hostFbo);
    return record;
}

// Index pair of the element and extension codes: parameter (0), element or entry (4).
inline ByteRecord<8> MakeIndexPair(uint32_t parameter, uint32_t index)
{
    ByteRecord<8> record;
    record.PutU32(0, parameter);
    record.PutU32(4, index);
    return record;
}

// Range record of code 41: parameter (0), then minimum (4) and maximum (8), which the plug-in fills.
inline ByteRecord<12> MakeRange(uint32_t parameter, float minimum, float maximum)
{
    ByteRecord<12> record;
    record.PutU32(0, parameter);
    record.PutF32(4, minimum);
    record.PutF32(8, maximum);
    return record;
}

inline uint32_t FloatBitsOf(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

inline float FloatOfBits(uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

constexpr uint32_t kFailureCode = 0xFFFFFFFFu;

// A numeric answer carries meaning in its low 32 bits only.
inline bool IsFailureCode(uint64_t answer)
{
    return static_cast<uint32_t>(answer) == kFailureCode;
}
// A 64-bit answer that means "failed" where a pointer may come back: the
// failure code with nothing above it.
inline bool IsFailureAnswer(uint64_t answer)
{
    return IsFailureCode(answer) && (answer >> 32) == 0;
}
// A text answer: 0 and the failure code both mean none.
inline const char* AnswerText(uint64_t answer)
{
    if (answer == 0 || IsFailureAnswer(answer))
        return nullptr;
    return reinterpret_cast<const char*>(static_cast<uintptr_t>(answer));
}

}  // namespace hostkit
