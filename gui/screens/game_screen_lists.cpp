#include "gui/screens/game_screen_lists.h"

#include "ai/envelopes/envelope_markers.h"
#include "core/strings/text_case.h"
#include "gui/screens/gui.h"
#include "gui/lists/gui_list_box.h"

GuiListBox* GuiFindLoadedList(const char* screenName, const char* listName)
{
    for (u32_t i = 0; i < GuiScreenCount(); ++i) {
        GuiScreen* screen = GuiScreenAt(i);
        if (screen && CompareNoCase(screen->name.Text(), screenName) == 0)
            return listName ? dynamic_cast<GuiListBox*>(screen->FindControl(listName)) : nullptr;
    }
    return nullptr;
}

void GuiEmptyList(GuiListBox& list)
{
    list.Clear();
    list.ClearItemColours();
    list.firstVisible = 0;
    list.selectedRow = -1;
}

void GuiFillMarkerList()
{
    GuiListBox* list = GuiFindLoadedList("LAYER6", "OZICONS");
    if (!list)
        return;
    GuiEmptyList(*list);
    for (u32_t i = 0; i < EnvelopeMarkerCount(); ++i) {
        if (const EnvelopeMarker* marker = EnvelopeMarkerGet(i)) {
            list->AddString(marker->name.Text());
            list->AddItemData(marker->word);
        }
    }
}
