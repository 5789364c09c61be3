// What a host knows of a loaded FFGL 2 plug-in: its description
// and parameters read through plugMain alone, and "Name=Value" settings
// resolved against them and applied to an instance.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hostkit/ByteRecord.h"
#include "hostkit/EffectInstance.h"
#include "hostkit/FfglCodes.h"
#include "hostkit/PluginLibrary.h"

namespace hostsupport {

// Text and file parameters take a text, every other type a number.
inline bool IsTextType(uint32_t type)
{
    return type == ffgl::kParameterText || type == ffgl::kParameterFile;
}

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

    bool IsText() const { return IsTextType(type); }
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
// Loads the file (or, with privateCopy, a copy of it, so that the file can be
// replaced while the code stays mapped); throws HostError that names the
// reason when it is no plug-in.
std::unique_ptr<hostkit::PluginLibrary> LoadPlugin(const std::string& path, bool privateCopy = false);
// Code 34 when made, code 2 when it ends, by return or by a throw (an
// interrupt, a failed frame): a host's session with the plug-in. Instances
// must be gone before it ends.
class PluginInitialisation {
public:
    explicit PluginInitialisation(const hostkit::PluginLibrary& library) : library(library)
    {
        library.Call(ffgl::kInitialiseV2);
    }
    ~PluginInitialisation() { library.Call(ffgl::kDeinitialise); }
    PluginInitialisation(const PluginInitialisation&) = delete;
    PluginInitialisation& operator=(const PluginInitialisation&) = delete;

private:
    const hostkit::PluginLibrary& library;
};

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

// Code 18 as the host needs it: throws HostError that names the size when refused.
hostkit::EffectInstance CreateInstance(const hostkit::PluginLibrary& library, uint32_t width, uint32_t height);
// Code 8 with the resolved value; throws HostError when the plug-in refuses it.
void ApplySetting(const hostkit::EffectInstance& instance, const ParameterSetting& setting, const std::string& name);
// The same texture for each of the frame's inputs.
std::vector<hostkit::InputTexture> FrameInputs(const PluginDescription& plugin, uint32_t texture, uint32_t width,
                                               uint32_t height);

}  // namespace hostsupport
