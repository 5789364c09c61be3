// The GL extension loader, run once per library load however many host
// threads create their first instances at the same moment: the others wait
// for its result, since they need the entry points it fills in.
#include "GlLoader.h"

#include <GL/glew.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace {

bool glLoaderOk = false;

void RunGlLoader()
{
    // Entry points are resolved by name whatever the extension list says:
    // GLEW otherwise loads a core function only where its ARB extension is
    // listed, and macOS's 4.1 core profile does not list all of what 4.1
    // includes (GL_ARB_get_program_binary), which would leave them null.
    // Whether each one really exists is the effect's check, in InitGL.
    glewExperimental = GL_TRUE;
    GLenum result = glewInit();
#if defined(__linux__)
    // Under EGL (headless servers, Wayland hosts) GLEW has resolved every GL
    // entry point and only fails to find a GLX display; that is not a failure
    // of the context we draw with.
    if (result == GLEW_ERROR_NO_GLX_DISPLAY)
        result = GLEW_OK;
#endif
    glLoaderOk = result == GLEW_OK;
}

// The platform's run-once, which makes the others wait and publishes the
// result to them; GCC's Windows runtime without POSIX threads has no std::call_once.
#if defined(_WIN32)
INIT_ONCE glLoaderOnce = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK RunGlLoaderOnce(PINIT_ONCE, PVOID, PVOID*)
{
    RunGlLoader();
    return TRUE;
}
#else
pthread_once_t glLoaderOnce = PTHREAD_ONCE_INIT;
#endif

}  // namespace

bool EnsureGlLoader()
{
#if defined(_WIN32)
    InitOnceExecuteOnce(&glLoaderOnce, RunGlLoaderOnce, nullptr, nullptr);
#else
    pthread_once(&glLoaderOnce, RunGlLoader);
#endif
    return glLoaderOk;
}
