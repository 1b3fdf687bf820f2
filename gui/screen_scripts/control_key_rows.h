// The section builders of the account, options, key and briefing controls (their key tables use
// gui/screen_scripts/control_rows_table.h).
#pragma once
#include "gui/screen_scripts/control_rows_table.h"

// Each builds a section of its kind (compared without regard to case) into the target's screen and
// answers true; false for any other kind.
bool GuiBuildEditBoxSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
bool GuiBuildCheckBoxSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
bool GuiBuildKeyPickerSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
bool GuiBuildSwitchGroupSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
bool GuiBuildWeaponListSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
