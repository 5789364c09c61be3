// Fixtures that give a test a freshly loaded plug-in (a private copy, so the
// library-wide state starts new) and, for frame tests, a current GL context.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "hostkit/ByteRecord.h"
#include "hostkit/FfglCodes.h"
#include "hostkit/GlContext.h"
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
    void SetUp() override { Load(ZAO_PLUGIN_PATH); }

    void Load(const char* path)
    {
        std::string error;
        library = hostkit::PluginLibrary::Load(path, true, &error);
        ASSERT_TRUE(library) << error;
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
    void* CreateInstance(uint32_t width = 64, uint32_t height = 48) const
    {
        const auto viewport = hostkit::MakeViewport(0, 0, width, height);
        const uint64_t handle = library->CallPointer(ffgl::kCreateInstance, viewport.Data());
        if (static_cast<uint32_t>(handle) == hostkit::kFailureCode && (handle >> 32) == 0)
            return nullptr;
        return reinterpret_cast<void*>(handle);
    }

    std::unique_ptr<hostkit::PluginLibrary> library;
};

// A GLX core-profile 4.1 context, current for the whole test.
class GlPluginTest : public PluginTest {
protected:
    void SetUp() override
    {
        std::string error;
        context = hostkit::GlContext::Create(hostkit::GlApi::Glx, 4, 1, &error);
        ASSERT_TRUE(context) << error;
        PluginTest::SetUp();
    }
    void TearDown() override
    {
        library.reset();
        context.reset();
    }

    std::unique_ptr<hostkit::GlContext> context;
};

}  // namespace testsupport
