// What a plug-in's GL calls leave behind in the host's context: pending GL
// errors, and the error and undefined-behaviour messages of a debug context
// (GL_KHR_debug, synchronous output, so a message arrives inside the call
// that caused it).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hostkit {

// "GL_INVALID_VALUE", or "GL error 0x...." for a code without a name.
std::string GlErrorName(uint32_t error);
// Every pending GL error of the current context, oldest first; empty when
// none. Bounded, since a lost context can answer an error forever.
std::vector<uint32_t> DrainGlErrors();
// "GL_INVALID_VALUE, GL_INVALID_OPERATION".
std::string GlErrorList(const std::vector<uint32_t>& errors);

// Collects the debug messages of type error or undefined behaviour that
// arrive while Watching() is on. One per thread's current context at a time.
class GlDebugMessages {
public:
    // False where the current context gives no debug output (not a debug
    // context, or no GL_KHR_debug); nothing is installed then.
    bool Install();
    // Removes the callback; the destructor does too, with the context current.
    void Uninstall();
    ~GlDebugMessages();

    bool Installed() const { return installed; }
    void SetWatching(bool on) { watching = on; }
    // The messages since the last Take, one line each.
    std::vector<std::string> Take();

    // For the callback.
    void Add(uint32_t type, uint32_t id, const char* text);

private:
    bool installed = false;
    bool watching = false;
    std::vector<std::string> messages;
};

}  // namespace hostkit
