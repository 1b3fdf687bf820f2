// Screens hold no controls yet: nothing is found and no message control shows the text.
#include "gui/gui_controls.h"
#include "core/text_case.h"

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

void GuiWriteMsg(const char*, GuiScreen*) {}
