#include "gui/media/gui_video.h"

#include "core/video/video.h"
#include "gui/controls/gui_controls.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_image.h"
#include "gui/controls/gui_primitives.h"
#include "gui/controls/gui_tooltip.h"
#include "platform/win32.h"
#include "render/draw2d/grid_font.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/state_cache.h"
#include "render/textures/texture_preload.h"
#include "render/draw2d/text_draw.h"

namespace {
constexpr u32_t kWhite = 0xFFFFFFFFu;
constexpr u32_t kErrorRed = 0xFFFF0000u;
constexpr int kErrorCell = 10;
}  // namespace

GuiVideo::~GuiVideo()
{
    delete[] m_tooltip;
}

void GuiVideo::SetVideo(const char* videoName)
{
    player = VideoOpenGui(videoName);
}

void GuiVideo::SetTooltip(char* text)
{
    delete[] m_tooltip;
    m_tooltip = text;
}

void GuiVideo::OnRightClick(s32_t, s32_t) {}
void GuiVideo::OnClick(s32_t, s32_t) {}

void GuiVideo::OnMouse(u32_t, s32_t, s32_t, s32_t, s32_t)
{
    GuiHoverTooltip(m_tooltip);
}

s16_t GuiVideo::GetZIndex() const
{
    return ownZIndex;
}

void GuiVideo::SetZIndex(s16_t z)
{
    ownZIndex = z;
}

void GuiVideo::GetRect(RECT* out) const
{
    if (out)
        *out = GuiPixelBox(rect[0], rect[1], rect[2], rect[3], 0.0f, 0.0f, 1.0f, 1.0f);
}

void GuiVideo::Draw(float offsetX, float offsetY, float scaleX, float scaleY)
{
    const RECT box = GuiPixelBox(rect[0], rect[1], rect[2], rect[3], offsetX, offsetY, scaleX, scaleY);
    const u32_t now = GetTickCount();
    if (!started) {
        startTime = now;
        started = true;
    }
    IDirect3DTexture8* frameTexture = nullptr;
    if (player && player->msPerFrame > 0 && player->frameCount > 0) {
        s32_t frame = static_cast<s32_t>((now - startTime) / player->msPerFrame);
        if (frame >= player->frameCount) {
            startTime = now;
            frame = 0;
        }
        frameTexture = player->DrawFrame(frame);
        shownFrame = frame;
    }
    RenderSetTexture(1, nullptr);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    if (!frameTexture) {
        // No picture: the message in the grid font, as the consoles write.
        RenderSetTexture(0, g_preloadedTextures.guiFont ? g_preloadedTextures.guiFont : GridFontBuiltinTexture());
        RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
        RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
        DrawGridText(box.left, box.top, kErrorCell, kErrorCell, "Video error!", kErrorRed);
        RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
        RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
        return;
    }
    RenderSetTexture(0, frameTexture);
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetState(D3DRS_TEXTUREFACTOR, GuiOpacityFactor(opacity));
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    // The player's texture holds the picture bottom line first: v runs up the quad.
    Draw2DQuadEx(box.left, box.right, box.top, box.bottom, kWhite, kWhite, kWhite, kWhite, 0.0f, player->vExtent,
                 player->uExtent, 0.0f);
    RenderSetState(D3DRS_TEXTUREFACTOR, kWhite);
}
