// Screens hold no controls yet: nothing is found, and what would be shown is recorded in the GUI state.
#include "gui/gui_controls.h"
#include "core/text_case.h"
#include "gui/gui.h"

GuiControl* GuiCreateControl(const char* typeName)
{
    if (!typeName)
        return nullptr;
    if (CompareNoCase(typeName, "textbox") == 0)
        return new GuiControl("textbox");
    if (CompareNoCase(typeName, "listbox") == 0)
        return new GuiControl("listbox");
    return nullptr;
}

GuiControl* GuiFindItem(const char*)
{
    return nullptr;
}

void GuiWriteMsg(const char* textKey, GuiScreen*)
{
    g_gui.lastMessageKey.Assign(textKey);
    ++g_gui.messageCount;
}

void GuiShowLanguageSwitch()
{
    ++g_gui.languageSwitchCount;
}

void GuiRefresh()
{
    ++g_gui.refreshCount;
}

void GuiSelectResolution(s32_t entry)
{
    g_gui.resolutionSelection = entry;
}
