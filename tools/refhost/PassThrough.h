// The host's own bare pass-through, the yardstick of the benchmark: one
// textured quad (one draw call) with a trivial shader into a framebuffer.
#pragma once

#include <cstdint>

namespace refhost {

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

}  // namespace refhost
