// zao-host validate: runs the validator's tests on a plug-in, each in a fresh
// child process (zao-host itself, with the hidden --validate-one), prints one
// PASS or FAIL line per test and the summary, and fails if any test failed.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "Commands.h"
#include "GlSession.h"
#include "HostError.h"
#include "Interrupt.h"
#include "Validation.h"
#include "ValidationRunner.h"
#include "VirtualDisplay.h"

namespace refhost {

namespace {

std::string OwnExecutable()
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        throw HostError("cannot find the zao-host executable: " + error.message());
    return path.string();
}

std::string TestNames()
{
    std::string names;
    for (const ValidationTestInfo& test : ValidationTests())
        names += (names.empty() ? "" : ", ") + test.name;
    return names;
}

}  // namespace

int RunValidate(const ValidateOptions& options)
{
    const std::vector<ValidationTestInfo> tests = ValidationTests();
    if (options.list) {
        size_t width = 0;
        for (const ValidationTestInfo& test : tests)
            width = std::max(width, test.name.size());
        for (const ValidationTestInfo& test : tests)
            std::printf("%-*s  %s\n", static_cast<int>(width), test.name.c_str(), test.summary.c_str());
        return 0;
    }
    if (options.plugin.empty())
        throw HostError("validate needs the PLUGIN file (or --list)");
    if (!options.validateOne.empty()) {
        // Run by hand, without a parent's pipe, the report goes to standard output.
        const int fd = fcntl(kValidationReportFd, F_GETFD) != -1 ? kValidationReportFd : 1;
        return RunOneValidationTest(options.plugin, options.validateOne, ParseGlApi(options.gl), fd);
    }

    std::error_code error;
    if (!std::filesystem::exists(options.plugin, error))
        throw HostError("cannot open the plug-in " + options.plugin + ": no such file");
    if (std::filesystem::is_directory(options.plugin, error))
        throw HostError("cannot open the plug-in " + options.plugin + ": it is a folder");
    std::vector<ValidationTestInfo> selected;
    for (const std::string& name : options.only) {
        const auto found = std::find_if(tests.begin(), tests.end(),
                                        [&](const ValidationTestInfo& test) { return test.name == name; });
        if (found == tests.end())
            throw HostError("unknown test \"" + name + "\" (the tests are: " + TestNames() + ")");
        selected.push_back(*found);
    }
    if (selected.empty())
        selected = tests;

    // One display for every child: each opens its own GL context on it.
    VirtualDisplay display;
    if (options.gl == "glx")
        display = VirtualDisplay::EnsureDisplay();
    const std::string executable = OwnExecutable();
    const std::string plugin = std::filesystem::absolute(options.plugin).string();
    std::printf("zao-host validate: %s, %zu test%s, each in its own process (%s, at most %g s each)\n",
                plugin.c_str(), selected.size(), selected.size() == 1 ? "" : "s",
                options.gl == "glx" ? "GLX" : "EGL", options.timeout);
    std::fflush(stdout);

    size_t passed = 0, failed = 0;
    for (const ValidationTestInfo& test : selected) {
        const ValidationOutcome outcome = RunValidationChild(
            {executable, "validate", plugin, "--gl", options.gl, "--validate-one", test.name}, options.timeout);
        if (outcome.interrupted)
            throw HostError("interrupted");
        (outcome.passed ? passed : failed) += 1;
        std::printf("%s %s (%.1f s)%s%s\n", outcome.passed ? "PASS" : "FAIL", test.name.c_str(), outcome.seconds,
                    outcome.text.empty() ? "" : ": ", outcome.text.c_str());
        std::fflush(stdout);
    }
    std::printf("validate: %zu passed, %zu failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}

}  // namespace refhost
