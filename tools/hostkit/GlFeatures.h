// Whether the current context has a feature: by its version or its extension
// list, never by a non-null entry point, which GLX hands out for any name.
#pragma once

namespace hostkit {

// True when the current context is at least GL major.minor or lists extension.
bool ContextHasFeature(int major, int minor, const char* extension);

}  // namespace hostkit
