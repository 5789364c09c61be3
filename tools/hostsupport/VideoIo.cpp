// ffmpeg command lines for decoding to and encoding from raw RGBA.
#include "VideoIo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <utility>
#include <vector>

#include "HostError.h"

namespace hostsupport {

namespace {

std::string Size(uint32_t width, uint32_t height)
{
    return std::to_string(width) + "x" + std::to_string(height);
}

std::string RateText(double fps)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", fps);
    return text;
}

double ParseRate(const std::string& text)
{
    double numerator = 0, denominator = 1;
    const size_t slash = text.find('/');
    try {
        numerator = std::stod(text.substr(0, slash));
        if (slash != std::string::npos)
            denominator = std::stod(text.substr(slash + 1));
    } catch (...) {
        return 0;
    }
    return denominator > 0 && std::isfinite(numerator / denominator) ? numerator / denominator : 0;
}

}  // namespace

bool IsCaptureDevice(const std::string& path)
{
    return path.rfind("/dev/video", 0) == 0;
}

VideoProbe ProbeVideo(const std::string& path)
{
    std::vector<std::string> argv = {"ffprobe", "-v", "error", "-select_streams", "v:0"};
    if (IsCaptureDevice(path)) {
        argv.insert(argv.end(), {"-f", "v4l2"});
    } else {
        // Counting packets only demuxes, so it stays cheap even for long files;
        // a camera's would never end.
        argv.push_back("-count_packets");
    }
    // The rotation a phone records (a display matrix, or an older file's rotate tag) and the
    // pixel aspect are asked for too: ffmpeg's decode turns the picture upright, and scaling
    // it to the stored size would squash it.
    argv.insert(argv.end(), {"-show_entries",
                             "stream=width,height,r_frame_rate,nb_read_packets,sample_aspect_ratio:stream_tags=rotate:"
                             "stream_side_data=rotation",
                             "-of", "default=noprint_wrappers=1", path});
    const CapturedRun run = RunCaptured(argv);
    if (run.status != 0)
        throw HostError("cannot read the input " + path + ": " +
                                     (run.lastErrorLine.empty() ? "ffprobe failed" : run.lastErrorLine));
    VideoProbe probe;
    double rotation = 0, aspect = 1;
    std::istringstream lines(run.out);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
        try {
            if (key == "width")
                probe.width = static_cast<uint32_t>(std::stoul(value));
            else if (key == "height")
                probe.height = static_cast<uint32_t>(std::stoul(value));
            else if (key == "r_frame_rate")
                probe.fps = ParseRate(value);
            else if (key == "nb_read_packets")
                probe.frames = std::stoull(value);
            else if (key == "rotation" || key == "TAG:rotate")
                rotation = std::stod(value);
            else if (key == "sample_aspect_ratio")
                aspect = ParseRate(value.substr(0, value.find(':')) + "/" + value.substr(value.find(':') + 1));
        } catch (...) {
            // "N/A" and the like: the value stays unknown.
        }
    }
    if (probe.width == 0 || probe.height == 0)
        throw HostError("cannot read the input " + path + ": it has no video stream");
    // The displayed size: wide pixels widen the picture, a quarter turn swaps its sides.
    if (aspect > 0 && aspect != 1)
        probe.width = std::max<uint32_t>(1, static_cast<uint32_t>(std::lround(probe.width * aspect)));
    if (std::lround(std::fabs(rotation)) % 180 == 90)
        std::swap(probe.width, probe.height);
    return probe;
}

