// WGL: a hidden window with an OpenGL pixel format, a legacy context that is
// needed only to find wglCreateContextAttribsARB, then the core-profile context.
#include "WglContext.h"

#include <GL/glew.h>
#include <GL/wglew.h>
#include <windows.h>

namespace hostkit {

namespace {

constexpr const char* kWindowClass = "HostkitWglWindow";

bool RegisterWindowClass()
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

std::string LastErrorText(const char* what)
{
    return std::string(what) + " (Windows error " + std::to_string(GetLastError()) + ")";
}


// A double-buffered RGBA8 pixel format with depth and stencil, as hosts ask for.
bool ChooseHostPixelFormat(HDC dc)
{
    PIXELFORMATDESCRIPTOR descriptor = {};
    descriptor.nSize = sizeof(descriptor);
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = 32;
    descriptor.cAlphaBits = 8;
    descriptor.cDepthBits = 24;
    descriptor.cStencilBits = 8;
    descriptor.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat(dc, &descriptor);
    return format != 0 && SetPixelFormat(dc, format, &descriptor);
}

// wglGetProcAddress answers only with some context current, so a legacy one
// comes first and goes once the core-profile context is made (or refused).
HGLRC CreateCoreContext(HDC dc, int major, int minor, std::string* error)
{
    HGLRC legacy = wglCreateContext(dc);
    if (legacy == nullptr || !wglMakeCurrent(dc, legacy)) {
        if (legacy != nullptr)
            wglDeleteContext(legacy);
        *error = LastErrorText("cannot create or make current a legacy WGL context");
        return nullptr;
    }
    auto create = reinterpret_cast<PFNWGLCREATECONTEXTATTRIBSARBPROC>(
        reinterpret_cast<void (*)()>(wglGetProcAddress("wglCreateContextAttribsARB")));
    HGLRC core = nullptr;
    if (create != nullptr) {
        const int attributes[] = {WGL_CONTEXT_MAJOR_VERSION_ARB,
                                  major,
                                  WGL_CONTEXT_MINOR_VERSION_ARB,
                                  minor,
                                  WGL_CONTEXT_PROFILE_MASK_ARB,
                                  WGL_CONTEXT_CORE_PROFILE_BIT_ARB,
                                  0};
        core = create(dc, nullptr, attributes);
    }
    const DWORD createError = GetLastError();
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(legacy);
    if (create == nullptr)
        *error = "WGL_ARB_create_context is not available (no wglCreateContextAttribsARB)";
    else if (core == nullptr)
        *error = "cannot create an OpenGL " + std::to_string(major) + "." + std::to_string(minor) +
                 " core-profile context (Windows error " + std::to_string(createError) + ")";
    return core;
}

}  // namespace

std::unique_ptr<WglContext> WglContext::Create(int major, int minor, std::string* error)
{
    std::string ignored;
    std::unique_ptr<WglContext> result(new WglContext());
    if (!result->Init(major, minor, error ? error : &ignored))
        return nullptr;
    return result;
}

bool WglContext::Init(int major, int minor, std::string* error)
{
    if (!RegisterWindowClass()) {
        *error = LastErrorText("cannot register the window class");
        return false;
    }
    HWND hwnd = CreateWindowExA(0, kWindowClass, "hostkit", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    window = hwnd;
    if (hwnd == nullptr) {
        *error = LastErrorText("cannot create the hidden window");
        return false;
    }
    HDC dc = GetDC(hwnd);
    deviceContext = dc;
    if (dc == nullptr) {
        *error = LastErrorText("cannot get the window's device context");
        return false;
    }
    if (!ChooseHostPixelFormat(dc)) {
        *error = LastErrorText("no OpenGL pixel format for the window");
        return false;
    }
    context = CreateCoreContext(dc, major, minor, error);
    if (context == nullptr)
        return false;
    if (!MakeCurrent()) {
        *error = "cannot make the WGL context current or load GL entry points";
        return false;
    }
    return true;
}

WglContext::~WglContext()
{
    HGLRC glContext = static_cast<HGLRC>(context);
    if (glContext != nullptr) {
        if (wglGetCurrentContext() == glContext)
            wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(glContext);
    }
    if (deviceContext != nullptr)
        ReleaseDC(static_cast<HWND>(window), static_cast<HDC>(deviceContext));
    if (window != nullptr)
        DestroyWindow(static_cast<HWND>(window));
}

bool WglContext::MakeCurrent()
{
    if (!wglMakeCurrent(static_cast<HDC>(deviceContext), static_cast<HGLRC>(context)))
        return false;
    // By name, as on every platform (GlContext.cpp says why).
    glewExperimental = GL_TRUE;
    return glewInit() == GLEW_OK;
}

void WglContext::ReleaseCurrent()
{
    wglMakeCurrent(nullptr, nullptr);
}

std::string WglContext::CurrentRendererDescription()
{
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return std::string(renderer ? renderer : "unknown renderer") + ", OpenGL " + (version ? version : "unknown");
}

}  // namespace hostkit
