// What the effect needs to know of the host's context, read once in InitGL:
// none of it can change while the context lives, and every glGet is a round
// trip on threaded drivers.
#pragma once

#include <cstdint>

struct ContextFacts {
    // glLineWidth(3) is allowed: a forward-compatible context refuses any
    // width above 1, and others may cap the aliased range below 3.
    bool wideLines;
    int32_t maxTextureSize;
    // A texture name's target can be asked without binding it (a core
    // profile of 4.5 or with GL_ARB_direct_state_access); where it cannot, a
    // name is only known to be some texture.
    bool textureTargetQuery;
    // Without that query, a unit to ask through instead, the last one, which
    // hosts leave alone: multi-bind (4.4) binds a name to its own target
    // there; a 4.1 context (macOS) can only try the 2D target and see whether
    // that raised an error.
    int32_t targetProbeUnit;
    bool targetProbeByError;
    // How many clip distances a host can have enabled, all of which the grid
    // draw writes.
    int32_t maxClipDistances;
};

ContextFacts ReadContextFacts();

// True where handle names an existing 2D texture, as far as the context can tell.
bool IsTexture2D(uint32_t handle, const ContextFacts& facts);
