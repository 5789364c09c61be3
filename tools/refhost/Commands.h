// The commands of zao-host, each given its parsed options; they throw
// HostError for anything the user should fix and return the exit status.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace refhost {

struct InfoOptions {
    std::string plugin;
    std::string thumbnail;  // PNG of the code 42 picture, written before the listing
};

struct RenderOptions {
    std::string plugin;
    std::string input;          // empty: the generated scene
    std::string output;         // MP4
    std::string framesDir;      // PNG frames
    std::string contactSheet;   // PNG
    std::string timingFile;     // the timing summary, also printed
    std::vector<std::string> settings;
    std::string size;           // empty: the input's, or 1280x720
    uint64_t frames = 0;        // 0: 120 for the scene, all of an input
    double fps = 0;             // 0: the input's, or 30
    uint32_t seed = 1;
    std::string gl = "glx";
    std::string codec = "auto";
    std::string sheetGrid = "3x2";
    bool verbose = false;
};

struct BenchOptions {
    std::string plugin;
    std::vector<std::string> sizes;
    std::vector<std::string> settings;
    uint64_t frames = 100;
    uint64_t warmup = 10;
    uint32_t blobs = 20;
    uint32_t seed = 1;
    std::string gl = "glx";
    std::string json;
    std::string snapshotDir;  // last frame of each plug-in run as PNG
    bool verbose = false;
};

struct ValidateOptions {
    std::string plugin;
    std::vector<std::string> only;  // empty: every test
    std::string gl = "glx";
    std::string context = "all";    // a context kind, or every kind the machine makes
    double timeout = 60;            // seconds per test
    bool list = false;
    std::string validateOne;        // hidden: run this test here, as the child
    bool probeContext = false;      // hidden: only open the context, as the child
};

int RunInfo(const InfoOptions& options);
int RunRender(const RenderOptions& options);
int RunBench(const BenchOptions& options);
int RunValidate(const ValidateOptions& options);

}  // namespace refhost
