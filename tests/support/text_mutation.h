// One fixed-seed mutation round of a definition or script text for the damaged-input tests: 1 to 8
// edits, each overwriting a byte with any value or a digit, cutting up to 15 bytes, or inserting one
// of the texts' own separators. Draws from the engine's generator, so a seed gives the same rounds.
#pragma once
#include <cstddef>
#include <string>

#include "core/random.h"

namespace test_support {

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
            bytes = "x";
    }
    return bytes;
}

}  // namespace test_support
