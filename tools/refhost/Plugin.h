// What the reference host knows of a loaded FFGL 2 plug-in: its description
// and parameters read through plugMain alone, "Name=Value" settings resolved
// against them, and one effect instance driven frame by frame.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hostkit/ByteRecord.h"
#include "hostkit/PluginLibrary.h"

namespace refhost {

// FFGL parameter type numbers that the host treats specially.
constexpr uint32_t kTypeBoolean = 0;
constexpr uint32_t kTypeEvent = 1;
constexpr uint32_t kTypeOption = 11;
constexpr uint32_t kTypeFile = 14;
constexpr uint32_t kTypeText = 100;

struct OptionElement {
    std::string name;
    float value = 0;
};

struct ParameterDescription {
    uint32_t index = 0;
    std::string name;
    uint32_t type = 0;
    float defaultValue = 0;
    std::string defaultText;  // text and file parameters
    float minimum = 0;
    float maximum = 1;
    std::vector<OptionElement> elements;  // option parameters only

    bool IsText() const { return type == kTypeText || type == kTypeFile; }
};

struct PluginDescription {
    std::string name;   // 16-byte field of the information record
    std::string code;   // four characters
    uint32_t apiMajor = 0, apiMinor = 0;
    uint32_t pluginType = 0;  // 0 effect, 1 source, 2 mixer
    uint32_t versionMajor = 0, versionMinor = 0;
    std::string description;
    std::string about;
    std::vector<ParameterDescription> parameters;
};

std::string TypeName(uint32_t type);
std::string PluginTypeName(uint32_t type);
// The input textures a frame hands the plug-in: 0 for a source, 2 for a mixer, 1 for an effect.
uint32_t InputTextureCount(const PluginDescription& plugin);
// Loads the file; throws HostError that names the reason when it is no plug-in.
std::unique_ptr<hostkit::PluginLibrary> LoadPlugin(const std::string& path);
// Codes 0, 13, 4, 5, 6, 15, 31, 35, 36 and 41; throws HostError when code 0 gives nothing.
PluginDescription Describe(const hostkit::PluginLibrary& library);

struct ParameterSetting {
    uint32_t index = 0;
    float value = 0;
    std::string text;  // for text and file parameters
    bool isText = false;
};

// "Name=Value": the name as the plug-in spells it (case is ignored), the value
// a number in the parameter's range, on/off/true/false/yes/no/1/0 for
// booleans, or an element name or value for options. Throws HostError.
ParameterSetting ResolveSetting(const PluginDescription& plugin, const std::string& assignment);
// A parameter's number by name, or -1.
int FindParameter(const PluginDescription& plugin, const std::string& name);

// One instance made with code 18 on the current GL context and destroyed
// with code 19; frames go in through codes 20 (time) and 17.
class EffectInstance {
public:
    EffectInstance(const hostkit::PluginLibrary& library, uint32_t width, uint32_t height);
    ~EffectInstance();
    EffectInstance(const EffectInstance&) = delete;
    EffectInstance& operator=(const EffectInstance&) = delete;

    void Apply(const ParameterSetting& setting, const std::string& name);
    void SetTime(double seconds);
    // Builds the frame records once, so that a timed frame is the plug-in call alone.
    void PrepareFrame(uint32_t inputCount, const uint32_t* textures, uint32_t width, uint32_t height,
                      uint32_t framebuffer);
    // Code 17 with the prepared records; false when the plug-in answers the failure code.
    bool ProcessFrame();

private:
    const hostkit::PluginLibrary& library;
    void* instance = nullptr;
    std::vector<hostkit::ByteRecord<24>> textureInfos;
    std::vector<const void*> texturePointers;
    hostkit::ByteRecord<24> frameInput;
};

}  // namespace refhost
