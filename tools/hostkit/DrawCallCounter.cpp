// The interposed glDrawArrays. The plug-in takes glDrawArrays straight from
// the system GL, so a symbol of the same name in the executable comes first.
// Both calls count in GlCallCounter.h too, which interposes every other one.
#include "DrawCallCounter.h"

#include <GL/gl.h>

#include "GlCallCounter.h"

namespace {

uint64_t drawCalls = 0;
uint64_t drawnVertices = 0;
uint64_t readBackBytes = 0;
bool forwardCalls = true;

using DrawArraysFunction = void (*)(GLenum, GLint, GLsizei);

DrawArraysFunction RealDrawArrays()
{
    static DrawArraysFunction real = reinterpret_cast<DrawArraysFunction>(hostkit::DriverGlFunction("glDrawArrays"));
    return real;
}

using ReadPixelsFunction = void (*)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);

ReadPixelsFunction RealReadPixels()
{
    static ReadPixelsFunction real = reinterpret_cast<ReadPixelsFunction>(hostkit::DriverGlFunction("glReadPixels"));
    return real;
}

uint64_t BytesPerPixel(GLenum format, GLenum type)
{
    const uint64_t channels = format == GL_RGBA || format == GL_BGRA ? 4 : format == GL_RGB ? 3 : 1;
    const uint64_t size = type == GL_FLOAT ? 4 : type == GL_UNSIGNED_SHORT || type == GL_HALF_FLOAT ? 2 : 1;
    return channels * size;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height,
                                                                    GLenum format, GLenum type, void* pixels)
{
    static const size_t slot = hostkit::GlCallSlot("glReadPixels");
    hostkit::CountGlCall(slot);
    if (width > 0 && height > 0)
        readBackBytes += static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * BytesPerPixel(format, type);
    RealReadPixels()(x, y, width, height, format, type, pixels);
}

extern "C" __attribute__((visibility("default"))) void glDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    static const size_t slot = hostkit::GlCallSlot("glDrawArrays");
    hostkit::CountGlCall(slot);
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
    readBackBytes = 0;
}

uint64_t ReadBackByteCount()
{
    return readBackBytes;
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
