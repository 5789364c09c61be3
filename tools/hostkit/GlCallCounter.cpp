// The interposers behind GlCallCounter.h, one per core GL function of the list
// the build takes out of glcorearb.h (GlCoreFunctions.inc, GlCallCounter.cmake).
#define GL_GLEXT_PROTOTYPES
#include <GL/glcorearb.h>
#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "GlCallCounter.h"
#include "MacGlProfile.h"

#define ZAO_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

enum Slot : size_t {
#define ZAO_GL(how, returnType, name, parameters, arguments) k_##name,
#include "GlCoreFunctions.inc"
#undef ZAO_GL
    kSlotCount
};

uint64_t calls[kSlotCount];
// The driver's entry points: DriverGlFunction's for the linked functions, the
// driver's own GetProcAddress answers for the loaded ones.
void* realFunctions[kSlotCount];
thread_local bool counting = false;
std::string withheld;

inline void Count(Slot slot)
{
    if (counting)
        ++calls[slot];
}

template <typename Function> Function Linked(Slot slot, const char* name)
{
    if (realFunctions[slot] == nullptr)
        realFunctions[slot] = hostkit::DriverGlFunction(name);
    return reinterpret_cast<Function>(realFunctions[slot]);
}

template <typename Function> Function Loaded(Slot slot)
{
    return reinterpret_cast<Function>(realFunctions[slot]);
}

}  // namespace

