// A SIGSEGV/SIGBUS handler that only writes, then raises the signal again
// under the default action (SA_RESETHAND), so the parent still sees it, be it
// a fault or a raise().
#include "CrashNote.h"

#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include <cstring>

#include "hostkit/MacGlProfile.h"

namespace validator {

namespace {

int noteFd = -1;

// Functions of 4.1 that only GL_ARB_get_program_binary brings, which macOS
// does not list: a loader that goes by the list (GLEW without
// glewExperimental, which loads the other extensions 4.1 includes with the
// version) never asks for them; and one that every loader asks for.
constexpr const char* kOnlyByName[] = {"glGetProgramBinary", "glProgramBinary", "glProgramParameteri"};
constexpr const char kLoadedAnything[] = "glCreateShader";

constexpr char kByExtensionList[] =
    "note the plug-in loads OpenGL by the extension list (GLEW without glewExperimental?): it never asked for "
    "glGetProgramBinary, glProgramBinary or glProgramParameteri, which OpenGL 4.1 includes and macOS does not list "
    "as an extension, so on a Mac they and others like them stay null\n";
constexpr char kNullCall[] =
    "note the plug-in called address 0: a function pointer it never checked, such as an OpenGL function this "
    "context does not give\n";

// Reads flags only: safe in a signal handler.
bool LoadsByExtensionList()
{
    const hostkit::MacGlProfileHooks* mac = hostkit::macGlProfile;
    if (mac == nullptr || !mac->askedFor(kLoadedAnything))
        return false;
    for (const char* name : kOnlyByName)
        if (mac->askedFor(name))
            return false;
    return true;
}

bool JumpedToZero(void* context)
{
#if defined(__x86_64__)
    return static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP] == 0;
#elif defined(__aarch64__)
    return static_cast<ucontext_t*>(context)->uc_mcontext.pc == 0;
#else
    (void)context;
    return false;
#endif
}

void WriteAll(const char* text)
{
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t written = write(noteFd, text, left);
        if (written <= 0)
            return;
        text += written;
        left -= static_cast<size_t>(written);
    }
}

void OnCrash(int signal, siginfo_t*, void* context)
{
    if (LoadsByExtensionList())
        WriteAll(kByExtensionList);
    else if (JumpedToZero(context))
        WriteAll(kNullCall);
    raise(signal);
}

}  // namespace

void InstallCrashNote(int reportFd)
{
    noteFd = reportFd;
    if (hostkit::macGlProfile != nullptr)
        hostkit::macGlProfile->forgetAsked();
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_sigaction = OnCrash;
    action.sa_flags = SA_SIGINFO | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGSEGV, &action, nullptr);
    sigaction(SIGBUS, &action, nullptr);
}

std::string LoaderNote()
{
    if (!LoadsByExtensionList())
        return {};
    std::string note = kByExtensionList + 5;  // without "note "
    note.pop_back();
    return note;
}

}  // namespace validator
