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

// A kept value a new version did not take, for the panel: "Hue Shift",
// "0.25", "outside its new range 0 to 0.2".
struct DroppedValue {
    std::string name;
    std::string value;
    std::string reason;
};

// The value a parameter starts with when nothing is kept: its default.
ParameterValue DefaultValue(const hostsupport::ParameterDescription& parameter);
// A value as the panel shows it: the option's element name, the text, or the number.
std::string ShownValue(const hostsupport::ParameterDescription& parameter, const ParameterValue& value);

class KeptValues {
public:
    void Remember(const hostsupport::ParameterDescription& parameter, const ParameterValue& value);
    // One value per parameter of plugin, by its number: the kept one where the
    // name matches and the value still fits (same kind, inside the range, an
    // element of the options), else the default. Events always start at 0.
    // Kept values that no longer fit are added to *dropped with the reason.
    std::vector<ParameterValue> StartValues(const hostsupport::PluginDescription& plugin,
                                            std::vector<DroppedValue>* dropped = nullptr) const;

    // One line per kept value, for a trial in a child process, and back.
    std::vector<std::string> Lines() const;
    static KeptValues FromLines(const std::vector<std::string>& lines);

private:
    struct Kept {
        bool isText = false;
        ParameterValue value;
    };
    std::map<std::string, Kept> byName;
};

}  // namespace play
