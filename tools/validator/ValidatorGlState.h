// The GL state the validator's own work needs (its clears, uploads and
// read-backs), set before each of them: whatever a plug-in left is then
// reported once, as the plug-in's, and never turns into a fault of the
// validator's next call.
#pragma once

namespace validator {

// Pixel storage, buffer, program, vertex array, texture-unit and sampler
// bindings at GL's defaults, and nothing that limits a clear: no scissor
// test, rasterizer discard or masked colour.
void UseValidatorGlState();

}  // namespace validator
