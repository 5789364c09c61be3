// Records that the host passes to plugMain by pointer, defined once with their
// byte layout pinned, so that a change of member or padding breaks the build
// instead of a host.
#pragma once

#include <cstddef>
#include <cstdint>

// Codes 18 and 23: the host's output viewport.
struct ViewportRecord {
    uint32_t x;
    uint32_t y;
    uint32_t width;
    uint32_t height;
};
static_assert(sizeof(ViewportRecord) == 16, "viewport record size");
static_assert(offsetof(ViewportRecord, height) == 12, "viewport record layout");

// Code 8: a parameter number and the new value (a float, or a text pointer).
struct ParameterValueRecord {
    uint32_t parameterNumber;
    uint32_t padding;
    union {
        float floatValue;
        const char* textValue;
    };
};
static_assert(sizeof(ParameterValueRecord) == 16, "parameter value record size");
static_assert(offsetof(ParameterValueRecord, floatValue) == 8, "parameter value record layout");

// Code 17: one texture handed in by the host.
struct TextureInfo {
    uint32_t width;
    uint32_t height;
    uint32_t hardwareWidth;
    uint32_t hardwareHeight;
    uint32_t handle;
};
static_assert(sizeof(TextureInfo) == 20, "texture info size");
static_assert(offsetof(TextureInfo, hardwareWidth) == 8, "texture info layout");
static_assert(offsetof(TextureInfo, handle) == 16, "texture info layout");

// Code 17: the frame to process.
struct FrameInput {
    uint32_t inputTextureCount;
    uint32_t padding;
    TextureInfo** inputTextures;
    uint32_t hostFbo;
};
static_assert(sizeof(FrameInput) == 24, "frame input size");
static_assert(offsetof(FrameInput, inputTextures) == 8, "frame input layout");
static_assert(offsetof(FrameInput, hostFbo) == 16, "frame input layout");

// Codes 35, 36, 44, 48: a parameter number and an element, extension or separator index.
struct IndexPairRecord {
    uint32_t parameterNumber;
    uint32_t index;
};
static_assert(sizeof(IndexPairRecord) == 8, "index pair size");

// Code 37.
struct ElementValueRecord {
    uint32_t parameterNumber;
    uint32_t elementNumber;
    float value;
};
static_assert(sizeof(ElementValueRecord) == 12, "element value record size");
static_assert(offsetof(ElementValueRecord, value) == 8, "element value record layout");

// Code 41: number in, range out.
struct RangeRecord {
    uint32_t parameterNumber;
    float minimum;
    float maximum;
};
static_assert(sizeof(RangeRecord) == 12, "range record size");
static_assert(offsetof(RangeRecord, maximum) == 8, "range record layout");

// Code 38.
struct BeatRecord {
    float tempo;
    float barPhase;
};
static_assert(sizeof(BeatRecord) == 8, "beat record size");

// Code 39.
struct HostInfoRecord {
    const char* hostName;
    const char* hostVersion;
};
static_assert(sizeof(HostInfoRecord) == 16, "host information record size");
static_assert(offsetof(HostInfoRecord, hostVersion) == 8, "host information record layout");

// Code 46: one harvested event.
struct EventEntry {
    uint32_t parameterNumber;
    uint32_t padding;
    uint64_t eventFlags;
};
static_assert(sizeof(EventEntry) == 16, "event entry size");
static_assert(offsetof(EventEntry, eventFlags) == 8, "event entry layout");

// Code 46: capacity in, count out.
struct EventsRecord {
    uint32_t count;
    uint32_t padding;
    EventEntry* events;
};
static_assert(sizeof(EventsRecord) == 16, "events record size");
static_assert(offsetof(EventsRecord, events) == 8, "events record layout");

// Codes 50 and 51: the host's buffer for a copied text.
struct TextQueryRecord {
    uint32_t parameterNumber;
    uint32_t padding;
    char* buffer;
    uint32_t bufferSize;
};
static_assert(sizeof(TextQueryRecord) == 24, "text query record size");
static_assert(offsetof(TextQueryRecord, buffer) == 8, "text query record layout");
static_assert(offsetof(TextQueryRecord, bufferSize) == 16, "text query record layout");

// Code 42.
struct ThumbnailRecord {
    uint32_t width;
    uint32_t height;
    void* pixels;
};
static_assert(sizeof(ThumbnailRecord) == 16, "thumbnail record size");
static_assert(offsetof(ThumbnailRecord, pixels) == 8, "thumbnail record layout");
