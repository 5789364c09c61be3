// Fixtures that give a test a freshly loaded plug-in (a private copy, so the
// library-wide state starts new) and, for frame tests, a current GL context.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GlCallChecks.h"
#include "hostkit/ByteRecord.h"
#include "hostkit/EffectInstance.h"
#include "hostkit/FfglCodes.h"
#include "hostkit/GlContext.h"
#include "hostkit/HostGl.h"
#include "hostkit/PluginLibrary.h"

namespace testsupport {

// Every line the plug-in sent to the log callback since the last Reset.
class LogCapture {
public:
    static void Reset() { Lines().clear(); }
    static std::vector<std::string>& Lines()
    {
        static std::vector<std::string> lines;
        return lines;
    }
    static void Callback(const char* text) { Lines().emplace_back(text ? text : "<null>"); }
};

class PluginTest : public ::testing::Test {
protected:
    explicit PluginTest(const char* path = ZAO_PLUGIN_PATH) : pluginPath(path) {}
    void SetUp() override { Load(pluginPath); }

    void Load(const char* path)
    {
        std::string error;
        library = hostkit::PluginLibrary::Load(path, true, &error);
        ASSERT_TRUE(library) << error;
        library->Observe(callObserver);
        LogCapture::Reset();
    }

    uint32_t Call32(uint32_t code, uint64_t input = 0, void* instance = nullptr) const
    {
        return library->Call32(code, input, instance);
    }
    uint32_t CallRecord(uint32_t code, const void* record, void* instance = nullptr) const
    {
        return static_cast<uint32_t>(library->CallPointer(code, record, instance));
    }
    const char* CallText(uint32_t code, uint64_t input = 0, void* instance = nullptr) const
    {
        return reinterpret_cast<const char*>(library->Call(code, input, instance));
    }
    // A bare handle, for tests of the lifecycle codes themselves; null when refused.
    void* CreateInstance(uint32_t width = 64, uint32_t height = 48) const
    {
        return MakeInstance(width, height).TakeHandle();
    }
    // An instance destroyed with its scope.
    hostkit::EffectInstance MakeInstance(uint32_t width = 64, uint32_t height = 48) const
    {
        return hostkit::EffectInstance(*library, width, height);
    }
    uint32_t SetFloat(void* instance, uint32_t number, float value) const
    {
        return static_cast<uint32_t>(hostkit::SetParameter(*library, instance, number, value));
    }

    const char* pluginPath;
    std::unique_ptr<hostkit::PluginLibrary> library;
    // Told of every call of every library this test loads.
    hostkit::CallObserver* callObserver = nullptr;
};

// A 4.1 context of the kind the test matrix asks for (GLX core by default),
// current for the whole test; every plugMain call is checked for GL errors
// and debug messages.
class GlPluginTest : public PluginTest {
protected:
    using PluginTest::PluginTest;
    void SetUp() override
    {
        std::string error;
        context = MatrixContext(&error);
        ASSERT_TRUE(context) << error;
        glCalls.Begin();
        callObserver = &glCalls;
        PluginTest::SetUp();
    }
    void TearDown() override
    {
        library.reset();
        glCalls.End();
        context.reset();
    }

    std::unique_ptr<hostkit::GlContext> context;
    GlCallChecks glCalls;
};

// A GL test with one instance, made after loading and destroyed (code 19
// answering 0) before the library goes.
class InstanceTest : public GlPluginTest {
protected:
    using GlPluginTest::GlPluginTest;
    void SetUp() override
    {
        GlPluginTest::SetUp();
        if (HasFatalFailure())
            return;
        instance = CreateInstance();
        ASSERT_NE(instance, nullptr);
    }
    void TearDown() override
    {
        if (instance) {
            EXPECT_EQ(Call32(ffgl::kDeinstantiateGL, 0, instance), 0u);
        }
        GlPluginTest::TearDown();
    }
    uint32_t SetFloat(uint32_t number, float value) { return PluginTest::SetFloat(instance, number, value); }

    void* instance = nullptr;
};

// A host's output framebuffer, following the frame's size, around one frame
// of an instance on a whole input texture.
class HostFrame {
public:
    // Clears the output and builds the frame records; code 17 is then the caller's.
    void Prepare(hostkit::EffectInstance& instance, uint32_t texture, uint32_t width, uint32_t height,
                 float clearAlpha = 0)
    {
        if (output.width != width || output.height != height) {
            output.Release();  // first, so that the new target may take its names
            output = hostkit::RenderTarget(width, height);
        }
        hostkit::BeginFrame(output, 0, 0, 0, clearAlpha);
        const auto input = hostkit::InputTexture::Whole(texture, width, height);
        instance.PrepareFrame(&input, 1, output.framebuffer);
    }
    uint32_t Run(hostkit::EffectInstance& instance, uint32_t texture, uint32_t width, uint32_t height,
                 float clearAlpha = 0)
    {
        Prepare(instance, texture, width, height, clearAlpha);
        return static_cast<uint32_t>(instance.ProcessFrame());
    }
    std::vector<uint8_t> Pixels() const { return hostkit::ReadPixels(output); }

    hostkit::RenderTarget output;
};

}  // namespace testsupport
