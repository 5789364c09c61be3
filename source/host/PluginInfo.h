// The registration record: what the host reads about the plug-in (codes 0 and
// 13) and the factory through which the dispatch makes every instance. One
// static object per library, built before the host can call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CFFGLPlugin;

// Code 0 answers a pointer to this record.
struct PluginInfo {
    uint32_t apiMajorVersion;
    uint32_t apiMinorVersion;
    char pluginCode[4];  // no terminator
    char pluginName[16];  // zero-filled
    uint32_t pluginType;
};
static_assert(sizeof(PluginInfo) == 32, "plug-in information record size");
static_assert(offsetof(PluginInfo, pluginCode) == 8, "plug-in information record layout");
static_assert(offsetof(PluginInfo, pluginName) == 12, "plug-in information record layout");
static_assert(offsetof(PluginInfo, pluginType) == 28, "plug-in information record layout");

// Code 13 answers a pointer to this record.
struct PluginExtendedInfo {
    uint32_t pluginMajorVersion;
    uint32_t pluginMinorVersion;
    const char* description;
    const char* about;
    uint32_t extendedDataSize;
    uint32_t padding;
    const void* extendedDataBlock;
};
static_assert(sizeof(PluginExtendedInfo) == 40, "extended information record size");
static_assert(offsetof(PluginExtendedInfo, description) == 8, "extended information record layout");
static_assert(offsetof(PluginExtendedInfo, about) == 16, "extended information record layout");
static_assert(offsetof(PluginExtendedInfo, extendedDataSize) == 24, "extended information record layout");
static_assert(offsetof(PluginExtendedInfo, extendedDataBlock) == 32, "extended information record layout");

using PluginFactory = uint32_t (*)(CFFGLPlugin** instanceSlot);
using PluginInitialiseCallback = uint32_t (*)();
using PluginDeinitialiseCallback = void (*)();

constexpr uint32_t kPluginTypeEffect = 0;

class CFFGLPluginInfo {
public:
    CFFGLPluginInfo(PluginFactory factory, const char* code, const char* name, uint32_t apiMajorVersion,
                    uint32_t apiMinorVersion, uint32_t pluginMajorVersion, uint32_t pluginMinorVersion,
                    uint32_t pluginType, const char* description, const char* about,
                    uint32_t extendedDataSize = 0, const void* extendedDataBlock = nullptr,
                    PluginInitialiseCallback initialise = nullptr,
                    PluginDeinitialiseCallback deinitialise = nullptr);
    ~CFFGLPluginInfo();

    CFFGLPluginInfo(const CFFGLPluginInfo&) = delete;
    CFFGLPluginInfo& operator=(const CFFGLPluginInfo&) = delete;

    const PluginInfo* GetPluginInfo() const { return &info; }
    const PluginExtendedInfo* GetPluginExtendedInfo() const { return &extendedInfo; }
    PluginFactory GetFactory() const { return factory; }
    PluginInitialiseCallback GetInitialiseCallback() const { return initialise; }
    PluginDeinitialiseCallback GetDeinitialiseCallback() const { return deinitialise; }

private:
    PluginInfo info;
    PluginExtendedInfo extendedInfo;
    std::string description;
    std::string about;
    std::vector<unsigned char> extendedData;
    PluginFactory factory;
    PluginInitialiseCallback initialise;
    PluginDeinitialiseCallback deinitialise;
};

// The one registration record of this library, or null before it is built.
const CFFGLPluginInfo* RegisteredPlugin();
