// The one read of the host's viewport a frame may make.
#include "FrameViewport.h"

#include "ffglex/GlHeaders.h"

const float* FrameViewport::Get()
{
    if (!known) {
        glGetFloati_v(GL_VIEWPORT, 0, values);
        known = true;
    }
    return values;
}
