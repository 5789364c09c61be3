// EGL: placeholder until the reference host brings surfaceless contexts.
#include "GlContext.h"
#include "GlContextImpl.h"

namespace hostkit {

std::unique_ptr<GlContext> CreateEglContext(int, int, std::string* error)
{
    *error = "EGL contexts are not supported yet";
    return nullptr;
}

}  // namespace hostkit
