// Starting a program as a child without a shell, so that file names need no
// quoting, with each of its descriptors set up in order: what ffmpeg, ffprobe,
// the validator's and play's children all go through (Xvfb alone is forked by
// VirtualDisplay, for the parent-death signal posix_spawn cannot set).
#pragma once

#include <spawn.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace hostsupport {

class ChildLaunch {
public:
    explicit ChildLaunch(std::vector<std::string> argv);
    ~ChildLaunch();
    ChildLaunch(const ChildLaunch&) = delete;
    ChildLaunch& operator=(const ChildLaunch&) = delete;

    // The child's descriptor childFd opens path ("/dev/null": nothing in or out).
    void Open(int childFd, const std::string& path, int flags);
    // The child's descriptor childFd is a copy of fromFd: one of ours, or one
    // of the child's set up by an earlier call.
    void Copy(int fromFd, int childFd);
    // Starts it, searching PATH for a name without a slash; the child's pid,
    // or -1 with failure saying why ("cannot run ffmpeg: No such file or directory").
    pid_t Start(std::string& failure);

private:
    std::vector<std::string> argv;
    posix_spawn_file_actions_t actions;
};

// The running program's own file, for children that run it again; throws HostError.
std::string OwnExecutable();

}  // namespace hostsupport
