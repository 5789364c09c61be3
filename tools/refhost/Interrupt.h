// Ctrl-C and termination turned into a flag that the frame loops check, so
// that partial outputs are removed and our Xvfb is stopped before we exit.
#pragma once

namespace refhost {

void InstallInterruptHandlers();
bool Interrupted();

}  // namespace refhost
