// The log slot. No buffer and no copy: the host's function runs before the send returns.
#include "LogChannel.h"

namespace {

LogCallback logCallback = nullptr;

}  // namespace

ZAO_EXPORT void SetLogCallback(LogCallback callback)
{
    logCallback = callback;
}

void SendLogLine(const char* text)
{
    if (logCallback != nullptr && text != nullptr)
        logCallback(text);
}
