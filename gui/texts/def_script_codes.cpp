#include "gui/texts/def_script_codes.h"

#include "core/console/console_var.h"

namespace {

constexpr u32_t kHexDigits = 8;

void AppendHex(std::string* text, u32_t value)
{
    static const char kDigits[] = "0123456789ABCDEF";
    for (int shift = 28; shift >= 0; shift -= 4)
        text->push_back(kDigits[(value >> shift) & 0xFu]);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Eight digits after the letter; on a short or broken run, how far the valid digits reach.
bool ReadHex(const char* digits, u32_t* value, u32_t* consumed)
{
    u32_t result = 0;
    for (u32_t i = 0; i < kHexDigits; ++i) {
        const int digit = HexValue(digits[i]);
        if (digit < 0) {
            *consumed = i;
            return false;
        }
        result = (result << 4) | static_cast<u32_t>(digit);
    }
    *value = result;
    *consumed = kHexDigits;
    return true;
}

}  // namespace

void DefAppendBreakCode(std::string* text)
{
    text->push_back('\\');
    text->push_back(DEF_CODE_BREAK);
}

void DefAppendColourCode(std::string* text, u32_t colour)
{
    text->push_back('\\');
    text->push_back(DEF_CODE_COLOUR);
    AppendHex(text, colour);
}

void DefAppendVariableCode(std::string* text, const ConsoleVar* variable)
{
    u32_t index = 0;
    if (!DefConsoleVarIndex(variable, &index))
        return;
    text->push_back('\\');
    text->push_back(DEF_CODE_VARIABLE);
    AppendHex(text, index);
}

bool DefConsoleVarIndex(const ConsoleVar* variable, u32_t* index)
{
    if (!variable)
        return false;
    u32_t position = 0;
    for (const ConsoleVar* entry = CVarListTail(); entry; entry = entry->prev, ++position) {
        if (entry == variable) {
            *index = position;
            return true;
        }
    }
    return false;
}

ConsoleVar* DefConsoleVarAt(u32_t index)
{
    ConsoleVar* entry = CVarListTail();
    for (u32_t i = 0; entry && i < index; ++i)
        entry = entry->prev;
    return entry;
}

DefInlineCode DefReadInlineCode(const char* at)
{
    DefInlineCode code;
    if (!at || at[0] != '\\' || at[1] == '\0')
        return code;
    code.length = 2;
    switch (at[1]) {
        case DEF_CODE_BREAK:
            code.kind = DEF_CODE_BREAK;
            return code;
        case DEF_CODE_TAB:
            if (at[2] != '\0') {
                code.kind = DEF_CODE_TAB;
                code.value = static_cast<u8_t>(at[2]);
                code.length = 3;
            }
            return code;
        case DEF_CODE_COLOUR:
        case DEF_CODE_VARIABLE: {
            u32_t consumed = 0;
            if (ReadHex(at + 2, &code.value, &consumed))
                code.kind = at[1];
            code.length = 2 + consumed;
            return code;
        }
        default:
            return code;
    }
}

std::string DefPlainText(const char* text)
{
    std::string plain;
    if (!text)
        return plain;
    for (std::size_t i = 0; text[i] != '\0';) {
        if (text[i] != '\\') {
            plain.push_back(text[i]);
            ++i;
            continue;
        }
        const DefInlineCode code = DefReadInlineCode(text + i);
        i += code.length;
        if (code.kind == DEF_CODE_BREAK)
            plain.push_back('\n');
        else if (code.kind == DEF_CODE_TAB)
            plain.append(code.value, ' ');
        else if (code.kind == DEF_CODE_VARIABLE)
            if (const ConsoleVar* variable = DefConsoleVarAt(code.value))
                plain += variable->ValueToText();
    }
    return plain;
}
