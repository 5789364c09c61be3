// The context state an FFGL 2 host hands its plug-ins and expects back after
// each call: everything of the OpenGL 4.1 core profile's state tables that is
// context state (not state of an object), for every index and texture unit
// the current context has, and the state later versions add where the
// context has them.
#pragma once

#include <vector>

#include "GlStateTable.h"

namespace validator {

// The rows for the current context, in the order a snapshot reads them.
std::vector<StateRow> ContextStateRows();

}  // namespace validator
