// Holds every plug-in call of a test to the host's rule: no GL error left
// behind, and in a debug context no error or undefined-behaviour message
// while the plug-in runs. Errors the test itself made as a host are cleared
// before each call and not blamed on the plug-in.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include <memory>

#include "hostkit/GlContext.h"
#include "hostkit/GlDiagnostics.h"
#include "hostkit/PluginLibrary.h"

namespace testsupport {

class GlCallChecks final : public hostkit::CallObserver {
public:
    // Installs the debug callback where the current context has debug output.
    void Begin() { debugOutput = messages.Install(); }
    void End() { messages.Uninstall(); }
    bool DebugOutput() const { return debugOutput; }

    void BeforeCall(uint32_t) override
    {
        hostkit::DrainGlErrors();
        messages.Take();
        messages.SetWatching(true);
    }
    void AfterCall(uint32_t code) override
    {
        messages.SetWatching(false);
        const std::string errors = hostkit::GlErrorList(hostkit::DrainGlErrors());
        EXPECT_EQ(errors, "") << "plugMain code " << code << " left GL errors";
        for (const std::string& message : messages.Take())
            ADD_FAILURE() << "plugMain code " << code << " raised a GL debug message: " << message;
    }

    // For in-process tests that call the effect directly: the same checks
    // around any stretch of calls.
    void Watch() { BeforeCall(0); }
    void Check(const char* what)
    {
        messages.SetWatching(false);
        const std::string errors = hostkit::GlErrorList(hostkit::DrainGlErrors());
        EXPECT_EQ(errors, "") << what << " left GL errors";
        for (const std::string& message : messages.Take())
            ADD_FAILURE() << what << " raised a GL debug message: " << message;
    }

private:
    hostkit::GlDebugMessages messages;
    bool debugOutput = false;
};

// The context the test matrix asks for (ZAO_GL_CONTEXT), or a failure.
inline std::unique_ptr<hostkit::GlContext> MatrixContext(std::string* error)
{
    hostkit::GlContextRequest request;
    if (!hostkit::ContextRequestFromEnvironment(&request, error))
        return nullptr;
    return hostkit::GlContext::Create(request, error);
}

}  // namespace testsupport
