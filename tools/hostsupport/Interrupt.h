// Ctrl-C and termination turned into a flag that the frame loops check, so
// that partial outputs are removed and our Xvfb is stopped before we exit.
#pragma once

namespace hostsupport {

void InstallInterruptHandlers();
bool Interrupted();

}  // namespace hostsupport
