// Fields of /proc/self/status, and the peak's reset through clear_refs.
#include "ProcessMemory.h"

#include <cstddef>
#include <fstream>
#include <sstream>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#define ZAO_ADDRESS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZAO_ADDRESS_SANITIZED 1
#endif
#endif
#if defined(ZAO_ADDRESS_SANITIZED)
// The sanitizer runtime's (sanitizer/allocator_interface.h, which GCC does not ship).
extern "C" size_t __sanitizer_get_current_allocated_bytes(void);
#endif

namespace validator {

namespace {

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"), or -1.
long StatusKib(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) != 0)
            continue;
        long kib = -1;
        std::istringstream(line.substr(field.size() + 1)) >> kib;
        return kib;
    }
    return -1;
}

}  // namespace

long ResidentKib()
{
#if defined(ZAO_ADDRESS_SANITIZED)
    // AddressSanitizer keeps freed blocks resident for a while (its
    // quarantine) to catch late uses, so resident memory grows with every
    // block freed; the heap still allocated is what a leak grows.
    return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    return StatusKib("VmRSS");
#endif
}

long PeakBaseKib()
{
    std::ofstream reset("/proc/self/clear_refs");
    reset << "5" << std::flush;
    return reset ? StatusKib("VmRSS") : StatusKib("VmHWM");
}

long PeakKib()
{
    return StatusKib("VmHWM");
}

}  // namespace validator
