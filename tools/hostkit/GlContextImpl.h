// Internal to the host kit: the per-API constructors and the entry-point loader.
#pragma once

#include <memory>
#include <string>

namespace hostkit {

class GlContext;
struct GlContextRequest;

std::unique_ptr<GlContext> CreateGlxContext(const GlContextRequest& request, std::string* error);
std::unique_ptr<GlContext> CreateEglContext(const GlContextRequest& request, std::string* error);
// Loads the host's own GL entry points for the current context.
bool LoadHostEntryPoints();

}  // namespace hostkit
