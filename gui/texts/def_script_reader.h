// The cursor over a markup text being read: bounded by the text's size, zero bytes included.
#pragma once
#include <string>

#include "core/types.h"

struct DefReader {
    const char* text = nullptr;
    u32_t size = 0;
    u32_t position = 0;

    bool AtEnd() const { return position >= size; }
    char Peek(u32_t ahead = 0) const { return position + ahead < size ? text[position + ahead] : '\0'; }
    // Blanks, line ends and "#" or "//" comments to the end of their line.
    void SkipBlanksAndComments();
    // A letter, then letters, digits or "_"; empty when none stands here.
    std::string ReadIdentifier();
    // A section or tag name: every character up to a blank, "<", ">", "/" or "=".
    std::string ReadName();
};

// The markup reader of the registries (gui/texts/def_script.cpp), for the value types.
bool DefReadInteger(DefReader& reader, s32_t* value);
