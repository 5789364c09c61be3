// A kept value is used only where it means the same to the new parameter.
#include "KeptValues.h"

#include <cstdio>
#include <cstdlib>

#include "hostkit/FfglCodes.h"

namespace play {

namespace {

std::string Number(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", static_cast<double>(value));
    return text;
}

// Why a kept number does not fit the parameter; empty when it does.
std::string Misfit(const hostsupport::ParameterDescription& parameter, float number)
{
    if (parameter.type == ffgl::kParameterOption) {
        for (const hostsupport::OptionElement& element : parameter.elements)
            if (element.value == number)
                return {};
        return "no longer one of its options";
    }
    if (number >= parameter.minimum && number <= parameter.maximum)
        return {};
    return "outside its new range " + Number(parameter.minimum) + " to " + Number(parameter.maximum);
}

}  // namespace

ParameterValue DefaultValue(const hostsupport::ParameterDescription& parameter)
{
    ParameterValue value;
    if (parameter.IsText())
        value.text = parameter.defaultText;
    else
        value.number = parameter.type == ffgl::kParameterEvent ? 0.0f : parameter.defaultValue;
    return value;
}

std::string ShownValue(const hostsupport::ParameterDescription& parameter, const ParameterValue& value)
{
    if (parameter.IsText())
        return value.text;
    for (const hostsupport::OptionElement& element : parameter.elements)
        if (element.value == value.number)
            return element.name;
    return Number(value.number);
}

void KeptValues::Remember(const hostsupport::ParameterDescription& parameter, const ParameterValue& value)
{
    if (parameter.type == ffgl::kParameterEvent)
        return;
    byName[parameter.name] = Kept{parameter.IsText(), value};
}

std::vector<ParameterValue> KeptValues::StartValues(const hostsupport::PluginDescription& plugin,
                                                    std::vector<DroppedValue>* dropped) const
{
    std::vector<ParameterValue> values;
    values.reserve(plugin.parameters.size());
    for (const hostsupport::ParameterDescription& parameter : plugin.parameters) {
        values.push_back(DefaultValue(parameter));
        const auto kept = byName.find(parameter.name);
        if (kept == byName.end() || parameter.type == ffgl::kParameterEvent)
            continue;
        const Kept& value = kept->second;
        std::string reason;
        if (value.isText != parameter.IsText())
            reason = parameter.IsText() ? "now a text" : "now a number";
        else if (!parameter.IsText())
            reason = Misfit(parameter, value.value.number);
        if (reason.empty())
            values.back() = value.value;
        else if (dropped != nullptr)
            dropped->push_back({parameter.name, value.isText ? value.value.text : Number(value.value.number), reason});
    }
    return values;
}

// "n<TAB>name<TAB>number" or "t<TAB>name<TAB>text"; %.9g gives a float back bit for bit.
std::vector<std::string> KeptValues::Lines() const
{
    std::vector<std::string> lines;
    for (const auto& [name, kept] : byName) {
        char number[32];
        std::snprintf(number, sizeof number, "%.9g", static_cast<double>(kept.value.number));
        lines.push_back((kept.isText ? "t\t" : "n\t") + name + "\t" + (kept.isText ? kept.value.text : number));
    }
    return lines;
}

KeptValues KeptValues::FromLines(const std::vector<std::string>& lines)
{
    KeptValues kept;
    for (const std::string& line : lines) {
        const size_t nameEnd = line.find('\t', 2);
        if (line.size() < 2 || line[1] != '\t' || nameEnd == std::string::npos)
            continue;
        Kept value;
        value.isText = line[0] == 't';
        const std::string text = line.substr(nameEnd + 1);
        if (value.isText)
            value.value.text = text;
        else
            value.value.number = std::strtof(text.c_str(), nullptr);
        kept.byName[line.substr(2, nameEnd - 2)] = value;
    }
    return kept;
}

}  // namespace play
