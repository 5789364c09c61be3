// zao-host validate: runs the validator's tests on a plug-in in each kind of
// GL context asked for, each test in a fresh child process (zao-host itself,
// with the hidden --validate-one), prints the renderer per kind, one PASS or
// FAIL line per test and the summary per kind, and fails if any test failed.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <optional>

#include "Commands.h"
#include "hostsupport/GlSession.h"
#include "hostsupport/ChildLaunch.h"
#include "hostsupport/HostError.h"
#include "hostsupport/Interrupt.h"
#include "hostsupport/PluginFile.h"
#include "hostsupport/VirtualDisplay.h"
#include "validator/Validation.h"
#include "validator/ValidationRunner.h"

namespace refhost {

namespace {

std::string TestNames()
{
    std::string names;
    for (const validator::ValidationTestInfo& test : validator::ValidationTests())
        names += (names.empty() ? "" : ", ") + test.name;
    return names;
}

hostkit::GlContextRequest ContextRequest(const std::string& gl, hostkit::GlContextKind kind)
{
    hostkit::GlContextRequest request;
    request.api = hostsupport::ParseGlApi(gl);
    request.kind = kind;
    return request;
}

std::vector<hostkit::GlContextKind> SelectedKinds(const std::string& context)
{
    hostkit::GlContextKind kind = hostkit::GlContextKind::Core;
    if (hostkit::ParseContextKind(context, &kind))
        return {kind};
    return {std::begin(hostkit::kAllContextKinds), std::end(hostkit::kAllContextKinds)};
}

std::string KindsText(const std::vector<hostkit::GlContextKind>& kinds)
{
    if (kinds.size() == 1)
        return std::string("the ") + hostkit::ContextKindName(kinds[0]) + " context";
    std::string names;
    for (hostkit::GlContextKind kind : kinds)
        names += (names.empty() ? "" : ", ") + std::string(hostkit::ContextKindName(kind));
    return std::to_string(kinds.size()) + " kinds of context (" + names + ")";
}

struct KindTally {
    std::string name;
    size_t passed = 0, failed = 0;
    bool skipped = false;
};

// One kind: the context probed in a child of its own (a kind the machine
// cannot make is skipped with the reason), then every test.
KindTally RunKind(const ValidateOptions& options, const std::vector<validator::ValidationTestInfo>& tests,
                  const std::string& executable, const std::string& plugin, hostkit::GlContextKind kind)
{
    KindTally tally;
    tally.name = hostkit::ContextKindName(kind);
    const std::string described = hostkit::RequestDescription(ContextRequest(options.gl, kind));
    const std::vector<std::string> child = {executable, "validate", plugin, "--gl", options.gl,
                                            "--context", tally.name};
    std::vector<std::string> probe = child;
    probe.push_back("--probe-context");
    const validator::ValidationOutcome opened = validator::RunValidationChild(probe, options.timeout);
    if (opened.interrupted)
        throw hostsupport::HostError("interrupted");
    tally.skipped = !opened.passed;
    std::printf("context %s (%s): %s%s\n", tally.name.c_str(), described.c_str(), tally.skipped ? "skipped: " : "",
                opened.text.c_str());
    std::fflush(stdout);
    for (size_t i = 0; i < tests.size() && !tally.skipped; ++i) {
        std::vector<std::string> argv = child;
        argv.insert(argv.end(), {"--validate-one", tests[i].name});
        const validator::ValidationOutcome outcome = validator::RunValidationChild(argv, options.timeout);
        if (outcome.interrupted)
            throw hostsupport::HostError("interrupted");
        (outcome.passed ? tally.passed : tally.failed) += 1;
        std::printf("%s %s (%.1f s)%s%s\n", outcome.passed ? "PASS" : "FAIL", tests[i].name.c_str(), outcome.seconds,
                    outcome.text.empty() ? "" : ": ", outcome.text.c_str());
        std::fflush(stdout);
    }
    return tally;
}

int ListTests(const std::vector<validator::ValidationTestInfo>& tests)
{
    size_t width = 0;
    for (const validator::ValidationTestInfo& test : tests)
        width = std::max(width, test.name.size());
    for (const validator::ValidationTestInfo& test : tests)
        std::printf("%-*s  %s\n", static_cast<int>(width), test.name.c_str(), test.summary.c_str());
    return 0;
}

// A child's one test (or context probe), its report on the parent's pipe.
int RunChild(const ValidateOptions& options)
{
    // Run by hand, without a parent's pipe, the report goes to standard output.
    const int fd = fcntl(validator::kValidationReportFd, F_GETFD) != -1 ? validator::kValidationReportFd : 1;
    // A child runs in one kind; "all" by hand means the first.
    const hostkit::GlContextRequest request = ContextRequest(options.gl, SelectedKinds(options.context)[0]);
    if (options.probeContext)
        return validator::ProbeValidationContext(request, fd);
    return validator::RunOneValidationTest(options.plugin, options.validateOne, request, fd);
}

std::vector<validator::ValidationTestInfo> SelectedTests(const std::vector<validator::ValidationTestInfo>& tests,
                                                         const std::vector<std::string>& only)
{
    std::vector<validator::ValidationTestInfo> selected;
    for (const std::string& name : only) {
        const auto found = std::find_if(tests.begin(), tests.end(),
                                        [&](const validator::ValidationTestInfo& test) { return test.name == name; });
        if (found == tests.end())
            throw hostsupport::HostError("unknown test \"" + name + "\" (the tests are: " + TestNames() + ")");
        selected.push_back(*found);
    }
    return selected.empty() ? tests : selected;
}

// The summary per kind and in all; the exit status.
int Summarise(const std::vector<KindTally>& tallies)
{
    size_t passed = 0, failed = 0, skipped = 0;
    for (const KindTally& tally : tallies) {
        passed += tally.passed;
        failed += tally.failed;
        skipped += tally.skipped ? 1 : 0;
        if (tally.skipped)
            std::printf("validate %s: skipped\n", tally.name.c_str());
        else
            std::printf("validate %s: %zu passed, %zu failed\n", tally.name.c_str(), tally.passed, tally.failed);
    }
    std::printf("validate: %zu passed, %zu failed", passed, failed);
    if (skipped > 0)
        std::printf(", %zu kind%s of context skipped", skipped, skipped == 1 ? "" : "s");
    std::printf("\n");
    // A run in which no context could be made tested nothing.
    return failed == 0 && passed > 0 ? 0 : 1;
}

}  // namespace

int RunValidate(const ValidateOptions& options)
{
    const std::vector<validator::ValidationTestInfo> tests = validator::ValidationTests();
    if (options.list)
        return ListTests(tests);
    if (options.plugin.empty())
        throw hostsupport::HostError("validate needs the PLUGIN file (or --list)");
    if (!options.validateOne.empty() || options.probeContext)
        return RunChild(options);

    std::error_code error;
    if (!std::filesystem::exists(options.plugin, error))
        throw hostsupport::HostError("cannot open the plug-in " + options.plugin + ": no such file");
    if (std::filesystem::is_directory(options.plugin, error))
        throw hostsupport::HostError("cannot open the plug-in " + options.plugin + ": it is a folder");
    const std::string plugin = std::filesystem::absolute(options.plugin).string();
    // A file no test could load is one failure with its reason, not one per test.
    const std::string problem = hostsupport::PluginFileProblem(plugin);
    if (!problem.empty()) {
        std::printf("zao-host validate: %s\nFAIL plug-in-file: %s\nvalidate: 0 passed, 1 failed\n", plugin.c_str(),
                    problem.c_str());
        return 1;
    }
    const std::vector<validator::ValidationTestInfo> selected = SelectedTests(tests, options.only);

    // One display for every child: each opens its own GL context on it.
    hostsupport::VirtualDisplay display;
    if (options.gl == "glx")
        display = hostsupport::VirtualDisplay::EnsureDisplay();
    const std::string executable = hostsupport::OwnExecutable();
    const std::vector<hostkit::GlContextKind> kinds = SelectedKinds(options.context);
    std::printf("zao-host validate: %s, %zu test%s in %s, each in its own process (%s, at most %g s each)\n",
                plugin.c_str(), selected.size(), selected.size() == 1 ? "" : "s", KindsText(kinds).c_str(),
                options.gl == "glx" ? "GLX" : "EGL", options.timeout);
    std::fflush(stdout);
    std::vector<KindTally> tallies;
    for (hostkit::GlContextKind kind : kinds)
        tallies.push_back(RunKind(options, selected, executable, plugin, kind));
    return Summarise(tallies);
}

}  // namespace refhost
