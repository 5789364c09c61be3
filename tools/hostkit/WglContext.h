// A hidden-window WGL core-profile context for the Windows host checks: the
// Windows counterpart of the GLX context in GlContext.h (every draw goes to
// framebuffer objects, so the window is never shown).
#pragma once

#include <memory>
#include <string>

namespace hostkit {

class WglContext {
public:
    // Null with a reason in error when no such context can be made.
    static std::unique_ptr<WglContext> Create(int major, int minor, std::string* error);
    ~WglContext();

    WglContext(const WglContext&) = delete;
    WglContext& operator=(const WglContext&) = delete;

    // Makes the context current on this thread and loads the host's GL entry points.
    bool MakeCurrent();
    void ReleaseCurrent();

    // The GL renderer and version strings of the current context, for reports.
    static std::string CurrentRendererDescription();

private:
    WglContext() = default;
    bool Init(int major, int minor, std::string* error);

    // HWND, HDC and HGLRC, kept opaque so that users need not include windows.h.
    void* window = nullptr;
    void* deviceContext = nullptr;
    void* context = nullptr;
};

}  // namespace hostkit
