// Numbers in the words of actor scripts and parameters: a word that does not read as a number is 0.
#pragma once
#include <cmath>
#include <cstdlib>

#include "core/types.h"

// A float by strtod's rules; 0 for a word that is not a finite number.
inline float ActorWordFloat(const char* word)
{
    const float value = static_cast<float>(std::strtod(word ? word : "", nullptr));
    return std::isfinite(value) ? value : 0.0f;
}

// A decimal integer, clamped to the 32-bit range; 0 for a word that is not a number.
inline s32_t ActorWordInt(const char* word)
{
    const long long value = std::strtoll(word ? word : "", nullptr, 10);
    if (value < INT32_MIN)
        return INT32_MIN;
    if (value > INT32_MAX)
        return INT32_MAX;
    return static_cast<s32_t>(value);
}
