// Hosts with several outputs render on several threads, each with its own
// context, and may create their first instances at the same moment on a
// freshly loaded library: every creation succeeds, once-only set-up runs once,
// and frames on all threads at once draw what one thread alone draws.
// The test command also runs this under ThreadSanitizer.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hostkit/EffectInstance.h"
#include "hostkit/FfglCodes.h"
#include "hostkit/GlContext.h"
#include "hostkit/HostGl.h"
#include "hostkit/Image.h"
#include "hostkit/PluginLibrary.h"

namespace {

constexpr int kThreads = 4;
constexpr int kRounds = 8;
constexpr int kFrames = 3;
constexpr uint32_t kWidth = 96, kHeight = 64;

// All threads leave Wait together, so that their next calls meet.
class Gate {
public:
    explicit Gate(int count) : count(count) {}
    void Wait()
    {
        std::unique_lock<std::mutex> lock(mutex);
        const int round = generation;
        if (++waiting == count) {
            waiting = 0;
            ++generation;
            opened.notify_all();
            return;
        }
        opened.wait(lock, [&] { return generation != round; });
    }

private:
    std::mutex mutex;
    std::condition_variable opened;
    int count, waiting = 0, generation = 0;
};

// The host's own GL set-up is not what is tested: its loader runs one thread at a time.
std::mutex hostSetUp;

std::unique_ptr<hostkit::GlContext> ThreadContext(std::string* error)
{
    const std::lock_guard<std::mutex> lock(hostSetUp);
    hostkit::GlContextRequest request;
    request.api = hostkit::GlApi::Egl;
    return hostkit::GlContext::Create(request, error);
}

// A different picture per thread, so that no thread can pass with another's pixels.
hostkit::Image ThreadImage(int thread)
{
    hostkit::Image image(kWidth, kHeight, 0, 0, 0);
    image.Fill(8 + 10 * thread, 10, 30 + 10 * thread, 40, 255, 255, 255, 255);
    image.Fill(60, 40 - 5 * thread, 80, 56, 255, 255, 255, 255);
    return image;
}

// One thread's host: its instance (made at the gate) and its frames.
struct ThreadHost {
    std::string failure;
    std::vector<std::vector<uint8_t>> frames;

    void Run(const hostkit::PluginLibrary& library, int thread, Gate& gate)
    {
        std::unique_ptr<hostkit::GlContext> context = ThreadContext(&failure);
        hostkit::Image image = ThreadImage(thread);
        hostkit::Texture input;
        hostkit::RenderTarget output;
        if (context) {
            input = hostkit::Texture(kWidth, kHeight, image.pixels.data());
            output = hostkit::RenderTarget(kWidth, kHeight);
        }
        gate.Wait();
        if (!context)
            return;
        hostkit::EffectInstance instance(library, kWidth, kHeight);
        if (!instance.Valid()) {
            failure = "code 18 refused the instance";
            return;
        }
        gate.Wait();
        const auto texture = hostkit::InputTexture::Whole(input.Name(), kWidth, kHeight);
        for (int frame = 0; frame < kFrames; ++frame) {
            hostkit::BeginFrame(output, 0, 0, 0, 0);
            if (instance.Frame(texture, output.framebuffer) != 0) {
                failure = "code 17 failed";
                return;
            }
            frames.push_back(hostkit::ReadPixels(output));
        }
        if (instance.Destroy() != 0)
            failure = "code 19 failed";
        input.Release();
        output.Release();
    }
};

std::vector<ThreadHost> RunHosts(const hostkit::PluginLibrary& library, int threads)
{
    std::vector<ThreadHost> hosts(static_cast<size_t>(threads));
    Gate gate(threads);
    std::vector<std::thread> running;
    for (int i = 0; i < threads; ++i)
        running.emplace_back([&, i] { hosts[static_cast<size_t>(i)].Run(library, i, gate); });
    for (std::thread& thread : running)
        thread.join();
    return hosts;
}

std::unique_ptr<hostkit::PluginLibrary> FreshLibrary()
{
    std::string error;
    auto library = hostkit::PluginLibrary::Load(ZAO_PLUGIN_PATH, true, &error);
    EXPECT_TRUE(library) << error;
    return library;
}

TEST(ConcurrentHostsTest, InstancesMadeAtOnceOnAFreshLibraryAllWorkAndDrawAsOneThreadAlone)
{
    // One thread at a time first: the pixels each thread must draw.
    std::vector<std::vector<uint8_t>> reference;
    for (int thread = 0; thread < kThreads; ++thread) {
        auto library = FreshLibrary();
        ASSERT_TRUE(library);
        ThreadHost alone;
        Gate gate(1);
        alone.Run(*library, thread, gate);
        ASSERT_EQ(alone.failure, "");
        reference.push_back(alone.frames.back());
    }
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        auto library = FreshLibrary();
        ASSERT_TRUE(library);
        const std::vector<ThreadHost> hosts = RunHosts(*library, kThreads);
        for (int thread = 0; thread < kThreads; ++thread) {
            const ThreadHost& host = hosts[static_cast<size_t>(thread)];
            ASSERT_EQ(host.failure, "") << "thread " << thread;
            ASSERT_EQ(host.frames.size(), static_cast<size_t>(kFrames));
            for (const std::vector<uint8_t>& frame : host.frames)
                EXPECT_TRUE(frame == reference[static_cast<size_t>(thread)]) << "thread " << thread;
        }
        EXPECT_EQ(library->Call32(ffgl::kDeinitialise), 0u);
    }
}

}  // namespace
