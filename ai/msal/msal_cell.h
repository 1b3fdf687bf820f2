// The argument cell of the mission script's envelope methods: one pointer-sized word holding either
// a float or an envelope. A float is kept in the upper half with the lowest bit set; an envelope
// pointer (aligned, so its lowest bit is clear) is kept as it is. A null envelope reads as 0.0.
#pragma once
#include <cstdint>
#include <cstring>

#include "ai/script/script_functions.h"
#include "core/types.h"

class Envelope;

static_assert(sizeof(void*) == 8, "the cell keeps a float beside its tag in one pointer");

class MSALCell {
public:
    MSALCell() = default;
    static MSALCell FromFloat(float value)
    {
        u32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        MSALCell cell;
        cell.m_bits = (static_cast<std::uintptr_t>(bits) << 32) | kFloatTag;
        return cell;
    }
    static MSALCell FromEnvelope(Envelope* envelope)
    {
        MSALCell cell;
        cell.m_bits = reinterpret_cast<std::uintptr_t>(envelope);
        return cell;
    }
    // The cell a method finds in its argument array.
    static MSALCell FromWord(ScriptArgWord word)
    {
        MSALCell cell;
        cell.m_bits = reinterpret_cast<std::uintptr_t>(word);
        return cell;
    }
    ScriptArgWord Word() const { return reinterpret_cast<ScriptArgWord>(m_bits); }

    bool IsFloat() const { return (m_bits & kFloatTag) != 0; }
    bool IsEnvelope() const { return !IsFloat(); }
    // The float; an envelope cell reads as 0.0 (a null one, and any other: it holds no number).
    float AsFloat() const
    {
        if (!IsFloat())
            return 0.0f;
        const u32_t bits = static_cast<u32_t>(m_bits >> 32);
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // The float truncated to an integer, as methods that take an integer read it. A script may write
    // any number: beyond the integer's range it saturates (a float out of range has no conversion).
    s32_t AsInt() const
    {
        const float value = AsFloat();
        if (!(value > -2147483648.0f))  // also NaN
            return value < 0.0f ? INT32_MIN : 0;
        if (value >= 2147483648.0f)
            return INT32_MAX;
        return static_cast<s32_t>(value);
    }
    // The envelope; null for a float cell.
    Envelope* AsEnvelope() const { return IsFloat() ? nullptr : reinterpret_cast<Envelope*>(m_bits); }

private:
    static constexpr std::uintptr_t kFloatTag = 1;
    std::uintptr_t m_bits = 0;
};

static_assert(sizeof(MSALCell) == sizeof(void*), "a cell is one argument word");

// Argument i of an MSAL method's argument array (a null array gives a null envelope cell).
inline MSALCell MSALArg(ScriptArgWord* args, int index)
{
    return args ? MSALCell::FromWord(args[index]) : MSALCell();
}
