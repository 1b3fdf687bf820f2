#include "core/strings/finite_number.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

const char* SkipBlanks(const char* text)
{
    while (IsBlank(*text))
        ++text;
    return text;
}

// A number at the start of text (after blanks) by strtod's rules, and where it ends; false when
// there is none.
bool ReadNumber(const char* text, double& number, const char*& stop)
{
    if (!text)
        return false;
    char* end = nullptr;
    number = std::strtod(text, &end);
    if (end == text)
        return false;
    stop = end;
    return true;
}

// A number a float holds: not-a-number, the infinities and values past the float range are not.
bool FitsFloat(double number)
{
    return std::isfinite(number) && std::fabs(number) <= static_cast<double>(FLT_MAX);
}

}  // namespace

bool ReadFiniteFloat(const char* text, float& value, const char** end)
{
    if (end)
        *end = text;
    double number = 0.0;
    const char* stop = nullptr;
    if (!ReadNumber(text, number, stop))
        return false;
    if (end)
        *end = stop;
    if (!FitsFloat(number))
        return false;
    value = static_cast<float>(number);
    return true;
}

float FiniteFloatOrZero(const char* text)
{
    float value = 0.0f;
    return ReadFiniteFloat(text, value) ? value : 0.0f;
}

bool IsNonFiniteNumber(const char* text)
{
    double number = 0.0;
    const char* stop = nullptr;
    return ReadNumber(text, number, stop) && *SkipBlanks(stop) == '\0' && !FitsFloat(number);
}

bool ReadWholeFiniteFloat(const char* text, float& value)
{
    const char* end = nullptr;
    float read = 0.0f;
    if (!ReadFiniteFloat(text, read, &end))
        return false;
    if (*SkipBlanks(end) != '\0')
        return false;
    value = read;
    return true;
}

bool AllFinite(const float* values, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!std::isfinite(values[i]))
            return false;
    }
    return true;
}

bool AllWithinSavedRange(const float* values, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!std::isfinite(values[i]) || std::fabs(values[i]) > kSavedCoordinateMax)
            return false;
    }
    return true;
}
