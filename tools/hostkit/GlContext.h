// A headless OpenGL context for hosts without a window: GLX with a pbuffer on
// an X display (Xvfb), or EGL without any display server; of any kind a host
// may give its effects.
#pragma once

#include <memory>
#include <string>

namespace hostkit {

enum class GlApi { Glx, Egl };

// The kinds of context hosts give: a plain core profile, a forward-compatible
// core profile, a compatibility profile, a core profile with debug output
// (GL_KHR_debug) on, and macOS's forward-compatible 4.1 core profile with its
// short extension list and nothing past 4.1 (MacGlProfile.h; only in
// executables that link the kit's GL interposers).
enum class GlContextKind { Core, Forward, Compat, Debug, Mac };
constexpr GlContextKind kAllContextKinds[] = {GlContextKind::Core, GlContextKind::Forward, GlContextKind::Compat,
                                              GlContextKind::Debug, GlContextKind::Mac};

struct GlContextRequest {
    GlApi api = GlApi::Glx;
    GlContextKind kind = GlContextKind::Core;
    int major = 4;
    int minor = 1;
};

// "core", "forward", "compat", "debug", "mac".
const char* ContextKindName(GlContextKind kind);
bool ParseContextKind(const std::string& name, GlContextKind* kind);
// The context the tests and benchmarks run in: ZAO_GL_CONTEXT names a kind,
// or "egl" for an EGL core context; unset or empty is a GLX core context.
// False, with the reason, for a name it does not know.
bool ContextRequestFromEnvironment(GlContextRequest* request, std::string* error);

class GlContext {
public:
    virtual ~GlContext() = default;
    // Makes the context current on this thread and loads the host's GL entry points.
    virtual bool MakeCurrent() = 0;
    virtual void ReleaseCurrent() = 0;
    virtual GlApi Api() const = 0;
    GlContextKind Kind() const { return kind; }

    // Null with a reason in error when no such context can be made.
    static std::unique_ptr<GlContext> Create(const GlContextRequest& request, std::string* error);
    // Whether this program can make a context of the kind (mac needs the interposers).
    static bool KindAvailable(GlContextKind kind, std::string* reason);
    static std::unique_ptr<GlContext> Create(GlApi api, int major, int minor, std::string* error)
    {
        return Create(GlContextRequest{api, GlContextKind::Core, major, minor}, error);
    }

protected:
    GlContextKind kind = GlContextKind::Core;
};

// The GL renderer and version strings of the current context, for reports.
std::string CurrentRendererDescription();
// "GLX core 4.1", "EGL forward 4.1": what a request asks for, for reports.
std::string RequestDescription(const GlContextRequest& request);

}  // namespace hostkit
