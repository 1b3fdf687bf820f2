// Damaged definition and script texts for the damaged-input tests: named damages done by hand, which
// each test's table lists by name, and fixed-seed mutation rounds.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "core/random.h"

namespace test_support {

// One damage done by hand: its name for the trace and the damaged copy it makes of a text.
struct TextDamage {
    const char* what;
    std::string (*make)(const std::string& original);
};

inline std::string Emptied(const std::string&)
{
    return std::string();
}
inline std::string FirstByteOnly(const std::string& o)
{
    return o.substr(0, 1);
}
inline std::string CutInHalf(const std::string& o)
{
    return o.substr(0, o.size() / 2);
}
inline std::string CutBeforeTheEnd(const std::string& o)
{
    return o.substr(0, o.size() - 3);
}
inline std::string LinesDoubled(const std::string& o)
{
    return o + o;
}
inline std::string LongWordInFront(const std::string& o)
{
    return std::string(5000, 'w') + " " + o;
}

// Every 23rd byte from the 8th on made a zero byte.
inline std::string ZeroBytesInside(const std::string& o)
{
    std::string d = o;
    for (size_t i = 7; i < d.size(); i += 23)
        d[i] = '\0';
    return d;
}

// The section ends and statement ends (">" and ";") made blanks.
inline std::string ClosingMarksRemoved(const std::string& o)
{
    std::string d = o;
    for (char& c : d)
        if (c == '>' || c == ';')
            c = ' ';
    return d;
}

// Every digit made "99999999999".
inline std::string NumbersMadeHuge(const std::string& o)
{
    std::string d;
    for (char c : o)
        d += (c >= '0' && c <= '9') ? std::string("99999999999") : std::string(1, c);
    return d;
}

// Every digit made "0".
inline std::string NumbersMadeZero(const std::string& o)
{
    std::string d = o;
    for (char& c : d)
        if (c >= '1' && c <= '9')
            c = '0';
    return d;
}

// A minus sign put before every digit that follows a blank.
inline std::string NumbersNegated(const std::string& o)
{
    std::string d;
    for (size_t i = 0; i < o.size(); ++i) {
        if (o[i] >= '0' && o[i] <= '9' && i > 0 && o[i - 1] == ' ')
            d += '-';
        d += o[i];
    }
    return d;
}

// One fixed-seed mutation round: 1 to 8 edits, each overwriting a byte with any value or a digit,
// cutting up to 15 bytes, or inserting one of the texts' own separators. Draws from the engine's
// generator, so a seed gives the same rounds.
inline std::string MutateText(const std::string& original)
{
    std::string bytes = original.empty() ? std::string("x") : original;
    const int changes = 1 + EngineRand() % 8;
    for (int i = 0; i < changes; ++i) {
        const size_t at = static_cast<size_t>(EngineRand()) % bytes.size();
        const int kind = EngineRand() % 4;
        if (kind == 0)
            bytes[at] = static_cast<char>(EngineRand() & 0xFF);
        else if (kind == 1)
            bytes.erase(at, static_cast<size_t>(EngineRand() % 16));
        else if (kind == 2)
            bytes.insert(at, 1, " <>;:\"9-\n"[EngineRand() % 9]);
        else
            bytes[at] = static_cast<char>('0' + EngineRand() % 10);
        if (bytes.empty())
            bytes.push_back('x');  // not an assignment from a literal: GCC 12 warns falsely there
    }
    return bytes;
}

// The named damages every text reader is put through; a test adds its own beside them.
inline const std::vector<TextDamage>& CommonTextDamages()
{
    static const std::vector<TextDamage> damages = {
        {"empty", Emptied},
        {"one byte", FirstByteOnly},
        {"cut in half", CutInHalf},
        {"cut before the end", CutBeforeTheEnd},
        {"zero bytes inside", ZeroBytesInside},
        {"closing marks removed", ClosingMarksRemoved},
        {"numbers made huge", NumbersMadeHuge},
        {"numbers made zero", NumbersMadeZero},
        {"numbers negated", NumbersNegated},
        {"lines doubled", LinesDoubled},
        {"a very long word", LongWordInFront},
    };
    return damages;
}

}  // namespace test_support
