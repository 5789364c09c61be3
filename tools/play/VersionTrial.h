// A new version of a plug-in is tried in a child process before the window
// loads it: zao-host play --try-version runs load, description, code 34,
// code 18, the kept values, a few frames, code 19, code 2 and the unload in
// an off-screen context of the window's kind, announcing each call on a
// pipe. A crash, a hang, a GL error or a failure answer then costs the child,
// not the window, and the parent tells which call it was.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hostsupport {
class Subprocess;
}

namespace play {

struct PlayOptions;

// How trials are run: which program is the child and how long one call may take.
struct TrialSettings {
    std::string executable;
    uint32_t width = 0, height = 0;
    double callSeconds = 10;
};

// What the child said on its pipe: "step CALL" before each call, then "pass"
// or "fail REASON".
class TrialReport {
public:
    // Bytes as they come; lines may arrive in pieces.
    void Append(const char* bytes, size_t count);

    std::string lastStep;  // the call the child was in
    std::string verdict;   // "pass", "fail" or empty
    std::string reason;    // of a fail

private:
    std::string pending;
};

// How the child ended, as the parent saw it.
struct TrialEnd {
    int status = 0;         // exit status, or 128 + the signal
    bool hung = false;      // stopped after callSeconds without news
    double callSeconds = 0;
    std::string lastOutput;  // its last line on standard error, if any
};

// Empty when the version passed; else why not, in one line ("crashed in code
// 18 (make an instance at 320x180): Segmentation fault, signal 11").
std::string JudgeTrial(const TrialReport& report, const TrialEnd& end);

class VersionTrial {
public:
    // Copies the file and starts the child on the copy, with the kept values
    // (KeptValues::Lines). A file that is missing or cannot be a plug-in
    // ends the trial at once with its reason; so does a child that cannot start.
    VersionTrial(const std::string& path, const TrialSettings& settings, const std::vector<std::string>& kept);
    // Stops the child if it still runs and removes the copy.
    ~VersionTrial();
    VersionTrial(const VersionTrial&) = delete;
    VersionTrial& operator=(const VersionTrial&) = delete;

    // Reads what the child wrote, without waiting; true once the verdict is in.
    bool Poll();
    bool Passed() const { return done && reason.empty(); }
    // Why the version failed, once Poll is true.
    const std::string& Reason() const { return reason; }
    // The copy the child tried: the window loads this one, so that what was
    // tried is what runs even when the build has since replaced the file.
    const std::string& CopyPath() const { return copy; }

private:
    void Finish(const TrialEnd& end);

    std::string path, copy;
    double callSeconds;
    std::unique_ptr<hostsupport::Subprocess> child;
    TrialReport report;
    std::chrono::steady_clock::time_point lastNews;
    bool done = false;
    std::string reason;
};

// The child's side (zao-host play PLUGIN --try-version): writes the report
// on what was its standard output, which then goes to standard error for the
// plug-in's own prints; returns 0 when the version passed.
int RunVersionTrial(const PlayOptions& options);

}  // namespace play
