// zao-host play: a window that runs one or more FFGL 2 effects live on the
// generated scene, a clip or a camera, with each plug-in's own parameters in
// a panel, hot reload of rebuilt plug-ins, and the frame-time split.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace play {

struct PlayOptions {
    std::vector<std::string> plugins;  // in chain order
    std::string input;                 // empty: the generated scene
    uint32_t width = 0, height = 0;    // 0: the input's, or 1280x720
    double fps = 0;                    // 0: the input's, or 30
    uint32_t seed = 1;
    std::vector<std::string> settings;  // "Name=Value"
    bool watch = false;
    bool fullscreen = false;
    int monitor = 0;
    uint64_t frames = 0;  // 0: until the window is closed
    std::string screenshot;    // the whole window at the end, as PNG
    std::string describePanel;  // the panel's widgets as text, for scripts and tests
    bool verbose = false;
    bool headless = false;       // without a display, on a virtual one nobody sees
    double trialSeconds = 10;    // how long one call of a version on trial may take
    // Hidden, the child of a trial: try the one plug-in at --size with these kept values.
    bool tryVersion = false;
    std::vector<std::string> kept;
};

// Throws HostError for anything the user should fix; returns the exit status.
int RunPlay(const PlayOptions& options);

}  // namespace play
