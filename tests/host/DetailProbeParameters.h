// The detail probe's parameter numbers, shared by the probe plug-in and the
// tests that drive it through plugMain.
#pragma once

#include <cstdint>

enum DetailProbeParameter : uint32_t {
    kFactoryFails = 0,  // latches: from then on the factory fails
    kRaiseEvents = 1,   // raises events on three parameters of this instance
    kReshape = 2,       // changes this instance's registry, so it differs from the prototype's
    kTempo = 3,
    kBarPhase = 4,
    kSampleRate = 5,
    kTopLeftEnabled = 6,
    kHostName = 7,
    kHostVersion = 8,
    kMedia = 9,
    kMode = 10,
};
