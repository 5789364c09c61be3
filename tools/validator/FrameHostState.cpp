// Reading and comparing the host state around one frame.
#include "FrameHostState.h"

#include <GL/glew.h>

namespace validator {

namespace {

std::string Joined(const int* values, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += (i ? "," : "") + std::to_string(values[i]);
    return text;
}

// "the frame left texture 5 bound to GL_TEXTURE_2D on unit 3 (the host had 0)"
std::string Binding(const char* object, const char* bound, int after, int before, int unit)
{
    return "the frame left " + std::string(object) + " " + std::to_string(after) + " bound" + bound + " on unit " +
           std::to_string(unit) + " (the host had " + std::to_string(before) + ")";
}

}  // namespace

FrameHostState FrameHostState::Read()
{
    FrameHostState state;
    state.blend = glIsEnabled(GL_BLEND) == GL_TRUE;
    glGetIntegerv(GL_VIEWPORT, state.viewport);
    GLint active = GL_TEXTURE0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    for (int unit = 0; unit < kUnits; ++unit) {
        glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &state.units[unit].texture2d);
        glGetIntegerv(GL_TEXTURE_BINDING_RECTANGLE, &state.units[unit].rectangle);
        glGetIntegerv(GL_SAMPLER_BINDING, &state.units[unit].sampler);
    }
    glActiveTexture(static_cast<GLenum>(active));
    return state;
}

// Blending off and a unit's bindings at 0 are the neutral state an effect may
// leave (and the one FFGL hosts expect); anything else must be the host's own.
std::string FrameStateChange(const FrameHostState& before, const FrameHostState& after)
{
    if (after.blend && !before.blend)
        return "the frame left blending enabled (the host had it disabled)";
    if (Joined(after.viewport, 4) != Joined(before.viewport, 4))
        return "the frame moved the viewport to " + Joined(after.viewport, 4) + " from " + Joined(before.viewport, 4);
    for (int unit = 0; unit < FrameHostState::kUnits; ++unit) {
        const FrameHostState::Unit& was = before.units[unit];
        const FrameHostState::Unit& is = after.units[unit];
        if (is.texture2d != was.texture2d && is.texture2d != 0)
            return Binding("texture", " to GL_TEXTURE_2D", is.texture2d, was.texture2d, unit);
        if (is.rectangle != was.rectangle && is.rectangle != 0)
            return Binding("texture", " to GL_TEXTURE_RECTANGLE", is.rectangle, was.rectangle, unit);
        if (is.sampler != was.sampler && is.sampler != 0)
            return Binding("sampler", "", is.sampler, was.sampler, unit);
    }
    return {};
}

}  // namespace validator
