// The live window: GLFW with an OpenGL 4.1 core context, GLEW loaded for it,
// the keys a user pressed since the last look, and full screen on any monitor.
#pragma once

#include <string>
#include <vector>

#include "hostkit/GlContext.h"

struct GLFWwindow;

namespace play {

class PlayWindow {
public:
    // A window for an output of outputWidth x outputHeight beside a panel
    // panelWidth wide and at least leastHeight tall, the output shrunk to fit
    // the monitor; or full screen on monitor (0 the primary). Throws
    // HostError when none can be made.
    PlayWindow(const std::string& title, int outputWidth, int outputHeight, int panelWidth, int leastHeight,
               bool fullscreen, int monitor);
    ~PlayWindow();
    PlayWindow(const PlayWindow&) = delete;
    PlayWindow& operator=(const PlayWindow&) = delete;

    GLFWwindow* Handle() const { return window; }
    bool CloseRequested() const;
    // Keys (GLFW_KEY_*) pressed since the last call, in order.
    std::vector<int> TakeKeys();
    void FramebufferSize(int* width, int* height) const;
    void ToggleFullscreen();
    // Handles events, waiting for them at most seconds.
    void WaitEvents(double seconds);
    void Swap();

    // Whether keys go to the window rather than to a widget being typed into.
    static void SetKeysCaptured(bool captured);

private:
    static void OnKey(GLFWwindow* window, int key, int scancode, int action, int mods);

    GLFWwindow* window = nullptr;
    int monitorIndex = 0;
    // Where the window was before full screen.
    int windowedX = 0, windowedY = 0, windowedWidth = 0, windowedHeight = 0;
    std::vector<int> keys;
};

// The kind of context the window asks for, which a trial's off-screen context copies.
hostkit::GlContextKind WindowContextKind();

// The renderer's line for reports, from the current context.
std::string RendererLine();

}  // namespace play
