// The child of a trial: every plug-in call announced before it is made and
// checked for failure answers and GL errors after it. A crash or hang needs
// no code here: the parent sees the signal or the silence after the last step.
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <memory>

#include "KeptValues.h"
#include "Play.h"
#include "PlayWindow.h"
#include "VersionTrial.h"
#include "hostkit/EffectInstance.h"
#include "hostkit/FfglCodes.h"
#include "hostkit/GlContext.h"
#include "hostkit/GlDiagnostics.h"
#include "hostkit/HostGl.h"
#include "hostsupport/FileDescriptorIo.h"
#include "hostsupport/HostError.h"
#include "hostsupport/Plugin.h"
#include "hostsupport/Scene.h"

namespace play {

namespace {

constexpr int kTrialFrames = 3;

void IgnoreLogLine(const char*) {}

class Reporter {
public:
    explicit Reporter(int fd) : fd(fd) {}
    void Line(const std::string& text)
    {
        const std::string line = hostsupport::OneLine(text) + "\n";
        hostsupport::WriteAll(fd, line.data(), line.size());
    }
    // Announces the call, makes it, and fails on a failure answer or a GL error it left.
    void Call(const std::string& step, const std::function<uint64_t()>& call, const std::string& refusal)
    {
        Line("step " + step);
        const uint64_t answer = call();
        if (!refusal.empty() && hostkit::IsFailureCode(answer))
            throw hostsupport::HostError(refusal);
        CheckGl(step);
    }
    void CheckGl(const std::string& step)
    {
        const std::vector<uint32_t> errors = hostkit::DrainGlErrors();
        if (!errors.empty())
            throw hostsupport::HostError("left " + hostkit::GlErrorList(errors) + " after " + step);
    }

private:
    int fd;
};

// The report goes where standard output was; the plug-in's own prints go to
// standard error, which the parent keeps for a crash's last words.
int TakeReportChannel()
{
    const int report = fcntl(1, F_DUPFD_CLOEXEC, 3);
    dup2(2, 1);
    return report;
}

// No core files in the user's folder from a crashing plug-in, and no child
// left hanging when the window is gone.
void ActAsChild()
{
    const rlimit none = {0, 0};
    setrlimit(RLIMIT_CORE, &none);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
}

void Try(Reporter& out, const PlayOptions& options)
{
    const std::string size = std::to_string(options.width) + "x" + std::to_string(options.height);
    out.Line("step loading the file");
    std::unique_ptr<hostkit::PluginLibrary> library = hostsupport::LoadPlugin(options.plugins.at(0));
    library->SetLogCallback(IgnoreLogLine);
    out.Line("step code 0 and the description");
    const hostsupport::PluginDescription plugin = hostsupport::Describe(*library);
    if (hostsupport::InputTextureCount(plugin) != 1)
        throw hostsupport::HostError("it is a " + hostsupport::PluginTypeName(plugin.pluginType) +
                                     ", not an effect: play chains effects");

    out.Line("step making an OpenGL 4.1 context for the trial");
    hostkit::GlContextRequest request;
    request.kind = WindowContextKind();
    std::string why;
    const std::unique_ptr<hostkit::GlContext> context = hostkit::GlContext::Create(request, &why);
    if (!context)
        throw hostsupport::HostError("no OpenGL 4.1 context for the trial: " + why);
    hostkit::DrainGlErrors();
    hostkit::RenderTarget target(options.width, options.height);
    hostkit::Image picture(options.width, options.height);
    hostsupport::GeneratedScene(options.seed).Render(0, 30, picture);
    hostkit::Texture input(options.width, options.height, picture.pixels.data());
    out.CheckGl("the host's own set-up");

    out.Call("code 34 (initialise)", [&] { return library->Call(ffgl::kInitialiseV2); },
             plugin.name + " refuses to initialise (code 34)");
    hostkit::EffectInstance instance;
    out.Call("code 18 (make an instance at " + size + ")",
             [&] {
                 instance = hostkit::EffectInstance(*library, options.width, options.height);
                 return instance.Valid() ? uint64_t{0} : hostkit::kFailureCode;
             },
             plugin.name + " refuses to make an instance (code 18) at " + size);
    const std::vector<ParameterValue> values = KeptValues::FromLines(options.kept).StartValues(plugin);
    for (const hostsupport::ParameterDescription& parameter : plugin.parameters)
        if (parameter.type != ffgl::kParameterEvent)
            // A refused value is the window's to show; here only a crash or GL error counts.
            out.Call("code 8 (\"" + parameter.name + "\" = " + ShownValue(parameter, values[parameter.index]) + ")",
                     [&] {
                         return parameter.IsText()
                                    ? instance.SetText(parameter.index, values[parameter.index].text.c_str())
                                    : instance.SetFloat(parameter.index, values[parameter.index].number);
                     },
                     "");
    const hostkit::InputTexture frameInput = hostkit::InputTexture::Whole(input.Name(), options.width, options.height);
    for (int frame = 1; frame <= kTrialFrames; ++frame) {
        const std::string which = " (frame " + std::to_string(frame) + " of " + std::to_string(kTrialFrames) + ")";
        out.Call("code 20" + which, [&] { return instance.SetTime(frame / 30.0); }, "");
        hostkit::BeginFrame(target, 0, 0, 0, 1);
        out.Call("code 17" + which, [&] { return instance.Frame(frameInput, target.framebuffer); },
                 plugin.name + " fails its frames (code 17 answers failure)");
    }
    out.Call("code 19 (destroy the instance)", [&] { return instance.Destroy(); }, "");
    out.Call("code 2 (deinitialise)", [&] { return library->Call(ffgl::kDeinitialise); }, "");
    out.Line("step unloading the library");
    library.reset();
}

}  // namespace

int RunVersionTrial(const PlayOptions& options)
{
    const int fd = TakeReportChannel();
    ActAsChild();
    Reporter out(fd);
    // The parent is gone already: nobody waits for the verdict.
    if (getppid() == 1)
        return 1;
    try {
        Try(out, options);
    } catch (const hostsupport::HostError& error) {
        out.Line(std::string("fail ") + error.what());
        return 1;
    } catch (const std::exception& error) {
        out.Line(std::string("fail unexpected failure: ") + error.what());
        return 1;
    }
    out.Line("pass");
    return 0;
}

}  // namespace play
