// GL errors and debug messages per plugMain call, and the function codes by
// the names the validator's reports use.
#include "CallWatch.h"

#include <utility>

#include "ContextStateTable.h"
#include "ValidationHarness.h"
#include "hostkit/FfglCodes.h"

namespace validator {

namespace {

// The calls in which an FFGL 2 plug-in draws, makes or releases GL objects;
// the others (parameters, time, descriptions) are too many to read the whole
// state around each.
bool MayTouchGl(uint32_t code)
{
    using namespace ffgl;
    switch (code) {
    case kProcessOpenGL:
    case kInstantiateGL:
    case kDeinstantiateGL:
    case kConnect:
    case kDisconnect:
    case kResize:
    case kInitialiseV2:
    case kDeinitialise:
        return true;
    default:
        return false;
    }
}

}  // namespace

std::string FunctionCodeName(uint32_t code)
{
    using namespace ffgl;
    static const std::pair<uint32_t, const char*> kNames[] = {
        {kGetInfo, "information record"}, {kDeinitialise, "deinitialise"}, {kGetNumParameters, "parameter count"},
        {kGetParameterName, "parameter name"}, {kGetParameterDefault, "parameter default"},
        {kGetParameterDisplay, "display text"}, {kSetParameter, "set parameter"}, {kGetParameter, "get parameter"},
        {kGetPluginCaps, "capability"}, {kGetExtendedInfo, "extended information record"},
        {kGetParameterType, "parameter type"}, {kGetInputStatus, "input status"}, {kProcessOpenGL, "process frame"},
        {kInstantiateGL, "create instance"}, {kDeinstantiateGL, "destroy instance"}, {kSetTime, "set time"},
        {kConnect, "connect"}, {kDisconnect, "disconnect"}, {kResize, "resize"},
        {kGetNumParameterElements, "element count"}, {kGetParameterUsage, "parameter usage"},
        {kGetPluginShortName, "short name"}, {kInitialiseV2, "initialise"},
        {kGetParameterElementName, "element name"}, {kGetParameterElementValue, "element value"},
        {kSetParameterElementValue, "set element value"}, {kSetBeatInfo, "beat info"}, {kSetHostInfo, "host info"},
        {kSetSampleRate, "sample rate"}, {kGetRange, "range"}, {kGetThumbnail, "thumbnail"},
        {kGetNumFileExtensions, "file extension count"}, {kGetFileExtension, "file extension"},
        {kGetParameterVisibility, "parameter visibility"}, {kGetParameterEvents, "parameter events"},
        {kGetNumElementSeparators, "separator count"}, {kGetElementSeparator, "element separator"},
        {kEnablePluginCap, "enable capability"}, {kGetParameterGroup, "parameter group"},
        {kGetParameterDisplayName, "parameter display name"}};
    for (const auto& [number, name] : kNames)
        if (number == code)
            return name;
    return {};
}

std::string FunctionCodeText(uint32_t code)
{
    const std::string name = FunctionCodeName(code);
    return "code " + std::to_string(code) + (name.empty() ? "" : " (" + name + ")");
}

CallWatch::CallWatch(const Reporter& reporter) : report(reporter) {}

CallWatch::~CallWatch() = default;

void CallWatch::Begin()
{
    contextState = StateTable(ContextStateRows());
    initial = contextState.Read();
    hostState = std::make_unique<HostObjectState>();
    debugOutput = messages.Install();
}

void CallWatch::BeforeCall(uint32_t code)
{
    stateWatched = fault.empty() && hostState != nullptr && MayTouchGl(code);
    if (stateWatched) {
        contextState.Read(before);
        hostBefore = hostState->Read(hostObjects);
    }
    hostkit::DrainGlErrors();
    messages.Take();
    messages.SetWatching(true);
}

std::string CallWatch::StateFault()
{
    contextState.Read(after);
    std::vector<std::string> changes = contextState.Changes(before, after, &initial, true);
    for (std::string& change : hostState->Changes(hostBefore, hostState->Read(hostObjects)))
        changes.push_back(std::move(change));
    return JoinedChanges(changes);
}

void CallWatch::AfterCall(uint32_t code)
{
    messages.SetWatching(false);
    const std::string errors = hostkit::GlErrorList(hostkit::DrainGlErrors());
    const std::vector<std::string> said = messages.Take();
    if (!fault.empty())
        return;
    // The debug message names the GL call, which the error alone does not.
    std::string what;
    if (!errors.empty())
        what = "left " + errors + (said.empty() ? "" : " (debug output: " + said[0] + ")");
    else if (!said.empty())
        what = "raised a GL debug message: " + said[0];
    else if (stateWatched)
        what = StateFault();
    if (!what.empty())
        fault = FunctionCodeText(code) + " " + what + " during: " + report.LastStep();
}

}  // namespace validator
