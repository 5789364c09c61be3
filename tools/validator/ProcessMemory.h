// The validator process's own memory, as the kernel counts it: what is
// resident now and at most, for tests that bound what a plug-in takes.
#pragma once

namespace validator {

// Resident memory now (VmRSS), in KiB; -1 where it cannot be read. Under
// AddressSanitizer, whose quarantine keeps freed blocks resident, the heap in use.
long ResidentKib();
// Where peak resident memory counts from: the peak is reset to the current
// size where the kernel allows it, else growth counts from the peak so far.
long PeakBaseKib();
// The peak so far (VmHWM), in KiB.
long PeakKib();

}  // namespace validator
