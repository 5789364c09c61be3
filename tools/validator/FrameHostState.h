// Host GL state that every frame must give back, read before and after each
// frame the validator runs: blending, the viewport, and the textures and
// samplers bound on the units an effect may borrow.
#pragma once

#include <string>

namespace validator {

struct FrameHostState {
    static constexpr int kUnits = 16;
    struct Unit {
        int texture2d = 0, rectangle = 0, sampler = 0;
    };

    bool blend = false;
    int viewport[4] = {0, 0, 0, 0};
    Unit units[kUnits];

    // Of the current context; the active unit is left as it was.
    static FrameHostState Read();
};

// What the frame changed, as a reason; empty when it gave everything back.
std::string FrameStateChange(const FrameHostState& before, const FrameHostState& after);

}  // namespace validator
