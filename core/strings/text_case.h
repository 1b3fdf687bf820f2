// Comparing texts without regard to case, the way the game compares its names (file names, keys,
// section and class names): ASCII letters only, as the "C" locale does.
#pragma once
#include <cstddef>

// Below, equal to or above zero as a sorts before, equal to or after b.
int CompareNoCase(const char* a, const char* b);
// The same over at most count characters.
int CompareNoCaseN(const char* a, const char* b, std::size_t count);
