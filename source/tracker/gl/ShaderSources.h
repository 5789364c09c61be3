// GLSL sources of the effect, embedded at build time from the files in shaders/.
#pragma once

extern const char kPassThroughVertexSource[];
extern const char kPassThroughFragmentSource[];
extern const char kOverlayVertexSource[];
extern const char kOverlayFragmentSource[];
// Batched overlay draws whose colour changes from line to line carry it per vertex.
extern const char kOverlayVertexColorVertexSource[];
extern const char kOverlayVertexColorFragmentSource[];
// The GPU road of grid sampling: one fragment per cell.
extern const char kGridSampleVertexSource[];
extern const char kGridSampleFragmentSource[];
