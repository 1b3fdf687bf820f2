// The reader of AI script texts: one cursor over a zero-terminated text that the caller owns, with
// blank and comment skipping that counts lines, and readers for the tokens of the script languages.
// A reader that does not find its token returns false and leaves the cursor where it was. Heap
// strings handed out here are released with ScriptFreeText.
#pragma once
#include "core/types.h"

// The current script line (what error lines print); the compiler resets it for each file.
s32_t ScriptLine();
void SetScriptLine(s32_t line);

// Skips blanks (codes 1-32) and the comments that start after one of them in the same run: "#" and
// "//" to the line end, "/*" through "*/". False at the end of the text.
bool LexSkipBlanks(const char*& cursor);
char LexPeekChar(const char* cursor);
char LexGetChar(const char*& cursor);
// A letter, then letters, digits and "_".
bool LexReadIdentifier(const char*& cursor, char** out);
// Up to the next double quote anywhere after it; no escapes; line ends inside are not counted.
// Unclosed: writes " Unexpected end of line".
bool LexReadQuotedString(const char*& cursor, char** out);
// "0x" and hexadecimal digits, or an optional sign and decimal digits. A sign parted from its digits
// by blanks is scanned but converts nothing: `out` keeps its value.
bool LexReadNumber(const char*& cursor, s32_t* out);
bool LexReadHexNumber(const char*& cursor, s32_t* out);
// An optional sign, digits, "." and digits; no exponent.
bool LexReadFloat(const char*& cursor, float* out);
// Copies up to the delimiter (or the end) into a heap string, moving past it only when asked (never
// past the delimiter itself). True when the delimiter was found.
bool LexReadUntil(const char*& cursor, char delimiter, bool advance, char** out);
// From just inside an open bracket, moves just past its matching close. False when the text ends first.
bool LexSkipBalanced(const char*& cursor, char open, char close);
bool LexIsBlankOrComment(char character);
bool LexAtEnd(const char* cursor);
// Writes " '" + the text up to the next blank + "'" and a line end to the AI log; the cursor stays.
void LexEchoWord(const char* cursor);

// Writes "ERROR : <unit> <place>: at line <line> <message>" to the AI log.
void ScriptReportError(const char* unit, s32_t place, const char* message);
