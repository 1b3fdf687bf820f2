// Player-visible texts looked up by key in the locale files. A key made of a file name, a dot and an
// entry name is looked up in that file + ".asc", a key without a dot in "gui.asc": under
// "locale\_common\" first and, only when that file is missing, under "locale\" + language + "\".
// Locale texts carry escapes: "/x" with up to three decimal digits is that character, and a "/"
// before any other character keeps only that character.
#pragma once

class EngineString;

constexpr unsigned GUI_QUOTED_TEXT_SIZE = 4096;

// The decoded text of the key; the key itself when no file holds it. new[]: the caller deletes it.
char* GuiFindLocaleText(const char* key);
// A new[] copy with the escapes decoded; a "/" at the very end ends the text.
char* GuiDecodeEscapes(const char* text);
// True when the text holds a ".".
bool GuiIsLocaleKey(const char* text);
// Writes the localized text of the key into out.
void GuiLocalize(const EngineString& key, EngineString* out);
// Replaces the key the string holds by its localized text.
void GuiLocalize(EngineString* string);
// A mixed text: the parts outside double quotes are keys replaced by their texts, the parts inside
// are copied without the quotes. At most 4095 characters: a part that would reach 4096 ends the
// build. new[]: the caller deletes it.
char* GuiLocalizeQuoted(const char* text);
