// The validator's gl-resources test: after many create/destroy cycles with
// frames, no GL object of the plug-in is left and the host's own are alive.
#include "Checks.h"

#include <GL/glew.h>

#include "LiveGlObjects.h"

namespace validator {

std::string GlResources(Session& session)
{
    session.report.Step("counting the host's own GL objects");
    FrameRig rig(TestImage(64, 64, 7));
    const uint32_t limitBefore = GlNameLimit(20000);
    const LiveGlObjects before = CountLiveGlObjects(limitBefore);

    CyclesWithFrames(session, session.cycles);

    session.report.Step("counting the GL objects left after the cycles");
    glFinish();
    const uint32_t limit = GlNameLimit(limitBefore);
    const LiveGlObjects after = CountLiveGlObjects(limit);
    std::string leaks;
    for (size_t kind = 0; kind < kGlObjectKinds; ++kind)
        if (after[kind] != before[kind])
            leaks += (leaks.empty() ? "" : ", ") + std::string(kGlObjectKindNames[kind]) + " " +
                     std::to_string(before[kind]) + " -> " + std::to_string(after[kind]);
    Require(leaks.empty(),
            "live GL objects after " + std::to_string(session.cycles) + " create/destroy cycles: " + leaks);
    Require(glIsTexture(rig.Texture()) && glIsFramebuffer(rig.Framebuffer()),
            "the host's own texture or framebuffer was deleted by the plug-in");
    return std::to_string(session.cycles) + " cycles, names 1 to " + std::to_string(limit) + " probed";
}

}  // namespace validator
