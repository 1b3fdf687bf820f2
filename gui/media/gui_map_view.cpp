#include "gui/media/gui_map_view.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "core/strings/text_case.h"
#include "gui/texts/fonts.h"
#include "gui/controls/gui_image.h"
#include "gui/controls/gui_primitives.h"
#include "gui/screens/gui_scale.h"
#include "gui/screens/gui_textures.h"
#include "render/device/dynamic_buffers.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/render_context.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"

namespace {

constexpr u32_t kWhite = 0xFFFFFFFFu;
// A "create" entry of a point reads its positions from values 3 and 5.
constexpr int kHorizontalValue = 3;
constexpr int kVerticalValue = 5;

const char* StringVar(const char* name)
{
    const ConsoleVar* variable = CVarListFind(name);
    return variable ? variable->String() : "";
}

float ValueNumber(const DefEntry& entry, int index)
{
    float value = 0.0f;
    if (std::sscanf(entry.Value(index), "%f", &value) != 1 || !std::isfinite(value))
        return 0.0f;
    return value;
}

bool IsKey(const DefEntry* entry, const char* key)
{
    return CompareNoCase(entry->key.Text(), key) == 0;
}

// The point of that name among the "create POINT" entries; an entry too short for its positions is
// passed over.
bool FindPoint(const DefFile& environment, const char* pointName, GuiMapPoint* point)
{
    for (const DefEntry* entry = environment.first; entry; entry = entry->next) {
        if (!IsKey(entry, "create") || CompareNoCase(entry->Value(0), "POINT") != 0 ||
            CompareNoCase(entry->Value(1), pointName) != 0)
            continue;
        if (entry->valueCount <= kVerticalValue)
            continue;
        point->horizontal = ValueNumber(*entry, kHorizontalValue);
        point->vertical = ValueNumber(*entry, kVerticalValue);
        return true;
    }
    return false;
}

void ScreenQuad(const float (&x)[4], const float (&y)[4])
{
    static const float kU[4] = {0.0f, 1.0f, 1.0f, 0.0f};
    static const float kV[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    static const int kOrder[6] = {0, 1, 2, 0, 2, 3};
    DynBufferSelect(&g_dynBuffers.screenVertices);
    DynVertexBufferLock(6);
    auto* vertices = reinterpret_cast<VertexScreen*>(g_dynBuffers.vertexOut);
    for (int i = 0; i < 6; ++i) {
        const int c = kOrder[i];
        vertices[i] = {x[c], y[c], kScreenZ, kScreenRhw, kWhite, kU[c], kV[c]};
    }
    DynBuffersUnlock();
    DynVertexBufferDraw(D3DPT_TRIANGLELIST, 6, true);
    DynBufferSelect(nullptr);
}

void Marker(IDirect3DTexture8* texture, float x, float y, u32_t size)
{
    // A point that damaged data place far off the screen (or nowhere) is not drawn: its pixel
    // coordinates would not fit an int.
    constexpr float kFarOff = 65536.0f;
    if (!texture || size == 0 || size > 65536u || !(std::fabs(x) < kFarOff) || !(std::fabs(y) < kFarOff))
        return;
    RenderSetTexture(0, texture);
    const int half = static_cast<int>(size / 2);
    const int cx = static_cast<int>(x), cy = static_cast<int>(y);
    Draw2DQuad(cx - half, cx - half + static_cast<int>(size), cy - half, cy - half + static_cast<int>(size));
}

}  // namespace

bool GuiMapView::AddPathName(const char* pathName)
{
    if (pathNames.size() >= GUI_MAP_PATH_NAMES)
        return false;
    pathNames.emplace_back(pathName ? pathName : "");
    return true;
}

RECT GuiMapView::PixelBox(float offsetX, float offsetY, float scaleX, float scaleY) const
{
    return GuiPixelBox(x, y, width, height, offsetX, offsetY, scaleX, scaleY);
}

void GuiMapView::GetRect(RECT* rect) const
{
    if (rect)
        *rect = PixelBox(0.0f, 0.0f, 1.0f, 1.0f);
}

void GuiMapView::MeasureRect(const RECT& box)
{
    m_box = box;
    rectWidth = static_cast<float>(box.right - box.left);
    rectHeight = static_cast<float>(box.bottom - box.top);
    aspect = rectHeight > 0.0f ? rectWidth / rectHeight : 1.0f;
}

void GuiMapView::OnActivate(GuiScreen*)
{
    RefreshData();
}

void GuiMapView::OnDeInit()
{
    panX = panY = 0.0f;
    panPixelsX = panPixelsY = 0.0f;
}

void GuiMapView::OnClick(s32_t, s32_t)
{
    OnDeInit();
}

void GuiMapView::OnScrollUp()
{
    if (zoom > GUI_MAP_ZOOM_CLOSEST) {
        zoom -= GUI_MAP_ZOOM_STEP;
        panX -= GUI_MAP_ZOOM_STEP * 0.5f;
        panY -= GUI_MAP_ZOOM_STEP * 0.5f;
    }
}

void GuiMapView::OnScrollDown()
{
    if (zoom < 1.0f) {
        zoom += GUI_MAP_ZOOM_STEP;
        panX += GUI_MAP_ZOOM_STEP * 0.5f;
        panY += GUI_MAP_ZOOM_STEP * 0.5f;
    }
}

void GuiMapView::OnMouse(u32_t buttons, s32_t, s32_t, s32_t dx, s32_t dy)
{
    if (buttons != GUI_MOUSE_RIGHT)
        return;
    if (!(rectWidth > 0.0f) || !(rectHeight > 0.0f))
        MeasureRect(PixelBox(0.0f, 0.0f, 1.0f, 1.0f));
    if (!(rectWidth > 0.0f) || !(rectHeight > 0.0f))
        return;
    const float screenWidth = static_cast<float>(GuiScreenWidth());
    const float screenHeight = static_cast<float>(GuiScreenHeight());
    const float du = static_cast<float>(dx) / rectWidth * zoom;
    const float dv = static_cast<float>(dy) / rectHeight * zoom;

    panX -= du;
    panPixelsX -= du * width * screenWidth;
    const float limitX = (1.0f - zoom) * rectWidth + panLimitX;
    if (std::fabs(panPixelsX) > limitX) {
        panX += du;
        panPixelsX = panPixelsX > 0.0f ? limitX : -limitX;
    }
    panY -= dv;
    panPixelsY -= dv * height * screenHeight;
    const float limitY = ((1.0f - zoom) * rectHeight + panLimitY) * aspect;
    if (std::fabs(panPixelsY) > limitY) {
        panY += dv;
        panPixelsY = panPixelsY > 0.0f ? limitY : -limitY;
    }
}

void GuiMapView::RefreshData()
{
    paths.clear();
    const std::string folder = std::string("mission\\") + StringVar("dsmap") + "\\";
    DefFile* patrols = DefFileLoad((folder + "mission.ptl").c_str());
    DefFile* environment = DefFileLoad((folder + "mission.env").c_str());
    if (patrols && environment) {
        for (const EngineString& wanted : pathNames) {
            const DefEntry* entry = patrols->first;
            while (entry && !(IsKey(entry, "path") && CompareNoCase(entry->Value(0), wanted.Text()) == 0))
                entry = entry->next;
            if (!entry)
                continue;
            GuiMapPath path;
            path.name = wanted;
            for (entry = entry->next; entry && !IsKey(entry, "path"); entry = entry->next) {
                if (!IsKey(entry, "point"))
                    continue;
                GuiMapPoint point;
                if (FindPoint(*environment, entry->Value(0), &point)) {
                    path.points.push_back(point);
                    path.pointNames.emplace_back(entry->Value(0));
                }
            }
            if (!path.points.empty())
                paths.push_back(std::move(path));
        }
        const std::string land = StringVar("gs_briefinglandmap");
        IDirect3DTexture8* picture = GuiTextureGet(("component\\gui\\briefing\\" + land).c_str());
        if (!picture)
            picture = GuiTextureGet(("component\\gui\\" + land).c_str());
        // A mission without a land map keeps the picture the screen gave.
        if (picture)
            mapTexture = picture;
    }
    DefFileRelease(patrols);
    DefFileRelease(environment);
}

// Points go where the picture shows their place. The map spans GUI_MAP_SPAN units over one texture
// width, its origin at the texture's middle, larger vertical positions higher; the picture window
// runs from (pan x - zoom, pan y - zoom / aspect) at the top-left corner to (pan x, pan y) at the
// bottom-right (the texture repeats, so the pan taken modulo 1 draws the same picture), the copy of
// the map at pan 0 lying from -1 to 0. Placed so, a point stays on its landmark at every zoom, pan
// and aspect; at zoom 1 in a square view without pan it lies where the span centred on the origin
// puts it.
void GuiMapView::Place(const GuiMapPoint& point, float* px, float* py) const
{
    const float left = static_cast<float>(m_box.left);
    const float top = static_cast<float>(m_box.top);
    const float u = 0.5f + point.horizontal / GUI_MAP_SPAN - 1.0f;
    const float v = 0.5f - point.vertical / GUI_MAP_SPAN - 1.0f;
    const float windowHeight = zoom / aspect;
    *px = left + (u - (panX - zoom)) / zoom * rectWidth;
    *py = top + (v - (panY - windowHeight)) / windowHeight * rectHeight;
}

void GuiMapView::Draw(float offsetX, float offsetY, float scaleX, float scaleY)
{
    MeasureRect(PixelBox(offsetX, offsetY, scaleX, scaleY));
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetState(D3DRS_TEXTUREFACTOR, GuiOpacityFactor(opacity));
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetTexture(1, nullptr);
    originU = std::fmod(panX, 1.0f);
    originV = std::fmod(panY, 1.0f);
    if (mapTexture) {
        RenderSetTexture(0, mapTexture);
        Draw2DQuadEx(m_box.left, m_box.right, m_box.top, m_box.bottom, kWhite, kWhite, kWhite, kWhite, originU - zoom,
                     originV - zoom / aspect, originU, originV);
    }
    if (paths.empty() || !(rectWidth > 0.0f) || !(rectHeight > 0.0f) || !(zoom > 0.0f)) {
        RenderSetState(D3DRS_TEXTUREFACTOR, kWhite);
        return;
    }

    IDirect3DDevice8* device = g_render.device;
    D3DVIEWPORT8 saved = {};
    if (device) {
        device->GetViewport(&saved);
        D3DVIEWPORT8 clip = {};
        clip.X = static_cast<DWORD>(m_box.left > 0 ? m_box.left : 0);
        clip.Y = static_cast<DWORD>(m_box.top > 0 ? m_box.top : 0);
        clip.Width = static_cast<DWORD>(rectWidth);
        clip.Height = static_cast<DWORD>(rectHeight);
        clip.MinZ = 0.0f;
        clip.MaxZ = 1.0f;
        device->SetViewport(&clip);
    }
    const Font* font = FontDefault();
    const float labelScale = GuiScaleToScreen(labelSize);
    const float halfWidth = static_cast<float>(markerSize) * 0.5f;
    auto label = [&](const EngineString& text, float px, float py) {
        if (font)
            DrawFontText(font, false, static_cast<int>(px), static_cast<int>(py), labelScale, text.Text(), kWhite, 2);
    };
    for (const GuiMapPath& path : paths) {
        const std::size_t count = path.points.size();
        for (std::size_t i = 0; i + 1 < count; ++i) {
            float x0, y0, x1, y1;
            Place(path.points[i], &x0, &y0);
            Place(path.points[i + 1], &x1, &y1);
            const float dx = x1 - x0, dy = y1 - y0;
            const float length = std::sqrt(dx * dx + dy * dy);
            if (segmentTexture && length > 0.0f) {
                const float nx = -dy / length * halfWidth, ny = dx / length * halfWidth;
                RenderSetTexture(0, segmentTexture);
                ScreenQuad({x0 + nx, x1 + nx, x1 - nx, x0 - nx}, {y0 + ny, y1 + ny, y1 - ny, y0 - ny});
            }
            Marker(markerTexture, x0, y0, markerSize);
            label(path.pointNames[i], x0, y0);
        }
        float xl, yl;
        Place(path.points[count - 1], &xl, &yl);
        Marker(markerTexture, xl, yl, endMarkerSize);
        label(path.pointNames[count - 1], xl, yl);
    }
    if (device)
        device->SetViewport(&saved);
    RenderSetState(D3DRS_TEXTUREFACTOR, kWhite);
}
