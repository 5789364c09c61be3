// The effects of the live window in order, each one's output texture the next
// one's input, as hosts chain effects. Each slot holds one plug-in file: its
// loaded version, the values shown in the panel, and whether it is on. A slot
// reloads its file on request or, watched, when the file changes; a version
// that fails to load or to run a first frame leaves the last good one running.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "KeptValues.h"
#include "hostkit/EffectInstance.h"
#include "hostkit/HostGl.h"
#include "hostkit/PluginLibrary.h"
#include "hostsupport/Plugin.h"

namespace play {

// What a file looked like on disk, to notice a rebuild.
struct FileStamp {
    bool exists = false;
    std::filesystem::file_time_type time{};
    uintmax_t size = 0;

    bool operator==(const FileStamp& other) const
    {
        return exists == other.exists && time == other.time && size == other.size;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};
FileStamp StampOf(const std::string& path);

// One version of a plug-in, loaded from a private copy of its file,
// initialised, with one instance at the chain's size. Destroyed in the
// order a host tears down: instance, deinitialise, unload.
struct LoadedEffect {
    LoadedEffect() = default;
    LoadedEffect(const LoadedEffect&) = delete;
    LoadedEffect& operator=(const LoadedEffect&) = delete;
    ~LoadedEffect();

    std::unique_ptr<hostkit::PluginLibrary> library;
    bool initialised = false;
    hostsupport::PluginDescription plugin;
    hostkit::EffectInstance instance;
    hostkit::Texture thumbnail;  // empty when the plug-in offers none
    uint32_t thumbnailWidth = 0, thumbnailHeight = 0;
};

struct EffectSlot {
    std::string path;
    std::unique_ptr<LoadedEffect> effect;
    std::vector<ParameterValue> values;  // by parameter number, as the panel shows them
    KeptValues kept;
    bool enabled = true;
    std::string problem;  // the last failed reload or refused value, for the panel
    bool frameFailed = false;  // the last frame answered failure and was skipped
    uint32_t reloads = 0;
    float lastMs = 0;
    hostkit::RenderTarget target;
    // Watching: the stamp loaded (or last tried) and the one seen at the last look.
    FileStamp loadedStamp, seenStamp;
    std::vector<uint32_t> firedEvents;  // event parameters set to 1, back to 0 after the next frame
    uint32_t preparedInput = 0;
};

class EffectChain {
public:
    // Every plug-in's log lines go to log.
    EffectChain(uint32_t width, uint32_t height, hostkit::PluginLibrary::LogFunction log)
        : width(width), height(height), log(log)
    {
    }
    ~EffectChain();

    // Loads one more effect at the end; throws HostError when the file is no
    // usable effect, since the window has nothing to show for it yet.
    void Add(const std::string& path);
    // "Name=Value" for every effect that has the parameter; throws HostError
    // when none has it or the value does not fit.
    void ApplySetting(const std::string& assignment);

    size_t Size() const { return slots.size(); }
    EffectSlot& Slot(size_t index) { return *slots[index]; }
    const EffectSlot& Slot(size_t index) const { return *slots[index]; }

    // Sets a parameter as the panel does; the failure shows as the slot's problem.
    void SetValue(size_t slot, uint32_t index, const ParameterValue& value);
    // Loads the slot's file anew; true when the new version runs.
    bool Reload(size_t slot, const hostkit::RenderTarget& input);
    // Looks at the watched files (at most every half second) and reloads those
    // that changed and have stayed unchanged since the previous look.
    void ReloadChanged(const hostkit::RenderTarget& input);

    // Runs each enabled effect on the output of the one before, at the given
    // time; the target holding the result (the input when none ran). The
    // plug-ins' frame calls together took *pluginMs (glFinish'ed).
    const hostkit::RenderTarget& Run(const hostkit::RenderTarget& input, double seconds, float* pluginMs);

private:
    // A new version of the file with the kept values (else the defaults) set
    // in *values; throws HostError.
    std::unique_ptr<LoadedEffect> Load(const std::string& path, const KeptValues& kept,
                                       std::vector<ParameterValue>* values) const;

    uint32_t width, height;
    hostkit::PluginLibrary::LogFunction log;
    std::vector<std::unique_ptr<EffectSlot>> slots;
    double lastLook = 0;
};

}  // namespace play
