// Sanitized builds only: the X, GLX, EGL and GLEW set-up calls of our
// executables, wrapped at link time so that what those libraries allocate
// inside them (and never free) is not counted as a leak. Their frames carry no
// frame pointers, so LeakSanitizer could not attribute or suppress it by name.
#include <GL/glew.h>
#include <GL/glx.h>
#include <EGL/egl.h>
#include <sanitizer/lsan_interface.h>

namespace {

// Third-party allocations made while one of these lives are ignored by the leak check.
struct ThirdPartyScope {
    ThirdPartyScope() { __lsan_disable(); }
    ~ThirdPartyScope() { __lsan_enable(); }
    ThirdPartyScope(const ThirdPartyScope&) = delete;
    ThirdPartyScope& operator=(const ThirdPartyScope&) = delete;
};

}  // namespace

// Visible, so that a shared library's own calls (GLFW opening its display)
// bind to the wrappers too, rather than fail the link.
#pragma GCC visibility push(default)
extern "C" {

Display* __real_XOpenDisplay(const char* name);
Display* __wrap_XOpenDisplay(const char* name)
{
    ThirdPartyScope scope;
    return __real_XOpenDisplay(name);
}

GLXFBConfig* __real_glXChooseFBConfig(Display* display, int screen, const int* attributes, int* count);
GLXFBConfig* __wrap_glXChooseFBConfig(Display* display, int screen, const int* attributes, int* count)
{
    ThirdPartyScope scope;
    return __real_glXChooseFBConfig(display, screen, attributes, count);
}

Bool __real_glXMakeContextCurrent(Display* display, GLXDrawable draw, GLXDrawable read, GLXContext context);
Bool __wrap_glXMakeContextCurrent(Display* display, GLXDrawable draw, GLXDrawable read, GLXContext context)
{
    ThirdPartyScope scope;
    return __real_glXMakeContextCurrent(display, draw, read, context);
}

GLXPbuffer __real_glXCreatePbuffer(Display* display, GLXFBConfig config, const int* attributes);
GLXPbuffer __wrap_glXCreatePbuffer(Display* display, GLXFBConfig config, const int* attributes)
{
    ThirdPartyScope scope;
    return __real_glXCreatePbuffer(display, config, attributes);
}

EGLBoolean __real_eglInitialize(EGLDisplay display, EGLint* major, EGLint* minor);
EGLBoolean __wrap_eglInitialize(EGLDisplay display, EGLint* major, EGLint* minor)
{
    ThirdPartyScope scope;
    return __real_eglInitialize(display, major, minor);
}

EGLContext __real_eglCreateContext(EGLDisplay display, EGLConfig config, EGLContext share, const EGLint* attributes);
EGLContext __wrap_eglCreateContext(EGLDisplay display, EGLConfig config, EGLContext share, const EGLint* attributes)
{
    ThirdPartyScope scope;
    return __real_eglCreateContext(display, config, share, attributes);
}

EGLBoolean __real_eglMakeCurrent(EGLDisplay display, EGLSurface draw, EGLSurface read, EGLContext context);
EGLBoolean __wrap_eglMakeCurrent(EGLDisplay display, EGLSurface draw, EGLSurface read, EGLContext context)
{
    ThirdPartyScope scope;
    return __real_eglMakeCurrent(display, draw, read, context);
}

GLenum __real_glewInit();
GLenum __wrap_glewInit()
{
    ThirdPartyScope scope;
    return __real_glewInit();
}

}  // extern "C"
#pragma GCC visibility pop
