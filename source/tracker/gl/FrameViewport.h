// Index 0's viewport as the host set it, for the stages that need it (the
// GPU road's draw, lines drawn as quads): read at most once a frame, since a
// glGet is a round trip on threaded drivers, and only when a stage asks.
#pragma once

class FrameViewport {
public:
    // At the start of each frame: the host may have moved it since.
    void Forget() { known = false; }
    const float* Get();

private:
    float values[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    bool known = false;
};
