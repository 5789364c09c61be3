// GLX: a context of the requested kind made with glXCreateContextAttribsARB, current
// without a drawable where the driver allows it (every draw goes to
// framebuffer objects), else on a tiny pbuffer. Without a drawable a careless
// draw to framebuffer 0 goes nowhere instead of into X.
#include <GL/glew.h>
#include <GL/glx.h>

#include <array>

#include "GlContext.h"
#include "GlContextImpl.h"

namespace hostkit {

namespace {

using CreateContextAttribs = GLXContext (*)(Display*, GLXFBConfig, GLXContext, Bool, const int*);

int IgnoreXErrors(Display*, XErrorEvent*)
{
    return 0;
}

// RGBA8 with pbuffers, for the contexts that cannot be current without a drawable.
bool ChooseConfig(Display* display, GLXFBConfig* config)
{
    const int attributes[] = {GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                              GLX_RED_SIZE,      8,               GLX_GREEN_SIZE,  8,
                              GLX_BLUE_SIZE,     8,               GLX_ALPHA_SIZE,  8,
                              None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
    if (configs == nullptr || count == 0)
        return false;
    *config = configs[0];
    XFree(configs);
    return true;
}

// The version, profile and flags of the kind asked for.
std::array<int, 9> ContextAttributes(const GlContextRequest& request)
{
    const bool compat = request.kind == GlContextKind::Compat;
    const int flags = ForwardCompatible(request.kind)            ? GLX_CONTEXT_FORWARD_COMPATIBLE_BIT_ARB
                      : request.kind == GlContextKind::Debug ? GLX_CONTEXT_DEBUG_BIT_ARB
                                                             : 0;
    return {GLX_CONTEXT_MAJOR_VERSION_ARB,
            request.major,
            GLX_CONTEXT_MINOR_VERSION_ARB,
            request.minor,
            GLX_CONTEXT_PROFILE_MASK_ARB,
            compat ? GLX_CONTEXT_COMPATIBILITY_PROFILE_BIT_ARB : GLX_CONTEXT_CORE_PROFILE_BIT_ARB,
            GLX_CONTEXT_FLAGS_ARB,
            flags,
            None};
}

// One connection per process: Mesa keeps per-display state alive after
// XCloseDisplay, so a connection per context would exhaust the X server's clients.
Display* SharedDisplay()
{
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

class GlxContext : public GlContext {
public:
    ~GlxContext() override
    {
        if (display == nullptr)
            return;
        if (glXGetCurrentContext() == context) {
            glXMakeContextCurrent(display, None, None, nullptr);
            LeaveHostContext();
        }
        if (pbuffer)
            glXDestroyPbuffer(display, pbuffer);
        if (context)
            glXDestroyContext(display, context);
        XSync(display, False);
    }

    bool Init(const GlContextRequest& request, std::string* error)
    {
        kind = request.kind;
        display = SharedDisplay();
        if (display == nullptr) {
            *error = "cannot open the X display (is Xvfb running and DISPLAY set?)";
            return false;
        }
        GLXFBConfig config = nullptr;
        if (!ChooseConfig(display, &config)) {
            *error = "no GLX framebuffer configuration with pbuffer support";
            return false;
        }
        auto create = reinterpret_cast<CreateContextAttribs>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCreateContextAttribsARB")));
        if (create == nullptr) {
            *error = "GLX_ARB_create_context is not available";
            return false;
        }
        const std::array<int, 9> contextAttributes = ContextAttributes(request);
        XErrorHandler previous = XSetErrorHandler(IgnoreXErrors);
        context = create(display, config, nullptr, True, contextAttributes.data());
        XSync(display, False);
        XSetErrorHandler(previous);
        if (context == nullptr) {
            *error = "cannot create a " + RequestDescription(request) + " context";
            return false;
        }
        if (!glXMakeContextCurrent(display, None, None, context)) {
            const int pbufferAttributes[] = {GLX_PBUFFER_WIDTH, 16, GLX_PBUFFER_HEIGHT, 16, None};
            pbuffer = glXCreatePbuffer(display, config, pbufferAttributes);
            if (!pbuffer) {
                *error = "cannot create a GLX pbuffer";
                return false;
            }
        }
        if (!MakeCurrent()) {
            *error = "cannot make the GLX context current or load GL entry points";
            return false;
        }
        return true;
    }

    bool MakeCurrent() override
    {
        if (!glXMakeContextCurrent(display, pbuffer, pbuffer, context))
            return false;
        return LoadHostEntryPoints(kind);
    }

    void ReleaseCurrent() override
    {
        glXMakeContextCurrent(display, None, None, nullptr);
        LeaveHostContext();
    }
    GlApi Api() const override { return GlApi::Glx; }

private:
    Display* display = nullptr;
    GLXContext context = nullptr;
    GLXPbuffer pbuffer = 0;
};

}  // namespace

std::unique_ptr<GlContext> CreateGlxContext(const GlContextRequest& request, std::string* error)
{
    std::unique_ptr<GlxContext> context(new GlxContext());
    if (!context->Init(request, error))
        return nullptr;
    return context;
}

}  // namespace hostkit
