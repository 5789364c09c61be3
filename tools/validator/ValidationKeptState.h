// The part of the validator's gl-state test that checks what a frame gives
// back: host GL state that no FFGL frame owns must be as the host left it.
#pragma once

#include <string>

#include "ValidationHarness.h"

namespace validator {

// Runs one frame per piece of host state on a new instance each time (so
// that first-frame set-up is covered too); throws on the first leak. Returns
// how many pieces were checked.
int CheckKeptHostState(Session& session, FrameRig& rig);

}  // namespace validator
