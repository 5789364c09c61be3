// The child started with its report pipe on a fixed descriptor, a
// poll loop against the deadline, and the verdict read from the last lines.
#include "ValidationRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "hostsupport/ChildLaunch.h"
#include "hostsupport/FileDescriptorIo.h"
#include "hostsupport/HostError.h"
#include "hostsupport/Interrupt.h"
#include "hostsupport/Subprocess.h"

namespace validator {

namespace {

using Clock = std::chrono::steady_clock;

// The child's last words on standard output or error (a failed assertion, an
// abort message), cut to a length that fits a report line.
std::string LastOutputLine(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string line, last;
    while (std::getline(in, line))
        if (line.find_first_not_of(" \t\r") != std::string::npos)
            last = line;
    last = hostsupport::OneLine(last);
    if (last.size() > 160)
        last = last.substr(0, 157) + "...";
    return last;
}

std::string SignalText(int signal)
{
    const char* name = strsignal(signal);
    return std::string(name ? name : "signal") + ", signal " + std::to_string(signal);
}

// The child's report pipe as it is read: the last step it announced and its verdict.
class ReportReader {
public:
    void Append(const char* bytes, size_t count)
    {
        pending.append(bytes, count);
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            const size_t space = line.find(' ');
            const std::string kind = line.substr(0, space);
            const std::string text = space == std::string::npos ? "" : line.substr(space + 1);
            if (kind == "step")
                lastStep = text;
            else if (kind == "note")
                note = text;
            else if (kind == "pass" || kind == "fail") {
                verdict = kind;
                verdictText = text;
            }
        }
    }

    std::string lastStep, verdict, verdictText, note;

private:
    std::string pending;
};

struct Child {
    pid_t pid = -1;
    int reportFd = -1;  // our end of the report pipe
};

// Starts argv with standard input from /dev/null, standard output and error
// into outputPath and the write end of a report pipe at kValidationReportFd.
Child SpawnChild(const std::vector<std::string>& argv, const std::string& outputPath)
{
    int report[2] = {-1, -1};
    if (pipe2(report, O_CLOEXEC) != 0)
        throw hostsupport::HostError("cannot create a pipe: " + std::string(std::strerror(errno)));
    // Above the child's report descriptor, so that moving it there is a real dup2.
    for (int& end : report) {
        const int moved = fcntl(end, F_DUPFD_CLOEXEC, kValidationReportFd + 1);
        close(end);
        end = moved;
    }
    hostsupport::ChildLaunch launch(argv);
    launch.Open(0, "/dev/null", O_RDONLY);
    launch.Open(1, outputPath, O_WRONLY | O_TRUNC);
    launch.Copy(1, 2);
    launch.Copy(report[1], kValidationReportFd);
    std::string failure;
    Child child;
    child.pid = launch.Start(failure);
    close(report[1]);
    if (child.pid < 0) {
        close(report[0]);
        throw hostsupport::HostError(failure);
    }
    child.reportFd = report[0];
    return child;
}

struct ChildEnd {
    int status = 0;
    bool timedOut = false;
    bool interrupted = false;
};

// Reads the report until the child ends, the deadline passes (the child is
// killed) or the user interrupts (likewise), then what it wrote last.
ChildEnd WaitForChild(const Child& child, Clock::time_point deadline, ReportReader& reader)
{
    ChildEnd end;
    bool open = true, reaped = false;
    char buffer[4096];
    while (!reaped) {
        if (hostsupport::Interrupted()) {
            end.interrupted = true;
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            end.timedOut = true;
            break;
        }
        if (open) {
            pollfd wait = {child.reportFd, POLLIN, 0};
            const int polled = poll(&wait, 1, static_cast<int>(std::min<long long>(left, 200)));
            if (polled < 0 && errno != EINTR)
                open = false;
            if (polled > 0) {
                const size_t got = hostsupport::ReadSome(child.reportFd, buffer, sizeof buffer);
                if (got > 0)
                    reader.Append(buffer, got);
                else
                    open = false;
            }
        } else {
            // The pipe is closed (normally at exit): the child has little left to do.
            usleep(5000);
        }
        reaped = waitpid(child.pid, &end.status, WNOHANG) == child.pid;
    }
    if (!reaped) {
        kill(child.pid, SIGKILL);
        while (waitpid(child.pid, &end.status, 0) < 0 && errno == EINTR) {
        }
    }
    for (size_t got; (got = hostsupport::ReadSome(child.reportFd, buffer, sizeof buffer)) > 0;)
        reader.Append(buffer, got);
    return end;
}

// The verdict from how the child ended and what it reported.
ValidationOutcome Judge(const ChildEnd& end, const ReportReader& reader, const std::string& lastOutput,
                        double timeoutSeconds)
{
    ValidationOutcome outcome;
    const std::string during = reader.lastStep.empty() ? "" : " during: " + reader.lastStep;
    const std::string said = lastOutput.empty() ? "" : " (last output: " + lastOutput + ")";
    char limit[32];
    std::snprintf(limit, sizeof limit, "%g s", timeoutSeconds);
    const int status = end.status;
    if (end.interrupted) {
        outcome.interrupted = true;
        outcome.text = "interrupted";
    } else if (end.timedOut) {
        outcome.text = std::string("hung: no verdict within ") + limit + ", killed" + during + said;
    } else if (WIFSIGNALED(status)) {
        outcome.text = reader.verdict == "pass"
                           ? "passed, then crashed (" + SignalText(WTERMSIG(status)) + ")" + during
                           : "crashed (" + SignalText(WTERMSIG(status)) + ")" + during +
                                 (reader.note.empty() ? "" : ": " + reader.note) + said;
    } else if (reader.verdict == "fail") {
        outcome.text = reader.verdictText;
    } else if (reader.verdict == "pass" && WEXITSTATUS(status) == 0) {
        outcome.passed = true;
        outcome.text = reader.verdictText;
    } else if (reader.verdict == "pass") {
        // A sanitizer's report at exit, or an exit call in the plug-in's unload code.
        outcome.text = "passed, then exited with status " + std::to_string(WEXITSTATUS(status)) + said;
    } else {
        outcome.text = "the process exited with status " + std::to_string(WEXITSTATUS(status)) +
                       " before its verdict" + during + said;
    }
    return outcome;
}

}  // namespace

ValidationOutcome RunValidationChild(const std::vector<std::string>& argv, double timeoutSeconds)
{
    const auto start = Clock::now();
    const std::string outputPath = hostsupport::MakeTemporaryFile("zao-validate");
    Child child;
    try {
        child = SpawnChild(argv, outputPath);
    } catch (...) {
        std::remove(outputPath.c_str());
        throw;
    }
    const auto deadline =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(timeoutSeconds));
    ReportReader reader;
    const ChildEnd end = WaitForChild(child, deadline, reader);
    close(child.reportFd);
    const std::string lastOutput = LastOutputLine(outputPath);
    std::remove(outputPath.c_str());
    ValidationOutcome outcome = Judge(end, reader, lastOutput, timeoutSeconds);
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return outcome;
}

}  // namespace validator
