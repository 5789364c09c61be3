// GLFW set-up with its errors turned into HostError, and the key queue the
// play loop reads (keys typed into a text field are left to the panel).
#include "PlayWindow.h"

#include <GL/glew.h>
// After GLEW, which must come before any other GL header.
#include <GLFW/glfw3.h>

#include <algorithm>

#include "hostsupport/HostError.h"

namespace play {

namespace {

std::string lastGlfwError;
bool keysCaptured = false;

void OnGlfwError(int, const char* description)
{
    lastGlfwError = description ? description : "unknown GLFW error";
}

GLFWmonitor* MonitorAt(int index)
{
    int count = 0;
    GLFWmonitor** monitors = glfwGetMonitors(&count);
    if (monitors == nullptr || count == 0)
        return nullptr;
    return monitors[std::clamp(index, 0, count - 1)];
}

}  // namespace

PlayWindow::PlayWindow(const std::string& title, int outputWidth, int outputHeight, int panelWidth,
                       int leastHeight, bool fullscreen, int monitor)
    : monitorIndex(monitor)
{
    glfwSetErrorCallback(OnGlfwError);
    if (!glfwInit())
        throw hostsupport::HostError("cannot open a window: " + lastGlfwError);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 1);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
#ifdef __APPLE__
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
#endif
    double scale = 1;
    if (GLFWmonitor* screen = MonitorAt(monitor))
        if (const GLFWvidmode* mode = glfwGetVideoMode(screen))
            // The output shrunk, aspect kept, until the window takes nine tenths of the screen.
            scale = std::min({1.0, (0.9 * mode->width - panelWidth) / outputWidth, 0.9 * mode->height / outputHeight});
    const int width = panelWidth + std::max(1, static_cast<int>(outputWidth * scale));
    const int height = std::max(leastHeight, static_cast<int>(outputHeight * scale));
    windowedWidth = width;
    windowedHeight = height;
    window = glfwCreateWindow(width, height, title.c_str(), nullptr, nullptr);
    if (window == nullptr) {
        glfwTerminate();
        throw hostsupport::HostError("cannot open a window with an OpenGL 4.1 core context: " + lastGlfwError);
    }
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        glfwDestroyWindow(window);
        glfwTerminate();
        throw hostsupport::HostError("cannot load the OpenGL functions (GLEW)");
    }
    glGetError();  // GLEW's own probing may leave one behind
    glfwSwapInterval(1);
    glfwSetWindowUserPointer(window, this);
    // Set before the panel's own callbacks, which call this one in turn.
    glfwSetKeyCallback(window, OnKey);
    if (fullscreen)
        ToggleFullscreen();
}

PlayWindow::~PlayWindow()
{
    glfwDestroyWindow(window);
    glfwTerminate();
}

void PlayWindow::OnKey(GLFWwindow* window, int key, int, int action, int)
{
    if (action != GLFW_PRESS && action != GLFW_REPEAT)
        return;
    if (keysCaptured)
        return;
    auto* self = static_cast<PlayWindow*>(glfwGetWindowUserPointer(window));
    // Only stepping repeats while held.
    if (action == GLFW_REPEAT && key != GLFW_KEY_LEFT && key != GLFW_KEY_RIGHT)
        return;
    self->keys.push_back(key);
}

void PlayWindow::SetKeysCaptured(bool captured)
{
    keysCaptured = captured;
}

bool PlayWindow::CloseRequested() const
{
    return glfwWindowShouldClose(window) != 0;
}

std::vector<int> PlayWindow::TakeKeys()
{
    std::vector<int> taken;
    taken.swap(keys);
    return taken;
}

void PlayWindow::FramebufferSize(int* width, int* height) const
{
    glfwGetFramebufferSize(window, width, height);
}

void PlayWindow::ToggleFullscreen()
{
    if (glfwGetWindowMonitor(window) != nullptr) {
        glfwSetWindowMonitor(window, nullptr, windowedX, windowedY, windowedWidth, windowedHeight, GLFW_DONT_CARE);
        return;
    }
    GLFWmonitor* screen = MonitorAt(monitorIndex);
    const GLFWvidmode* mode = screen ? glfwGetVideoMode(screen) : nullptr;
    if (mode == nullptr)
        return;
    glfwGetWindowPos(window, &windowedX, &windowedY);
    glfwGetWindowSize(window, &windowedWidth, &windowedHeight);
    glfwSetWindowMonitor(window, screen, 0, 0, mode->width, mode->height, mode->refreshRate);
}

void PlayWindow::WaitEvents(double seconds)
{
    if (seconds > 0)
        glfwWaitEventsTimeout(seconds);
    else
        glfwPollEvents();
}

void PlayWindow::Swap()
{
    glfwSwapBuffers(window);
}

hostkit::GlContextKind WindowContextKind()
{
#ifdef __APPLE__
    return hostkit::GlContextKind::Forward;
#else
    return hostkit::GlContextKind::Core;
#endif
}

std::string RendererLine()
{
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return std::string(renderer ? renderer : "?") + ", OpenGL " + (version ? version : "?");
}

}  // namespace play
