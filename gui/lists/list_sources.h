// The named sources that fill list boxes on every refresh: folders, accounts, plug-ins, display
// modes, game modes, console lines and fixed tables. Names compare without regard to case.
#pragma once
#include "core/types.h"

class GuiListBox;

// How many names one folder search keeps; later names are dropped.
constexpr u32_t LIST_FILE_NAME_SLOTS = 256;

// Fills the emptied list from the source it names (an unknown or missing name adds nothing). False
// when the refresh must end at once and leave selection, variable and count as they are: the
// account has no next-mission list yet.
bool GuiListSourceFill(GuiListBox& list);

// The folder search behind the sources (gui/lists/list_sources_folders.cpp).
void ListFillFolderNames(GuiListBox& list, const char* folder, bool allEntries, bool (*keep)(const char* name));
