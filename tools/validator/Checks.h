// The validator's tests, one function each (they run inside the child process
// of their test and throw TestFailure on the first fault), and the few steps
// that several of them share.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ValidationHarness.h"

namespace validator {

// Create/destroy cycles in the core context, and in the other kinds, where
// the same lifecycle is checked again and a shorter run keeps the suite quick.
constexpr uint32_t kCycles = 1000;
constexpr uint32_t kShortCycles = 100;

std::string InfoRecords(Session& session);
std::string FunctionCodes(Session& session);
std::string CreateDestroy(Session& session);
std::string CreateDestroyFrames(Session& session);
std::string GlResources(Session& session);
std::string ParameterStorm(Session& session);
std::string FrameSizes(Session& session);
std::string ZeroSizeTexture(Session& session);
std::string Resize(Session& session);
std::string ManyInstances(Session& session);
std::string GlState(Session& session);
std::string InputHandles(Session& session);
std::string ViewportIndices(Session& session);
std::string DeclaredSize(Session& session);
std::string Growth(Session& session);

// "WxH".
std::string Size(uint32_t width, uint32_t height);
// cycles times: code 18, one 64x64 frame, code 19.
void CyclesWithFrames(Session& session, uint32_t cycles);
// The first frame of a fresh instance, at time 0 with the default parameters;
// hostState and undo as FrameRig::Process runs them.
std::vector<uint8_t> FirstFrame(Session& session, FrameRig& rig, const std::string& what,
                                const std::function<void()>& hostState = {}, const std::function<void()>& undo = {});

}  // namespace validator
