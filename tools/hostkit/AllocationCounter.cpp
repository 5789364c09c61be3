// The interposed allocator: glibc's own entry points do the work; while the
// starting thread counts, each of its allocations is attributed by walking
// its stack, and the module's live blocks are kept in a fixed table so that
// frees lower the live sum. Nothing here allocates.
#include "AllocationCounter.h"

#include <cerrno>
#include <cstddef>

#ifndef ZAO_SANITIZED
#include <dlfcn.h>
#include <execinfo.h>
#include <malloc.h>

#include <new>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);
}

namespace {

thread_local bool counting = false;
thread_local bool inside = false;
hostkit::AllocationStats stats;
int64_t liveBytes = 0;
const void* moduleBase = nullptr;
const void* runtimeBases[3] = {};  // this executable, the C runtime, the C++ runtime

// Open addressing over block addresses; a full table stops recording (the
// live sum then only grows, which errs on the high side).
constexpr size_t kTableSize = 1 << 16;
void* liveBlocks[kTableSize];
void* const kRemoved = reinterpret_cast<void*>(1);

size_t Slot(const void* block)
{
    return (reinterpret_cast<uintptr_t>(block) >> 4) * 0x9E3779B97F4A7C15ull >> 48;
}

void Remember(void* block)
{
    for (size_t i = Slot(block), n = 0; n < kTableSize; i = (i + 1) % kTableSize, ++n)
        if (liveBlocks[i] == nullptr || liveBlocks[i] == kRemoved) {
            liveBlocks[i] = block;
            return;
        }
}

bool Forget(void* block)
{
    for (size_t i = Slot(block), n = 0; n < kTableSize && liveBlocks[i] != nullptr; i = (i + 1) % kTableSize, ++n)
        if (liveBlocks[i] == block) {
            liveBlocks[i] = kRemoved;
            return true;
        }
    return false;
}

const void* ModuleOf(const void* address)
{
    Dl_info info;
    return dladdr(address, &info) != 0 ? info.dli_fbase : nullptr;
}

// The first frame outside the runtimes decides whose allocation it is.
bool MadeByModule()
{
    void* frames[48];
    const int count = backtrace(frames, 48);
    for (int i = 0; i < count; ++i) {
        const void* base = ModuleOf(frames[i]);
        if (base == runtimeBases[0] || base == runtimeBases[1] || base == runtimeBases[2])
            continue;
        return base == moduleBase;
    }
    return false;
}

void Allocated(void* block)
{
    if (!counting || inside || block == nullptr)
        return;
    inside = true;
    if (MadeByModule()) {
        const size_t size = malloc_usable_size(block);
        ++stats.allocations;
        stats.bytes += size;
        liveBytes += static_cast<int64_t>(size);
        if (liveBytes > stats.peakBytes)
            stats.peakBytes = liveBytes;
        Remember(block);
    } else {
        ++stats.otherAllocations;
    }
    inside = false;
}

void Freeing(void* block)
{
    if (counting && !inside && block != nullptr && Forget(block))
        liveBytes -= static_cast<int64_t>(malloc_usable_size(block));
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void* malloc(size_t size)
{
    void* block = __libc_malloc(size);
    Allocated(block);
    return block;
}

__attribute__((visibility("default"))) void* calloc(size_t count, size_t size)
{
    void* block = __libc_calloc(count, size);
    Allocated(block);
    return block;
}

__attribute__((visibility("default"))) void* realloc(void* block, size_t size)
{
    Freeing(block);
    void* moved = __libc_realloc(block, size);
    Allocated(moved);
    return moved;
}

__attribute__((visibility("default"))) void free(void* block)
{
    Freeing(block);
    __libc_free(block);
}

__attribute__((visibility("default"))) void* memalign(size_t alignment, size_t size)
{
    void* block = __libc_memalign(alignment, size);
    Allocated(block);
    return block;
}

__attribute__((visibility("default"))) void* aligned_alloc(size_t alignment, size_t size)
{
    return memalign(alignment, size);
}

__attribute__((visibility("default"))) int posix_memalign(void** result, size_t alignment, size_t size)
{
    if (alignment == 0 || alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0)
        return EINVAL;
    void* block = memalign(alignment, size);
    if (block == nullptr)
        return ENOMEM;
    *result = block;
    return 0;
}

}  // extern "C"

namespace hostkit {

bool AllocationCountingAvailable()
{
    return true;
}

void StartCountingAllocations(const void* addressInModule)
{
    // The first stack walk loads the unwinder, which allocates: done here, uncounted.
    void* frames[4];
    backtrace(frames, 4);
    moduleBase = ModuleOf(addressInModule);
    runtimeBases[0] = ModuleOf(reinterpret_cast<const void*>(&StartCountingAllocations));
    runtimeBases[1] = ModuleOf(reinterpret_cast<const void*>(&__libc_malloc));
    runtimeBases[2] = ModuleOf(reinterpret_cast<const void*>(static_cast<void* (*)(size_t)>(&::operator new)));
    stats = {};
    liveBytes = 0;
    for (void*& slot : liveBlocks)
        slot = nullptr;
    counting = true;
}

AllocationStats StopCountingAllocations()
{
    counting = false;
    return stats;
}

}  // namespace hostkit

#else

namespace hostkit {

bool AllocationCountingAvailable()
{
    return false;
}

void StartCountingAllocations(const void*) {}

AllocationStats StopCountingAllocations()
{
    return {};
}

}  // namespace hostkit

#endif
