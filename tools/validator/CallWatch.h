// The validator's rule for every plugMain call in its child process: no GL
// error left behind and, in a debug context, no error or undefined-behaviour
// message while the plug-in runs; and for the calls in which a plug-in draws
// or makes GL objects, the host's context state and objects as the host
// handed them over. The first fault is kept with its step.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "GlStateTable.h"
#include "HostObjectState.h"
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
    explicit CallWatch(const Reporter& report);
    ~CallWatch();
    // Reads the current context's initial state (the default state FFGL 2
    // hosts hand over, and the neutral one a plug-in may always leave), then
    // installs the debug callback where the context gives debug output.
    void Begin();
    bool DebugOutput() const { return debugOutput; }
    // The host's objects in the calls to come ({}: none), which must come back unchanged.
    void WatchHostObjects(const HostObjects& objects) { hostObjects = objects; }

    // The host's own errors are cleared first, so that only the plug-in's count.
    void BeforeCall(uint32_t code) override;
    void AfterCall(uint32_t code) override;

    // The first call that left a GL error or raised a debug message; empty when none.
    const std::string& Fault() const { return fault; }

private:
    // What a state check of the call found, as one phrase list; empty when nothing.
    std::string StateFault();

    const Reporter& report;
    hostkit::GlDebugMessages messages;
    bool debugOutput = false;
    std::string fault;
    StateTable contextState;
    StateValues initial, before, after;
    std::unique_ptr<HostObjectState> hostState;
    HostObjects hostObjects;
    HostObjectState::Reading hostBefore;
    bool stateWatched = false;
};

}  // namespace validator
