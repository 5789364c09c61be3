// Detection timings on 1080p- and 4K-sized analysis grids, next to OpenCV's
// threshold + connectedComponentsWithStats on the same cells as the yardstick.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tracker/analysis/BlobDetection.h"
#include "tracker/analysis/TargetList.h"

#if ZAO_HAVE_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

constexpr float kThreshold = 0.4f;
constexpr DetectionParameters kDefaults{kThreshold, 0.0f, 0.1f, 0.5f};

enum Pattern { kEmpty, kLargeBlobs, kNoise, kCheckerboard, kPatternCount };
const char* const kPatternNames[kPatternCount] = {"empty", "large", "noise", "checker"};

const int32_t kSizes[][2] = {{576, 324}, {1152, 648}};

// Cells are pure black or white (random alpha), so a grey byte of 0 or 255
// thresholded anywhere between gives OpenCV exactly our mask.
std::vector<uint8_t> MakeGrid(Pattern pattern, int32_t w, int32_t h)
{
    std::vector<uint8_t> grid(static_cast<size_t>(w) * h * 4);
    std::mt19937 random(1234);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            bool on = false;
            switch (pattern) {
            case kEmpty:
                break;
            case kLargeBlobs: {
                // Five discs of a fifth to a tenth of the height.
                for (int k = 0; k < 5; ++k) {
                    const int32_t cx = w * (1 + 2 * k) / 10;
                    const int32_t cy = h * (k % 2 ? 3 : 7) / 10;
                    const int32_t r = h / (5 + k);
                    if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r)
                        on = true;
                }
                break;
            }
            case kNoise:
                on = random() & 1u;
                break;
            case kCheckerboard:
                on = ((x + y) & 1) == 0;
                break;
            default:
                break;
            }
            uint8_t* cell = &grid[(static_cast<size_t>(y) * w + x) * 4];
            cell[0] = cell[1] = cell[2] = on ? 255 : 0;
            cell[3] = static_cast<uint8_t>(random());
        }
    }
    return grid;
}

void SetCommonCounters(benchmark::State& state, int32_t w, int32_t h, size_t blobs)
{
    state.counters["cells"] = static_cast<double>(w) * h;
    state.counters["blobs"] = static_cast<double>(blobs);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(w) * h);
}

void BM_ExtractComponents(benchmark::State& state, Pattern pattern, int32_t w, int32_t h)
{
    const std::vector<uint8_t> grid = MakeGrid(pattern, w, h);
    DetectionWorkspace workspace;
    for (auto _ : state) {
        ExtractComponents(grid.data(), w, h, kThreshold, 0.0f, workspace);
        benchmark::DoNotOptimize(workspace.components.data());
        benchmark::ClobberMemory();
    }
    SetCommonCounters(state, w, h, workspace.components.size());
}

void BM_DetectTargets(benchmark::State& state, Pattern pattern, int32_t w, int32_t h)
{
    const std::vector<uint8_t> grid = MakeGrid(pattern, w, h);
    DetectionWorkspace workspace;
    std::vector<TrackedBlob> targets;
    for (auto _ : state) {
        DetectTargets(grid.data(), w, h, kDefaults, workspace, targets);
        benchmark::DoNotOptimize(targets.data());
        benchmark::ClobberMemory();
    }
    SetCommonCounters(state, w, h, workspace.components.size());
    state.counters["targets"] = static_cast<double>(targets.size());
}

#if ZAO_HAVE_OPENCV
// OpenCV starts from a grey CV_8U image of the cells made outside the timing
// (the cheapest input its threshold takes), so it is spared the luma that our
// timing includes; the timed part is the threshold and the labelling with
// statistics, with its output Mats kept between iterations as our workspace is.
// Run with one thread, as the effect is, and with OpenCV's default threads.
void BM_OpenCV(benchmark::State& state, Pattern pattern, int32_t w, int32_t h, int threads)
{
    const int previousThreads = cv::getNumThreads();
    cv::setNumThreads(threads);
    const std::vector<uint8_t> grid = MakeGrid(pattern, w, h);
    cv::Mat grey(h, w, CV_8U);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            grey.at<uint8_t>(y, x) = grid[(static_cast<size_t>(y) * w + x) * 4];
    cv::Mat binary, labels, stats, centroids;
    int count = 0;
    for (auto _ : state) {
        cv::threshold(grey, binary, 102.0, 1.0, cv::THRESH_BINARY);
        count = cv::connectedComponentsWithStats(binary, labels, stats, centroids, 4, CV_32S);
        benchmark::DoNotOptimize(count);
        benchmark::ClobberMemory();
    }
    cv::setNumThreads(previousThreads);
    SetCommonCounters(state, w, h, static_cast<size_t>(count > 0 ? count - 1 : 0));
}
#endif

// Keeps each benchmark's time per iteration and prints ours / OpenCV per pattern at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        // With repetitions the median stands for the benchmark; times are in microseconds.
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const std::string name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[name] = run.GetAdjustedRealTime();
            else if (run.run_type == Run::RT_Iteration)
                times[name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios() const
    {
        std::printf("\n%-18s %11s %11s %11s %11s %10s %10s %10s\n", "grid/pattern", "extract us", "detect us",
                    "cv 1t us", "cv mt us", "extract/cv", "detect/cv", "detect/mt");
        for (const auto& size : kSizes) {
            for (int p = 0; p < kPatternCount; ++p) {
                const std::string key = std::to_string(size[0]) + "x" + std::to_string(size[1]) + "/" +
                                        kPatternNames[p];
                const double extract = Find("Extract/" + key);
                const double detect = Find("Detect/" + key);
                const double cv = Find("OpenCV/" + key);
                const double mt = Find("OpenCVThreads/" + key);
                if (cv > 0.0 && mt > 0.0)
                    std::printf("%-18s %11.1f %11.1f %11.1f %11.1f %10.2f %10.2f %10.2f\n", key.c_str(), extract,
                                detect, cv, mt, extract / cv, detect / cv, detect / mt);
                else
                    std::printf("%-18s %11.1f %11.1f\n", key.c_str(), extract, detect);
            }
        }
    }

private:
    double Find(const std::string& name) const
    {
        const auto median = medians.find(name);
        if (median != medians.end())
            return median->second;
        const auto it = times.find(name);
        return it == times.end() ? -1.0 : it->second;
    }

    std::map<std::string, double> times;
    std::map<std::string, double> medians;
};

void RegisterAll()
{
    for (const auto& size : kSizes) {
        for (int p = 0; p < kPatternCount; ++p) {
            const Pattern pattern = static_cast<Pattern>(p);
            const std::string key = std::to_string(size[0]) + "x" + std::to_string(size[1]) + "/" + kPatternNames[p];
            benchmark::RegisterBenchmark(("Extract/" + key).c_str(), BM_ExtractComponents, pattern, size[0], size[1])
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("Detect/" + key).c_str(), BM_DetectTargets, pattern, size[0], size[1])
                ->Unit(benchmark::kMicrosecond);
#if ZAO_HAVE_OPENCV
            benchmark::RegisterBenchmark(("OpenCV/" + key).c_str(), BM_OpenCV, pattern, size[0], size[1], 1)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("OpenCVThreads/" + key).c_str(), BM_OpenCV, pattern, size[0], size[1], -1)
                ->Unit(benchmark::kMicrosecond);
#endif
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
