#include "gui/controls/gui_tooltip.h"

#include <cstring>

#include "core/sound/sound_sets.h"
#include "core/strings/text_case.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_primitives.h"
#include "gui/screens/gui_scale.h"
#include "render/draw2d/bitmap_font.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"

namespace {

constexpr u32_t kTypingStepMs = 20;
constexpr float kFadePerSecond = 3.0f;
constexpr u32_t kCaretBlinkBit = 0x100;

u32_t WithAlpha(u32_t colour, float alpha)
{
    if (alpha < 0.0f)
        alpha = 0.0f;
    if (alpha > 1.0f)
        alpha = 1.0f;
    return (static_cast<u32_t>(alpha * 255.0f) << 24) | (colour & 0x00FFFFFFu);
}

float FadeDown(float value, float step)
{
    value -= step;
    return value < 0.0f ? 0.0f : value;
}

}  // namespace

void GuiToolTip::SetText(const char* newText, bool lock)
{
    if (!newText)
        return;
    const u32_t now = GetTickCount();
    if (locked && now - setTime < GUI_TOOLTIP_LOCK_MS && !released)
        return;
    released = false;
    const std::size_t length = std::strlen(newText);
    if (length >= GUI_TOOLTIP_TEXT_SIZE || CompareNoCase(newText, text) == 0)
        return;
    std::memcpy(text, newText, length + 1);
    shown = 0;
    setTime = now;
    lastCharTime = now;
    locked = lock;
    for (std::size_t i = 0; i < length; ++i)
        glow[i] = 1.0f;
}

void GuiToolTip::Unlock(bool force)
{
    if (locked && !force)
        return;
    released = true;
}

void GuiToolTip::StopSound()
{
    if (typingSound)
        typingSound->Stop();
    soundPlaying = false;
}

void GuiToolTip::GetRect(s32_t* left, s32_t* top, s32_t* right, s32_t* bottom) const
{
    if (!left || !top || !right || !bottom)
        return;
    const float w = static_cast<float>(GuiScreenWidth());
    const float h = static_cast<float>(GuiScreenHeight());
    *left = static_cast<s32_t>(w * rect[0]);
    *top = static_cast<s32_t>(h * rect[1]);
    *right = static_cast<s32_t>((rect[0] + rect[2]) * w);
    *bottom = static_cast<s32_t>((rect[1] + rect[3]) * h);
}

void GuiToolTip::DrawCharacters(bool glowLayer, s32_t* endX, s32_t* endY) const
{
    s32_t left, top, right, bottom;
    GetRect(&left, &top, &right, &bottom);
    const float scale = GuiScaleToScreen(fontSize);
    const float lineHeight = static_cast<float>(font->GetCharHeight()) * scale;
    const s32_t lineStart = alignment == 1 ? (left + right) / 2 : alignment == 2 ? right : left;
    float x = static_cast<float>(lineStart);
    float y = static_cast<float>(top + bottom) * 0.5f - lineHeight * 0.5f - lineHeight +
              static_cast<float>(font->GetBase()) * scale;
    const std::size_t length = std::strlen(text);
    for (u32_t i = 0; i < shown && i < length; ++i) {
        const u8_t character = static_cast<u8_t>(text[i]);
        const u32_t colour = glowLayer ? WithAlpha(textColour, glow[i]) : WithAlpha(textColour, currentOpacity);
        DrawFontGlyph(font, glowLayer, static_cast<s32_t>(x), static_cast<s32_t>(y), scale, character, colour);
        int width = 0, advance = 0;
        font->GetGlyphMetrics(character, &width, &advance);
        x += static_cast<float>(advance) * scale;
        if (character != ' ')
            continue;
        // The word after the blank goes on a new line when it would end beyond the box.
        char word[GUI_TOOLTIP_TEXT_SIZE];
        std::size_t wordLength = 0;
        for (std::size_t j = i + 1; j < length && text[j] != ' '; ++j)
            word[wordLength++] = text[j];
        word[wordLength] = '\0';
        if (x + static_cast<float>(font->GetTextWidth(word)) * scale > static_cast<float>(right)) {
            x = static_cast<float>(lineStart);
            y += lineHeight;
        }
    }
    *endX = static_cast<s32_t>(x);
    *endY = static_cast<s32_t>(y);
}

void GuiToolTip::Draw()
{
    const u32_t now = GetTickCount();
    GuiAlphaBlendStates();
    RenderSetTexture(0, background);

    const u32_t length = static_cast<u32_t>(std::strlen(text));
    if (typingSound) {
        if (shown < length && !soundPlaying && shown > 0) {
            typingSound->Play(true, false);
            soundPlaying = true;
        } else if (shown >= length && soundPlaying) {
            typingSound->Stop();
            soundPlaying = false;
        }
    }
    if (now - setTime > GUI_TOOLTIP_LOCK_MS)
        locked = false;
    const float frameStep = kFadePerSecond * g_gui.frameTime;
    if (released) {
        currentOpacity = FadeDown(currentOpacity, frameStep);
    } else {
        currentOpacity = opacity;
        if (now - lastCharTime > kTypingStepMs) {
            if (shown < length)
                ++shown;
            lastCharTime = now;
        }
    }
    for (u32_t i = 0; i < shown && i < GUI_TOOLTIP_TEXT_SIZE; ++i)
        glow[i] = FadeDown(glow[i], frameStep);

    // Without a background image there is no panel: a white one would hide the text.
    if (background) {
        s32_t left, top, right, bottom;
        GetRect(&left, &top, &right, &bottom);
        const u32_t panel = WithAlpha(0xFFFFFFFFu, currentOpacity);
        Draw2DQuadEx(left, right, top, bottom, panel, panel, panel, panel, 0.0f, 0.0f, 1.0f, 1.0f);
    }

    if (released && currentOpacity <= 0.0f) {
        text[0] = '\0';
        shown = 0;
        return;
    }
    // A box without a font has nothing to write its text with.
    if (!font)
        return;
    s32_t endX = 0, endY = 0;
    DrawCharacters(false, &endX, &endY);
    DrawCharacters(true, &endX, &endY);
    if (shown > 0 && (now & kCaretBlinkBit))
        DrawFontGlyph(font, false, endX, endY, GuiScaleToScreen(fontSize), font->GetCursorChar(),
                      WithAlpha(textColour, currentOpacity));
}
