#include "ai/script/script_lexer.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "ai/soldier/ai_log.h"
#include "ai/soldier/ai_state.h"

namespace {

bool IsBlank(unsigned char c)
{
    return c >= 1 && c <= 32;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsHexDigit(char c)
{
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char* CopySpan(const char* begin, size_t length)
{
    char* text = static_cast<char*>(std::malloc(length + 1));
    std::memcpy(text, begin, length);
    text[length] = '\0';
    return text;
}

// After a blank: a comment that starts here is skipped up to (not past) its line end, or past "*/".
void SkipCommentAfterBlank(const char*& cursor)
{
    if (cursor[0] == '#' || (cursor[0] == '/' && cursor[1] == '/')) {
        while (*cursor && *cursor != '\n')
            ++cursor;
    } else if (cursor[0] == '/' && cursor[1] == '*') {
        cursor += 2;
        while (*cursor && !(cursor[0] == '*' && cursor[1] == '/')) {
            if (*cursor == '\n')
                ++g_ai.scriptLine;
            ++cursor;
        }
        if (*cursor)
            cursor += 2;
    }
}

// An optional sign with the blanks after it, then at least one decimal digit; the digits are not
// consumed. False (cursor unchanged) otherwise.
bool ScanSignedStart(const char*& cursor, bool& signGlued)
{
    const char* start = cursor;
    signGlued = true;
    if (*cursor == '+' || *cursor == '-') {
        ++cursor;
        if (IsBlank(static_cast<unsigned char>(*cursor))) {
            signGlued = false;
            LexSkipBlanks(cursor);
        }
    }
    if (!IsDigit(*cursor)) {
        cursor = start;
        return false;
    }
    return true;
}

}  // namespace

s32_t ScriptLine()
{
    return g_ai.scriptLine;
}

void SetScriptLine(s32_t line)
{
    g_ai.scriptLine = line;
}

bool LexSkipBlanks(const char*& cursor)
{
    for (;;) {
        const unsigned char c = static_cast<unsigned char>(*cursor);
        if (c == 0)
            return false;
        if (!IsBlank(c))
            return true;
        ++cursor;
        if (c == '\n')
            ++g_ai.scriptLine;
        SkipCommentAfterBlank(cursor);
    }
}

char LexPeekChar(const char* cursor)
{
    return *cursor;
}

char LexGetChar(const char*& cursor)
{
    const char c = *cursor;
    if (c)
        ++cursor;
    return c;
}

bool LexReadIdentifier(const char*& cursor, char** out)
{
    if (!IsLetter(*cursor))
        return false;
    const char* start = cursor;
    while (IsLetter(*cursor) || IsDigit(*cursor) || *cursor == '_')
        ++cursor;
    *out = CopySpan(start, static_cast<size_t>(cursor - start));
    return true;
}

bool LexReadQuotedString(const char*& cursor, char** out)
{
    if (*cursor != '"')
        return false;
    const char* close = std::strchr(cursor + 1, '"');
    if (!close) {
        ScriptReportError("lex", 1, " Unexpected end of line\n");
        return false;
    }
    *out = CopySpan(cursor + 1, static_cast<size_t>(close - cursor - 1));
    cursor = close + 1;
    return true;
}

bool LexReadHexNumber(const char*& cursor, s32_t* out)
{
    if (cursor[0] != '0' || cursor[1] != 'x' || !IsHexDigit(cursor[2]))
        return false;
    const char* digits = cursor + 2;
    u32_t value = 0;
    bool saturated = false;
    while (IsHexDigit(*digits)) {
        const char d = *digits++;
        const u32_t nibble = IsDigit(d) ? u32_t(d - '0') : u32_t((d | 0x20) - 'a' + 10);
        if (value > 0x0fffffffu)
            saturated = true;
        value = (value << 4) | nibble;
    }
    *out = static_cast<s32_t>(saturated ? 0xffffffffu : value);
    cursor = digits;
    return true;
}

bool LexReadNumber(const char*& cursor, s32_t* out)
{
    // Only a lower-case "0x" starts a hexadecimal number; "0X" is a zero followed by a word.
    if (cursor[0] == '0' && cursor[1] == 'x')
        return LexReadHexNumber(cursor, out);
    const char* start = cursor;
    bool signGlued = true;
    if (!ScanSignedStart(cursor, signGlued))
        return false;
    if (signGlued) {
        // The decimal conversion from the start, sign included; a number past the int range saturates.
        const char* from = *start == '+' ? start + 1 : start;
        const char* end = cursor;
        while (IsDigit(*end))
            ++end;
        long long value = 0;
        const auto result = std::from_chars(from, end, value);
        if (result.ec == std::errc::result_out_of_range || value > INT_MAX || value < INT_MIN)
            value = *start == '-' ? INT_MIN : INT_MAX;
        *out = static_cast<s32_t>(value);
    }
    while (IsDigit(*cursor))
        ++cursor;
    return true;
}

bool LexReadFloat(const char*& cursor, float* out)
{
    const char* start = cursor;
    bool signGlued = true;
    if (!ScanSignedStart(cursor, signGlued))
        return false;
    const char* scan = cursor;
    while (IsDigit(*scan))
        ++scan;
    if (*scan != '.' || !IsDigit(scan[1])) {
        cursor = start;
        return false;
    }
    ++scan;
    while (IsDigit(*scan))
        ++scan;
    if (signGlued) {
        // Converted as the C locale reads it, over the scanned digits only.
        const char* from = *start == '+' ? start + 1 : start;
        float value = 0.0f;
        const auto result = std::from_chars(from, scan, value, std::chars_format::fixed);
        if (result.ec == std::errc())
            *out = value;
        else if (result.ec == std::errc::result_out_of_range)
            *out = *start == '-' ? -HUGE_VALF : HUGE_VALF;
    }
    cursor = scan;
    return true;
}

bool LexReadUntil(const char*& cursor, char delimiter, bool advance, char** out)
{
    const char* end = cursor;
    while (*end && *end != delimiter)
        ++end;
    *out = CopySpan(cursor, static_cast<size_t>(end - cursor));
    const bool found = *end == delimiter && delimiter != '\0';
    if (advance)
        cursor = end;
    return found;
}

bool LexSkipBalanced(const char*& cursor, char open, char close)
{
    s32_t depth = 1;
    // Every step moves at least one character: a blank through the blank skipper (which consumes
    // it), anything else, a "#" glued to the text before it included, as an ordinary character.
    while (*cursor) {
        if (IsBlank(static_cast<unsigned char>(*cursor))) {
            if (!LexSkipBlanks(cursor))
                return false;
            continue;
        }
        const char c = *cursor++;
        if (c == open)
            ++depth;
        else if (c == close && --depth == 0)
            return true;
    }
    return false;
}

bool LexIsBlankOrComment(char character)
{
    return IsBlank(static_cast<unsigned char>(character)) || character == '#';
}

bool LexAtEnd(const char* cursor)
{
    return *cursor == '\0';
}

void LexEchoWord(const char* cursor)
{
    const char* end = cursor;
    while (static_cast<unsigned char>(*end) > 32)
        ++end;
    AILogWrite(" '");
    AILogPrintf("%.*s", static_cast<int>(end - cursor), cursor);
    AILogWrite("'\n");
}

void ScriptReportError(const char* unit, s32_t place, const char* message)
{
    AILogPrintf("ERROR : %s %d: at line %d %s", unit, place, g_ai.scriptLine, message);
}
