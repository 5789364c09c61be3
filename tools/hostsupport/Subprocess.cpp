// posix_spawnp with one pipe; standard error goes to a temporary file removed at the end.
#include "Subprocess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "HostError.h"

extern char** environ;

namespace hostsupport {

std::string MakeTemporaryFile(const std::string& prefix)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0)
        throw HostError("cannot create a temporary file in " + pattern.substr(0, pattern.rfind('/')) + ": " +
                        std::strerror(errno));
    close(fd);
    return name.data();
}

Subprocess::Subprocess(const std::vector<std::string>& argv, Pipe pipe, bool background)
{
    stderrPath = MakeTemporaryFile("zao-host-stderr");
    int ends[2] = {-1, -1};
    if (pipe != Pipe::None && ::pipe2(ends, O_CLOEXEC) != 0)
        throw HostError(std::string("cannot create a pipe: ") + std::strerror(errno));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (pipe == Pipe::ToChild) {
        posix_spawn_file_actions_adddup2(&actions, ends[0], 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    } else if (pipe == Pipe::FromChild) {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(), O_WRONLY | O_TRUNC, 0);
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const int result = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (pipe == Pipe::ToChild) {
        close(ends[0]);
        fd = ends[1];
    } else if (pipe == Pipe::FromChild) {
        close(ends[1]);
        fd = ends[0];
    }
    if (result != 0) {
        pid = -1;
        ClosePipe();
        std::remove(stderrPath.c_str());
        throw HostError("cannot run " + argv[0] + ": " + std::strerror(result));
    }
    // Set before the child has seen any input, so before it starts its worker threads.
    if (background)
        setpriority(PRIO_PROCESS, static_cast<id_t>(pid), 19);
}

Subprocess::~Subprocess()
{
    if (pid > 0)
        Kill();
    ClosePipe();
    std::remove(stderrPath.c_str());
}

bool Subprocess::Write(const void* data, size_t size)
{
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, at, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        at += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool Subprocess::Read(void* data, size_t size)
{
    char* at = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = ::read(fd, at, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        at += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

size_t Subprocess::ReadSome(void* data, size_t size)
{
    for (;;) {
        const ssize_t got = ::read(fd, data, size);
        if (got < 0 && errno == EINTR)
            continue;
        return got > 0 ? static_cast<size_t>(got) : 0;
    }
}

bool Subprocess::Readable(int milliseconds)
{
    if (fd < 0)
        return false;
    pollfd wait = {fd, POLLIN, 0};
    for (;;) {
        const int polled = poll(&wait, 1, milliseconds);
        if (polled < 0 && errno == EINTR)
            continue;
        // POLLHUP and POLLERR count: a read then answers the end at once.
        return polled > 0;
    }
}

bool Subprocess::Ended()
{
    if (pid <= 0)
        return true;
    int raw = 0;
    pid_t reaped;
    while ((reaped = waitpid(pid, &raw, WNOHANG)) < 0 && errno == EINTR) {
    }
    if (reaped != pid)
        return false;
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    pid = -1;
    return true;
}

void Subprocess::ClosePipe()
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

int Subprocess::Wait()
{
    ClosePipe();
    if (pid > 0) {
        int raw = 0;
        while (waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
        }
        status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        pid = -1;
    }
    return status;
}

void Subprocess::Kill()
{
    if (pid > 0)
        ::kill(pid, SIGKILL);
    Wait();
}

std::string Subprocess::ErrorText() const
{
    std::ifstream in(stderrPath);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Subprocess::LastErrorLine() const
{
    std::istringstream lines(ErrorText());
    std::string line, last;
    while (std::getline(lines, line))
        if (line.find_first_not_of(" \t\r") != std::string::npos)
            last = line;
    return OneLine(last);
}

CapturedRun RunCaptured(const std::vector<std::string>& argv)
{
    Subprocess child(argv, Subprocess::Pipe::FromChild);
    CapturedRun run;
    char buffer[4096];
    size_t got;
    while ((got = child.ReadSome(buffer, sizeof buffer)) > 0)
        run.out.append(buffer, got);
    run.status = child.Wait();
    run.lastErrorLine = child.LastErrorLine();
    return run;
}

}  // namespace hostsupport
