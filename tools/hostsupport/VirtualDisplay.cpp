// Xvfb started with fork/exec: the child needs its own process group (a
// Ctrl-C must reach us first, so that we end our GL work before the server
// goes) and a parent-death signal, neither of which posix_spawn offers.
#include "VirtualDisplay.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FileDescriptorIo.h"
#include "HostError.h"

namespace hostsupport {

namespace {

constexpr int kStartTimeoutMs = 15000;

void Reap(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// Forks Xvfb, which writes its display number to readyFd once it accepts clients.
pid_t StartXvfb(int readyFd, int otherEnd)
{
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0)
        throw HostError(std::string("cannot start Xvfb: ") + std::strerror(errno));
    if (child != 0)
        return child;
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent)
        _exit(1);
    close(otherEnd);
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    const std::string fd = std::to_string(readyFd);
    // -noreset: a server that resets when its last client leaves refuses the
    // next one for a moment, and validate's children connect one after another.
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
}

// The display number Xvfb writes, up to its newline; empty when none came in time.
std::string ReadDisplayNumber(int fd)
{
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            return {};
        pollfd wait = {fd, POLLIN, 0};
        const int polled = poll(&wait, 1, static_cast<int>(left));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            return {};
        char c;
        if (ReadSome(fd, &c, 1) == 0)
            return {};
        if (c == '\n')
            return number;
        number.push_back(c);
    }
}

}  // namespace

VirtualDisplay VirtualDisplay::EnsureDisplay()
{
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && *display != '\0')
        return VirtualDisplay();

    int ready[2];
    if (pipe(ready) != 0)
        throw HostError(std::string("cannot create a pipe for Xvfb: ") + std::strerror(errno));
    const pid_t child = StartXvfb(ready[1], ready[0]);
    close(ready[1]);
    const std::string number = ReadDisplayNumber(ready[0]);
    close(ready[0]);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
        kill(child, SIGKILL);
        Reap(child);
        throw HostError("no X display is set and Xvfb could not be started (install xvfb, set DISPLAY, or use "
                        "--gl egl)");
    }
    VirtualDisplay started;
    started.pid = child;
    started.name = ":" + number;
    setenv("DISPLAY", started.name.c_str(), 1);
    return started;
}

VirtualDisplay::VirtualDisplay(VirtualDisplay&& other) noexcept : pid(other.pid), name(std::move(other.name))
{
    other.pid = -1;
}

VirtualDisplay& VirtualDisplay::operator=(VirtualDisplay&& other) noexcept
{
    if (this != &other) {
        Stop();
        pid = other.pid;
        name = std::move(other.name);
        other.pid = -1;
    }
    return *this;
}

VirtualDisplay::~VirtualDisplay()
{
    Stop();
}

void VirtualDisplay::Stop()
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    Reap(pid);
    pid = -1;
    unsetenv("DISPLAY");
}

}  // namespace hostsupport
