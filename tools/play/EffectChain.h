// The effects of the live window in order, each one's output texture the next
// one's input, as hosts chain effects. Each slot holds one plug-in file: its
// loaded version, the values shown in the panel, and whether it is on. A slot
// reloads its file on request or, watched, when the file changes. Every
// version, the first included, is tried in a child process first
// (VersionTrial); one that fails there, or then in the window, leaves the
// last good one running, or the slot empty with the reason.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "KeptValues.h"
#include "VersionTrial.h"
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

// How a slot's versionProblem starts while no version of it runs.
inline constexpr char kNotLoaded[] = "not loaded: ";

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
    std::unique_ptr<LoadedEffect> effect;  // null until a version has passed its trial and loaded
    std::vector<ParameterValue> values;    // by parameter number, as the panel shows them
    KeptValues kept;
    bool enabled = true;
    std::string versionProblem;  // why the newest version is not the one running
    std::string valueProblem;    // the last value the plug-in refused from the panel
    std::vector<DroppedValue> dropped;  // kept values the running version did not take
    std::unique_ptr<VersionTrial> trial;  // a version being tried, or null
    bool frameFailed = false;  // the last frame answered failure and was skipped
    uint32_t reloads = 0;      // versions swapped in after the first
    float lastMs = 0;
    hostkit::RenderTarget target;
    // Watching: the stamp tried last and the one seen at the last look.
    FileStamp triedStamp, seenStamp;
    std::vector<uint32_t> firedEvents;  // event parameters set to 1, back to 0 after the next frame
    uint32_t preparedInput = 0;

    // The name the panel and the summary give it.
    std::string Title() const;
};

class EffectChain {
public:
    // Every plug-in's log lines go to log.
    EffectChain(uint32_t width, uint32_t height, hostkit::PluginLibrary::LogFunction log, TrialSettings trials)
        : width(width), height(height), log(log), trials(std::move(trials))
    {
    }
    ~EffectChain();

    // One more slot at the end, its first version on trial.
    void Add(const std::string& path);
    // "Name=Value" for every loaded effect that has the parameter; throws
    // HostError when none has it or the value does not fit, unless a slot
    // is still empty: then it waits for that slot's first version.
    void ApplySetting(const std::string& assignment);

    size_t Size() const { return slots.size(); }
    EffectSlot& Slot(size_t index) { return *slots[index]; }
    const EffectSlot& Slot(size_t index) const { return *slots[index]; }
    // Whether a version is on trial in any slot.
    bool Trying() const;

    // Sets a parameter as the panel does; the failure shows as the slot's valueProblem.
    void SetValue(size_t slot, uint32_t index, const ParameterValue& value);
    // Starts trying the slot's file anew, unless a trial runs already.
    void Reload(size_t slot);
    // Looks at the watched files (at most every half second) and tries those
    // that changed and have stayed unchanged since the previous look.
    void ReloadChanged();
    // Takes the verdicts of finished trials: a version that passed is loaded,
    // runs a first frame on input and replaces the slot's running one.
    void TakeTrials(const hostkit::RenderTarget& input);

    // Runs each enabled, loaded effect on the output of the one before, at
    // the given time; the target holding the result (the input when none
    // ran). The plug-ins' frame calls together took *pluginMs (glFinish'ed).
    const hostkit::RenderTarget& Run(const hostkit::RenderTarget& input, double seconds, float* pluginMs);

private:
    void StartTrial(EffectSlot& slot);
    // The tried copy made a running version of the slot, or the reason why not.
    void Adopt(EffectSlot& slot, const std::string& copy, const hostkit::RenderTarget& input);
    // A new version of the file with the kept values (else the defaults) set
    // in *values, and what it did not take in *dropped; throws HostError.
    std::unique_ptr<LoadedEffect> Load(const std::string& path, const KeptValues& kept,
                                       std::vector<ParameterValue>* values, std::vector<DroppedValue>* dropped) const;
    // Settings given before the slot's first version loaded, now resolved against it.
    void ApplyWaitingSettings(EffectSlot& slot);

    uint32_t width, height;
    hostkit::PluginLibrary::LogFunction log;
    TrialSettings trials;
    std::vector<std::unique_ptr<EffectSlot>> slots;
    std::vector<std::string> waitingSettings;
    double lastLook = 0;
};

}  // namespace play
