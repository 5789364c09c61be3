// Fields of /proc/self/status, and the peak's reset through clear_refs.
#include "ProcessMemory.h"

#include <fstream>
#include <sstream>
#include <string>

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
    return StatusKib("VmRSS");
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
