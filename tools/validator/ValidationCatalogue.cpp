// The catalogue of the validator's tests, and the child process's side of
// running one: its own GL context, the plug-in loaded, the test, the verdict.
#include "Validation.h"

#include "Checks.h"
#include "CrashNote.h"
#include "hostkit/FfglCodes.h"
#include "hostsupport/HostError.h"
#include "hostsupport/VirtualDisplay.h"

namespace validator {

namespace {

struct ValidationTest {
    const char* name;
    const char* summary;
    std::string (*run)(Session&);
};

const ValidationTest kTests[] = {
    {"info-records", "information records and parameter tables are self-consistent", InfoRecords},
    {"function-codes", "codes 0 to 100 with small inputs, without and with an instance", FunctionCodes},
    {"create-destroy", "1000 create/destroy cycles (100 outside the core context)", CreateDestroy},
    {"create-destroy-frames", "1000 create/destroy cycles with a frame each (100 outside the core context)",
     CreateDestroyFrames},
    {"gl-resources", "no GL program, shader, buffer, vertex array, framebuffer, texture, renderbuffer or sampler left",
     GlResources},
    {"parameter-storm", "random, NaN, infinite and huge parameter values between frames", ParameterStorm},
    {"frame-sizes", "frames from 1x1 to 3840x2160, odd sizes, images in larger textures", FrameSizes},
    {"zero-size-texture", "textures of width or height 0 and frame records without textures", ZeroSizeTexture},
    {"resize", "frames of changing size, with code 23 between them and without", Resize},
    {"many-instances", "32 instances alive at once, each processing frames", ManyInstances},
    {"gl-state", "careless host bindings and samplers do not change the output, other host state comes back",
     GlState},
    {"input-handles", "input handles that name no 2D texture are neither bound nor an error", InputHandles},
    {"viewport-indices", "viewport and scissor state of index 1 is as the host set it after frames",
     ViewportIndices},
    {"declared-size",
     "a 64x48 texture declared as 12000x12000 or beyond GL_MAX_TEXTURE_SIZE costs no memory or time of that size",
     DeclaredSize},
    {"growth", "300 small frames on one instance: no GL objects or resident memory that grow steadily", Growth},
};

void IgnoreLogLine(const char*) {}

// The child's context; GLX on the parent's display, or an Xvfb of its own
// when run by hand without one. Members go in reverse: the context first.
struct ChildContext {
    hostsupport::VirtualDisplay display;
    std::unique_ptr<hostkit::GlContext> context;
};

ChildContext OpenContext(const hostkit::GlContextRequest& request)
{
    ChildContext opened;
    if (request.api == hostkit::GlApi::Glx)
        opened.display = hostsupport::VirtualDisplay::EnsureDisplay();
    std::string reason;
    opened.context = hostkit::GlContext::Create(request, &reason);
    if (!opened.context)
        throw hostsupport::HostError("no " + hostkit::RequestDescription(request) + " context: " + reason);
    return opened;
}

}  // namespace

std::vector<ValidationTestInfo> ValidationTests()
{
    std::vector<ValidationTestInfo> tests;
    for (const ValidationTest& test : kTests)
        tests.push_back({test.name, test.summary});
    return tests;
}

int ProbeValidationContext(const hostkit::GlContextRequest& context, int reportFd)
{
    const Reporter report(reportFd);
    try {
        report.Step("opening the GL context");
        const ChildContext opened = OpenContext(context);
        report.Pass(hostkit::CurrentRendererDescription());
        return 0;
    } catch (const hostsupport::HostError& error) {
        report.Fail(error.what());
    }
    return 1;
}

int RunOneValidationTest(const std::string& pluginPath, const std::string& name,
                         const hostkit::GlContextRequest& context, int reportFd)
{
    const Reporter report(reportFd);
    const ValidationTest* test = nullptr;
    for (const ValidationTest& candidate : kTests)
        if (name == candidate.name)
            test = &candidate;
    if (test == nullptr) {
        report.Fail("no test named \"" + name + "\"");
        return 2;
    }
    try {
        report.Step("opening the GL context");
        const ChildContext gl = OpenContext(context);
        InstallCrashNote(reportFd);
        report.Step("loading the plug-in");
        std::string reason;
        auto library = hostkit::PluginLibrary::Load(pluginPath, false, &reason);
        if (!library)
            throw TestFailure("the plug-in cannot be loaded: " + reason);
        library->SetLogCallback(IgnoreLogLine);
        std::string note;
        {
            Session session(*library, report, context.kind == hostkit::GlContextKind::Core ? kCycles : kShortCycles);
            note = test->run(session);
            report.Step("code 2 (deinitialise) at the end");
            library->Call(ffgl::kDeinitialise);
            session.RequireCleanCalls();
        }
        report.Step("unloading the plug-in");
        library.reset();
        report.Pass(note);
        return 0;
    } catch (const TestFailure& failure) {
        report.Fail(failure.what());
    } catch (const hostsupport::HostError& error) {
        report.Fail(error.what());
    } catch (const std::exception& error) {
        report.Fail(std::string("the validator failed: ") + error.what());
    }
    return 1;
}

}  // namespace validator
