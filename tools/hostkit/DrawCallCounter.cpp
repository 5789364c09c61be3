// The interposed glDrawArrays. The plug-in takes glDrawArrays straight from
// the system GL, so a symbol of the same name in the executable comes first.
#include "DrawCallCounter.h"

#include <GL/gl.h>
#include <dlfcn.h>

namespace {

uint64_t drawCalls = 0;
uint64_t drawnVertices = 0;
bool forwardCalls = true;

using DrawArraysFunction = void (*)(GLenum, GLint, GLsizei);

DrawArraysFunction RealDrawArrays()
{
    static DrawArraysFunction real = reinterpret_cast<DrawArraysFunction>(dlsym(RTLD_NEXT, "glDrawArrays"));
    return real;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void glDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    ++drawCalls;
    if (count > 0)
        drawnVertices += static_cast<uint64_t>(count);
    if (forwardCalls)
        RealDrawArrays()(mode, first, count);
}

namespace hostkit {

uint64_t DrawCallCount()
{
    return drawCalls;
}

void ResetDrawCallCount()
{
    drawCalls = 0;
    drawnVertices = 0;
}

void SetDrawCallsForwarded(bool forwarded)
{
    forwardCalls = forwarded;
}

uint64_t DrawnVertexCount()
{
    return drawnVertices;
}

}  // namespace hostkit
