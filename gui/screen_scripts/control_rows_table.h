// The key tables of control sections: each kind's "property" keys tested in a fixed order, every
// matching row applied (a key listed twice acts twice), a command with fewer words than its key
// takes skipped. Words are counted from "property" (0): the key is word 1, its values from word 2.
#pragma once
#include "core/files/script_file.h"
#include "core/strings/text_case.h"
#include "gui/screen_scripts/screen_script_words.h"

template <typename Control>
struct GuiKeyRow {
    const char* key;
    int words;  // the command's word count the key needs
    void (*apply)(Control& control, const ScriptCommand& command, const GuiScriptTarget& target);
};

template <typename Control, std::size_t Count>
void GuiApplyKeyRows(Control& control, const GuiKeyRow<Control> (&rows)[Count], const ScriptSection& section,
                     const GuiScriptTarget& target)
{
    for (const ScriptCommand& command : section.commands) {
        if (CompareNoCase(command.Keyword(), "property") != 0)
            continue;
        const char* key = command.Word(1);
        for (const GuiKeyRow<Control>& row : rows) {
            if (CompareNoCase(key, row.key) == 0 && command.WordCount() >= row.words)
                row.apply(control, command, target);
        }
    }
}

inline float GuiRowNumber(const ScriptCommand& command, int index)
{
    return GuiScriptNumber(command.Word(index));
}

inline s16_t GuiRowLayer(const ScriptCommand& command)
{
    return static_cast<s16_t>(GuiScriptInteger(command.Word(2)));
}

// Each builds a control of its kind from the section into the target's screen; false for other kinds.
bool GuiBuildTextBoxSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
bool GuiBuildIndicatorSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
bool GuiBuildEffectSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
bool GuiBuildProgressBarSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
bool GuiBuildVideoSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
bool GuiBuildSlideShowSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
bool GuiBuildMapViewSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
