// The log slot. No buffer and no copy: the host's function runs before the send returns.
#include "LogChannel.h"

#include <atomic>

namespace {

// Installed and read from any host thread.
std::atomic<LogCallback> logCallback{nullptr};

}  // namespace

ZAO_EXPORT void SetLogCallback(LogCallback callback)
{
    logCallback.store(callback, std::memory_order_release);
}

void SendLogLine(const char* text)
{
    const LogCallback callback = logCallback.load(std::memory_order_acquire);
    if (callback != nullptr && text != nullptr)
        callback(text);
}
