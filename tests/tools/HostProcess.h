// Runs zao-host (or ffprobe, ffmpeg) as a child process for the tests, with
// its standard output and error captured and chosen environment variables
// removed, and gives each test a fresh scratch folder.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace refhosttest {

struct ProcessResult {
    int status = -1;
    std::string out;
    std::string err;

    std::vector<std::string> ErrLines() const
    {
        std::vector<std::string> lines;
        std::istringstream stream(err);
        std::string line;
        while (std::getline(stream, line))
            lines.push_back(line);
        return lines;
    }
};

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// With interruptAt, the program gets SIGINT, as from Ctrl-C, once its
// standard error shows that text; with folder, it runs there.
inline ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                                const std::vector<std::string>& unsetVariables = {},
                                const std::string& interruptAt = {}, const std::string& folder = {})
{
    const std::string base = std::filesystem::temp_directory_path().string() + "/refhost-test-" +
                             std::to_string(getpid()) + "-";
    const std::string outPath = base + "out", errPath = base + "err";
    const pid_t child = fork();
    if (child == 0) {
        for (const std::string& name : unsetVariables)
            unsetenv(name.c_str());
        if (!folder.empty() && chdir(folder.c_str()) != 0)
            _exit(126);
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execvp(program.c_str(), argv.data());
        _exit(127);
    }
    ProcessResult result;
    int raw = 0;
    bool ended = false;
    if (!interruptAt.empty()) {
        while (!(ended = waitpid(child, &raw, WNOHANG) == child) &&
               ReadFile(errPath).find(interruptAt) == std::string::npos)
            usleep(10000);
        if (!ended)
            kill(child, SIGINT);
    }
    if (!ended)
        waitpid(child, &raw, 0);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return result;
}

inline ProcessResult RunHost(const std::vector<std::string>& args, const std::vector<std::string>& unset = {})
{
    return RunProgram(ZAO_HOST_PATH, args, unset);
}

// A scratch folder per test, removed afterwards.
class HostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        scratch = std::filesystem::temp_directory_path() /
                  ("refhost-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
                   std::to_string(getpid()));
        std::filesystem::remove_all(scratch);
        std::filesystem::create_directories(scratch);
    }
    void TearDown() override { std::filesystem::remove_all(scratch); }

    std::string Path(const std::string& name) const { return (scratch / name).string(); }
    // Every entry below the scratch folder, hidden ones included.
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(scratch))
            names.push_back(std::filesystem::relative(entry.path(), scratch).string());
        return names;
    }

    std::filesystem::path scratch;
};

// The one-line failure report that every error must give.
inline void ExpectOneLineFailure(const ProcessResult& result, const std::string& mentions)
{
    EXPECT_NE(result.status, 0);
    const auto lines = result.ErrLines();
    ASSERT_EQ(lines.size(), 1u) << result.err;
    EXPECT_EQ(lines[0].rfind("zao-host: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(mentions), std::string::npos) << lines[0];
}

// A crash in a child must reach the host tool as the signal a plain build
// gets, not as AddressSanitizer's report and exit status.
inline void LetCrashesThrough()
{
#if defined(ZAO_SANITIZED)
    static const bool set = [] {
        const char* options = std::getenv("ASAN_OPTIONS");
        return setenv("ASAN_OPTIONS", (std::string(options ? options : "") + ":handle_segv=0").c_str(), 1) == 0;
    }();
    (void)set;
#endif
}

}  // namespace refhosttest
