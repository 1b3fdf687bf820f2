#include "gui/controls/gui_effect.h"

#include <cmath>

#include "core/frame_view.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_image.h"
#include "gui/screens/gui_scale.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/state_cache.h"

namespace {
constexpr u32_t kWhite = 0xFFFFFFFFu;
}  // namespace

s16_t GuiEffect::GetZIndex() const
{
    return ownZIndex;
}

void GuiEffect::SetZIndex(s16_t z)
{
    ownZIndex = z;
}

void GuiEffect::GetRect(RECT* rect) const
{
    if (!rect)
        return;
    rect->left = 0;
    rect->top = 0;
    rect->right = -1;
    rect->bottom = -1;
}

void GuiEffect::SetFocus(bool) {}

void GuiEffect::OnActivate(GuiScreen* previous)
{
    if (!linked || !previous)
        return;
    if (auto* other = dynamic_cast<GuiEffect*>(GuiFindItemInScreen(previous, linkName.Text()))) {
        phaseU = other->phaseU;
        phaseV = other->phaseV;
    }
}

void GuiEffect::Draw(float, float, float, float)
{
    if (!bound && !boundName.IsEmpty())
        bound = GuiFindItem(boundName.Text());
    if (!bound)
        return;
    ownZIndex = bound->GetZIndex();
    RECT box = {};
    bound->GetRect(&box);
    if (ownBox) {
        const float w = static_cast<float>(GuiScreenWidth());
        const float h = static_cast<float>(GuiScreenHeight());
        box.left = static_cast<LONG>(w * boxX);
        box.right = static_cast<LONG>(w * (boxX + boxWidth));
        box.top = static_cast<LONG>(h * boxY);
        box.bottom = static_cast<LONG>(h * (boxY + boxHeight));
    }
    RenderSetTexture(0, texture);
    RenderSetTexture(1, nullptr);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetState(D3DRS_TEXTUREFACTOR, GuiOpacityFactor(opacity));
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    Draw2DQuadEx(box.left, box.right, box.top, box.bottom, kWhite, kWhite, kWhite, kWhite, phaseU - 1.0f, phaseV - 1.0f,
                 phaseU, phaseV);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    // A mission running beneath the screen has its own clock.
    const float dt = g_frameView.player ? g_frameView.frameTime : g_gui.frameTime;
    phaseV = std::fmod(phaseV + dt * speedV, 1.0f);
    phaseU = std::fmod(phaseU + dt * speedU, 1.0f);
    RenderSetState(D3DRS_TEXTUREFACTOR, kWhite);
}
