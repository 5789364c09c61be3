// The validator's lifecycle tests: create/destroy cycles with and without
// frames, and many instances alive at once.
#include "Checks.h"

#include <vector>

#include "hostkit/FfglCodes.h"

namespace validator {

namespace {

// Distinct settings per instance, so that state shared between instances shows.
void ApplyInstanceSettings(Session& session, const hostkit::EffectInstance& instance, uint32_t which)
{
    for (const hostsupport::ParameterDescription& parameter : session.plugin.parameters) {
        if (parameter.IsText())
            continue;
        float value;
        if (parameter.type == ffgl::kParameterOption && !parameter.elements.empty())
            value = parameter.elements[(which + parameter.index) % parameter.elements.size()].value;
        else if (parameter.type == ffgl::kParameterBoolean)
            value = ((which >> (parameter.index % 5)) & 1) ? 1.0f : 0.0f;
        else
            value = parameter.minimum +
                    static_cast<float>((which * 7 + parameter.index * 3) % 32) / 31.0f *
                        (parameter.maximum - parameter.minimum);
        session.report.Step("code 8 on parameter " + std::to_string(parameter.index) + " of instance " +
                            std::to_string(which));
        const uint64_t answer = instance.SetFloat(parameter.index, value);
        Require(IsSuccessOrFailure(answer), "code 8 answered " + Hex(answer));
    }
}

}  // namespace

std::string CreateDestroy(Session& session)
{
    for (uint32_t cycle = 0; cycle < session.cycles; ++cycle) {
        session.report.Step("cycle " + std::to_string(cycle + 1) + " of " + std::to_string(session.cycles));
        hostkit::EffectInstance instance = session.Create(64, 64);
        session.Destroy(instance);
    }
    return std::to_string(session.cycles) + " cycles";
}

void CyclesWithFrames(Session& session, uint32_t cycles)
{
    FrameRig rig(TestImage(64, 64, 5));
    for (uint32_t cycle = 0; cycle < cycles; ++cycle) {
        const std::string step = "cycle " + std::to_string(cycle + 1) + " of " + std::to_string(cycles);
        session.report.Step(step + ": code 18");
        hostkit::EffectInstance instance = session.Create(64, 64);
        session.report.Step(step + ": a 64x64 frame");
        rig.ProcessOrFail(session, instance, "a 64x64 frame in " + step);
        if (cycle % 100 == 0)
            Require(rig.OutputProduced(), "the 64x64 frame in " + step + " left the output untouched");
        session.report.Step(step + ": code 19");
        session.Destroy(instance);
    }
}

std::string CreateDestroyFrames(Session& session)
{
    CyclesWithFrames(session, session.cycles);
    return std::to_string(session.cycles) + " cycles with a 64x64 frame each";
}

std::string ManyInstances(Session& session)
{
    constexpr uint32_t kInstances = 32;
    FrameRig rig(TestImage(96, 96, 23));
    std::vector<hostkit::EffectInstance> instances;
    for (uint32_t i = 0; i < kInstances; ++i) {
        session.report.Step("code 18 for instance " + std::to_string(i) + " of " + std::to_string(kInstances));
        instances.push_back(session.Create(96, 96));
        ApplyInstanceSettings(session, instances.back(), i);
        instances.back().SetTime(0.0);
    }
    std::vector<std::vector<uint8_t>> firstOutputs(kInstances);
    for (int round = 1; round <= 3; ++round) {
        for (uint32_t i = 0; i < kInstances; ++i) {
            const std::string what = "frame " + std::to_string(round) + " of instance " + std::to_string(i) +
                                     " with " + std::to_string(kInstances) + " alive";
            session.report.Step(what);
            rig.ProcessOrFail(session, instances[i], what);
            if (round == 1)
                firstOutputs[i] = rig.Output();
        }
    }
    // Out of creation order, as hosts close effects.
    for (uint32_t step = 0; step < kInstances; ++step) {
        const uint32_t i = (step * 13) % kInstances;
        session.report.Step("code 19 for instance " + std::to_string(i));
        session.Destroy(instances[i]);
    }
    // Alone again, each must give what it gave among the others.
    for (const uint32_t i : {0u, 13u, kInstances - 1}) {
        session.report.Step("code 18 for instance " + std::to_string(i) + "'s settings alone");
        hostkit::EffectInstance alone = session.Create(96, 96);
        ApplyInstanceSettings(session, alone, i);
        alone.SetTime(0.0);
        session.report.Step("a frame with instance " + std::to_string(i) + "'s settings alone");
        rig.ProcessOrFail(session, alone, "a frame with instance " + std::to_string(i) + "'s settings alone");
        const std::string difference = FirstDifference(firstOutputs[i], rig.Output(), rig.Width());
        Require(difference.empty(), "instance " + std::to_string(i) + " drew differently among " +
                                        std::to_string(kInstances) + " instances than alone: " + difference);
        session.Destroy(alone);
    }
    return std::to_string(kInstances) + " instances, 3 frames each";
}

}  // namespace validator
