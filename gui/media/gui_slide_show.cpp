#include "gui/media/gui_slide_show.h"

#include <string>

#include "core/console/console_var.h"
#include "core/strings/text_case.h"
#include "gui/controls/gui_controls.h"
#include "gui/texts/def_script.h"
#include "gui/texts/def_script_codes.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_image.h"
#include "gui/controls/gui_primitives.h"
#include "gui/screens/gui_scale.h"
#include "gui/screens/gui_textures.h"
#include "gui/controls/gui_tooltip.h"
#include "platform/win32.h"
#include "render/draw2d/bitmap_font.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"

namespace {

constexpr u32_t kWhite = 0xFFFFFFFFu;

const char* StringVar(const char* name)
{
    const ConsoleVar* variable = CVarListFind(name);
    return variable ? variable->String() : "";
}

}  // namespace

GuiSlideShow::~GuiSlideShow()
{
    delete[] m_tooltip;
}

void GuiSlideShow::AddImage(IDirect3DTexture8* texture)
{
    images.push_back(texture);
}

void GuiSlideShow::AddInterval(u32_t seconds)
{
    intervals.push_back(seconds);
}

void GuiSlideShow::AddText(const char* text)
{
    captions.emplace_back(text ? text : "");
}

void GuiSlideShow::SetTooltip(char* text)
{
    delete[] m_tooltip;
    m_tooltip = text;
}

void GuiSlideShow::OnRightClick(s32_t, s32_t) {}
void GuiSlideShow::OnClick(s32_t, s32_t) {}

void GuiSlideShow::OnMouse(u32_t, s32_t, s32_t, s32_t, s32_t)
{
    GuiHoverTooltip(m_tooltip);
}

bool GuiSlideShow::Timed() const
{
    return type != GUI_SLIDES_MANUAL && current < intervals.size();
}

void GuiSlideShow::OnIncrement()
{
    if (images.empty() || Timed())
        return;
    current = current + 1 < images.size() ? current + 1 : 0;
}

void GuiSlideShow::OnDecrement()
{
    if (images.empty() || Timed())
        return;
    current = current > 0 && current <= images.size() ? current - 1 : static_cast<u32_t>(images.size() - 1);
}

s16_t GuiSlideShow::GetZIndex() const
{
    return ownZIndex;
}

void GuiSlideShow::SetZIndex(s16_t z)
{
    ownZIndex = z;
}

void GuiSlideShow::GetRect(RECT* out) const
{
    if (out)
        *out = GuiPixelBox(rect[0], rect[1], rect[2], rect[3], 0.0f, 0.0f, 1.0f, 1.0f);
}

void GuiSlideShow::OnActivate(GuiScreen*)
{
    if (type == GUI_SLIDES_MANUAL)
        current = 0;
    RefreshData();
}

void GuiSlideShow::SetFocus(bool flag)
{
    ownFocus = flag;
}

bool GuiSlideShow::IsFocused() const
{
    return ownFocus;
}

void GuiSlideShow::RefreshData()
{
    if (CompareNoCase(source.Text(), "photos") != 0)
        return;
    images.clear();
    intervals.clear();
    captions.clear();
    current = 0;
    const std::string captionFile =
        std::string("locale\\") + StringVar("language") + "\\" + StringVar("dsmap") + ".asc";
    const std::string photos = StringVar("gs_photos");
    std::size_t at = 0;
    while (at < photos.size()) {
        while (at < photos.size() && photos[at] == ' ')
            ++at;
        const std::size_t end = photos.find(' ', at);
        const std::string photo = photos.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? photos.size() : end;
        if (photo.empty())
            continue;
        IDirect3DTexture8* texture = GuiTextureGet(photo.c_str());
        if (!texture)
            texture = GuiTextureGet(("component\\gui\\" + photo).c_str());
        if (!texture)
            texture = GuiTextureGet(("component\\gui\\briefing\\" + photo).c_str());
        AddImage(texture);
        const char* caption = DefScriptGetText(captionFile.c_str(), photo.c_str());
        AddText(caption ? caption : "");
    }
}

void GuiSlideShow::Draw(float offsetX, float offsetY, float scaleX, float scaleY)
{
    if (images.empty())
        return;
    if (current >= images.size())
        current = 0;
    const u32_t now = GetTickCount();
    if (!started) {
        startTime = now;
        changeTime = now;
        started = true;
    }
    const float frameTime = g_gui.frameTime;
    const bool timed = Timed();
    u32_t interval = 0;
    if (timed) {
        interval = intervals[current] * 1000u;
        const u32_t fade = static_cast<u32_t>(static_cast<float>(intervals[current]) * 0.9f) * 1000u;
        const u32_t elapsed = now - changeTime;
        // A fade of no length (an interval of one second) is a cut.
        const s32_t kind = fade == 0 ? static_cast<s32_t>(GUI_SLIDES_CUT) : type;
        const float rate = fade ? 100.0f / (static_cast<float>(fade) * 0.01f) : 0.0f;
        if (kind == GUI_SLIDES_CROSS_FADE) {
            if (elapsed <= fade) {
                currentAlpha = opacity;
                nextAlpha = 0.0f;
            } else {
                currentAlpha -= rate * frameTime;
                nextAlpha += rate * frameTime;
                if (currentAlpha < 0.0f)
                    currentAlpha = 0.0f;
                if (nextAlpha > opacity)
                    nextAlpha = opacity;
            }
        } else if (kind == GUI_SLIDES_FADE_OUT_IN) {
            nextAlpha = 0.0f;
            currentAlpha += elapsed <= fade ? rate * frameTime : -rate * frameTime;
            if (currentAlpha > opacity)
                currentAlpha = opacity;
            if (currentAlpha < 0.0f)
                currentAlpha = 0.0f;
        } else {
            currentAlpha = opacity;
            nextAlpha = 0.0f;
        }
    } else {
        currentAlpha = opacity;
        nextAlpha = 0.0f;
    }

    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetTexture(1, nullptr);
    const RECT box = GuiPixelBox(rect[0], rect[1], rect[2], rect[3], offsetX, offsetY, scaleX, scaleY);
    const u32_t next = current + 1 < images.size() ? current + 1 : 0;
    const struct {
        IDirect3DTexture8* texture;
        float alpha;
    } layers[2] = {{images[current], currentAlpha}, {images[next], nextAlpha}};
    for (const auto& layer : layers) {
        if (!layer.texture || !(layer.alpha > 0.0f))
            continue;
        RenderSetTexture(0, layer.texture);
        RenderSetState(D3DRS_TEXTUREFACTOR, GuiOpacityFactor(layer.alpha) | 0x00FFFFFFu);
        Draw2DQuad(box.left, box.right, box.top, box.bottom);
    }
    RenderSetState(D3DRS_TEXTUREFACTOR, kWhite);
    if (font && current < captions.size() && !captions[current].IsEmpty()) {
        const std::string caption = DefPlainText(captions[current].Text());
        DrawFontText(font, false, static_cast<int>(textX * static_cast<float>(GuiScreenWidth())),
                     static_cast<int>(textY * static_cast<float>(GuiScreenHeight())), GuiScaleToScreen(textSize),
                     caption.c_str(), kWhite, 0);
    }
    if (timed && now - changeTime >= interval) {
        current = current + 1 < images.size() ? current + 1 : 0;
        changeTime = now;
    }
}
