#include "scene/sky/sky_backdrop.h"

#include <cmath>

#include "core/frame_view.h"
#include "core/plugins/plugin_api.h"
#include "map/map_cvars.h"
#include "platform/d3dx8_math.h"
#include "render/camera.h"
#include "render/draw2d/colour_pack.h"
#include "render/device/dynamic_buffers.h"
#include "render/draw2d/hud_input.h"
#include "render/land/map_render_setup.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/sky_box.h"
#include "render/device/state_cache.h"
#include "render/draw2d/sun_flare.h"
#include "scene/draw_records/draw_record_replay.h"
#include "scene/meshes/object_draw.h"
#include "scene/sky/sun_effect.h"
#include "world/objects/graph_obj.h"

namespace {

constexpr u32_t kKeepArgument = 0xFFFFFFFFu;
// The horizon point lies this many view ranges away; the plane passes this far below the eye.
constexpr float kHorizonRangeFactor = 10.0f;
constexpr float kHorizonDrop = 30.0f;
constexpr float kSunDistance = 10.0f;
// The least horizontal share of the view direction that still gives a horizon direction.
constexpr float kLevelShareLimit = 1e-3f;

static_assert(kSkyBoxFaces == ENV_FACE_COUNT, "one environment map per face");

// What differs between the mission's backdrop and the standalone one.
struct BackdropView {
    bool standalone;
    float yaw;     // the horizon direction (unless third person)
    float height;  // the viewer's height
};

D3DCOLOR ColourFromVariable(const ConsoleVar& variable)
{
    return ColourPackRounded(variable.Colour());
}

// A fade factor 0..1 as the alpha of the texture factor (the fraction dropped, held to a byte).
D3DCOLOR FadeFactor(float fade)
{
    float scaled = fade * 255.0f;
    if (!(scaled > 0.0f))
        scaled = 0.0f;
    if (scaled > 255.0f)
        scaled = 255.0f;
    return static_cast<u32_t>(scaled) << 24;
}

u32_t FillMode()
{
    return rbwireframe.Bool() ? D3DFILL_WIREFRAME : D3DFILL_SOLID;
}

void SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX& matrix)
{
    if (g_render.device)
        g_render.device->SetTransform(type, &matrix);
}

// The plane that keeps the sky above the horizon: through the point 30 units below the eye in the
// direction of the horizon point. A view with no horizontal direction (third person looking straight
// down) keeps the whole box.
D3DXPLANE HorizonPlane(const BackdropView& view)
{
    const float range = mfrange.Float() * kHorizonRangeFactor;
    float hx = std::sin(view.yaw) * range;
    float hz = std::cos(view.yaw) * range;
    if (!view.standalone && gbthirdperson.Bool()) {
        hx = g_camera.forward.x * range;
        hz = g_camera.forward.z * range;
    }
    const float across = hx * hx + hz * hz;
    const float lift = 300.0f + 30.0f * view.height;
    D3DXVECTOR3 normal(hx * lift, across, hz * lift);
    const float length = D3DXVec3Length(&normal);
    // A view within rounding of the vertical has no horizon direction to speak of: its plane would
    // turn on the rounding error.
    const float minimumAcross = range * kLevelShareLimit * range * kLevelShareLimit;
    if (!(across > minimumAcross) || !(length > 0.0f) || !std::isfinite(length))
        return D3DXPLANE(0.0f, 0.0f, 0.0f, 1.0f);
    normal = normal * (1.0f / length);
    return D3DXPLANE(normal.x, normal.y, normal.z, kHorizonDrop);
}

void DrawSkyBox(const D3DXPLANE& plane)
{
    if (!g_mapRender.envMaps[0])
        return;
    DynBufferSelect(&g_dynBuffers.texVertices);
    for (int face = 0; face < ENV_FACE_COUNT; ++face) {
        RenderSetTexture(0, g_mapRender.envMaps[face]);
        float quad[4 * kSkyVertexFloats];
        SkyBoxFaceQuad(face, quad);
        float clipped[8 * kSkyVertexFloats];
        const int count = ClipPolygonByPlane(&plane.a, quad, clipped);
        if (count < 3)
            continue;
        DynVertexBufferLock(static_cast<u32_t>(count));
        for (int i = 0; i < count; ++i) {
            DynVertexPutVec3(clipped + i * kSkyVertexFloats);
            DynVertexPutVec2(clipped + i * kSkyVertexFloats + 3);
        }
        DynBuffersUnlock();
        DynVertexBufferDraw(D3DPT_TRIANGLEFAN, static_cast<u32_t>(count), true);
    }
    DynBufferSelect(nullptr);
}

