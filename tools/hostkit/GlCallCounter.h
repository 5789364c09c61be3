// Counts the GL calls one thread makes while counting is on, by function and
// kind, a loaded plug-in's included: the executable (ENABLE_EXPORTS) defines
// every GL 1.0 and 1.1 function, which a plug-in takes straight from libGL,
// and glXGetProcAddress(ARB) and eglGetProcAddress, which hand a loader such
// as GLEW counting wrappers of every later core function; all forward to the
// driver's. Off by itself, so that a host counts only the calls it means to
// (a plug-in's frame call, say), not its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hostkit {

// Queries (glGet*, glIs*, glCheck*FramebufferStatus) wait for the driver's
// answer, a round trip on threaded drivers; draws are glDraw* and
// glMultiDraw* (glDrawBuffer(s) set state); the rest set state or hand over data.
enum class GlCallKind { Query, Draw, Other };
GlCallKind KindOfGlCall(const char* name);

struct GlCallCounts {
    uint64_t queries = 0;
    uint64_t draws = 0;
    uint64_t others = 0;
};

struct GlFunctionCalls {
    const char* name;
    GlCallKind kind;
    uint64_t calls;
};

// Counting is on for the calling thread while one made with on = true lives.
class GlCallCounting {
public:
    explicit GlCallCounting(bool on = true);
    ~GlCallCounting();
    GlCallCounting(const GlCallCounting&) = delete;
    GlCallCounting& operator=(const GlCallCounting&) = delete;

private:
    bool wasOn;
};

// Since the last reset.
GlCallCounts CountedGlCalls();
// The functions called since the last reset, most calls first.
std::vector<GlFunctionCalls> CountedGlCallsByFunction();
void ResetGlCallCounts();

// "glGetIntegerv 3, glIsEnabled 1" for the calls of one kind, each divided by
// frames (so per frame); "none" when there are none.
std::string GlCallList(const std::vector<GlFunctionCalls>& functions, GlCallKind kind, double frames = 1);

// For tests of what a plug-in does without a function: from now on the
// GetProcAddress functions answer null for name, as a context without it
// would (null restores every function).
void WithholdGlFunction(const char* name);
// True for the functions a plug-in takes through GetProcAddress (GL 1.2 and
// later), false for GL 1.0 and 1.1, which it links from the system library.
bool IsLoadedGlFunction(const char* name);

// For the kit's other interposers (DrawCallCounter.cpp defines glDrawArrays
// and glReadPixels itself): a function's place in the count, one call of it,
// and the driver's function of that name. That comes from the library a
// plug-in links (glvnd's libOpenGL, else libGL), which dispatches to the
// current context of GLX and EGL alike: the next symbol of the name in the
// process may be a GLX vendor library's own, or missing under EGL.
size_t GlCallSlot(const char* name);
void CountGlCall(size_t slot);
void* DriverGlFunction(const char* name);

}  // namespace hostkit
