// Library-wide state shared by the dispatch of plugMain and its helpers.
#pragma once

#include "PluginApi.h"

class CFFGLPlugin;

// The prototype instance, made on demand by the initialise step; null when it cannot be made.
CFFGLPlugin* EnsurePrototype();

// Codes answered from the parameter details and host notifications.
bool IsParameterDetailCode(uint32_t functionCode);
MixedValue DispatchParameterDetail(uint32_t functionCode, MixedValue input, CFFGLPlugin* instance);

// Code 42.
MixedValue DispatchThumbnail(MixedValue input);
