#include "gui/controls/gui_check_box.h"

#include "core/console/console_var.h"
#include "gui/controls/gui_controls.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_image.h"
#include "gui/screens/gui_live_values.h"
#include "gui/texts/gui_locale.h"
#include "gui/screens/gui_scale.h"
#include "gui/controls/gui_tooltip.h"
#include "render/draw2d/bitmap_font.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"

namespace {
// Room between the mark and the label, in pixels.
constexpr s32_t kLabelGap = 5;

void DrawTexture(IDirect3DTexture8* texture, s32_t left, s32_t top, s32_t right, s32_t bottom)
{
    if (!texture)
        return;
    RenderSetTexture(0, texture);
    Draw2DQuad(left, right, top, bottom);
}
}  // namespace

GuiCheckBox::~GuiCheckBox()
{
    delete[] labelText;
    delete[] tooltip;
}

void GuiCheckBox::SetTooltip(char* text)
{
    delete[] tooltip;
    tooltip = text;
}

void GuiCheckBox::AddDependant(GuiCheckBox* control)
{
    if (control)
        m_dependants.push_back(control);
}

const char* GuiCheckBox::GetName() const
{
    return m_name.Text();
}

void GuiCheckBox::SetName(const char* text)
{
    m_name.Assign(text);
}

void GuiCheckBox::GetRect(RECT* rect) const
{
    GuiFractionRect(x, y, width, height, rect);
}

void GuiCheckBox::OnActivate(GuiScreen*)
{
    if (variable)
        checked = variable->Bool();
    delete[] labelText;
    labelText = labelKey.IsEmpty() ? nullptr : GuiFindLocaleText(labelKey.Text());
}

void GuiCheckBox::OnClick(s32_t, s32_t)
{
    if (disabled)
        return;
    checked = !checked;
    for (GuiCheckBox* dependant : m_dependants)
        dependant->disabled = !checked;
    if (variable)
        variable->SetBool(checked);
    command.Run(nullptr, nullptr);
}

void GuiCheckBox::OnMouse(u32_t, s32_t, s32_t, s32_t, s32_t)
{
    hovered = true;
    glow = 1.0f;
    GuiScreen* screen = g_gui.currentScreen;
    if (tooltip && screen && screen->GetToolTip()) {
        screen->GetToolTip()->Unlock(false);
        screen->GetToolTip()->SetText(tooltip, false);
    }
}

void GuiCheckBox::Draw(float, float, float, float)
{
    if (!GuiEvalCondition(condition.Text()))
        return;
    GuiOpacityBlendStates(opacity);

    // A change made elsewhere (the console, a command) shows at once.
    if (variable)
        checked = variable->Bool();
    if (hovered) {
        hovered = false;
    } else {
        glow -= g_gui.frameTime;
        if (glow < 0.0f)
            glow = 0.0f;
    }

    RECT box = {};
    GetRect(&box);
    DrawTexture(background, box.left, box.top, box.right, box.bottom);
    const float boxWidth = static_cast<float>(box.right - box.left);
    const float boxHeight = static_cast<float>(box.bottom - box.top);
    const s32_t markLeft = box.left + static_cast<s32_t>(mark[0] * boxWidth);
    const s32_t markTop = box.top + static_cast<s32_t>(mark[1] * boxHeight);
    const s32_t markRight = markLeft + static_cast<s32_t>(mark[2] * boxWidth);
    const s32_t markBottom = markTop + static_cast<s32_t>(mark[3] * boxHeight);
    DrawTexture(checked ? checkedTexture : uncheckedTexture, markLeft, markTop, markRight, markBottom);

    if (font && labelText) {
        const float scale = GuiScaleToScreen(fontSize);
        const float lineHeight = static_cast<float>(font->GetCharHeight()) * scale;
        const s32_t middle = box.top + (box.bottom - box.top) / 2;
        const s32_t textY = middle - static_cast<s32_t>(lineHeight / 2.0f) -
                            static_cast<s32_t>(lineHeight - scale * static_cast<float>(font->GetBase()));
        const s32_t textX = markRight + kLabelGap;
        if (disabled) {
            RenderSetState(D3DRS_TEXTUREFACTOR, GuiOpacityFactor(opacity * 0.5f));
            DrawFontText(font, false, textX, textY, scale, labelText, colour, 0);
        } else {
            RenderSetState(D3DRS_TEXTUREFACTOR, GuiOpacityFactor(opacity));
            DrawFontText(font, false, textX, textY, scale, labelText, colour, 0);
            RenderSetState(D3DRS_TEXTUREFACTOR, GuiOpacityFactor(glow));
            DrawFontText(font, true, textX, textY, scale, labelText, colour, 0);
        }
    }
    RenderSetState(D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu);
}
