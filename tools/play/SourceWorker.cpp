// A small ring of decoded frames between one worker and the GL thread. The
// slot the GL thread holds is never written; a seek drops what was decoded
// ahead, and a frame that was being decoded during the seek is thrown away.
#include "SourceWorker.h"

#include <chrono>
#include <utility>

#include "hostsupport/HostError.h"
#include "hostsupport/Scene.h"
#include "hostsupport/VideoIo.h"

namespace play {

namespace {

class SceneSource : public FrameSource {
public:
    SceneSource(uint32_t seed, double fps) : scene(seed), fps(fps) {}
    bool Read(Image& image) override
    {
        scene.Render(position++, fps, image);
        return true;
    }
    bool Seek(uint64_t to) override
    {
        position = to;
        return true;
    }
    bool Loops() const override { return false; }

private:
    hostsupport::GeneratedScene scene;
    double fps;
    uint64_t position = 0;
};

class VideoSource : public FrameSource {
public:
    VideoSource(const std::string& path, double clipFps, uint32_t width, uint32_t height)
        : path(path), clipFps(clipFps), width(width), height(height), camera(hostsupport::IsCaptureDevice(path))
    {
    }
    bool Read(Image& image) override
    {
        if (!reader)
            reader = std::make_unique<hostsupport::VideoReader>(path, width, height, 0);
        return reader->ReadFrame(image);
    }
    bool Seek(uint64_t position) override
    {
        if (camera)
            return false;
        reader = std::make_unique<hostsupport::VideoReader>(path, width, height, 0,
                                                            static_cast<double>(position) / clipFps);
        return true;
    }
    bool Loops() const override { return !camera; }

private:
    std::string path;
    double clipFps;  // the clip's own, not the window's: positions count the clip's frames
    uint32_t width, height;
    bool camera;
    std::unique_ptr<hostsupport::VideoReader> reader;
};

}  // namespace

std::unique_ptr<FrameSource> MakeSceneSource(uint32_t seed, double fps)
{
    return std::make_unique<SceneSource>(seed, fps);
}

std::unique_ptr<FrameSource> MakeVideoSource(const std::string& path, double clipFps, uint32_t width, uint32_t height)
{
    return std::make_unique<VideoSource>(path, clipFps, width, height);
}

SourceWorker::SourceWorker(std::unique_ptr<FrameSource> frameSource, uint32_t width, uint32_t height)
    : source(std::move(frameSource))
{
    for (SourceFrame& slot : slots)
        slot.image = Image(width, height);
    canSeek = source->Seek(0);
    thread = std::thread([this] { Run(); });
}

SourceWorker::~SourceWorker()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        quit = true;
    }
    wake.notify_all();
    thread.join();
}

const SourceFrame* SourceWorker::TakeNext()
{
    std::lock_guard<std::mutex> lock(mutex);
    if (ready == 0)
        return nullptr;
    const SourceFrame* frame = &slots[first];
    first = (first + 1) % kSlots;
    --ready;
    if (!held)
        wake.notify_all();
    return frame;
}

bool SourceWorker::Seek(uint64_t position)
{
    if (!canSeek)
        return false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        ready = 0;
        nextPosition = position;
        ++generation;
        seekWanted = true;
        stopped = false;
        status.clear();
    }
    wake.notify_all();
    return true;
}

void SourceWorker::Hold(bool hold)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        held = hold;
    }
    if (!hold)
        wake.notify_all();
}

std::string SourceWorker::Status() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return status;
}

void SourceWorker::Run()
{
    Image fileFrame(slots[0].image.width, slots[0].image.height);
    uint64_t framesThisPass = 0;
    std::unique_lock<std::mutex> lock(mutex);
    while (!quit) {
        if (seekWanted) {
            SeekNow(lock);
            framesThisPass = 0;
            continue;
        }
        if (stopped || held || ready >= kSlots - 1) {
            wake.wait(lock);
            continue;
        }
        SourceFrame& slot = slots[(first + ready) % kSlots];
        const uint64_t position = nextPosition, readGeneration = generation;
        lock.unlock();
        const Reading reading = ReadInto(fileFrame, slot, framesThisPass);
        lock.lock();
        // A seek that came meanwhile makes this frame not the one wanted.
        if (readGeneration == generation)
            Publish(reading, slot, position, framesThisPass);
    }
}

void SourceWorker::SeekNow(std::unique_lock<std::mutex>& lock)
{
    seekWanted = false;
    const uint64_t position = nextPosition, seekGeneration = generation;
    lock.unlock();
    std::string failure;
    try {
        source->Seek(position);
    } catch (const hostsupport::HostError& error) {
        failure = error.what();
    }
    lock.lock();
    if (!failure.empty() && seekGeneration == generation) {
        stopped = true;
        status = failure;
    }
}

SourceWorker::Reading SourceWorker::ReadInto(Image& fileFrame, SourceFrame& slot, uint64_t framesThisPass)
{
    Reading reading;
    const auto start = std::chrono::steady_clock::now();
    try {
        reading.got = source->Read(fileFrame);
        if (reading.got)
            hostkit::FlipRows(fileFrame, slot.image);
    } catch (const hostsupport::HostError& error) {
        reading.failure = error.what();
    }
    reading.milliseconds = std::chrono::duration<float, std::milli>(std::chrono::steady_clock::now() - start).count();
    // A clip starts again at its end; a single picture stays as it is.
    if (!reading.got && reading.failure.empty() && source->Loops() && framesThisPass > 1) {
        try {
            reading.restarted = source->Seek(0);
        } catch (const hostsupport::HostError& error) {
            reading.failure = error.what();
        }
    }
    return reading;
}

void SourceWorker::Publish(const Reading& reading, SourceFrame& slot, uint64_t position, uint64_t& framesThisPass)
{
    if (reading.restarted) {
        nextPosition = 0;
        framesThisPass = 0;
        return;
    }
    if (!reading.got) {
        stopped = true;
        if (!reading.failure.empty())
            status = hostsupport::OneLine(reading.failure);
        else if (framesThisPass == 0 && position == 0)
            status = "the input gave no frames";
        else if (!source->Loops())
            status = "the input ended";
        return;
    }
    ++framesThisPass;
    slot.position = position;
    slot.decodeMs = reading.milliseconds;
    nextPosition = position + 1;
    ++ready;
}

}  // namespace play
