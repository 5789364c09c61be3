// Runs the GL extension loader once per library load, at the first instance
// creation, with the host's context current.
#pragma once

// True when the loader has run successfully; a failed run is never retried.
bool EnsureGlLoader();
