// zao-host validate: the catalogue of tests that any FFGL 2 effect or source
// plug-in must pass, each run alone in a child process; this side runs one.
#pragma once

#include <string>
#include <vector>

#include "hostkit/GlContext.h"

namespace validator {

struct ValidationTestInfo {
    std::string name;
    std::string summary;
};

// In the order they run.
std::vector<ValidationTestInfo> ValidationTests();

// The child's side: opens its own GL context of the kind asked for, loads the
// plug-in, runs the named test and reports steps and the verdict on reportFd
// (see ValidationHarness.h). Returns the exit status: 0 passed, 1 failed.
int RunOneValidationTest(const std::string& pluginPath, const std::string& name,
                         const hostkit::GlContextRequest& context, int reportFd);

// A child that only opens the context: passes with the renderer's
// description, or fails with the reason no such context can be made.
int ProbeValidationContext(const hostkit::GlContextRequest& context, int reportFd);

}  // namespace validator
