#include "gui/controls/gui_progress_bar.h"

#include "core/console/console_var.h"
#include "gui/controls/gui_image.h"
#include "gui/controls/gui_primitives.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/state_cache.h"

namespace {
constexpr u32_t kWhite = 0xFFFFFFFFu;
constexpr s32_t kFull = 100;
}  // namespace

void GuiProgressBar::OnIncrement()
{
    if (!variable)
        return;
    const s32_t value = variable->Int() + step;
    variable->SetInt(value > kFull ? kFull : value);
}

void GuiProgressBar::OnDecrement()
{
    if (!variable)
        return;
    const s32_t value = variable->Int() - step;
    variable->SetInt(value < 0 ? 0 : value);
}

void GuiProgressBar::GetRect(RECT* rect) const
{
    if (rect)
        *rect = GuiPixelBox(x, y, width, height, 0.0f, 0.0f, 1.0f, 1.0f);
}

void GuiProgressBar::Draw(float offsetX, float offsetY, float scaleX, float scaleY)
{
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetState(D3DRS_TEXTUREFACTOR, GuiOpacityFactor(opacity));
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetTexture(1, nullptr);
    const RECT box = GuiPixelBox(x, y, width, height, offsetX, offsetY, scaleX, scaleY);
    RenderSetTexture(0, background);
    Draw2DQuad(box.left, box.right, box.top, box.bottom);
    if (variable) {
        const float boxWidth = static_cast<float>(box.right - box.left);
        const float fillWidth = static_cast<float>(variable->Int()) * boxWidth * 0.01f;
        if (fillWidth > 0.0f && boxWidth > 0.0f) {
            RenderSetTexture(0, fill);
            Draw2DQuadEx(box.left, box.left + static_cast<int>(fillWidth), box.top, box.bottom, kWhite, kWhite, kWhite,
                         kWhite, 0.0f, 0.0f, fillWidth / boxWidth, 1.0f);
        }
    }
    RenderSetState(D3DRS_TEXTUREFACTOR, kWhite);
}
