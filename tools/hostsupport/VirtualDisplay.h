// An Xvfb server of our own for GLX when no X display is set: started on a
// free display number (Xvfb picks it, -displayfd), DISPLAY pointed at it, and
// stopped when this object goes; it also dies with us if we are killed.
#pragma once

#include <sys/types.h>

#include <string>

namespace hostsupport {

class VirtualDisplay {
public:
    // Does nothing when DISPLAY is already set; throws HostError when Xvfb cannot start.
    static VirtualDisplay EnsureDisplay();

    VirtualDisplay() = default;
    VirtualDisplay(VirtualDisplay&& other) noexcept;
    VirtualDisplay& operator=(VirtualDisplay&& other) noexcept;
    ~VirtualDisplay();

    bool Started() const { return pid > 0; }
    const std::string& Name() const { return name; }
    void Stop();

private:
    pid_t pid = -1;
    std::string name;
};

}  // namespace hostsupport
