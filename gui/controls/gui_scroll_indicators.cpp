#include "gui/controls/gui_scroll_indicators.h"

#include "gui/screens/gui.h"
#include "gui/controls/gui_text_box.h"
#include "gui/controls/gui_tooltip.h"

void GuiScrollIndicator::Draw(float offsetX, float offsetY, float scaleX, float scaleY)
{
    if (!bound && !boundName.IsEmpty())
        bound = GuiFindItem(boundName.Text());
    if (!bound)
        return;
    background.Draw(0.0f, 0.0f, 1.0f, 1.0f);
    GuiTextRange range;
    if (auto* box = dynamic_cast<GuiTextBox*>(bound))
        range = box->VisibleRange();
    knob.x = background.x;
    knob.width = background.width;
    knob.y = background.y + range.start * background.height;
    knob.height = range.end * background.height + background.y - knob.y;
    knob.Draw(offsetX, offsetY, scaleX, scaleY);
}

void GuiScrollIndicator::OnMouse(u32_t, s32_t, s32_t, s32_t, s32_t)
{
    GuiScreen* screen = g_gui.currentScreen;
    if (screen && screen->GetToolTip())
        screen->GetToolTip()->Unlock(false);
}

s16_t GuiScrollIndicator::GetZIndex() const
{
    return ownZIndex;
}

void GuiScrollIndicator::GetRect(RECT* rect) const
{
    background.GetRect(rect);
}

void GuiScrollIndicator::SetZIndex(s16_t z)
{
    ownZIndex = z;
}

void GuiScrollIndicator::SetFocus(bool) {}
