// A kept value is used only where it means the same to the new parameter.
#include "KeptValues.h"

#include "hostkit/FfglCodes.h"

namespace play {

namespace {

bool Fits(const hostsupport::ParameterDescription& parameter, float number)
{
    if (parameter.type == ffgl::kParameterOption) {
        for (const hostsupport::OptionElement& element : parameter.elements)
            if (element.value == number)
                return true;
        return false;
    }
    return number >= parameter.minimum && number <= parameter.maximum;
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

void KeptValues::Remember(const hostsupport::ParameterDescription& parameter, const ParameterValue& value)
{
    if (parameter.type == ffgl::kParameterEvent)
        return;
    byName[parameter.name] = Kept{parameter.IsText(), value};
}

std::vector<ParameterValue> KeptValues::StartValues(const hostsupport::PluginDescription& plugin) const
{
    std::vector<ParameterValue> values;
    values.reserve(plugin.parameters.size());
    for (const hostsupport::ParameterDescription& parameter : plugin.parameters) {
        values.push_back(DefaultValue(parameter));
        const auto kept = byName.find(parameter.name);
        if (kept == byName.end() || parameter.type == ffgl::kParameterEvent ||
            kept->second.isText != parameter.IsText())
            continue;
        if (parameter.IsText() || Fits(parameter, kept->second.value.number))
            values.back() = kept->second.value;
    }
    return values;
}

}  // namespace play
