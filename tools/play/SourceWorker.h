// The input of the live window: the generated scene, a clip or image sequence
// (looped), or a camera, decoded on a worker thread a few frames ahead, so that
// the GL thread only ever takes a finished frame. A source that ends or fails
// leaves its last frame in place and says why in Status().
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "hostkit/Image.h"

namespace play {

using hostkit::Image;

// Runs on the worker thread only.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    // The next frame, rows top first; false at the end; throws HostError.
    virtual bool Read(Image& image) = 0;
    // Makes position the next frame Read gives; false when the source cannot go there.
    virtual bool Seek(uint64_t position) = 0;
    // A clip starts again at its end; a camera has none.
    virtual bool Loops() const = 0;
};

// The scene of zao-host render at fps frames per second, fixed by the seed.
std::unique_ptr<FrameSource> MakeSceneSource(uint32_t seed, double fps);
// Anything ffmpeg reads, scaled to width x height, stepped and sought by its
// own frame rate clipFps; /dev/videoN is a camera.
std::unique_ptr<FrameSource> MakeVideoSource(const std::string& path, double clipFps, uint32_t width, uint32_t height);

// A decoded frame, rows bottom first as a texture takes them.
struct SourceFrame {
    Image image;
    uint64_t position = 0;  // the frame's number in its source
    float decodeMs = 0;     // the worker's time to read and order it
};

class SourceWorker {
public:
    SourceWorker(std::unique_ptr<FrameSource> source, uint32_t width, uint32_t height);
    ~SourceWorker();
    SourceWorker(const SourceWorker&) = delete;
    SourceWorker& operator=(const SourceWorker&) = delete;

    // The next frame in order when the worker has it, else null. It stays
    // valid, and the worker leaves it alone, until the next TakeNext.
    const SourceFrame* TakeNext();
    // The frame after this one is position; frames decoded ahead are dropped.
    // False when the source cannot seek (a camera).
    bool Seek(uint64_t position);
    bool CanSeek() const { return canSeek; }
    // While held, the worker starts no new frame: the effects' calls then have
    // the processor to themselves, as in zao-host render, where the input is
    // made before the call and not beside it.
    void Hold(bool hold);
    // Empty while the source runs; why it stopped when it has.
    std::string Status() const;

private:
    static constexpr size_t kSlots = 4;  // one held by the GL thread, the rest ahead

    // One read's outcome, taken without the lock.
    struct Reading {
        bool got = false;
        bool restarted = false;  // the clip ended and starts again
        std::string failure;
        float milliseconds = 0;
    };

    void Run();
    void SeekNow(std::unique_lock<std::mutex>& lock);
    Reading ReadInto(Image& fileFrame, SourceFrame& slot, uint64_t framesThisPass);
    // Under the lock: the frame joins the ring, or the source stops with why.
    void Publish(const Reading& reading, SourceFrame& slot, uint64_t position, uint64_t& framesThisPass);

    std::unique_ptr<FrameSource> source;
    std::array<SourceFrame, kSlots> slots;
    mutable std::mutex mutex;
    std::condition_variable wake;
    size_t first = 0;  // oldest decoded slot
    size_t ready = 0;  // decoded slots from first on
    uint64_t nextPosition = 0;
    uint64_t generation = 0;  // bumped by every seek
    bool seekWanted = false;
    bool held = false;
    bool quit = false;
    bool stopped = false;
    bool canSeek = true;
    std::string status;
    std::thread thread;
};

}  // namespace play
