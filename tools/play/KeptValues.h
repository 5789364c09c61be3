// The values a user gave a plug-in's parameters, kept by name, so that a
// reloaded plug-in starts where the user left it, even when its new version
// moved, dropped for a while or retyped some of them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "hostsupport/Plugin.h"

namespace play {

struct ParameterValue {
    float number = 0;
    std::string text;  // text and file parameters

    bool operator==(const ParameterValue& other) const { return number == other.number && text == other.text; }
};

// The value a parameter starts with when nothing is kept: its default.
ParameterValue DefaultValue(const hostsupport::ParameterDescription& parameter);

class KeptValues {
public:
    void Remember(const hostsupport::ParameterDescription& parameter, const ParameterValue& value);
    // One value per parameter of plugin, by its number: the kept one where the
    // name matches and the value still fits (same kind, inside the range, an
    // element of the options), else the default. Events always start at 0.
    std::vector<ParameterValue> StartValues(const hostsupport::PluginDescription& plugin) const;

private:
    struct Kept {
        bool isText = false;
        ParameterValue value;
    };
    std::map<std::string, Kept> byName;
};

}  // namespace play
