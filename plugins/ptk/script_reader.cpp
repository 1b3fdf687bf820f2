#include "plugins/ptk/script_reader.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "plugins/ptk/host_binding.h"

namespace ptk {

namespace {
bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool IsBlank(char c)
{
    return c != '\0' && static_cast<signed char>(c) < '!';
}
}  // namespace

ScriptCursor ScriptBegin(const char* text, const char* scriptName)
{
    return ScriptCursor{text ? text : "", 0, scriptName ? scriptName : "", 0};
}

void SkipBlanks(ScriptCursor& cursor)
{
    const char* p = cursor.at;
    for (;;) {
        bool skipped = false;
        while (IsBlank(*p)) {
            if (*p == '\n')
                ++cursor.line;
            ++p;
            skipped = true;
        }
        if (!skipped || *p != '#')
            break;
        while (*p != '\0' && *p != '\n')
            ++p;
    }
    cursor.at = p;
}

char PeekChar(ScriptCursor& cursor)
{
    SkipBlanks(cursor);
    return *cursor.at;
}

bool TakeChar(ScriptCursor& cursor, char expected)
{
    if (PeekChar(cursor) != expected || expected == '\0')
        return false;
    ++cursor.at;
    return true;
}

bool ReadIdentifier(ScriptCursor& cursor, std::string& out)
{
    SkipBlanks(cursor);
    const char* p = cursor.at;
    if (!IsLetter(*p))
        return false;
    const char* start = p;
    while (IsLetter(*p) || IsDigit(*p) || *p == '_')
        ++p;
    out.assign(start, static_cast<std::size_t>(p - start));
    cursor.at = p;
    return true;
}

bool TakeWord(ScriptCursor& cursor, const char* word)
{
    const ScriptCursor saved = cursor;
    std::string name;
    if (ReadIdentifier(cursor, name) && name == word)
        return true;
    cursor = saved;
    return false;
}

bool ReadInteger(ScriptCursor& cursor, std::int32_t& out)
{
    SkipBlanks(cursor);
    const char* p = cursor.at;
    if (*p == '+' || *p == '-')
        ++p;
    if (!IsDigit(*p))
        return false;
    while (IsDigit(*p))
        ++p;
    errno = 0;
    long long value = std::strtoll(cursor.at, nullptr, 10);
    // Out of range numbers stop at the ends of the range instead of wrapping.
    if (value > INT_MAX)
        value = INT_MAX;
    if (value < INT_MIN)
        value = INT_MIN;
    out = static_cast<std::int32_t>(value);
    cursor.at = p;
    return true;
}

bool ReadFloat(ScriptCursor& cursor, float& out)
{
    SkipBlanks(cursor);
    const char* p = cursor.at;
    if (*p == '+' || *p == '-')
        ++p;
    if (!IsDigit(*p))
        return false;
    while (IsDigit(*p))
        ++p;
    if (*p != '.' || !IsDigit(p[1]))
        return false;
    ++p;
    while (IsDigit(*p))
        ++p;
    const std::string token(cursor.at, static_cast<std::size_t>(p - cursor.at));
    out = std::strtof(token.c_str(), nullptr);
    cursor.at = p;
    return true;
}

bool ReadQuoted(ScriptCursor& cursor, std::string& out)
{
    SkipBlanks(cursor);
    if (*cursor.at != '"')
        return false;
    const char* start = cursor.at + 1;
    const char* p = start;
    while (*p != '\0' && *p != '"')
        ++p;
    if (*p != '"') {
        if (g_runtime.conPrint) {
            const std::string line = ScriptErrorLine(cursor.scriptName, cursor.line);
            g_runtime.conPrint(0, "%s", line.c_str());
        }
        return false;
    }
    out.assign(start, static_cast<std::size_t>(p - start));
    cursor.at = p + 1;
    return true;
}

bool ReadVector(ScriptCursor& cursor, float out[3])
{
    const ScriptCursor saved = cursor;
    float v[3];
    if (TakeChar(cursor, '(') && ReadFloat(cursor, v[0]) && TakeChar(cursor, ',') && ReadFloat(cursor, v[1]) &&
        TakeChar(cursor, ',') && ReadFloat(cursor, v[2]) && TakeChar(cursor, ')')) {
        out[0] = v[0];
        out[1] = v[1];
        out[2] = v[2];
        return true;
    }
    cursor = saved;
    return false;
}

std::string ScriptErrorLine(const char* scriptName, std::int32_t line)
{
    char number[32];
    std::string text = "ERROR : C:\\engine\\src\\PARTICLELIB\\script\\Basic:";
    std::snprintf(number, sizeof number, "%d ", 91);
    text += number;
    text += " (";
    text += scriptName ? scriptName : "";
    text += ") at line ";
    std::snprintf(number, sizeof number, "%d ", line);
    text += number;
    text += " Unexpected end of line\n";
    return text;
}

}  // namespace ptk
