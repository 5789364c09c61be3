// The validator's rule for every plugMain call in its child process: no GL
// error left behind and, in a debug context, no error or undefined-behaviour
// message while the plug-in runs. The first fault is kept with its step.
#pragma once

#include <cstdint>
#include <string>

#include "hostkit/GlDiagnostics.h"
#include "hostkit/PluginLibrary.h"

namespace validator {

class Reporter;

// "process frame" for code 17; empty for a code without a name.
std::string FunctionCodeName(uint32_t code);
// "code 17 (process frame)", or "code 99".
std::string FunctionCodeText(uint32_t code);

class CallWatch final : public hostkit::CallObserver {
public:
    explicit CallWatch(const Reporter& report) : report(report) {}
    // Installs the debug callback where the current context gives debug output.
    void Begin() { debugOutput = messages.Install(); }
    bool DebugOutput() const { return debugOutput; }

    // The host's own errors are cleared first, so that only the plug-in's count.
    void BeforeCall(uint32_t code) override;
    void AfterCall(uint32_t code) override;

    // The first call that left a GL error or raised a debug message; empty when none.
    const std::string& Fault() const { return fault; }

private:
    const Reporter& report;
    hostkit::GlDebugMessages messages;
    bool debugOutput = false;
    std::string fault;
};

}  // namespace validator
