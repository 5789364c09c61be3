// EGL: a context of the requested kind without any surface or display server, on
// Mesa's surfaceless platform or, where that is missing (NVIDIA), on the first
// EGL device that initialises.
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstring>
#include <string>
#include <vector>

#include "GlContext.h"
#include "GlContextImpl.h"

namespace hostkit {

namespace {

bool HasExtension(const char* list, const char* name)
{
    if (list == nullptr)
        return false;
    const size_t length = std::strlen(name);
    for (const char* at = list; (at = std::strstr(at, name)) != nullptr; at += length) {
        const bool startsWord = at == list || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

EGLDisplay InitialisedOrNone(EGLDisplay display)
{
    if (display == EGL_NO_DISPLAY)
        return EGL_NO_DISPLAY;
    EGLint major = 0, minor = 0;
    return eglInitialize(display, &major, &minor) ? display : EGL_NO_DISPLAY;
}

EGLDisplay OpenDisplay(std::string* error)
{
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!HasExtension(clientExtensions, "EGL_EXT_platform_base") || getPlatformDisplay == nullptr) {
        *error = "EGL lacks EGL_EXT_platform_base: no display-less platform";
        return EGL_NO_DISPLAY;
    }
    if (HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        const EGLDisplay display =
            InitialisedOrNone(getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr));
        if (display != EGL_NO_DISPLAY)
            return display;
    }
    auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    if (HasExtension(clientExtensions, "EGL_EXT_device_enumeration") &&
        HasExtension(clientExtensions, "EGL_EXT_platform_device") && queryDevices != nullptr) {
        EGLint count = 0;
        if (queryDevices(0, nullptr, &count) && count > 0) {
            std::vector<EGLDeviceEXT> devices(static_cast<size_t>(count));
            if (queryDevices(count, devices.data(), &count)) {
                for (EGLint i = 0; i < count; ++i) {
                    const EGLDisplay display =
                        InitialisedOrNone(getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr));
                    if (display != EGL_NO_DISPLAY)
                        return display;
                }
            }
        }
    }
    *error = "no EGL surfaceless platform or device could be initialised";
    return EGL_NO_DISPLAY;
}

// One display per process, never terminated: terminating it would pull the
// ground from under any other context of the process on the same display.
EGLDisplay SharedDisplay(std::string* error)
{
    static std::string openError;
    static EGLDisplay display = OpenDisplay(&openError);
    if (display == EGL_NO_DISPLAY)
        *error = openError;
    return display;
}

class EglContext : public GlContext {
public:
    ~EglContext() override
    {
        if (context == EGL_NO_CONTEXT)
            return;
        if (eglGetCurrentContext() == context) {
            eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
            LeaveHostContext();
        }
        eglDestroyContext(display, context);
    }

    bool Init(const GlContextRequest& request, std::string* error)
    {
        kind = request.kind;
        display = SharedDisplay(error);
        if (display == EGL_NO_DISPLAY)
            return false;
        const char* extensions = eglQueryString(display, EGL_EXTENSIONS);
        if (!HasExtension(extensions, "EGL_KHR_surfaceless_context")) {
            *error = "the EGL display lacks EGL_KHR_surfaceless_context";
            return false;
        }
        if (!eglBindAPI(EGL_OPENGL_API)) {
            *error = "EGL cannot bind the desktop OpenGL API";
            return false;
        }
        EGLConfig config = nullptr;
        if (!HasExtension(extensions, "EGL_KHR_no_config_context")) {
            // Surface type 0 matches every config: the context never gets a surface.
            const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE, 0,
                                               EGL_RED_SIZE,        8,              EGL_GREEN_SIZE,   8,
                                               EGL_BLUE_SIZE,       8,              EGL_ALPHA_SIZE,   8,
                                               EGL_NONE};
            EGLint count = 0;
            if (!eglChooseConfig(display, configAttributes, &config, 1, &count) || count < 1) {
                *error = "no EGL configuration for desktop OpenGL";
                return false;
            }
        }
        const bool compat = request.kind == GlContextKind::Compat;
        const EGLint contextAttributes[] = {
            EGL_CONTEXT_MAJOR_VERSION,
            request.major,
            EGL_CONTEXT_MINOR_VERSION,
            request.minor,
            EGL_CONTEXT_OPENGL_PROFILE_MASK,
            compat ? EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT : EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
            EGL_CONTEXT_OPENGL_FORWARD_COMPATIBLE,
            ForwardCompatible(request.kind) ? EGL_TRUE : EGL_FALSE,
            EGL_CONTEXT_OPENGL_DEBUG,
            request.kind == GlContextKind::Debug ? EGL_TRUE : EGL_FALSE,
            EGL_NONE};
        context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
        if (context == EGL_NO_CONTEXT) {
            *error = "cannot create an " + RequestDescription(request) + " context";
            return false;
        }
        if (!MakeCurrent()) {
            *error = "cannot make the EGL context current or load GL entry points";
            return false;
        }
        return true;
    }

    bool MakeCurrent() override
    {
        if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
            return false;
        return LoadHostEntryPoints(kind);
    }

    void ReleaseCurrent() override
    {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        LeaveHostContext();
    }
    GlApi Api() const override { return GlApi::Egl; }

private:
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
};

}  // namespace

std::unique_ptr<GlContext> CreateEglContext(const GlContextRequest& request, std::string* error)
{
    std::unique_ptr<EglContext> context(new EglContext());
    if (!context->Init(request, error))
        return nullptr;
    return context;
}

}  // namespace hostkit
