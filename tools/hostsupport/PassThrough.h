// The host's own bare pass-through: one textured quad (one draw call) with a
// trivial shader into the bound framebuffer's viewport. The yardstick of the
// benchmarks, and how play shows its output in the window.
#pragma once

#include <cstdint>

namespace hostsupport {

class PassThrough {
public:
    PassThrough();  // needs a current context; throws HostError when the shaders fail
    ~PassThrough();
    PassThrough(const PassThrough&) = delete;
    PassThrough& operator=(const PassThrough&) = delete;

    // Draws texture over the whole of the bound framebuffer's viewport.
    void Draw(uint32_t texture) const;

private:
    uint32_t program = 0;
    uint32_t vertexArray = 0;
    int samplerLocation = -1;
};

}  // namespace hostsupport
