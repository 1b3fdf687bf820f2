// The tokenizer of particle scripts: a cursor over a zero-terminated text, with readers that
// advance past what they accept and leave the cursor where it was when they fail. Keywords and
// names compare exactly.
#pragma once
#include <cstdint>
#include <string>

namespace ptk {

// Sin and Exp bodies may nest; deeper than this the read fails rather than recursing on.
constexpr int kScriptNestingLimit = 32;

struct ScriptCursor {
    const char* at;
    std::int32_t line;       // newlines skipped so far in this file
    const char* scriptName;  // named in the error line
    std::int32_t depth;      // nesting of function bodies
};

ScriptCursor ScriptBegin(const char* text, const char* scriptName);

// Skips bytes below "!" (as signed bytes, so 0x80..0xFF too) and the "#" comments that follow a
// skipped byte.
void SkipBlanks(ScriptCursor& cursor);
// The next non-blank byte (0 at the end); the cursor stands on it.
char PeekChar(ScriptCursor& cursor);
// Takes the expected character after blanks.
bool TakeChar(ScriptCursor& cursor, char expected);
// A letter, then letters, digits and "_".
bool ReadIdentifier(ScriptCursor& cursor, std::string& out);
// The identifier after blanks equals the word.
bool TakeWord(ScriptCursor& cursor, const char* word);
bool ReadInteger(ScriptCursor& cursor, std::int32_t& out);
// Digits, a ".", digits (with an optional sign): "1", "1." and ".5" are not floats.
bool ReadFloat(ScriptCursor& cursor, float& out);
// Text between double quotes; a missing closing quote prints the reader's error line.
bool ReadQuoted(ScriptCursor& cursor, std::string& out);
bool ReadVector(ScriptCursor& cursor, float out[3]);

// The reader's one error line (an unterminated quoted string), as printed on console 0.
std::string ScriptErrorLine(const char* scriptName, std::int32_t line);

}  // namespace ptk
