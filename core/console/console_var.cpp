#include "core/console/console_var.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/strings/finite_number.h"
#include "core/log.h"

namespace {

// Constant-initialised, so static variables of any file can register before main.
ConsoleVar* g_cvarHead = nullptr;  // registered last
ConsoleVar* g_cvarTail = nullptr;  // registered first

char g_valueText[128];

constexpr float kColourScale = 0.003921569f;  // 1/255: colour text is on a 0 to 255 scale

const char* SkipBlanks(const char* text)
{
    while (*text != '\0' && static_cast<unsigned char>(*text) <= 32)
        ++text;
    return text;
}

// A decimal integer by atoi's rules, held to the 32-bit range instead of overflowing.
s32_t ReadInt(const char* text)
{
    const long number = std::strtol(text, nullptr, 10);
    if (number > INT_MAX)
        return INT_MAX;
    if (number < INT_MIN)
        return INT_MIN;
    return static_cast<s32_t>(number);
}

// A number by atof's rules stored as a float (0 for text without one). False for a number that is
// not finite as a float: the value is left as it was.
bool ReadFloat(const char* text, float& value)
{
    const char* end = nullptr;
    float number = 0.0f;
    if (ReadFiniteFloat(text, number, &end) || end == text) {
        value = number;
        return true;
    }
    return false;
}

// Vectors and colours: every part finite, or the value stays as it was.
bool ReadFloats(const char* text, float* values, int count, float start)
{
    float read[4] = {start, start, start, start};
    if (count == 3)
        std::sscanf(text, "(%f,%f,%f)", &read[0], &read[1], &read[2]);
    else
        std::sscanf(text, "(%f,%f,%f,%f)", &read[0], &read[1], &read[2], &read[3]);
    if (!AllFinite(read, count))
        return false;
    std::memcpy(values, read, sizeof(float) * static_cast<size_t>(count));
    return true;
}

void RefuseNonFinite(const char* name, const char* text)
{
    Log("WARNING: '%s' takes finite numbers, not '%s'\n", name, text);
}

// A colour part in its text form: times 255 plus a half, cut to an integer (held to the int range).
int ColourPartToInt(float part)
{
    const double scaled = part * 255.0 + 0.5;
    if (std::isnan(scaled))
        return 0;
    if (scaled >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (scaled <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(scaled);
}

void SetStringFromText(EngineString& value, const char* text)
{
    const char* firstQuote = std::strchr(text, '"');
    if (!firstQuote) {
        value.Assign(text);
        return;
    }
    const char* lastQuote = std::strrchr(text, '"');
    if (lastQuote - firstQuote < 2)
        return;  // no closing quote, or nothing between the quotes: the value stays
    EngineString quoted;
    quoted.SetChars(firstQuote + 1, static_cast<u32_t>(lastQuote - firstQuote - 1));
    value.Assign(quoted);
}

}  // namespace

ConsoleVar::ConsoleVar(const char* varName, ConsoleVarType varType, const char* defaultText)
    : next(g_cvarHead), prev(nullptr), type(varType), name(varName)
{
    std::memset(&value, 0, sizeof value);
    if (g_cvarHead)
        g_cvarHead->prev = this;
    else
        g_cvarTail = this;
    g_cvarHead = this;

    // A string default is taken whole (quotes and all). An empty default leaves the value zero: read as
    // text it would toggle a boolean.
    if (!defaultText || defaultText[0] == '\0' || type == CVAR_COMMAND)
        return;
    if (type == CVAR_STRING)
        stringValue.Assign(defaultText);
    else
        SetFromText(defaultText);
}

ConsoleVar::ConsoleVar(const char* varName, ConsoleCommandHandler handler)
    : next(g_cvarHead), prev(nullptr), type(CVAR_COMMAND), name(varName)
{
    std::memset(&value, 0, sizeof value);
    value.handler = handler;
    if (g_cvarHead)
        g_cvarHead->prev = this;
    else
        g_cvarTail = this;
    g_cvarHead = this;
}

ConsoleVar::ConsoleVar(const char* varName, ConsoleCommandHandler handler, ConsoleControlHandler control)
    : ConsoleVar(varName, handler)
{
    controlHandler = control;
}

s32_t ConsoleVar::CallFromControl(const char* text, GuiControl* sender) const
{
    if (type != CVAR_COMMAND)
        return 0;
    if (sender && controlHandler)
        return controlHandler(text, sender);
    return value.handler ? value.handler(text) : 0;
}

ConsoleVar::~ConsoleVar()
{
    if (next)
        next->prev = prev;
    else
        g_cvarTail = prev;
    if (prev)
        prev->next = next;
    else
        g_cvarHead = next;
    next = nullptr;
    prev = nullptr;
}

s32_t ConsoleVar::SetFromText(const char* text)
{
    if (type == CVAR_COMMAND) {
        if (value.handler)
            value.handler(text);
        return 0;
    }
    if (!text)
        text = "";

    switch (type) {
        case CVAR_INT:
            value.asInt = ReadInt(SkipBlanks(text));
            break;
        case CVAR_BOOL: {
            const char* word = SkipBlanks(text);
            if (*word == '\0')
                value.asBool = value.asBool ? 0 : 1;
            else if (std::strncmp(word, "true", 4) == 0)
                value.asBool = 1;
            else
                value.asBool = ReadInt(word) != 0 ? 1 : 0;
            break;
        }
        case CVAR_FLOAT:
            if (!ReadFloat(SkipBlanks(text), value.asFloat))
                RefuseNonFinite(name.Text(), text);
            break;
        case CVAR_STRING:
            SetStringFromText(stringValue, text);
            break;
        case CVAR_VECTOR: {
            if (!ReadFloats(text, value.asVector, 3, 0.0f))
                RefuseNonFinite(name.Text(), text);
            break;
        }
        case CVAR_COLOUR: {
            float* c = value.asColour;
            if (!ReadFloats(text, c, 4, 1.0f)) {
                RefuseNonFinite(name.Text(), text);
                break;
            }
            for (int i = 0; i < 4; ++i)
                c[i] *= kColourScale;
            break;
        }
        default:
            break;
    }
    return 0;
}

// A string longer than the buffer is cut to its first 127 characters.
const char* ConsoleVar::ValueToText() const
{
    char* out = g_valueText;
    const size_t size = sizeof g_valueText;
    switch (type) {
        case CVAR_INT:
            std::snprintf(out, size, "%d", value.asInt);
            break;
        case CVAR_BOOL:
            std::snprintf(out, size, "%s", value.asBool ? "true" : "false");
            break;
        case CVAR_FLOAT:
            std::snprintf(out, size, "%g", static_cast<double>(value.asFloat));
            break;
        case CVAR_STRING:
            std::snprintf(out, size, "%s", stringValue.Text());
            break;
        case CVAR_VECTOR:
            std::snprintf(out, size, "(%g, %g, %g)", static_cast<double>(value.asVector[0]),
                          static_cast<double>(value.asVector[1]), static_cast<double>(value.asVector[2]));
            break;
        case CVAR_COLOUR:
            std::snprintf(out, size, "(%d, %d, %d, %d)", ColourPartToInt(value.asColour[0]),
                          ColourPartToInt(value.asColour[1]), ColourPartToInt(value.asColour[2]),
                          ColourPartToInt(value.asColour[3]));
            break;
        case CVAR_COMMAND:
            std::snprintf(out, size, "function");
            break;
        default:
            out[0] = '\0';
            break;
    }
    return out;
}

ConsoleVar* AddCVarFn(const char* name, ConsoleCommandHandler handler)
{
    return new ConsoleVar(name, handler);
}

ConsoleVar* CVarListFind(const char* name)
{
    if (!name)
        return nullptr;
    for (ConsoleVar* cvar = g_cvarHead; cvar; cvar = cvar->next) {
        if (std::strcmp(cvar->name.Text(), name) == 0)
            return cvar;
    }
    return nullptr;
}

ConsoleVar* FindCVar(const char* name)
{
    return CVarListFind(name);
}

ConsoleVar** CVarListHeadAddress()
{
    return &g_cvarHead;
}

ConsoleVar* CVarListHead()
{
    return g_cvarHead;
}

ConsoleVar* CVarListTail()
{
    return g_cvarTail;
}
