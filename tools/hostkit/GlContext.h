// A headless OpenGL core-profile context for hosts without a window: GLX with
// a pbuffer on an X display (Xvfb), or EGL without any display server.
#pragma once

#include <memory>
#include <string>

namespace hostkit {

enum class GlApi { Glx, Egl };

class GlContext {
public:
    virtual ~GlContext() = default;
    // Makes the context current on this thread and loads the host's GL entry points.
    virtual bool MakeCurrent() = 0;
    virtual void ReleaseCurrent() = 0;
    virtual GlApi Api() const = 0;

    // Null with a reason in error when no such context can be made.
    static std::unique_ptr<GlContext> Create(GlApi api, int major, int minor, std::string* error);
};

// The GL renderer and version strings of the current context, for reports.
std::string CurrentRendererDescription();

}  // namespace hostkit
