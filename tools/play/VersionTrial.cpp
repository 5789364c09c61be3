// The parent's side of a trial: the copy, the child, its report read as it
// comes, the deadline per call, and the verdict in words.
#include "VersionTrial.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "hostsupport/HostError.h"
#include "hostsupport/PluginFile.h"
#include "hostsupport/Subprocess.h"

namespace play {

namespace {

std::string SignalText(int signal)
{
    const char* name = strsignal(signal);
    return std::string(name ? name : "signal") + ", signal " + std::to_string(signal);
}

}  // namespace

void TrialReport::Append(const char* bytes, size_t count)
{
    pending.append(bytes, count);
    for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
        const std::string line = pending.substr(0, end);
        const size_t space = line.find(' ');
        const std::string kind = line.substr(0, space), text = space == std::string::npos ? "" : line.substr(space + 1);
        if (kind == "step") {
            lastStep = text;
        } else if (kind == "pass" || kind == "fail") {
            verdict = kind;
            reason = text;
        }
    }
}

std::string JudgeTrial(const TrialReport& report, const TrialEnd& end)
{
    const std::string in = report.lastStep.empty() ? "" : " in " + report.lastStep;
    const std::string said = end.lastOutput.empty() ? "" : " (its last words: " + end.lastOutput + ")";
    if (end.hung) {
        char limit[32];
        std::snprintf(limit, sizeof limit, "%g s", end.callSeconds);
        return "hung" + in + ": no answer within " + limit + ", stopped";
    }
    if (end.status > 128)
        return "crashed" + in + ": " + SignalText(end.status - 128) + said;
    if (report.verdict == "fail")
        return report.reason.empty() ? "failed" + in : report.reason;
    if (report.verdict == "pass" && end.status == 0)
        return {};
    return "ended" + in + " with status " + std::to_string(end.status) + " before its verdict" + said;
}

VersionTrial::VersionTrial(const std::string& path, const TrialSettings& settings,
                           const std::vector<std::string>& kept)
    : path(path), callSeconds(settings.callSeconds), lastNews(std::chrono::steady_clock::now())
{
    try {
        const std::string file = hostsupport::PluginFilePath(path);
        std::error_code error;
        if (!std::filesystem::exists(file, error))
            throw hostsupport::HostError("no such file");
        if (std::filesystem::is_directory(file, error))
            throw hostsupport::HostError("it is a folder");
        copy = hostsupport::MakeTemporaryFile("zao-play-version");
        if (!std::filesystem::copy_file(file, copy, std::filesystem::copy_options::overwrite_existing, error))
            throw hostsupport::HostError("cannot copy it: " + error.message());
        // A file cut short is told at once, in the words every command uses.
        const std::string problem = hostsupport::PluginFileProblem(copy);
        if (!problem.empty())
            throw hostsupport::HostError(problem);
        std::vector<std::string> argv = {settings.executable, "play", copy, "--try-version", "--size",
                                         std::to_string(settings.width) + "x" + std::to_string(settings.height)};
        for (const std::string& line : kept)
            argv.insert(argv.end(), {"--kept", line});
        child = std::make_unique<hostsupport::Subprocess>(argv, hostsupport::Subprocess::Pipe::FromChild);
    } catch (const hostsupport::HostError& error) {
        done = true;
        reason = hostsupport::OneLine(error.what());
    }
}

VersionTrial::~VersionTrial()
{
    child.reset();
    if (!copy.empty())
        std::remove(copy.c_str());
}

bool VersionTrial::Poll()
{
    if (done)
        return true;
    char buffer[1024];
    while (child->Readable(0)) {
        const size_t got = child->ReadSome(buffer, sizeof buffer);
        if (got == 0)
            break;
        report.Append(buffer, got);
        lastNews = std::chrono::steady_clock::now();
    }
    TrialEnd end;
    end.callSeconds = callSeconds;
    if (child->Ended()) {
        // What it wrote just before it ended.
        while (child->Readable(0)) {
            const size_t got = child->ReadSome(buffer, sizeof buffer);
            if (got == 0)
                break;
            report.Append(buffer, got);
        }
        end.status = child->Wait();
    } else if (std::chrono::duration<double>(std::chrono::steady_clock::now() - lastNews).count() > callSeconds) {
        child->Kill();
        end.hung = true;
    } else {
        return false;
    }
    end.lastOutput = child->LastErrorLine();
    if (end.lastOutput.size() > 160)
        end.lastOutput = end.lastOutput.substr(0, 157) + "...";
    Finish(end);
    return true;
}

void VersionTrial::Finish(const TrialEnd& end)
{
    reason = JudgeTrial(report, end);
    // The user knows the file, not our copy of it.
    for (size_t at; !copy.empty() && (at = reason.find(copy)) != std::string::npos;)
        reason.replace(at, copy.size(), path);
    done = true;
    child.reset();
}

}  // namespace play
