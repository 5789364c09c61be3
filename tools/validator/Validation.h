// zao-host validate: the catalogue of tests that any FFGL 2 effect or source
// plug-in must pass, each run alone in a child process; this side runs one.
#pragma once

#include <string>
#include <vector>

#include "hostkit/GlContext.h"

namespace refhost {

struct ValidationTestInfo {
    std::string name;
    std::string summary;
};

// In the order they run.
std::vector<ValidationTestInfo> ValidationTests();

// The child's side: opens its own GL context, loads the plug-in, runs the
// named test and reports steps and the verdict on reportFd (see
// ValidationHarness.h). Returns the exit status: 0 passed, 1 failed.
int RunOneValidationTest(const std::string& pluginPath, const std::string& name, hostkit::GlApi api, int reportFd);

}  // namespace refhost