bool SkyAnimates()
{
    return !g_frameView.screenOpen || (g_frameView.currentGameMod && g_frameView.currentGameMod->ownScreens);
}

void DrawSkyObject(GraphObj* sky)
{
    // The sky is drawn at its nearest level of detail, under the pass selector the backdrop set.
    sky->lodLevel = 0;
    sky->Render();
    if (SkyAnimates())
        sky->AdvanceFrameAll(g_frameView.frameTime);
    DrawRecordsReplay();
    DrawRecordsClear();
}

void DrawFogFloor()
{
    const float* box = g_mapRender.skyBox;
    RenderSetState(D3DRS_TEXTUREFACTOR, ColourFromVariable(mcfogcolor));
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, kKeepArgument);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, kKeepArgument);
    const float y = box[1];
    const float corners[6][3] = {{box[0], y, box[2]}, {box[3], y, box[2]}, {box[3], y, box[5]},
                                 {box[3], y, box[5]}, {box[0], y, box[5]}, {box[0], y, box[2]}};
    DynBufferSelect(&g_dynBuffers.posVertices);
    DynVertexBufferLock(6);
    for (const auto& corner : corners)
        DynVertexPutVec3(corner);
    DynBuffersUnlock();
    DynVertexBufferDraw(D3DPT_TRIANGLELIST, 6, true);
    DynBufferSelect(nullptr);
}

void DrawSunSprite(const SunFlareElement& element, const D3DXVECTOR3& centre, const D3DXVECTOR3& right,
                   const D3DXVECTOR3& up, bool standalone)
{
    const float scale = element.intensityScaled ? g_sunFlare.intensity * element.sizeFactor : 1.0f;
    const float half = element.size * 0.5f * scale;
    const D3DXVECTOR3 r = right * half;
    const D3DXVECTOR3 u = up * half;

    RenderSetTexture(0, rbwireframe.Bool() ? nullptr : element.texture);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_SRCBLEND, element.sourceBlend);
    RenderSetState(D3DRS_DESTBLEND, element.destinationBlend);
    if (!standalone && g_hudInput.flags.nightVision) {
        RenderSetState(D3DRS_TEXTUREFACTOR, ColourFromVariable(rc_nvisioncol));
        RenderSetColorOp(0, D3DTOP_MODULATE4X, D3DTA_TEXTURE, D3DTA_TFACTOR);
        RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeepArgument);
    } else if (!element.noAlphaFactor) {
        const float fade = standalone ? element.alphaFactor : g_sunFlare.intensity * element.alphaFactor;
        RenderSetState(D3DRS_TEXTUREFACTOR, FadeFactor(fade));
        RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR | D3DTA_ALPHAREPLICATE);
        RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeepArgument);
    } else {
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeepArgument);
        RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeepArgument);
    }
    RenderSetColorOp(1, D3DTOP_DISABLE, kKeepArgument, kKeepArgument);
    RenderSetAlphaOp(1, D3DTOP_DISABLE, kKeepArgument, kKeepArgument);

    const D3DXVECTOR3 corners[4] = {centre - r + u, centre + r + u, centre + r - u, centre - r - u};
    static const float kCoordinates[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    DynBufferSelect(&g_dynBuffers.texVertices);
    DynVertexBufferLock(4);
    for (int i = 0; i < 4; ++i) {
        DynVertexPutVec3(&corners[i].x);
        DynVertexPutVec2(kCoordinates[i]);
    }
    DynBuffersUnlock();
    DynVertexBufferDraw(D3DPT_TRIANGLEFAN, 4, true);
    DynBufferSelect(nullptr);
}

