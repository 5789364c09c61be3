// Version and extension list of the current context, as the host reads them.
#include "GlFeatures.h"

#include <GL/glew.h>

#include <cstring>

namespace hostkit {

bool ContextHasFeature(int major, int minor, const char* extension)
{
    GLint contextMajor = 0, contextMinor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &contextMajor);
    glGetIntegerv(GL_MINOR_VERSION, &contextMinor);
    if (contextMajor > major || (contextMajor == major && contextMinor >= minor))
        return true;
    if (glGetStringi == nullptr)
        return false;
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const char* name = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        if (name != nullptr && std::strcmp(name, extension) == 0)
            return true;
    }
    return false;
}

}  // namespace hostkit
