// The host's log channel: one library-wide function pointer that receives
// whole lines. SetLogCallback is the library's second export.
#pragma once

#include "PluginApi.h"

using LogCallback = void (*)(const char* text);

ZAO_EXPORT void SetLogCallback(LogCallback callback);

// Hands the text to the host's function, unchanged, if one is installed.
void SendLogLine(const char* text);
