// Loading, reloading and running the chain. A version that passed its trial
// is made complete here too (loaded, described, initialised, an instance with
// the kept values, one frame run) before the old one is let go, so a failure
// at any step leaves the old one exactly as it was.
#include "EffectChain.h"

#include <GL/glew.h>

#include <chrono>
#include <utility>

#include "hostkit/FfglCodes.h"
#include "hostkit/FrameRecords.h"
#include "hostsupport/HostError.h"
#include "hostsupport/PluginThumbnail.h"

namespace play {

namespace {

constexpr double kLookSeconds = 0.5;
constexpr char kRefused[] = "the plug-in refuses it (code 8)";

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// False when the plug-in answers failure.
bool SetParameter(const hostkit::EffectInstance& instance, const hostsupport::ParameterDescription& parameter,
                  const ParameterValue& value)
{
    const uint64_t answer = parameter.IsText() ? instance.SetText(parameter.index, value.text.c_str())
                                               : instance.SetFloat(parameter.index, value.number);
    return !hostkit::IsFailureCode(answer);
}

void SetSlotValue(EffectSlot& slot, uint32_t parameterIndex, const ParameterValue& value)
{
    const hostsupport::ParameterDescription& parameter = slot.effect->plugin.parameters[parameterIndex];
    slot.valueProblem.clear();
    slot.values[parameterIndex] = value;
    slot.kept.Remember(parameter, value);
    if (!SetParameter(slot.effect->instance, parameter, value))
        slot.valueProblem = "\"" + parameter.name + "\" " + ShownValue(parameter, value) + ": " + kRefused;
    if (parameter.type == ffgl::kParameterEvent && value.number != 0)
        slot.firedEvents.push_back(parameterIndex);
}

// What a failed version means to the slot: the last good one runs on, or none does.
std::string FailedVersion(const EffectSlot& slot, const std::string& reason)
{
    return (slot.effect ? "reload failed, the last good version runs on: " : std::string(kNotLoaded)) + reason;
}

}  // namespace

FileStamp StampOf(const std::string& path)
{
    FileStamp stamp;
    std::error_code error;
    stamp.time = std::filesystem::last_write_time(path, error);
    if (error)
        return {};
    stamp.size = std::filesystem::file_size(path, error);
    stamp.exists = !error;
    return stamp;
}

std::string EffectSlot::Title() const
{
    if (!effect)
        return std::filesystem::path(path).filename().string();
    const hostsupport::PluginDescription& plugin = effect->plugin;
    return plugin.name + " " + std::to_string(plugin.versionMajor) + "." + std::to_string(plugin.versionMinor);
}

LoadedEffect::~LoadedEffect()
{
    instance.Destroy();
    if (initialised)
        library->Call32(ffgl::kDeinitialise);
}

EffectChain::~EffectChain()
{
    for (auto& slot : slots) {
        slot->trial.reset();
        slot->effect.reset();
        slot->target.Release();
    }
}

std::unique_ptr<LoadedEffect> EffectChain::Load(const std::string& path, const KeptValues& kept,
                                                std::vector<ParameterValue>* values,
                                                std::vector<DroppedValue>* dropped) const
{
    auto effect = std::make_unique<LoadedEffect>();
    effect->library = hostsupport::LoadPlugin(path, true);
    effect->library->SetLogCallback(log);
    effect->plugin = hostsupport::Describe(*effect->library);
    if (hostsupport::InputTextureCount(effect->plugin) != 1)
        throw hostsupport::HostError("it is a " + hostsupport::PluginTypeName(effect->plugin.pluginType) +
                                     ", not an effect: play chains effects");
    if (hostkit::IsFailureCode(effect->library->Call(ffgl::kInitialiseV2)))
        throw hostsupport::HostError(effect->plugin.name + " fails to initialise (code 34)");
    effect->initialised = true;
    effect->instance = hostsupport::CreateInstance(*effect->library, width, height);

    *values = kept.StartValues(effect->plugin, dropped);
    for (const hostsupport::ParameterDescription& parameter : effect->plugin.parameters) {
        ParameterValue& value = (*values)[parameter.index];
        if (parameter.type == ffgl::kParameterEvent || SetParameter(effect->instance, parameter, value))
            continue;
        // The panel shows what the plug-in holds, not what it turned down.
        dropped->push_back({parameter.name, ShownValue(parameter, value), kRefused});
        value = DefaultValue(parameter);
    }

    try {
        const hostkit::Image picture = hostsupport::ReadThumbnail(*effect->library);
        // Rows top first, drawn by the panel top first too.
        effect->thumbnail = hostkit::Texture(picture.width, picture.height, picture.pixels.data());
        effect->thumbnailWidth = picture.width;
        effect->thumbnailHeight = picture.height;
    } catch (const hostsupport::HostError&) {
        // A plug-in without a thumbnail shows none.
    }
    return effect;
}

void EffectChain::Add(const std::string& path)
{
    auto slot = std::make_unique<EffectSlot>();
    slot->path = path;
    slot->target = hostkit::RenderTarget(width, height);
    StartTrial(*slot);
    slots.push_back(std::move(slot));
}

bool EffectChain::Trying() const
{
    for (const auto& slot : slots)
        if (slot->trial)
            return true;
    return false;
}

void EffectChain::ApplySetting(const std::string& assignment)
{
    bool applied = false, waiting = false;
    std::string firstError;
    for (auto& slot : slots) {
        if (!slot->effect) {
            waiting = true;
            continue;
        }
        try {
            const hostsupport::ParameterSetting setting = hostsupport::ResolveSetting(slot->effect->plugin, assignment);
            ParameterValue value;
            value.number = setting.value;
            value.text = setting.text;
            SetSlotValue(*slot, setting.index, value);
            if (!slot->valueProblem.empty())
                throw hostsupport::HostError(slot->valueProblem);
            applied = true;
        } catch (const hostsupport::HostError& error) {
            if (firstError.empty())
                firstError = error.what();
        }
    }
    if (!applied && waiting)
        waitingSettings.push_back(assignment);
    else if (!applied)
        throw hostsupport::HostError(firstError);
}

void EffectChain::ApplyWaitingSettings(EffectSlot& slot)
{
    for (const std::string& assignment : waitingSettings) {
        try {
            const hostsupport::ParameterSetting setting = hostsupport::ResolveSetting(slot.effect->plugin, assignment);
            ParameterValue value;
            value.number = setting.value;
            value.text = setting.text;
            SetSlotValue(slot, setting.index, value);
        } catch (const hostsupport::HostError&) {
            // Meant for another effect of the chain.
        }
    }
}

void EffectChain::SetValue(size_t index, uint32_t parameterIndex, const ParameterValue& value)
{
    SetSlotValue(*slots[index], parameterIndex, value);
}

void EffectChain::StartTrial(EffectSlot& slot)
{
    slot.triedStamp = slot.seenStamp = StampOf(slot.path);
    TrialSettings settings = trials;
    settings.width = width;
    settings.height = height;
    slot.trial = std::make_unique<VersionTrial>(slot.path, settings, slot.kept.Lines());
}

void EffectChain::Reload(size_t index)
{
    if (!slots[index]->trial)
        StartTrial(*slots[index]);
}

void EffectChain::ReloadChanged()
{
    const double now = Now();
    if (now - lastLook < kLookSeconds)
        return;
    lastLook = now;
    for (auto& slot : slots) {
        const FileStamp stamp = StampOf(slot->path);
        // A file still being written changes between two looks: wait until it rests.
        const bool resting = stamp == slot->seenStamp;
        slot->seenStamp = stamp;
        if (resting && stamp.exists && stamp != slot->triedStamp && !slot->trial)
            StartTrial(*slot);
    }
}

void EffectChain::TakeTrials(const hostkit::RenderTarget& input)
{
    for (auto& slot : slots) {
        if (!slot->trial || !slot->trial->Poll())
            continue;
        if (slot->trial->Passed())
            Adopt(*slot, slot->trial->CopyPath(), input);
        else
            slot->versionProblem = FailedVersion(*slot, slot->trial->Reason());
        slot->trial.reset();
    }
}

void EffectChain::Adopt(EffectSlot& slot, const std::string& copy, const hostkit::RenderTarget& input)
{
    std::vector<ParameterValue> values;
    std::vector<DroppedValue> dropped;
    std::unique_ptr<LoadedEffect> effect;
    try {
        effect = Load(copy, slot.kept, &values, &dropped);
        // A version that cannot run a frame here is no better than one that failed its trial.
        const hostkit::InputTexture frameInput = hostkit::InputTexture::Whole(input.texture, width, height);
        hostkit::BeginFrame(slot.target, 0, 0, 0, 1);
        if (hostkit::IsFailureCode(effect->instance.Frame(frameInput, slot.target.framebuffer)))
            throw hostsupport::HostError(effect->plugin.name + " fails its first frame (code 17)");
    } catch (const hostsupport::HostError& error) {
        effect.reset();
        slot.versionProblem = FailedVersion(slot, hostsupport::OneLine(error.what()));
        return;
    }
    const bool first = !slot.effect;
    slot.effect = std::move(effect);
    slot.values = std::move(values);
    slot.dropped = std::move(dropped);
    slot.firedEvents.clear();
    slot.preparedInput = 0;
    slot.versionProblem.clear();
    slot.valueProblem.clear();
    slot.frameFailed = false;
    if (first)
        ApplyWaitingSettings(slot);
    else
        ++slot.reloads;
}

const hostkit::RenderTarget& EffectChain::Run(const hostkit::RenderTarget& input, double seconds, float* pluginMs)
{
    const hostkit::RenderTarget* current = &input;
    float total = 0;
    for (auto& pointer : slots) {
        EffectSlot& slot = *pointer;
        if (!slot.enabled || !slot.effect)
            continue;
        hostkit::EffectInstance& instance = slot.effect->instance;
        if (slot.preparedInput != current->texture) {
            const hostkit::InputTexture frameInput = hostkit::InputTexture::Whole(current->texture, width, height);
            instance.PrepareFrame(&frameInput, 1, slot.target.framebuffer);
            slot.preparedInput = current->texture;
        }
        hostkit::BeginFrame(slot.target, 0, 0, 0, 1);
        instance.SetTime(seconds);
        double milliseconds = 0;
        const bool failed = hostkit::IsFailureCode(instance.ProcessFrameTimed(&milliseconds));
        slot.lastMs = static_cast<float>(milliseconds);
        total += slot.lastMs;
        for (uint32_t event : slot.firedEvents) {
            slot.values[event].number = 0;
            instance.SetFloat(event, 0.0f);
        }
        slot.firedEvents.clear();
        // A failed frame goes on without this effect.
        slot.frameFailed = failed;
        if (failed)
            continue;
        current = &slot.target;
    }
    *pluginMs = total;
    return *current;
}

}  // namespace play
