// The lists of the loaded screens that the game fills: the satellite view's marker list, the
// objectives, the subtitles and the display resolution.
#pragma once

class GuiListBox;

// The list control of that name on the loaded screen of that name (screens without regard to
// case, not the error screen); null when either is missing or the control is no list.
GuiListBox* GuiFindLoadedList(const char* screenName, const char* listName);
// Removes the items with their colours and columns; no selection, not scrolled.
void GuiEmptyList(GuiListBox& list);

// Empties the list "OZICONS" of the screen "LAYER6" and adds one item per map marker, in table
// order, with the marker's word as its item value. Nothing without that screen and list.
void GuiFillMarkerList();
