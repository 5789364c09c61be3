// A launched child with one pipe; standard error goes to a temporary file removed at the end.
#include "Subprocess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "ChildLaunch.h"
#include "FileDescriptorIo.h"
#include "HostError.h"

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
    ChildLaunch launch(argv);
    if (pipe == Pipe::ToChild)
        launch.Copy(ends[0], 0);
    else
        launch.Open(0, "/dev/null", O_RDONLY);
    if (pipe == Pipe::FromChild)
        launch.Copy(ends[1], 1);
    else
        launch.Open(1, "/dev/null", O_WRONLY);
    launch.Open(2, stderrPath, O_WRONLY | O_TRUNC);
    std::string failure;
    pid = launch.Start(failure);
    if (pipe == Pipe::ToChild) {
        close(ends[0]);
        fd = ends[1];
    } else if (pipe == Pipe::FromChild) {
        close(ends[1]);
        fd = ends[0];
    }
    if (pid < 0) {
        ClosePipe();
        std::remove(stderrPath.c_str());
        throw HostError(failure);
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
    return WriteAll(fd, data, size);
}

bool Subprocess::Read(void* data, size_t size)
{
    return ReadAll(fd, data, size);
}

size_t Subprocess::ReadSome(void* data, size_t size)
{
    return hostsupport::ReadSome(fd, data, size);
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
