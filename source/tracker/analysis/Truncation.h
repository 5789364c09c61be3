// Float-to-integer truncation toward zero that stays defined for every float.
#pragma once

#include <cstdint>

// NaN gives 0; values beyond the int32 range give its ends. Host values such
// as 1e9 or infinity therefore have a defined meaning instead of undefined behaviour.
inline int32_t TruncateToInt32(float value)
{
    if (!(value == value))
        return 0;
    if (value >= 2147483648.0f)
        return INT32_MAX;
    if (value <= -2147483648.0f)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}
