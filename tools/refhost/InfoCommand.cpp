// zao-host info: the plug-in's self-description, without any GL.
#include <algorithm>
#include <cstdio>
#include <string>

#include "Commands.h"
#include "PendingOutput.h"
#include "hostkit/FfglCodes.h"
#include "hostsupport/HostError.h"
#include "hostsupport/Plugin.h"
#include "hostsupport/PluginThumbnail.h"
#include "hostsupport/PngFile.h"

namespace refhost {

namespace {

std::string Number(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

std::string DefaultText(const hostsupport::ParameterDescription& parameter)
{
    if (parameter.IsText())
        return "\"" + parameter.defaultText + "\"";
    if (parameter.type == ffgl::kParameterBoolean)
        return parameter.defaultValue >= 0.5f ? "on" : "off";
    std::string text = Number(parameter.defaultValue);
    if (parameter.type == ffgl::kParameterOption)
        for (const hostsupport::OptionElement& element : parameter.elements)
            if (element.value == parameter.defaultValue)
                return text + " (" + element.name + ")";
    return text;
}

}  // namespace

int RunInfo(const InfoOptions& options)
{
    auto library = hostsupport::LoadPlugin(options.plugin);
    library->SetLogCallback([](const char*) {});
    const hostsupport::PluginDescription plugin = hostsupport::Describe(*library);
    if (!options.thumbnail.empty()) {
        // Written beside the target and moved into place, so a failure leaves no half-written file.
        PendingFile thumbnail(options.thumbnail);
        hostsupport::WritePng(thumbnail.TemporaryPath(), hostsupport::ReadThumbnail(*library));
        thumbnail.Commit();
    }

    std::printf("name         %s\n", plugin.name.c_str());
    std::printf("code         %s\n", plugin.code.c_str());
    std::printf("kind         %s\n", hostsupport::PluginTypeName(plugin.pluginType).c_str());
    std::printf("version      %u.%u\n", plugin.versionMajor, plugin.versionMinor);
    std::printf("FFGL         %u.%u\n", plugin.apiMajor, plugin.apiMinor);
    std::printf("description  %s\n", plugin.description.c_str());
    std::printf("author       %s\n", plugin.about.c_str());
    std::printf("parameters   %zu\n", plugin.parameters.size());

    size_t nameWidth = 4;
    for (const hostsupport::ParameterDescription& parameter : plugin.parameters)
        nameWidth = std::max(nameWidth, parameter.name.size());
    std::printf("\n  #  %-*s  %-10s  %-14s  %s\n", static_cast<int>(nameWidth), "name", "type", "default", "range");
    for (const hostsupport::ParameterDescription& parameter : plugin.parameters) {
        std::string range = parameter.IsText() ? "-" : Number(parameter.minimum) + " to " + Number(parameter.maximum);
        std::printf("%3u  %-*s  %-10s  %-14s  %s\n", parameter.index, static_cast<int>(nameWidth),
                    parameter.name.c_str(), hostsupport::TypeName(parameter.type).c_str(),
                    DefaultText(parameter).c_str(), range.c_str());
        if (!parameter.elements.empty()) {
            std::string list;
            for (const hostsupport::OptionElement& element : parameter.elements)
                list += (list.empty() ? "" : ", ") + element.name + " = " + Number(element.value);
            std::printf("     %-*s  options: %s\n", static_cast<int>(nameWidth), "", list.c_str());
        }
    }
    return 0;
}

}  // namespace refhost
