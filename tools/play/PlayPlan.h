// What zao-host play will show, worked out and checked before any window
// exists: the frame size and rates, the plug-in files, the screenshot's
// place and the display, so that a mistake ends the start with one line
// rather than a session.
#pragma once

#include <cstdint>
#include <string>

#include "Play.h"

namespace play {

struct PlayPlan {
    uint32_t width = 1280, height = 720;
    double fps = 30;      // the window's frames per second
    double clipFps = 30;  // the input's own, which steps and seeks go by
    std::string sourceLine;
};

// Throws HostError for options that cannot work: no plug-in, a plug-in that
// is a folder or missing (unless watched, when the window waits for it), an
// input that cannot be read, a screenshot that names a folder or cannot get
// its folder, a setting without "=".
PlayPlan PlanPlay(const PlayOptions& options);

// Without a display the window has nowhere to go: throws HostError that says
// so, unless options.headless asks for a virtual display nobody sees.
void RequireDisplay(const PlayOptions& options);

}  // namespace play
