// Loading, reloading and running the chain. A new version is made complete
// (loaded, described, initialised, an instance with the kept values, one
// frame run) before the old one is let go, so a failure at any step leaves
// the old one exactly as it was.
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

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void SetParameter(const hostkit::EffectInstance& instance, const hostsupport::ParameterDescription& parameter,
                  const ParameterValue& value, std::string* problem)
{
    const uint64_t answer = parameter.IsText() ? instance.SetText(parameter.index, value.text.c_str())
                                               : instance.SetFloat(parameter.index, value.number);
    if (hostkit::IsFailureCode(answer))
        *problem = "the plug-in refuses this value for \"" + parameter.name + "\" (code 8)";
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

LoadedEffect::~LoadedEffect()
{
    instance.Destroy();
    if (initialised)
        library->Call32(ffgl::kDeinitialise);
}

EffectChain::~EffectChain()
{
    for (auto& slot : slots) {
        slot->effect.reset();
        slot->target.Release();
    }
}

std::unique_ptr<LoadedEffect> EffectChain::Load(const std::string& path, const KeptValues& kept,
                                                std::vector<ParameterValue>* values) const
{
    auto effect = std::make_unique<LoadedEffect>();
    effect->library = hostsupport::LoadPlugin(path, true);
    effect->library->SetLogCallback(log);
    effect->plugin = hostsupport::Describe(*effect->library);
    if (hostsupport::InputTextureCount(effect->plugin) != 1)
        throw hostsupport::HostError(path + " is a " + hostsupport::PluginTypeName(effect->plugin.pluginType) +
                                     ", not an effect: play chains effects");
    if (hostkit::IsFailureCode(effect->library->Call(ffgl::kInitialise)))
        throw hostsupport::HostError(effect->plugin.name + " fails to initialise (code 34)");
    effect->initialised = true;
    effect->instance = hostsupport::CreateInstance(*effect->library, width, height);

    *values = kept.StartValues(effect->plugin);
    std::string refused;
    for (const hostsupport::ParameterDescription& parameter : effect->plugin.parameters)
        if (parameter.type != ffgl::kParameterEvent)
            SetParameter(effect->instance, parameter, (*values)[parameter.index], &refused);

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
    slot->loadedStamp = slot->seenStamp = StampOf(path);
    slot->effect = Load(path, slot->kept, &slot->values);
    slot->target = hostkit::RenderTarget(width, height);
    slots.push_back(std::move(slot));
}

void EffectChain::ApplySetting(const std::string& assignment)
{
    bool applied = false;
    std::string firstError;
    for (size_t i = 0; i < slots.size(); ++i) {
        const hostsupport::PluginDescription& plugin = slots[i]->effect->plugin;
        try {
            const hostsupport::ParameterSetting setting = hostsupport::ResolveSetting(plugin, assignment);
            ParameterValue value;
            value.number = setting.value;
            value.text = setting.text;
            SetValue(i, setting.index, value);
            if (!slots[i]->problem.empty())
                throw hostsupport::HostError(slots[i]->problem);
            applied = true;
        } catch (const hostsupport::HostError& error) {
            if (firstError.empty())
                firstError = error.what();
        }
    }
    if (!applied)
        throw hostsupport::HostError(firstError);
}

void EffectChain::SetValue(size_t index, uint32_t parameterIndex, const ParameterValue& value)
{
    EffectSlot& slot = *slots[index];
    const hostsupport::ParameterDescription& parameter = slot.effect->plugin.parameters[parameterIndex];
    slot.problem.clear();
    slot.values[parameterIndex] = value;
    slot.kept.Remember(parameter, value);
    SetParameter(slot.effect->instance, parameter, value, &slot.problem);
    if (parameter.type == ffgl::kParameterEvent && value.number != 0)
        slot.firedEvents.push_back(parameterIndex);
}

bool EffectChain::Reload(size_t index, const hostkit::RenderTarget& input)
{
    EffectSlot& slot = *slots[index];
    const FileStamp stamp = StampOf(slot.path);
    slot.loadedStamp = slot.seenStamp = stamp;
    std::vector<ParameterValue> values;
    std::unique_ptr<LoadedEffect> effect;
    try {
        effect = Load(slot.path, slot.kept, &values);
        // A version that cannot run a frame is no better than one that cannot load.
        const hostkit::InputTexture frameInput = hostkit::InputTexture::Whole(input.texture, width, height);
        hostkit::BeginFrame(slot.target, 0, 0, 0, 1);
        if (hostkit::IsFailureCode(effect->instance.Frame(frameInput, slot.target.framebuffer)))
            throw hostsupport::HostError(effect->plugin.name + " fails its first frame (code 17)");
    } catch (const hostsupport::HostError& error) {
        effect.reset();
        slot.problem = "reload failed, the last good version runs on: " + hostsupport::OneLine(error.what());
        return false;
    }
    slot.effect = std::move(effect);
    slot.values = std::move(values);
    slot.firedEvents.clear();
    slot.preparedInput = 0;
    slot.problem.clear();
    slot.frameFailed = false;
    ++slot.reloads;
    return true;
}

void EffectChain::ReloadChanged(const hostkit::RenderTarget& input)
{
    const double now = Now();
    if (now - lastLook < kLookSeconds)
        return;
    lastLook = now;
    for (size_t i = 0; i < slots.size(); ++i) {
        EffectSlot& slot = *slots[i];
        const FileStamp stamp = StampOf(slot.path);
        // A file still being written changes between two looks: wait until it rests.
        const bool resting = stamp == slot.seenStamp;
        slot.seenStamp = stamp;
        if (resting && stamp.exists && stamp != slot.loadedStamp)
            Reload(i, input);
    }
}

const hostkit::RenderTarget& EffectChain::Run(const hostkit::RenderTarget& input, double seconds, float* pluginMs)
{
    const hostkit::RenderTarget* current = &input;
    float total = 0;
    for (auto& pointer : slots) {
        EffectSlot& slot = *pointer;
        if (!slot.enabled)
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
