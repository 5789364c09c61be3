// The GL objects alive in the current context, counted by kind: every name
// up to a limit is asked whether it is a program, a shader, a buffer and so
// on, so that objects made by anyone (the plug-in's included) are counted.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace validator {

constexpr size_t kGlObjectKinds = 8;
// "programs", "shaders", "buffers", "vertex arrays", "framebuffers",
// "textures", "renderbuffers", "samplers".
extern const char* const kGlObjectKindNames[kGlObjectKinds];

using LiveGlObjects = std::array<size_t, kGlObjectKinds>;

// A limit above every name handed out so far, at least floor: twice the next
// name of each kind the driver hands out, whether it reuses names or not.
uint32_t GlNameLimit(uint32_t floor);
// The objects among names 1 to limit, by kind.
LiveGlObjects CountLiveGlObjects(uint32_t limit);

}  // namespace validator
