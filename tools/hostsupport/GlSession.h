// The host's GL context for a whole command: GLX (on an Xvfb of our own when
// no display is set) or EGL without any display, and the renderer's name.
#pragma once

#include <memory>
#include <string>

#include "VirtualDisplay.h"
#include "hostkit/GlContext.h"

namespace hostsupport {

class GlSession {
public:
    // Throws HostError when no OpenGL 4.1 core-profile context can be made.
    static std::unique_ptr<GlSession> Open(hostkit::GlApi api);
    ~GlSession();

    // "GLX on :99 (started Xvfb), llvmpipe (...), OpenGL 4.5 (Core Profile) Mesa ..."
    std::string Description() const;
    const std::string& ApiName() const { return apiName; }
    const std::string& Renderer() const { return renderer; }

private:
    GlSession() = default;

    // Declared first so that it is destroyed last, after the context.
    VirtualDisplay display;
    std::unique_ptr<hostkit::GlContext> context;
    std::string apiName;
    std::string renderer;
};

hostkit::GlApi ParseGlApi(const std::string& name);

}  // namespace hostsupport
