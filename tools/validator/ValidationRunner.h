// The parent's side of zao-host validate: one test in one child process,
// watched for its verdict, a crash or a hang, so that the validator survives
// whatever the plug-in does.
#pragma once

#include <string>
#include <vector>

namespace validator {

// The file descriptor on which the child writes its report lines.
constexpr int kValidationReportFd = 3;

struct ValidationOutcome {
    bool passed = false;
    bool interrupted = false;
    // For a pass the child's note; otherwise why it failed, crashed or hung.
    std::string text;
    double seconds = 0;
};

// Runs argv (a zao-host that runs one test and reports on kValidationReportFd)
// with standard input from /dev/null and its output kept for the reason; a
// child that outlives timeoutSeconds is killed.
ValidationOutcome RunValidationChild(const std::vector<std::string>& argv, double timeoutSeconds);

}  // namespace validator
