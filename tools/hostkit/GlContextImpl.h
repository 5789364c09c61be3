// Internal to the host kit: the per-API constructors and the entry-point loader.
#pragma once

#include <memory>
#include <string>

namespace hostkit {

class GlContext;
struct GlContextRequest;
enum class GlContextKind;

std::unique_ptr<GlContext> CreateGlxContext(const GlContextRequest& request, std::string* error);
std::unique_ptr<GlContext> CreateEglContext(const GlContextRequest& request, std::string* error);
// For a context of kind just made current on this thread: the mac
// imitation on or off, then the host's own GL entry points.
bool LoadHostEntryPoints(GlContextKind kind);
// For a context no longer current on this thread.
void LeaveHostContext();
// Forward-compatible: asked for, or a Mac's (every core context there is).
bool ForwardCompatible(GlContextKind kind);

}  // namespace hostkit