void DrawSunSprites(bool standalone)
{
    const SunEffect* effect = RenderGetSunEffect();
    if (!effect || !effect->elements)
        return;
    const Vector3 sun = RenderGetSunDirection();
    const D3DXVECTOR3 centre(sun.x * kSunDistance, sun.y * kSunDistance, sun.z * kSunDistance);
    // The sprite's right runs level, across the sun's direction; with the sun straight up there is
    // no such direction and any level one serves.
    D3DXVECTOR3 right(centre.z, 0.0f, -centre.x);
    if (D3DXVec3Length(&right) > 0.0f)
        D3DXVec3Normalize(&right, &right);
    else
        right = D3DXVECTOR3(1.0f, 0.0f, 0.0f);
    D3DXVECTOR3 up;
    D3DXVec3Cross(&up, &centre, &right);
    if (D3DXVec3Length(&up) > 0.0f)
        D3DXVec3Normalize(&up, &up);
    for (u32_t i = 0; i < effect->elementCount; ++i) {
        const SunFlareElement& element = effect->elements[i];
        if (!element.enabled)
            DrawSunSprite(element, centre, right, up, standalone);
    }
}

void DrawBackdrop(const BackdropView& view)
{
    // 1. States.
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_ZENABLE, 0);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeepArgument);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeepArgument);
    RenderSetColorOp(1, D3DTOP_DISABLE, kKeepArgument, kKeepArgument);
    RenderSetAlphaOp(1, D3DTOP_DISABLE, kKeepArgument, kKeepArgument);
    RenderSetState(D3DRS_FILLMODE, FillMode());
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_POINT);
    RenderSetStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    RenderSetStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
    RenderSetState(D3DRS_LIGHTING, 0);
    g_render.worldLightingSetUp = false;
    RenderSetState(D3DRS_SPECULARENABLE, 0);

    // 2-3. The sky box above the horizon.
    DrawSkyBox(HorizonPlane(view));

    // 4. The transforms in force; a linked camera object or the third-person view sees the sky from
    // a view turned like the camera but standing at the origin.
    D3DMATRIX savedWorld = {}, savedView = {}, savedProjection = {};
    if (g_render.device) {
        g_render.device->GetTransform(D3DTS_WORLD, &savedWorld);
        g_render.device->GetTransform(D3DTS_VIEW, &savedView);
        g_render.device->GetTransform(D3DTS_PROJECTION, &savedProjection);
    }
    if (!view.standalone && (g_camera.cameraObject || gbthirdperson.Bool())) {
        D3DXMATRIX rotationView, rotationWorld;
        CameraBuildViewMatrix(&rotationView, &rotationWorld, 0.0f, 0.0f, 0.0f, g_camera.yaw, g_camera.pitch,
                              g_camera.roll);
        SetTransform(D3DTS_VIEW, rotationView);
        SetTransform(D3DTS_PROJECTION, g_camera.projection);
    }

    // 5-6. The "before" object.
    RenderSetObjectFog(false);
    RenderSetPassSelector(0);
    RenderSetSkyPass(true);
    if (g_mapRender.skyBefore)
        DrawSkyObject(g_mapRender.skyBefore);

    // 7-8. The fog floor.
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    SetTransform(D3DTS_WORLD, identity);
    if (!view.standalone)
        DrawFogFloor();

    // 9. The sky objects: texture colour and alpha as they are, no depth test or write, no culling.
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeepArgument);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeepArgument);
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_ZENABLE, 0);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    SetTransform(D3DTS_WORLD, savedWorld);

    // 10. The sun.
    DrawSunSprites(view.standalone);

    // 11. The "after" object.
    if (g_mapRender.skyAfter) {
        DrawSkyObject(g_mapRender.skyAfter);
    } else if (!view.standalone) {
        RenderSetStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
        RenderSetStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    }

    // 12. Back to the world's states: object fog on, the sky pass over, lighting and specular off.
    RenderSetObjectFog(true);
    RenderSetSkyPass(false);
    RenderSetState(D3DRS_LIGHTING, 0);
    g_render.worldLightingSetUp = false;
    RenderSetState(D3DRS_SPECULARENABLE, 0);
}

}  // namespace

void SkyBackdropDraw()
{
    const float* viewer = g_frameView.viewPos;
    DrawBackdrop({false, g_camera.yaw, viewer[1]});
}

void SkyBackdropDrawStandalone(const float* position, float yaw, float pitch, float roll, float fieldOfView)
{
    RenderSetupCamera(0.0f, 0.0f, 0.0f, yaw, pitch, roll, fieldOfView, 1);
    DrawBackdrop({true, yaw, position ? position[1] : 0.0f});
}
