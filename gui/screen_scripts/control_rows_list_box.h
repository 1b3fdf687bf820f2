// The screen-script keys of list boxes.
#pragma once

struct GuiScriptTarget;
struct ScriptSection;

// Builds a "LISTBOX" section into a list box of the target screen; false for other kinds.
bool GuiBuildListBoxSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section);
