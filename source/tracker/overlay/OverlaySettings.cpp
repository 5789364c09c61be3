// Reading the overlay's parameter values.
#include "OverlaySettings.h"

#include "analysis/Truncation.h"

int32_t BoxStyleIndex(float value) { return TruncateToInt32(value + 0.5f); }

bool SwitchOn(float value) { return value >= 0.5f; }
