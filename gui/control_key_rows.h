// The key tables of control sections: each kind lists its keys in the order they are tested, and
// every row that matches a "property" command is applied, so a key listed twice acts twice. A command
// with fewer words than its key takes is skipped. Words count from "property" (0): the key is word 1.
#pragma once
#include <cstddef>

#include "core/script_file.h"
#include "core/text_case.h"
#include "gui/screen_script_words.h"

template <typename Control>
struct ControlKeyRow {
    const char* key;
    int words;  // the command's word count the key needs
    void (*apply)(Control& control, const ScriptCommand& command, const GuiScriptTarget& target);
};

template <typename Control, std::size_t Count>
void ApplyControlKeys(Control& control, const ControlKeyRow<Control> (&rows)[Count], const ScriptSection& section,
                      const GuiScriptTarget& target)
{
    for (const ScriptCommand& command : section.commands) {
        if (CompareNoCase(command.Keyword(), "property") != 0)
            continue;
        const char* key = command.Word(1);
        for (const ControlKeyRow<Control>& row : rows) {
            if (CompareNoCase(key, row.key) == 0 && command.WordCount() >= row.words)
                row.apply(control, command, target);
        }
    }
}

// Each builds a section of its kind (compared without regard to case) into the target's screen and
// answers true; false for any other kind.
bool GuiBuildEditBoxSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
bool GuiBuildCheckBoxSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
bool GuiBuildKeyPickerSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
bool GuiBuildSwitchGroupSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
bool GuiBuildWeaponListSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
