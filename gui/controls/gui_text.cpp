#include "gui/controls/gui_text.h"

#include <cstdint>
#include <cstring>

#include "core/strings/engine_string.h"
#include "gui/screens/gui_live_values.h"
#include "gui/controls/gui_primitives.h"
#include "gui/screens/gui_scale.h"
#include "render/draw2d/bitmap_font.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"

namespace {

constexpr u32_t kWhite = 0xFFFFFFFFu;

void TintedStates(u32_t factor)
{
    RenderSetState(D3DRS_TEXTUREFACTOR, factor);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

}  // namespace

GuiText::~GuiText()
{
    delete[] text;
}

void GuiText::Set(float textX, float textY, const char* newText, float newSize, const Font* newFont)
{
    x = textX;
    y = textY;
    SetText(newText);
    size = newSize;
    font = newFont;
}

void GuiText::SetText(const char* newText)
{
    char* copy = GuiCopyText(newText);
    delete[] text;
    text = copy;
}

void GuiText::Resolve()
{
    if (GuiIsLiveValue(text))
        GuiGetLiveValue(text, shownText, sizeof shownText);
    else
        GuiCopyBounded(shownText, sizeof shownText, text);
}

void GuiText::OnActivate(GuiScreen*)
{
    Resolve();
}

void GuiText::SetFocus(bool) {}

void GuiText::Draw(float, float, float, float)
{
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    TintedStates(colour & 0xFF000000u);
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    Resolve();
    if (font) {
        const float scale = GuiScaleToScreen(size);
        const float height = static_cast<float>(font->GetCharHeight()) * scale;
        const s32_t left = static_cast<s32_t>(static_cast<float>(GuiScreenWidth()) * x);
        const s32_t top = static_cast<s32_t>(static_cast<float>(GuiScreenHeight()) * y - height);
        DrawFontText(font, false, left, top, scale, shownText, colour, alignment);
    }
    RenderSetState(D3DRS_TEXTUREFACTOR, kWhite);
}

RECT GuiSquare::PixelBox() const
{
    const std::int64_t w = GuiScreenWidth();
    const std::int64_t h = GuiScreenHeight();
    const std::int64_t halfX = sizeX / 2;
    const std::int64_t halfY = sizeY / 2;
    RECT box;
    box.left = static_cast<LONG>(static_cast<double>(centreX * w - halfX * w) * 0.00125);
    box.right = static_cast<LONG>(static_cast<double>(centreX * w + halfX * w) * 0.00125);
    box.top = static_cast<LONG>(static_cast<double>(centreY * h - halfY * h) * (1.0 / 600.0));
    box.bottom = static_cast<LONG>(static_cast<double>(centreY * h + halfY * h) * (1.0 / 600.0));
    return box;
}

void GuiSquare::Draw(float, float, float, float)
{
    RenderSetTexture(0, texture);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    TintedStates(colour);
    const RECT box = PixelBox();
    Draw2DQuad(box.left, box.right, box.top, box.bottom);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetState(D3DRS_TEXTUREFACTOR, kWhite);
}

void GuiSquare::SetFocus(bool) {}

char* GuiCopyText(const char* text)
{
    if (!text)
        return nullptr;
    const std::size_t length = std::strlen(text);
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length + 1);
    return copy;
}
