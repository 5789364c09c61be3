// Video through the ffmpeg and ffprobe programs: raw RGBA frames (file order)
// piped out of a decoder for any input ffmpeg reads (video files, images,
// image sequences such as shots/%04d.png) and into an MP4 encoder.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "hostkit/Image.h"
#include "Subprocess.h"

namespace hostsupport {

using hostkit::Image;

struct VideoProbe {
    // As the picture is shown: a quarter turn recorded with it and its pixel aspect applied.
    uint32_t width = 0;
    uint32_t height = 0;
    double fps = 0;        // 0 when the input does not say
    uint64_t frames = 0;   // 0 when unknown
};

// A camera (/dev/videoN), read through ffmpeg's v4l2 input: endless, and
// never counted or sought.
bool IsCaptureDevice(const std::string& path);

// Throws HostError with ffprobe's own reason when the input cannot be read.
VideoProbe ProbeVideo(const std::string& path);

class VideoReader {
public:
    // Decodes path scaled to width x height, at most maxFrames frames (0 = all),
    // from startSeconds into the input on.
    VideoReader(const std::string& path, uint32_t width, uint32_t height, uint64_t maxFrames,
                double startSeconds = 0);
    // False at the end of the input; throws HostError when ffmpeg failed.
    bool ReadFrame(Image& image);
    void Close();

private:
    std::string path;
    uint32_t width, height;
    std::unique_ptr<Subprocess> ffmpeg;
};

// "libx264" when this ffmpeg has it, else "mpeg4" (ffmpeg's own encoder).
std::string PickEncoder();

class VideoWriter {
public:
    // Writes an MP4 to path (any name: the container is given explicitly).
    VideoWriter(const std::string& path, uint32_t width, uint32_t height, double fps, const std::string& encoder);
    void WriteFrame(const Image& image);
    // Waits for the encoder; throws HostError when it failed.
    void Finish();

private:
    std::string path;
    uint32_t width, height;
    std::unique_ptr<Subprocess> ffmpeg;
};

}  // namespace hostsupport