VideoReader::VideoReader(const std::string& inputPath, uint32_t w, uint32_t h, uint64_t maxFrames,
                         double startSeconds)
    : path(inputPath), width(w), height(h)
{
    const std::string scale = "scale=" + std::to_string(w) + ":" + std::to_string(h) + ":flags=bicubic";
    std::vector<std::string> argv = {"ffmpeg", "-hide_banner", "-nostdin", "-loglevel", "error"};
    if (IsCaptureDevice(path))
        argv.insert(argv.end(), {"-f", "v4l2"});
    if (startSeconds > 0) {
        char start[32];
        std::snprintf(start, sizeof start, "%.6f", startSeconds);
        argv.insert(argv.end(), {"-ss", start});
    }
    argv.insert(argv.end(), {"-i", path, "-map", "0:v:0", "-an", "-sn", "-vf", scale});
    if (maxFrames > 0) {
        argv.push_back("-frames:v");
        argv.push_back(std::to_string(maxFrames));
    }
    for (const char* arg : {"-f", "rawvideo", "-pix_fmt", "rgba", "-"})
        argv.push_back(arg);
    ffmpeg.reset(new Subprocess(argv, Subprocess::Pipe::FromChild, true));
}

bool VideoReader::ReadFrame(Image& image)
{
    if (!ffmpeg)
        return false;
    if (image.width != width || image.height != height)
        image = Image(width, height);
    if (ffmpeg->Read(image.pixels.data(), image.ByteSize()))
        return true;
    const int status = ffmpeg->Wait();
    const std::string reason = ffmpeg->LastErrorLine();
    ffmpeg.reset();
    if (status != 0)
        throw HostError("cannot decode the input " + path + ": " +
                                     (reason.empty() ? "ffmpeg failed" : reason));
    return false;
}

void VideoReader::Close()
{
    ffmpeg.reset();
}

std::string PickEncoder()
{
    static const std::string encoder = [] {
        try {
            const CapturedRun run =
                RunCaptured({"ffmpeg", "-hide_banner", "-loglevel", "error", "-encoders"});
            if (run.status == 0 && run.out.find(" libx264 ") != std::string::npos)
                return std::string("libx264");
        } catch (const HostError&) {
        }
        return std::string("mpeg4");
    }();
    return encoder;
}

VideoWriter::VideoWriter(const std::string& outputPath, uint32_t w, uint32_t h, double fps,
                         const std::string& encoder)
    : path(outputPath), width(w), height(h)
{
    if (w % 2 != 0 || h % 2 != 0)
        throw HostError("MP4 output needs an even width and height, not " + Size(w, h));
    std::vector<std::string> argv = {"ffmpeg", "-hide_banner", "-nostdin",  "-loglevel", "error",   "-y",
                                     "-f",     "rawvideo",     "-pix_fmt",  "rgba",      "-s",      Size(w, h),
                                     "-framerate", RateText(fps), "-i",     "-",         "-an",     "-c:v",
                                     encoder};
    // A fast preset leaves more of the CPU to the GL driver while frames are timed.
    if (encoder == "libx264")
        for (const char* arg : {"-preset", "veryfast", "-crf", "18"})
            argv.push_back(arg);
    else
        for (const char* arg : {"-q:v", "3"})
            argv.push_back(arg);
    for (const char* arg : {"-pix_fmt", "yuv420p", "-movflags", "+faststart", "-f", "mp4"})
        argv.push_back(arg);
    argv.push_back(path);
    ffmpeg.reset(new Subprocess(argv, Subprocess::Pipe::ToChild, true));
}

void VideoWriter::WriteFrame(const Image& image)
{
    if (image.width != width || image.height != height)
        throw HostError("internal: frame size differs from the video size");
    if (!ffmpeg->Write(image.pixels.data(), image.ByteSize())) {
        ffmpeg->Wait();
        throw HostError("cannot encode " + path + ": " +
                                     (ffmpeg->LastErrorLine().empty() ? "ffmpeg stopped" : ffmpeg->LastErrorLine()));
    }
}

void VideoWriter::Finish()
{
    const int status = ffmpeg->Wait();
    if (status != 0)
        throw HostError("cannot encode " + path + ": " +
                                     (ffmpeg->LastErrorLine().empty() ? "ffmpeg failed" : ffmpeg->LastErrorLine()));
}

}  // namespace hostsupport
