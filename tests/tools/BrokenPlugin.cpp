// A tiny FFGL 2 effect with one deliberate fault, chosen at build time, for
// the validator's tests: it crashes on frames, hangs on frames, or leaks one
// GL program per instance. Otherwise it clears the output to green.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <signal.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "hostkit/FfglCodes.h"

#define ZAO_FAULT_CRASH_ON_FRAME 1
#define ZAO_FAULT_HANG_ON_FRAME 2
#define ZAO_FAULT_LEAK_PROGRAM 3

#ifndef ZAO_BROKEN_FAULT
#error "ZAO_BROKEN_FAULT must name the fault"
#endif

namespace {

constexpr uint64_t kFailure = 0xFFFFFFFFu;

struct alignas(8) InfoRecord {
    uint32_t apiMajor = 2, apiMinor = 1;
    char code[4] = {'B', 'R', 'K', '1'};
    char name[16] = "Broken Probe";
    uint32_t type = 0;
};

struct alignas(8) ExtendedRecord {
    uint32_t major = 1, minor = 0;
    const char* description = "A plug-in with a deliberate fault";
    const char* about = "zao tests";
    uint32_t dataSize = 0;
    uint32_t padding = 0;
    const void* data = nullptr;
};

InfoRecord info;
ExtendedRecord extended;

struct Instance {
    unsigned program = 0;
};

uint64_t Frame(const void* record)
{
    uint32_t textureCount = 0;
    std::memcpy(&textureCount, record, 4);
    if (textureCount == 0)
        return kFailure;
#if ZAO_BROKEN_FAULT == ZAO_FAULT_CRASH_ON_FRAME
    raise(SIGSEGV);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_HANG_ON_FRAME
    for (;;)
        pause();
#endif
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    return 0;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) uint64_t plugMain(uint32_t code, uint64_t input, void* instance)
{
    const void* pointer = reinterpret_cast<const void*>(static_cast<uintptr_t>(input));
    switch (code) {
    case ffgl::kGetInfo:
        return reinterpret_cast<uintptr_t>(&info);
    case ffgl::kGetExtendedInfo:
        return reinterpret_cast<uintptr_t>(&extended);
    case ffgl::kDeinitialise:
    case ffgl::kInitialise:
    case ffgl::kGetParameterCount:
        return 0;
    case ffgl::kGetCapability:
        return input == ffgl::kCapabilityMinimumInputs || input == ffgl::kCapabilityMaximumInputs ? 1 : 0;
    case ffgl::kCreateInstance: {
        if (pointer == nullptr)
            return kFailure;
        Instance* made = new Instance();
#if ZAO_BROKEN_FAULT == ZAO_FAULT_LEAK_PROGRAM
        made->program = glCreateProgram();
#endif
        return reinterpret_cast<uintptr_t>(made);
    }
    case ffgl::kDestroyInstance:
        if (instance == nullptr)
            return kFailure;
        delete static_cast<Instance*>(instance);
        return 0;
    case ffgl::kProcessFrame:
        if (instance == nullptr || pointer == nullptr)
            return kFailure;
        return Frame(pointer);
    case ffgl::kSetTime:
    case ffgl::kConnect:
    case ffgl::kDisconnect:
    case ffgl::kResize:
        return instance == nullptr ? kFailure : 0;
    default:
        return kFailure;
    }
}

extern "C" __attribute__((visibility("default"))) void SetLogCallback(void (*)(const char*)) {}

