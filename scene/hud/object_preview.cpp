#include "scene/hud/object_preview.h"

#include "map/octree/object_grid.h"
#include "platform/d3dx8_math.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/render_clock.h"
#include "render/device/render_context.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"
#include "scene/draw_records/draw_records.h"
#include "scene/meshes/object_draw.h"
#include "scene/scene_state.h"
#include "world/objects/dynamic_object.h"

namespace {

ObjectPreview g_previews[kObjectPreviewSlots];
int g_previewCount = 0;

constexpr float kPreviewFov = 0.7853982f;  // a quarter turn
constexpr float kPreviewNear = 0.1f;
constexpr float kPreviewFar = 10000.0f;
constexpr D3DCOLOR kBackground = 0x80000000u;
constexpr float kCaptionScale = 0.4f;

void Relink(DynamicObject* object)
{
    ObjectGridEntry* entry = object->GetGridEntry();
    if (!entry)
        return;
    float box[6];
    object->GetGeometryBounds(box);
    ObjectGridUnlink(entry);
    ObjectGridLink(entry, box);
}

void Background(s32_t left, s32_t top, s32_t right, s32_t bottom)
{
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetState(D3DRS_ZENABLE, 0);
    RenderSetState(D3DRS_TEXTUREFACTOR, kBackground);
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
    RenderSetTexture(0, nullptr);
    Draw2DQuad(left, right, top, bottom);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
}

void ObjectPreviewDraw(const ObjectPreview& preview)
{
    DynamicObject* object = preview.object;
    s32_t left, top, right, bottom;
    if (!object ||
        !ObjectPreviewClip(preview, g_render.screenWidth, g_render.screenHeight, &left, &top, &right, &bottom))
        return;

    const Vector3 keptPosition = object->GetPosition();
    const Vector3 keptRotation = object->GetRotation();
    float box[6];
    object->GetGeometryBounds(box);
    const float sizeX = box[3] - box[0];
    const float sizeZ = box[5] - box[2];
    const float extent = sizeX > sizeZ ? sizeX : sizeZ;
    // A larger scale brings the object nearer, so that it fills more of its picture.
    const float scale = preview.scale > 0.0f ? preview.scale : 1.0f;
    object->SetPosition({0.0f, -0.5f * (box[4] - box[1]), 1.5f * extent / scale});
    const float yaw = preview.spin ? static_cast<float>(RenderTicks()) * 0.001f : 0.0f;
    object->SetRotation({0.0f, yaw, 0.0f});
    const bool keptDrawn = object->SetDrawn(true);
    Relink(object);

    Background(left, top, right, bottom);
    if (preview.caption && g_hudInput.defaultFont) {
        RenderSetState(D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu);
        RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
        RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
        DrawFontText(g_hudInput.defaultFont, false, left + (right - left) / 2, top + 1, GuiScaleToScreen(kCaptionScale),
                     preview.caption, 0xFFFFFFFFu, 2);
    }

    IDirect3DDevice8* device = g_render.device;
    D3DVIEWPORT8 keptViewport = {};
    device->GetViewport(&keptViewport);
    const D3DVIEWPORT8 keptCopy = g_camera.viewport;
    D3DVIEWPORT8 viewport = {static_cast<DWORD>(left),
                             static_cast<DWORD>(top),
                             static_cast<DWORD>(right - left),
                             static_cast<DWORD>(bottom - top),
                             0.0f,
                             1.0f};
    device->SetViewport(&viewport);
    g_camera.viewport = viewport;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_VIEW, &identity);
    // The finished frame's depth must not hide the picture: its rectangle starts with a clear depth.
    const D3DRECT rect = {left, top, right, bottom};
    device->Clear(1, &rect, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    RenderSetState(D3DRS_ZENABLE, 1);
    object->Render();
    device->SetViewport(&keptViewport);
    g_camera.viewport = keptCopy;

    object->SetPosition(keptPosition);
    object->SetRotation(keptRotation);
    object->SetDrawn(keptDrawn);
    Relink(object);
}

}  // namespace

ObjectPreview* ObjectPreviewAdd()
{
    if (g_previewCount >= kObjectPreviewSlots)
        return nullptr;
    ObjectPreview* preview = &g_previews[g_previewCount++];
    *preview = {};
    return preview;
}

ObjectPreview* ObjectPreviewAt(int index)
{
    return index >= 0 && index < g_previewCount ? &g_previews[index] : nullptr;
}

int ObjectPreviewCount()
{
    return g_previewCount;
}

ObjectPreview* ObjectPreviewFindAt(s32_t x, s32_t y)
{
    for (int i = 0; i < g_previewCount; ++i) {
        ObjectPreview& p = g_previews[i];
        if (x > p.left && y > p.top && x < p.left + p.width && y < p.top + p.height)
            return &p;
    }
    return nullptr;
}

void ObjectPreviewClear()
{
    g_previewCount = 0;
}

bool ObjectPreviewClip(const ObjectPreview& preview, int screenWidth, int screenHeight, s32_t* left, s32_t* top,
                       s32_t* right, s32_t* bottom)
{
    // All four edges: a rectangle starting left of or above the screen must not give the device a
    // viewport of negative origin.
    const long long x0 = preview.left, y0 = preview.top;
    const long long x1 = x0 + preview.width, y1 = y0 + preview.height;
    *left = static_cast<s32_t>(x0 < 0 ? 0 : x0);
    *top = static_cast<s32_t>(y0 < 0 ? 0 : y0);
    *right = static_cast<s32_t>(x1 > screenWidth ? screenWidth : x1);
    *bottom = static_cast<s32_t>(y1 > screenHeight ? screenHeight : y1);
    return *right > *left && *bottom > *top;
}

float ObjectPreviewAspect(int screenWidth, int screenHeight)
{
    const int quotient = screenHeight > 0 ? screenWidth / screenHeight : 1;
    return static_cast<float>(quotient > 0 ? quotient : 1);
}

void ObjectPreviewDrawAll()
{
    IDirect3DDevice8* device = g_render.device;
    if (!device) {
        ObjectPreviewClear();
        return;
    }
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, kPreviewFov,
                               ObjectPreviewAspect(g_render.screenWidth, g_render.screenHeight), kPreviewNear,
                               kPreviewFar);
    D3DXMATRIX keptProjection, keptWorld, keptView;
    device->GetTransform(D3DTS_PROJECTION, &keptProjection);
    device->GetTransform(D3DTS_WORLD, &keptWorld);
    device->GetTransform(D3DTS_VIEW, &keptView);
    device->SetTransform(D3DTS_PROJECTION, &projection);

    // A preview queues no draw records, takes no object fog and is not batched.
    const bool keptRecordingOff = g_drawRecords.recordingOff != 0;
    const bool keptFog = g_scene.objectFog != 0;
    const bool keptBatching = g_scene.batching != 0;
    DrawRecordSetRecordingOff(true);
    RenderSetObjectFog(false);
    RenderSetBatching(false);
    for (int i = 0; i < g_previewCount; ++i)
        ObjectPreviewDraw(g_previews[i]);
    DrawRecordSetRecordingOff(keptRecordingOff);
    RenderSetObjectFog(keptFog);
    RenderSetBatching(keptBatching);

    ObjectPreviewClear();
    device->SetTransform(D3DTS_PROJECTION, &keptProjection);
    device->SetTransform(D3DTS_WORLD, &keptWorld);
    device->SetTransform(D3DTS_VIEW, &keptView);
}
