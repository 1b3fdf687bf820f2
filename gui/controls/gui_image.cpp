#include "gui/controls/gui_image.h"

#include <string>

#include "gui/controls/gui_controls.h"
#include "gui/screens/gui.h"
#include "gui/screens/gui_live_values.h"
#include "gui/controls/gui_primitives.h"
#include "gui/screens/gui_scale.h"
#include "gui/screens/gui_textures.h"
#include "gui/controls/gui_tooltip.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/state_cache.h"

namespace {
constexpr u32_t kOpaqueWhite = 0xFFFFFFFFu;
constexpr u32_t kLiveTextSize = 256;
}  // namespace

u32_t GuiOpacityFactor(float fraction)
{
    if (!(fraction > 0.0f))
        return 0;
    if (fraction >= 1.0f)
        return 0xFF000000u;
    return static_cast<u32_t>(fraction * 255.0f) << 24;
}

void GuiOpacityBlendStates(float opacity)
{
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetState(D3DRS_TEXTUREFACTOR, GuiOpacityFactor(opacity));
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
}

GuiImage::~GuiImage()
{
    delete[] tooltip;
    tooltip = nullptr;
    texture = nullptr;
}

void GuiImage::Draw(float offsetX, float offsetY, float scaleX, float scaleY)
{
    if (!texture)
        return;
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetState(D3DRS_TEXTUREFACTOR, GuiOpacityFactor(opacity));
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_SRCBLEND, alphaBlended ? D3DBLEND_SRCALPHA : D3DBLEND_ONE);
    RenderSetState(D3DRS_DESTBLEND, alphaBlended ? D3DBLEND_INVSRCALPHA : D3DBLEND_ZERO);
    RenderSetTexture(0, texture);
    RenderSetTexture(1, nullptr);
    const RECT box = GuiPixelBox(x, y, width, height, offsetX, offsetY, scaleX, scaleY);
    Draw2DQuad(box.left, box.right, box.top, box.bottom);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetState(D3DRS_TEXTUREFACTOR, kOpaqueWhite);
}

void GuiImage::OnMouse(u32_t, s32_t, s32_t, s32_t, s32_t)
{
    GuiHoverTooltip(tooltip);
}

void GuiImage::GetRect(RECT* rect) const
{
    GuiFractionRect(x, y, width, height, rect);
}

const char* GuiImage::GetName() const
{
    return imageName.Text();
}

void GuiImage::SetName(const char* text)
{
    imageName.Assign(text);
}

void GuiImage::OnActivate(GuiScreen*)
{
    RefreshData();
}

void GuiImage::SetFocus(bool) {}

void GuiImage::RefreshData()
{
    if (source.IsEmpty())
        return;
    char text[kLiveTextSize] = {};
    GuiGetLiveValue(source.Text(), text, sizeof text);
    // A picture named with its extension: the registries know it without.
    for (u32_t i = 1; i < sizeof text && text[i] != '\0'; ++i) {
        if (text[i] == '.') {
            text[i] = '\0';
            break;
        }
    }
    const std::string underGui = std::string("component\\gui\\") + text;
    texture = GuiTextureGet(underGui.c_str());
    if (!texture)
        texture = GuiTextureGet(text);
}

void GuiImage::SetTooltip(char* text)
{
    delete[] tooltip;
    tooltip = text;
}
