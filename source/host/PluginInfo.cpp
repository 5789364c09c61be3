// Builds the two information records from the texts given at load.
#include "PluginInfo.h"

namespace {

const CFFGLPluginInfo* registeredPlugin = nullptr;

// Byte copy up to the text's terminator, zeros after it; a text as long as the
// field fills it without a terminator, as hosts expect of the code field.
void FillFixedField(char* field, size_t fieldSize, const char* text)
{
    bool ended = text == nullptr;
    for (size_t i = 0; i < fieldSize; ++i) {
        if (!ended && text[i] == '\0')
            ended = true;
        field[i] = ended ? '\0' : text[i];
    }
}

}  // namespace

CFFGLPluginInfo::CFFGLPluginInfo(PluginFactory factory_, const char* code, const char* name,
                                 uint32_t apiMajorVersion, uint32_t apiMinorVersion,
                                 uint32_t pluginMajorVersion, uint32_t pluginMinorVersion, uint32_t pluginType,
                                 const char* description_, const char* about_, uint32_t extendedDataSize,
                                 const void* extendedDataBlock, PluginInitialiseCallback initialise_,
                                 PluginDeinitialiseCallback deinitialise_)
    : info{}, extendedInfo{}, description(description_ ? description_ : ""), about(about_ ? about_ : ""),
      factory(factory_), initialise(initialise_), deinitialise(deinitialise_)
{
    info.apiMajorVersion = apiMajorVersion;
    info.apiMinorVersion = apiMinorVersion;
    FillFixedField(info.pluginCode, sizeof(info.pluginCode), code);
    FillFixedField(info.pluginName, sizeof(info.pluginName), name);
    info.pluginType = pluginType;

    extendedInfo.pluginMajorVersion = pluginMajorVersion;
    extendedInfo.pluginMinorVersion = pluginMinorVersion;
    extendedInfo.description = description.c_str();
    extendedInfo.about = about.c_str();
    if (extendedDataSize != 0 && extendedDataBlock != nullptr) {
        const auto* bytes = static_cast<const unsigned char*>(extendedDataBlock);
        extendedData.assign(bytes, bytes + extendedDataSize);
        extendedInfo.extendedDataSize = extendedDataSize;
        extendedInfo.extendedDataBlock = extendedData.data();
    }
    registeredPlugin = this;
}

CFFGLPluginInfo::~CFFGLPluginInfo()
{
    if (registeredPlugin == this)
        registeredPlugin = nullptr;
}

const CFFGLPluginInfo* RegisteredPlugin()
{
    return registeredPlugin;
}