// The executable's own GL 1.0 and 1.1 symbols, found before libGL's, and the
// wrappers that the GetProcAddress functions below hand out for the rest.
#define ZAO_GL_LINKED(returnType, name, parameters, arguments)       \
    ZAO_EXPORT returnType name parameters                            \
    {                                                                \
        Count(k_##name);                                             \
        return Linked<decltype(&::name)>(k_##name, #name) arguments; \
    }
#define ZAO_GL_LOADED(returnType, name, parameters, arguments) \
    static returnType Counted_##name parameters                \
    {                                                          \
        Count(k_##name);                                       \
        return Loaded<decltype(&::name)>(k_##name) arguments;  \
    }
#define ZAO_GL_KIT_LINKED(returnType, name, parameters, arguments)
#define ZAO_GL_KIT_LOADED(returnType, name, parameters, arguments)
#define ZAO_GL(how, returnType, name, parameters, arguments) ZAO_GL_##how(returnType, name, parameters, arguments)
#include "GlCoreFunctions.inc"
#undef ZAO_GL

namespace {

using ProcAddress = void (*)();

struct Entry {
    const char* name;
    ProcAddress counted;
    bool loaded;  // the wrapper calls what the driver's GetProcAddress answered
    bool past11;  // GL 1.2 or later: a plug-in takes it through GetProcAddress
};

#define ZAO_GL_COUNTED_LINKED(name) reinterpret_cast<ProcAddress>(&::name), false, false
#define ZAO_GL_COUNTED_KIT_LINKED(name) reinterpret_cast<ProcAddress>(&::name), false, false
#define ZAO_GL_COUNTED_KIT_LOADED(name) reinterpret_cast<ProcAddress>(&::name), false, true
#define ZAO_GL_COUNTED_LOADED(name) reinterpret_cast<ProcAddress>(&Counted_##name), true, true
#define ZAO_GL(how, returnType, name, parameters, arguments) {#name, ZAO_GL_COUNTED_##how(name)},
const Entry kEntries[kSlotCount] = {
#include "GlCoreFunctions.inc"
};
#undef ZAO_GL

const Entry* Find(const char* name)
{
    static const std::array<uint16_t, kSlotCount> byName = [] {
        std::array<uint16_t, kSlotCount> order{};
        for (size_t i = 0; i < kSlotCount; ++i)
            order[i] = static_cast<uint16_t>(i);
        std::sort(order.begin(), order.end(),
                  [](uint16_t a, uint16_t b) { return std::strcmp(kEntries[a].name, kEntries[b].name) < 0; });
        return order;
    }();
    const auto at = std::lower_bound(byName.begin(), byName.end(), name, [](uint16_t entry, const char* wanted) {
        return std::strcmp(kEntries[entry].name, wanted) < 0;
    });
    return at != byName.end() && std::strcmp(kEntries[*at].name, name) == 0 ? &kEntries[*at] : nullptr;
}

// The counting function in place of the driver's, or null where a mac
// context lacks the function. A driver's GetProcAddress may call another one
// that is interposed too and so return the wrapper itself, which must never
// become the wrapper's own target.
ProcAddress Interpose(const char* name, ProcAddress real)
{
    if (!hostkit::MacGlAllows(name) || (name != nullptr && withheld == name))
        return nullptr;
    const Entry* entry = name && real ? Find(name) : nullptr;
    if (entry == nullptr)
        return real;
    if (entry->loaded && real != entry->counted)
        realFunctions[entry - kEntries] = reinterpret_cast<void*>(real);
    return entry->counted;
}

template <typename Function> Function Next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool StartsWith(const char* name, const char* prefix)
{
    return std::strncmp(name, prefix, std::strlen(prefix)) == 0;
}

}  // namespace

ZAO_EXPORT ProcAddress glXGetProcAddressARB(const GLubyte* name)
{
    static const auto real = Next<ProcAddress (*)(const GLubyte*)>("glXGetProcAddressARB");
    return Interpose(reinterpret_cast<const char*>(name), real ? real(name) : nullptr);
}

ZAO_EXPORT ProcAddress glXGetProcAddress(const GLubyte* name)
{
    static const auto real = Next<ProcAddress (*)(const GLubyte*)>("glXGetProcAddress");
    return Interpose(reinterpret_cast<const char*>(name), real ? real(name) : nullptr);
}

ZAO_EXPORT ProcAddress eglGetProcAddress(const char* name)
{
    static const auto real = Next<ProcAddress (*)(const char*)>("eglGetProcAddress");
    return Interpose(name, real ? real(name) : nullptr);
}

namespace hostkit {

GlCallKind KindOfGlCall(const char* name)
{
    if (StartsWith(name, "glGet") || StartsWith(name, "glIs") || StartsWith(name, "glCheck"))
        return GlCallKind::Query;
    if ((StartsWith(name, "glDraw") && !StartsWith(name, "glDrawBuffer")) || StartsWith(name, "glMultiDraw"))
        return GlCallKind::Draw;
    return GlCallKind::Other;
}

GlCallCounting::GlCallCounting(bool on) : wasOn(counting)
{
    counting = counting || on;
}

GlCallCounting::~GlCallCounting()
{
    counting = wasOn;
}

GlCallCounts CountedGlCalls()
{
    GlCallCounts counts;
    for (const GlFunctionCalls& function : CountedGlCallsByFunction()) {
        uint64_t& total = function.kind == GlCallKind::Query  ? counts.queries
                          : function.kind == GlCallKind::Draw ? counts.draws
                                                              : counts.others;
        total += function.calls;
    }
    return counts;
}

std::vector<GlFunctionCalls> CountedGlCallsByFunction()
{
    std::vector<GlFunctionCalls> functions;
    for (size_t i = 0; i < kSlotCount; ++i)
        if (calls[i] > 0)
            functions.push_back({kEntries[i].name, KindOfGlCall(kEntries[i].name), calls[i]});
    std::stable_sort(functions.begin(), functions.end(), [](const GlFunctionCalls& a, const GlFunctionCalls& b) {
        return a.calls != b.calls ? a.calls > b.calls : std::strcmp(a.name, b.name) < 0;
    });
    return functions;
}

void ResetGlCallCounts()
{
    std::fill(std::begin(calls), std::end(calls), 0);
}

std::string GlCallList(const std::vector<GlFunctionCalls>& functions, GlCallKind kind, double frames)
{
    std::string list;
    for (const GlFunctionCalls& function : functions) {
        if (function.kind != kind)
            continue;
        const double perFrame = static_cast<double>(function.calls) / frames;
        const bool whole = perFrame == static_cast<double>(static_cast<uint64_t>(perFrame));
        char number[32];
        std::snprintf(number, sizeof number, whole ? "%.0f" : "%.2f", perFrame);
        list += (list.empty() ? "" : ", ") + std::string(function.name) + " " + number;
    }
    return list.empty() ? "none" : list;
}

void* DriverGlFunction(const char* name)
{
    static void* const library = [] {
        for (const char* file : {"libOpenGL.so.0", "libGL.so.1"})
            if (void* handle = dlopen(file, RTLD_NOW | RTLD_LOCAL))
                return handle;
        return RTLD_NEXT;
    }();
    return dlsym(library, name);
}

void WithholdGlFunction(const char* name)
{
    withheld = name ? name : "";
}

bool IsLoadedGlFunction(const char* name)
{
    const Entry* entry = Find(name);
    return entry != nullptr && entry->past11;
}

size_t GlCallSlot(const char* name)
{
    const Entry* entry = Find(name);
    return entry ? static_cast<size_t>(entry - kEntries) : kSlotCount;
}

void CountGlCall(size_t slot)
{
    if (slot < kSlotCount)
        Count(static_cast<Slot>(slot));
}

}  // namespace hostkit
