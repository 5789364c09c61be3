// posix_spawnp with file actions: no fork of a process whose GL driver holds
// threads and large mappings.
#include "ChildLaunch.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "HostError.h"

extern char** environ;

namespace hostsupport {

ChildLaunch::ChildLaunch(std::vector<std::string> argv) : argv(std::move(argv))
{
    posix_spawn_file_actions_init(&actions);
}

ChildLaunch::~ChildLaunch()
{
    posix_spawn_file_actions_destroy(&actions);
}

void ChildLaunch::Open(int childFd, const std::string& path, int flags)
{
    posix_spawn_file_actions_addopen(&actions, childFd, path.c_str(), flags, 0);
}

void ChildLaunch::Copy(int fromFd, int childFd)
{
    posix_spawn_file_actions_adddup2(&actions, fromFd, childFd);
}

pid_t ChildLaunch::Start(std::string& failure)
{
    std::vector<char*> args;
    for (std::string& arg : argv)
        args.push_back(arg.data());
    args.push_back(nullptr);
    pid_t pid = -1;
    const int result = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    if (result == 0)
        return pid;
    failure = "cannot run " + argv[0] + ": " + std::strerror(result);
    return -1;
}

std::string OwnExecutable()
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        throw HostError("cannot find the zao-host executable: " + error.message());
    return path.string();
}

}  // namespace hostsupport
