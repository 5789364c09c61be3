// GL errors and debug messages per plugMain call, and the function codes by
// the names the validator's reports use.
#include "CallWatch.h"

#include <utility>

#include "ValidationHarness.h"
#include "hostkit/FfglCodes.h"

namespace validator {

std::string FunctionCodeName(uint32_t code)
{
    using namespace ffgl;
    static const std::pair<uint32_t, const char*> kNames[] = {
        {kGetInfo, "information record"}, {kDeinitialise, "deinitialise"}, {kGetParameterCount, "parameter count"},
        {kGetParameterName, "parameter name"}, {kGetParameterDefault, "parameter default"},
        {kGetParameterDisplay, "display text"}, {kSetParameter, "set parameter"}, {kGetParameter, "get parameter"},
        {kGetCapability, "capability"}, {kGetExtendedInfo, "extended information record"},
        {kGetParameterType, "parameter type"}, {kGetInputStatus, "input status"}, {kProcessFrame, "process frame"},
        {kCreateInstance, "create instance"}, {kDestroyInstance, "destroy instance"}, {kSetTime, "set time"},
        {kConnect, "connect"}, {kDisconnect, "disconnect"}, {kResize, "resize"}, {kGetElementCount, "element count"},
        {kGetParameterUsage, "parameter usage"}, {kGetShortName, "short name"}, {kInitialise, "initialise"},
        {kGetElementName, "element name"}, {kGetElementValue, "element value"},
        {kSetElementValue, "set element value"}, {kSetBeatInfo, "beat info"}, {kSetHostInfo, "host info"},
        {kSetSampleRate, "sample rate"}, {kGetRange, "range"}, {kGetThumbnail, "thumbnail"},
        {kGetFileExtensionCount, "file extension count"}, {kGetFileExtension, "file extension"},
        {kGetParameterVisibility, "parameter visibility"}, {kGetParameterEvents, "parameter events"},
        {kGetSeparatorCount, "separator count"}, {kGetElementSeparator, "element separator"},
        {kEnableCapability, "enable capability"}, {kGetParameterGroup, "parameter group"},
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

void CallWatch::BeforeCall(uint32_t)
{
    hostkit::DrainGlErrors();
    messages.Take();
    messages.SetWatching(true);
}

void CallWatch::AfterCall(uint32_t code)
{
    messages.SetWatching(false);
    const std::string errors = hostkit::GlErrorList(hostkit::DrainGlErrors());
    const std::vector<std::string> said = messages.Take();
    if (!fault.empty() || (errors.empty() && said.empty()))
        return;
    // The debug message names the GL call, which the error alone does not.
    if (!errors.empty())
        fault = FunctionCodeText(code) + " left " + errors + (said.empty() ? "" : " (debug output: " + said[0] + ")");
    else
        fault = FunctionCodeText(code) + " raised a GL debug message: " + said[0];
    fault += " during: " + report.LastStep();
}

}  // namespace validator
