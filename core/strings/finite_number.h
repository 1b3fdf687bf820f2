// Numbers read from what users and their tools write (definition files, scripts, object lists,
// console lines, savegames). The C library reads "nan", "inf" and values past a float's range as
// numbers; one of them carried into a position, a height or a distance spreads into every later
// frame. Every reader of user data takes its numbers through these and treats a value they refuse
// as it treats any other bad value.
#pragma once

// Reads a number at the start of text (after blanks) by strtod's rules. False, with value untouched,
// when there is none or it is not a finite float (not-a-number, an infinity, or beyond the float
// range). end, when given, receives the character after the number (text itself when none was read).
bool ReadFiniteFloat(const char* text, float& value, const char** end = nullptr);

// The number at the start of text as atof reads it, with 0 for text that begins with none and for a
// number that is not finite: for readers that take a bad value as 0.
float FiniteFloatOrZero(const char* text);

// True when the whole text (blanks around it allowed) reads as a number that is not finite ("nan",
// "-inf", "1e39"): a value a reader refuses, where a word that only begins like one ("infantry")
// is a name.
bool IsNonFiniteNumber(const char* text);

// The whole text (blanks around it allowed) is one finite number.
bool ReadWholeFiniteFloat(const char* text, float& value);

// True when all count values are finite.
bool AllFinite(const float* values, int count);

// The largest coordinate or angle a saved position may hold: far past any map, yet small enough that
// float arithmetic on it keeps whole units.
constexpr float kSavedCoordinateMax = 1.0e7f;

// True when all count values are finite and no larger than kSavedCoordinateMax either way.
bool AllWithinSavedRange(const float* values, int count);
