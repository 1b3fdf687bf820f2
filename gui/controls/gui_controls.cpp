// The control base's defaults, the lookups of controls by name and the message writer.
#include "gui/controls/gui_controls.h"

#include <cstring>

#include "core/strings/text_case.h"
#include "gui/screens/gui.h"
#include "gui/screens/game_screen_lists.h"
#include "gui/lists/gui_list_box.h"
#include "gui/texts/gui_locale.h"
#include "gui/screens/gui_scale.h"
#include "gui/controls/gui_text_box.h"
#include "gui/controls/gui_tooltip.h"

void GuiCopyBounded(char* out, u32_t room, const char* text)
{
    if (!out || room == 0)
        return;
    const std::size_t length = text ? strnlen(text, room - 1) : 0;
    if (length)
        std::memcpy(out, text, length);
    out[length] = '\0';
}

void GuiControl::Draw(float, float, float, float) {}
void GuiControl::OnRightClick(s32_t, s32_t) {}
void GuiControl::OnClick(s32_t, s32_t) {}
void GuiControl::OnMouse(u32_t, s32_t, s32_t, s32_t, s32_t) {}
void GuiControl::OnScrollDown() {}
void GuiControl::OnScrollUp() {}
void GuiControl::OnIncrement() {}
void GuiControl::OnDecrement() {}
s16_t GuiControl::GetZIndex() const
{
    return zIndex;
}
void GuiControl::GetRect(RECT*) const {}
void GuiControl::SetZIndex(s16_t z)
{
    zIndex = z;
}
const char* GuiControl::GetName() const
{
    return name.Text();
}
void GuiControl::SetName(const char* text)
{
    name.Assign(text);
}
void GuiControl::OnActivate(GuiScreen*) {}
void GuiControl::OnDeInit() {}
void GuiControl::SetFocus(bool flag)
{
    focused = flag;
}
bool GuiControl::IsFocused() const
{
    return focused;
}
bool GuiControl::ReleasesFocus() const
{
    return releasesFocus;
}
void GuiControl::OnChar(char) {}
void GuiControl::RefreshData() {}
void GuiControl::DeleteSelection() {}

GuiControl* GuiCreateControl(const char* typeName)
{
    if (!typeName)
        return nullptr;
    if (CompareNoCase(typeName, "listbox") == 0)
        return new GuiListBox();
    if (CompareNoCase(typeName, "textbox") == 0)
        return new GuiTextBox();
    return nullptr;
}

GuiControl* GuiFindItemInScreen(GuiScreen* screen, const char* name)
{
    if (!screen || !name)
        return nullptr;
    return screen->FindControl(name);
}

GuiControl* GuiFindItem(const char* name)
{
    return GuiFindItemInScreen(g_gui.currentScreen, name);
}

void GuiWriteMsg(const char* textKey, GuiScreen* screen)
{
    g_gui.lastMessageKey.Assign(textKey);
    ++g_gui.messageCount;
    GuiScreen* target = screen ? screen : g_gui.currentScreen;
    if (target && target->GetToolTip()) {
        char* text = GuiFindLocaleText(textKey);
        target->GetToolTip()->Unlock(true);
        target->GetToolTip()->SetText(text, true);
        delete[] text;
    }
    if (screen)
        screen->messageWritten = true;
}

void GuiShowLanguageSwitch()
{
    ++g_gui.languageSwitchCount;
}

void GuiSelectResolution(s32_t entry)
{
    g_gui.resolutionSelection = entry;
    GuiListBox* list = GuiFindLoadedList("OPTIONS_GRAPHICS_RESOLUTION", "resolution");
    if (!list || entry < 0 || static_cast<u32_t>(entry) >= list->ItemCount())
        return;
    list->firstVisible = 0;
    list->selectedRow = entry;
}

void GuiFractionRect(float x, float y, float width, float height, RECT* rect)
{
    if (!rect)
        return;
    const float w = static_cast<float>(GuiScreenWidth());
    const float h = static_cast<float>(GuiScreenHeight());
    rect->left = static_cast<LONG>(x * w);
    rect->top = static_cast<LONG>(y * h);
    rect->right = static_cast<LONG>((x + width) * w);
    rect->bottom = static_cast<LONG>((y + height) * h);
}

void GuiHoverTooltip(const char* tooltip)
{
    GuiScreen* screen = g_gui.currentScreen;
    if (!screen || !screen->GetToolTip())
        return;
    screen->GetToolTip()->Unlock(false);
    if (tooltip)
        screen->GetToolTip()->SetText(tooltip, false);
}
