// Child processes (ffmpeg, ffprobe, Xvfb) started without a shell, so file
// names need no quoting, with one pipe to their standard input or output and
// their standard error kept in a temporary file for the error message.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

namespace hostsupport {

// An empty file of our own in $TMPDIR (or /tmp) named PREFIX-XXXXXX; throws HostError.
std::string MakeTemporaryFile(const std::string& prefix);

class Subprocess {
public:
    enum class Pipe { None, ToChild, FromChild };

    // Throws HostError when the program cannot be started. A background child
    // runs at the lowest priority, so that on a CPU renderer it does not
    // compete with the frames being timed; it catches up while we wait.
    Subprocess(const std::vector<std::string>& argv, Pipe pipe, bool background = false);
    ~Subprocess();
    Subprocess(const Subprocess&) = delete;
    Subprocess& operator=(const Subprocess&) = delete;

    // Whole-buffer transfers; false when the child has closed its end.
    bool Write(const void* data, size_t size);
    // Reads exactly size bytes; false at end of stream (a short last read included).
    bool Read(void* data, size_t size);
    // What is there, up to size bytes; 0 at end of stream.
    size_t ReadSome(void* data, size_t size);
    // Whether ReadSome would return at once (data or the end of the stream),
    // waiting at most milliseconds for it; false without a pipe from the child.
    bool Readable(int milliseconds);
    // Reaps the child if it has ended, without waiting; once true, Wait
    // returns its status at once. For callers that watch a deadline.
    bool Ended();
    void ClosePipe();
    // Closes the pipe and waits; the exit status, or 128 + signal number.
    int Wait();
    // Stops the child at once (SIGKILL) and reaps it.
    void Kill();
    // The last non-empty line the child wrote to its standard error.
    std::string LastErrorLine() const;
    std::string ErrorText() const;

private:
    pid_t pid = -1;
    int fd = -1;
    int status = -1;
    std::string stderrPath;
};

struct CapturedRun {
    int status = -1;
    std::string out;
    std::string lastErrorLine;
};

// Runs to completion and collects its standard output.
CapturedRun RunCaptured(const std::vector<std::string>& argv);

}  // namespace hostsupport
