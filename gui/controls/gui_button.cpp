#include "gui/controls/gui_button.h"

#include <cstring>
#include <string>

#include "core/sound/sound_sets.h"
#include "gui/screens/gui.h"
#include "gui/screens/gui_command_lookup.h"
#include "gui/screens/gui_live_values.h"
#include "gui/controls/gui_image.h"
#include "gui/screens/gui_scale.h"
#include "gui/controls/gui_tooltip.h"
#include "gui/screens/screen_manager.h"
#include "render/draw2d/bitmap_font.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"

GuiButton::GuiButton() = default;

GuiButton::~GuiButton()
{
    delete[] label;
    delete[] tooltip;
}

void GuiButton::SetLabel(char* text)
{
    delete[] label;
    label = text;
}

void GuiButton::SetTooltip(char* text)
{
    delete[] tooltip;
    tooltip = text;
}

bool GuiButton::ConditionHolds() const
{
    return GuiEvalCondition(condition.Text());
}

void GuiButton::Draw(float offsetX, float offsetY, float scaleX, float scaleY)
{
    if (!ConditionHolds())
        return;
    GuiOpacityBlendStates(opacity);
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);

    if (hovered) {
        hovered = false;
    } else {
        highlight -= g_gui.frameTime;
        if (highlight < 0.0f)
            highlight = 0.0f;
        hoverSoundPlayed = false;
    }

    picture.Draw(offsetX, offsetY, scaleX, scaleY);
    RECT box = {};
    picture.GetRect(&box);

    if (font && label) {
        const float scale = GuiScaleToScreen(fontSize);
        const u32_t lineHeight = static_cast<u32_t>(static_cast<float>(font->GetCharHeight()) * scale);
        s32_t textX = box.left + (box.right - box.left) / 2;
        if (alignment == GUI_BUTTON_RIGHT)
            textX = box.right;
        else if (alignment == GUI_BUTTON_LEFT)
            textX = box.left;
        const s32_t middle = static_cast<s32_t>(box.top + (box.bottom - box.top) / 2);
        const s32_t textY = static_cast<s32_t>(
            static_cast<float>(middle - static_cast<s32_t>(lineHeight / 2) - static_cast<s32_t>(lineHeight)) +
            scale * static_cast<float>(font->GetBase()));
        // The text drawer numbers alignments the other way round.
        const int drawAlignment = 2 - alignment;
        RenderSetState(D3DRS_TEXTUREFACTOR, GuiOpacityFactor(opacity));
        DrawFontText(font, false, textX, textY, scale, label, captionColour, drawAlignment);
        RenderSetState(D3DRS_TEXTUREFACTOR, GuiOpacityFactor(highlight));
        DrawFontText(font, true, textX, textY, scale, label, captionColour, drawAlignment);
    }
    RenderSetState(D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu);
}

void GuiButton::OnMouse(u32_t, s32_t, s32_t, s32_t, s32_t)
{
    if (!ConditionHolds())
        return;
    if (hoverSound && !hoverSoundPlayed) {
        hoverSound->Play(false, false);
        hoverSoundPlayed = true;
    }
    highlight = 1.0f;
    hovered = true;
    if (g_gui.currentScreen && g_gui.currentScreen->GetToolTip())
        g_gui.currentScreen->GetToolTip()->SetText(tooltip, false);
}

void GuiButton::OnClick(s32_t, s32_t)
{
    if (clickSound) {
        if (clickSound->IsPlaying())
            clickSound->Stop();
        clickSound->Play(false, false);
    }
    GuiScreen* screen = g_gui.currentScreen;
    if (!ConditionHolds() || !screen)
        return;
    GuiSetExitAction(target.Text());
    if (selectionVar)
        selectionVar->SetString(selectionValue.Text());
    if (!command.IsEmpty()) {
        const u32_t refreshes = g_gui.refreshCount;
        s32_t result = 0;
        if (GuiCallCommand(command.Text(), "-m", &result) && result != 0)
            return;
        // The handler rebuilt the GUI: this button and its screen are gone.
        if (g_gui.refreshed || g_gui.refreshCount != refreshes)
            return;
    }
    screen->DeInit();

    const char* text = target.Text();
    if (const char* dot = std::strchr(text, '.')) {
        const std::string controlName(text, static_cast<std::size_t>(dot - text));
        GuiControl* control = GuiFindItem(controlName.c_str());
        if (!control)
            control = GuiFindItemInScreen(screen->subscreen, controlName.c_str());
        GuiSendEvent(control, dot + 1);
        return;
    }
    if (text[0] == '\0')
        return;
    if (g_gui.hitInSubscreen) {
        screen->SetSubscreen(GuiFindScreen(text));
        return;
    }
    // The screen manager keeps the history the switch goes onto.
    GuiOpenScreen(text);
}

void GuiButton::GetRect(RECT* rect) const
{
    picture.GetRect(rect);
}

void GuiButton::OnActivate(GuiScreen*)
{
    highlight = 0.0f;
}

void GuiButton::OnDeInit()
{
    if (hoverSound)
        hoverSound->Stop();
    if (clickSound)
        clickSound->Stop();
}

void GuiButton::SetFocus(bool) {}
