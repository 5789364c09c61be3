// Counts the draw calls and read-backs of everything in the process, a loaded
// plug-in included: the executable defines glDrawArrays and glReadPixels
// itself (and exports them, see the CMake property ENABLE_EXPORTS), counts,
// and forwards to the driver's.
#pragma once

#include <cstdint>

namespace hostkit {

uint64_t DrawCallCount();
// The vertices those calls asked for, a measure of the primitives drawn.
uint64_t DrawnVertexCount();
// Bytes that glReadPixels calls asked for (width x height x 4 for RGBA bytes).
uint64_t ReadBackByteCount();
// Resets all three counts.
void ResetDrawCallCount();
// Off: calls are counted but never reach the driver, so that a benchmark can
// time what a caller spends before the renderer's own work.
void SetDrawCallsForwarded(bool forwarded);

}  // namespace hostkit
