// The host side of the description and parameter codes, read by byte offset.
#include "Plugin.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "HostError.h"
#include "PluginFile.h"
#include "hostkit/ByteRecord.h"
#include "hostkit/FfglCodes.h"

namespace hostsupport {

namespace {

using hostkit::ByteRecord;
using hostkit::kFailureCode;

using hostkit::AnswerText;
using hostkit::IsFailureAnswer;

std::string FixedText(const uint8_t* bytes, size_t size)
{
    size_t length = 0;
    while (length < size && bytes[length] != 0)
        ++length;
    return std::string(reinterpret_cast<const char*>(bytes), length);
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool ParseFloat(const std::string& text, float* value)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const float parsed = std::strtof(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(parsed))
        return false;
    *value = parsed;
    return true;
}

std::string FormatFloat(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

std::string ElementList(const ParameterDescription& parameter)
{
    std::string list;
    for (const OptionElement& element : parameter.elements)
        list += (list.empty() ? "" : ", ") + element.name + "=" + FormatFloat(element.value);
    return list;
}

}  // namespace

std::string TypeName(uint32_t type)
{
    switch (type) {
    case ffgl::kParameterBoolean: return "boolean";
    case ffgl::kParameterEvent: return "event";
    case ffgl::kParameterRed: return "red";
    case ffgl::kParameterGreen: return "green";
    case ffgl::kParameterBlue: return "blue";
    case ffgl::kParameterXPosition: return "x position";
    case ffgl::kParameterYPosition: return "y position";
    case ffgl::kParameterStandard: return "standard";
    case ffgl::kParameterOption: return "option";
    case ffgl::kParameterBuffer: return "buffer";
    case ffgl::kParameterInteger: return "integer";
    case ffgl::kParameterFile: return "file";
    case ffgl::kParameterHue: return "hue";
    case ffgl::kParameterSaturation: return "saturation";
    case ffgl::kParameterBrightness: return "brightness";
    case ffgl::kParameterAlpha: return "alpha";
    case ffgl::kParameterText: return "text";
    default: return "type " + std::to_string(type);
    }
}

std::string PluginTypeName(uint32_t type)
{
    switch (type) {
    case ffgl::kPluginTypeEffect: return "effect";
    case ffgl::kPluginTypeSource: return "source";
    case ffgl::kPluginTypeMixer: return "mixer";
    default: return "kind " + std::to_string(type);
    }
}

std::unique_ptr<hostkit::PluginLibrary> LoadPlugin(const std::string& given, bool privateCopy)
{
    const std::string path = PluginFilePath(given);
    RequirePluginFile(path);
    std::string reason;
    auto library = hostkit::PluginLibrary::Load(path, privateCopy, &reason);
    if (!library) {
        if (reason.find("plugMain") != std::string::npos)
            throw HostError(path + " is not an FFGL plug-in: it does not export plugMain");
        throw HostError(path + " is not a loadable plug-in: " + OneLine(reason));
    }
    return library;
}

uint32_t InputTextureCount(const PluginDescription& plugin)
{
    switch (plugin.pluginType) {
    case ffgl::kPluginTypeSource: return 0;
    case ffgl::kPluginTypeMixer: return 2;
    default: return 1;
    }
}

namespace {

// Codes 31, 35 and 36: an option parameter's element names and values.
std::vector<OptionElement> DescribeElements(const hostkit::PluginLibrary& library, uint32_t index)
{
    std::vector<OptionElement> elements;
    const uint32_t count = library.Call32(ffgl::kGetNumParameterElements, index);
    for (uint32_t e = 0; count != kFailureCode && e < count; ++e) {
        const ByteRecord<8> pair = hostkit::MakeIndexPair(index, e);
        OptionElement element;
        const char* elementName = AnswerText(library.CallPointer(ffgl::kGetParameterElementName, pair.Data()));
        element.name = elementName ? elementName : std::to_string(e);
        const uint32_t bits =
            library.Call32(ffgl::kGetParameterElementValue, reinterpret_cast<uintptr_t>(pair.Data()));
        element.value = bits == kFailureCode ? static_cast<float>(e) : hostkit::FloatOfBits(bits);
        elements.push_back(element);
    }
    return elements;
}

// Codes 5, 15, 6 and 41 for one parameter, and its elements when it is an option.
ParameterDescription DescribeParameter(const hostkit::PluginLibrary& library, uint32_t index)
{
    ParameterDescription parameter;
    parameter.index = index;
    const char* name = AnswerText(library.Call(ffgl::kGetParameterName, index));
    parameter.name = name ? name : "";
    parameter.type = library.Call32(ffgl::kGetParameterType, index);
    const uint64_t defaultAnswer = library.Call(ffgl::kGetParameterDefault, index);
    if (parameter.IsText()) {
        const char* text = AnswerText(defaultAnswer);
        parameter.defaultText = text ? text : "";
    } else if (!IsFailureAnswer(defaultAnswer)) {
        parameter.defaultValue = hostkit::FloatOfBits(static_cast<uint32_t>(defaultAnswer));
    }
    ByteRecord<12> range = hostkit::MakeRange(index, 0.0f, 1.0f);
    if (library.Call32(ffgl::kGetRange, reinterpret_cast<uintptr_t>(range.Data())) == 0) {
        parameter.minimum = range.F32(4);
        parameter.maximum = range.F32(8);
    }
    if (parameter.type == ffgl::kParameterOption)
        parameter.elements = DescribeElements(library, index);
    return parameter;
}

}  // namespace

PluginDescription Describe(const hostkit::PluginLibrary& library)
{
    PluginDescription plugin;
    const uint64_t infoAnswer = library.Call(ffgl::kGetInfo);
    if (infoAnswer == 0 || IsFailureAnswer(infoAnswer))
        throw HostError("the plug-in gives no information record (code 0)");
    ByteRecord<32> info;
    std::memcpy(info.bytes, reinterpret_cast<const void*>(static_cast<uintptr_t>(infoAnswer)), 32);
    plugin.apiMajor = info.U32(0);
    plugin.apiMinor = info.U32(4);
    plugin.code = FixedText(info.bytes + 8, 4);
    plugin.name = FixedText(info.bytes + 12, 16);
    plugin.pluginType = info.U32(28);

    const uint64_t extendedAnswer = library.Call(ffgl::kGetExtendedInfo);
    if (extendedAnswer != 0 && !IsFailureAnswer(extendedAnswer)) {
        ByteRecord<40> extended;
        std::memcpy(extended.bytes, reinterpret_cast<const void*>(static_cast<uintptr_t>(extendedAnswer)), 40);
        plugin.versionMajor = extended.U32(0);
        plugin.versionMinor = extended.U32(4);
        if (const char* text = static_cast<const char*>(extended.Pointer(8)))
            plugin.description = text;
        if (const char* text = static_cast<const char*>(extended.Pointer(16)))
            plugin.about = text;
    }

    const uint32_t count = library.Call32(ffgl::kGetNumParameters);
    if (count == kFailureCode)
        throw HostError("the plug-in does not give its parameter count (code 4)");
    for (uint32_t i = 0; i < count; ++i)
        plugin.parameters.push_back(DescribeParameter(library, i));
    return plugin;
}

int FindParameter(const PluginDescription& plugin, const std::string& name)
{
    for (const ParameterDescription& parameter : plugin.parameters)
        if (parameter.name == name)
            return static_cast<int>(parameter.index);
    const std::string wanted = Lower(name);
    for (const ParameterDescription& parameter : plugin.parameters)
        if (Lower(parameter.name) == wanted)
            return static_cast<int>(parameter.index);
    return -1;
}

namespace {

// A boolean or event: on/off, true/false, yes/no, 1/0.
float BooleanValue(const std::string& valueText, const std::string& badValue)
{
    const std::string word = Lower(valueText);
    if (word == "on" || word == "true" || word == "yes" || word == "1")
        return 1.0f;
    if (word == "off" || word == "false" || word == "no" || word == "0")
        return 0.0f;
    throw HostError(badValue + "use on/off, true/false or 1/0");
}

// An option: an element's name, its value, or its position.
float OptionValue(const ParameterDescription& parameter, const std::string& valueText, const std::string& badValue)
{
    for (const OptionElement& element : parameter.elements)
        if (Lower(element.name) == Lower(valueText))
            return element.value;
    float number = 0;
    if (ParseFloat(valueText, &number)) {
        for (const OptionElement& element : parameter.elements)
            if (element.value == number)
                return number;
        // An element's position, where the values are not 0, 1, 2 ...
        if (number >= 0 && number == std::floor(number) && number < static_cast<float>(parameter.elements.size()))
            return parameter.elements[static_cast<size_t>(number)].value;
    }
    throw HostError(badValue + "use one of " + ElementList(parameter));
}

// Any other number: inside the parameter's range.
float RangedValue(const ParameterDescription& parameter, const std::string& valueText, const std::string& badValue)
{
    float number = 0;
    if (!ParseFloat(valueText, &number))
        throw HostError(badValue + "not a number");
    if (number < parameter.minimum || number > parameter.maximum)
        throw HostError(badValue + "outside its range " + FormatFloat(parameter.minimum) + " to " +
                        FormatFloat(parameter.maximum));
    return number;
}

}  // namespace

ParameterSetting ResolveSetting(const PluginDescription& plugin, const std::string& assignment)
{
    const size_t equals = assignment.find('=');
    if (equals == std::string::npos)
        throw HostError("--set needs Name=Value, not \"" + assignment + "\"");
    const std::string name = Trim(assignment.substr(0, equals));
    const std::string valueText = Trim(assignment.substr(equals + 1));
    const int index = FindParameter(plugin, name);
    if (index < 0) {
        std::string names;
        for (const ParameterDescription& parameter : plugin.parameters)
            names += (names.empty() ? "" : ", ") + parameter.name;
        throw HostError("unknown parameter \"" + name + "\" (the plug-in has: " + names + ")");
    }
    const ParameterDescription& parameter = plugin.parameters[static_cast<size_t>(index)];
    ParameterSetting setting;
    setting.index = parameter.index;
    const std::string badValue = "bad value \"" + valueText + "\" for \"" + parameter.name + "\" (" +
                                 TypeName(parameter.type) + "): ";
    if (parameter.IsText()) {
        setting.isText = true;
        setting.text = valueText;
    } else if (parameter.type == ffgl::kParameterBoolean || parameter.type == ffgl::kParameterEvent) {
        setting.value = BooleanValue(valueText, badValue);
    } else if (parameter.type == ffgl::kParameterOption) {
        setting.value = OptionValue(parameter, valueText, badValue);
    } else {
        setting.value = RangedValue(parameter, valueText, badValue);
    }
    return setting;
}

hostkit::EffectInstance CreateInstance(const hostkit::PluginLibrary& library, uint32_t width, uint32_t height)
{
    hostkit::EffectInstance instance(library, width, height);
    if (!instance.Valid())
        throw HostError("the plug-in cannot create an instance (code 18) at " + std::to_string(width) + "x" +
                        std::to_string(height));
    return instance;
}

void ApplySetting(const hostkit::EffectInstance& instance, const ParameterSetting& setting, const std::string& name)
{
    const uint64_t answer = setting.isText ? instance.SetText(setting.index, setting.text.c_str())
                                           : instance.SetFloat(setting.index, setting.value);
    if (hostkit::IsFailureCode(answer))
        throw HostError("the plug-in refuses the value " +
                        (setting.isText ? "\"" + setting.text + "\"" : FormatFloat(setting.value)) + " for \"" +
                        name + "\"");
}

std::vector<hostkit::InputTexture> FrameInputs(const PluginDescription& plugin, uint32_t texture, uint32_t width,
                                               uint32_t height)
{
    return std::vector<hostkit::InputTexture>(InputTextureCount(plugin),
                                              hostkit::InputTexture::Whole(texture, width, height));
}

}  // namespace hostsupport
