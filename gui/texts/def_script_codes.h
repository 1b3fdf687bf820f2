// The inline codes that markup texts carry between the markup reader and the text drawers. A code is
// a backslash and a letter; colours and variables follow as eight hexadecimal digits, so a coded text
// holds no zero byte and no stray backslash:
//   "\n"                  line break
//   "\t" and one byte     that many blanks
//   "\c" and AARRGGBB     colour change
//   "\v" and an index     the value of the console variable at that place of the variable list,
//                         counted from the oldest registration (indexes stay put while variables are
//                         added at the head)
#pragma once
#include <string>

#include "core/types.h"

struct ConsoleVar;

constexpr char DEF_CODE_BREAK = 'n';
constexpr char DEF_CODE_TAB = 't';
constexpr char DEF_CODE_COLOUR = 'c';
constexpr char DEF_CODE_VARIABLE = 'v';

void DefAppendBreakCode(std::string* text);
void DefAppendColourCode(std::string* text, u32_t colour);
void DefAppendVariableCode(std::string* text, const ConsoleVar* variable);

// The variable's index counted from the oldest registration; false when it is not in the list.
bool DefConsoleVarIndex(const ConsoleVar* variable, u32_t* index);
// The variable at that index, or null.
ConsoleVar* DefConsoleVarAt(u32_t index);

// One code read at a backslash. kind is the letter for a known, whole code and 0 for one that is
// dropped (unknown letter, short or broken digits); length is what the code takes (the backslash
// included), never past the terminating zero.
struct DefInlineCode {
    char kind = 0;
    u32_t value = 0;
    u32_t length = 1;
};
DefInlineCode DefReadInlineCode(const char* at);

// The text as plain characters for the text drawers: line breaks become line feeds, tabs blanks,
// variables their values; colour codes and broken codes drop out.
std::string DefPlainText(const char* text);
