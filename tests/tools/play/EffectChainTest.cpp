// The live window's chain of effects without a window: the order effects run
// in, switching them off, and what a reload keeps, in the test matrix's
// context, with every version tried in a zao-host child as play does.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "GlTestContext.h"
#include "hostkit/HostGl.h"
#include "play/EffectChain.h"

namespace play {
namespace {

constexpr uint32_t kWidth = 64, kHeight = 48;

void IgnoreLogLine(const char*) {}

class EffectChainTest : public testsupport::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        input = hostkit::RenderTarget(kWidth, kHeight);
        hostkit::BeginFrame(input, 0.2f, 0.2f, 0.2f, 1);
    }
    void TearDown() override
    {
        chain.reset();
        input.Release();
        GlTest::TearDown();
    }

    EffectChain& Chain()
    {
        if (!chain)
            chain = std::make_unique<EffectChain>(kWidth, kHeight, IgnoreLogLine,
                                                  TrialSettings{ZAO_HOST_PATH, 0, 0, 20});
        return *chain;
    }
    // Waits for the trials and takes their verdicts, as the window's loop does.
    void Settle()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (Chain().Trying() && std::chrono::steady_clock::now() < deadline) {
            Chain().TakeTrials(input);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_FALSE(Chain().Trying());
    }
    // The parameter's number in the slot's running version.
    uint32_t Parameter(size_t slot, const std::string& name)
    {
        for (const hostsupport::ParameterDescription& parameter : Chain().Slot(slot).effect->plugin.parameters)
            if (parameter.name == name)
                return parameter.index;
        ADD_FAILURE() << "no parameter " << name;
        return 0;
    }
    float Value(size_t slot, const std::string& name)
    {
        return Chain().Slot(slot).values[Parameter(slot, name)].number;
    }

    hostkit::RenderTarget input;
    std::unique_ptr<EffectChain> chain;
};

TEST_F(EffectChainTest, EachEnabledEffectRunsOnTheOutputOfTheOneBefore)
{
    Chain().Add(ZAO_PLUGIN_PATH);
    Chain().Add(ZAO_PROBE_PLUGIN_PATH);
    Settle();
    ASSERT_TRUE(Chain().Slot(0).effect && Chain().Slot(1).effect)
        << Chain().Slot(0).versionProblem << Chain().Slot(1).versionProblem;
    const EffectSlot& first = Chain().Slot(0);
    const EffectSlot& second = Chain().Slot(1);
    float pluginMs = 0;
    EXPECT_EQ(&Chain().Run(input, 0, &pluginMs), &second.target);
    EXPECT_EQ(second.preparedInput, first.target.texture);

    Chain().Slot(0).enabled = false;
    EXPECT_EQ(&Chain().Run(input, 0.1, &pluginMs), &second.target);
    EXPECT_EQ(second.preparedInput, input.texture);

    Chain().Slot(1).enabled = false;
    EXPECT_EQ(&Chain().Run(input, 0.2, &pluginMs), &input);
    Chain().Slot(0).enabled = true;
    EXPECT_EQ(&Chain().Run(input, 0.3, &pluginMs), &first.target);
}

// The probe refuses Victim while Reject Pushes is on. Set in that order from
// the panel, the refusal shows at once; a reload sets kept values by number,
// Reject Pushes first, so Victim is refused there too and shown as dropped.
TEST_F(EffectChainTest, AReloadKeepsValuesByNameAndShowsTheOnesItsVersionRefuses)
{
    Chain().Add(ZAO_PROBE_PLUGIN_PATH);
    Settle();
    ASSERT_TRUE(Chain().Slot(0).effect) << Chain().Slot(0).versionProblem;
    Chain().SetValue(0, Parameter(0, "Victim"), {0.5f, {}});
    Chain().SetValue(0, Parameter(0, "Reject Pushes"), {1.0f, {}});
    EXPECT_EQ(Chain().Slot(0).valueProblem, "");
    Chain().SetValue(0, Parameter(0, "Victim"), {0.75f, {}});
    EXPECT_EQ(Chain().Slot(0).valueProblem, "\"Victim\" 0.75: the plug-in refuses it (code 8)");

    Chain().Reload(0);
    Settle();
    const EffectSlot& slot = Chain().Slot(0);
    EXPECT_EQ(slot.reloads, 1u);
    EXPECT_EQ(slot.versionProblem, "");
    EXPECT_EQ(Value(0, "Reject Pushes"), 1.0f);
    EXPECT_EQ(Value(0, "Victim"), 0.25f);  // its default
    ASSERT_EQ(slot.dropped.size(), 1u);
    EXPECT_EQ(slot.dropped[0].name, "Victim");
    EXPECT_EQ(slot.dropped[0].value, "0.75");
    EXPECT_EQ(slot.dropped[0].reason, "the plug-in refuses it (code 8)");
}

TEST_F(EffectChainTest, AFileThatIsNoPlugInLeavesItsSlotEmptyWithTheReasonAndTheRestRuns)
{
    Chain().Add(ZAO_NOT_A_PLUGIN_PATH);
    Chain().Add(ZAO_PLUGIN_PATH);
    Settle();
    EXPECT_EQ(Chain().Slot(0).effect, nullptr);
    EXPECT_EQ(Chain().Slot(0).versionProblem.rfind(kNotLoaded, 0), 0u) << Chain().Slot(0).versionProblem;
    float pluginMs = 0;
    EXPECT_EQ(&Chain().Run(input, 0, &pluginMs), &Chain().Slot(1).target);
}

}  // namespace
}  // namespace play
