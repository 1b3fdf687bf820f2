#include "render/draw2d/sun_flare.h"

#include "core/frame_view.h"
#include "map/trace/map_trace.h"
#include "platform/d3dx8_math.h"
#include "render/camera.h"
#include "render/device/dynamic_buffers.h"
#include "render/draw2d/hud_input.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/render_clock.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "scene/sky/sun_effect.h"
#include "render/draw2d/colour_pack.h"

SunFlareState g_sunFlare;

namespace {

constexpr u32_t kKeepArgument = 0xFFFFFFFFu;

// The traces toward the sun: true when it is visible from the viewer.
bool SunVisible(const float* viewer, const Vector3& sun)
{
    const float target[3] = {viewer[0] + sun.x * 1000.0f, viewer[1] + sun.y * 1000.0f, viewer[2] + sun.z * 1000.0f};
    MapTraceInfo hit;
    hit.flags = TRACE_TILED | TRACE_OBJECTS;
    hit.ignoreObject = g_frameView.player;
    hit.objOptions = 0;
    if (MapTrace(viewer, target, &hit))
        return false;
    MapTraceInfo indoor;
    return !WorldTraceIndoor(viewer, target, &indoor);
}

void DrawElement(const SunFlareElement& element, const D3DXVECTOR3& centre, const D3DXVECTOR3& across,
                 const D3DXVECTOR3& down)
{
    const float scale = element.intensityScaled ? g_sunFlare.intensity * element.sizeFactor * g_sunFlare.fade : 1.0f;
    const float half = scale * element.size * 0.5f;
    const D3DXVECTOR3 u = across * half;
    const D3DXVECTOR3 v = down * half;

    RenderSetTexture(0, rbwireframe.Bool() ? nullptr : element.texture);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_SRCBLEND, element.sourceBlend);
    RenderSetState(D3DRS_DESTBLEND, element.destinationBlend);
    if (g_hudInput.flags.nightVision) {
        const float* tint = rc_nvisioncol.Colour();
        RenderSetState(D3DRS_TEXTUREFACTOR, ColourPackTruncated(tint));
        RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    } else if (!element.noAlphaFactor) {
        // The factor's alpha, spread over the colour, dims the sprite; a factor above 1 saturates
        // instead of wrapping round.
        RenderSetState(D3DRS_TEXTUREFACTOR, ColourByteTruncated(g_sunFlare.intensity * element.alphaFactor) << 24);
        RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR | D3DTA_ALPHAREPLICATE);
    } else {
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeepArgument);
    }
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeepArgument);
    RenderSetColorOp(1, D3DTOP_DISABLE, kKeepArgument, kKeepArgument);
    RenderSetAlphaOp(1, D3DTOP_DISABLE, kKeepArgument, kKeepArgument);

    // Round the quad from A + u - v, the texture's top left.
    const D3DXVECTOR3 corners[4] = {centre + u - v, centre - u - v, centre - u + v, centre + u + v};
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

}  // namespace

void SunFlareDraw()
{
    const float* viewer = g_frameView.viewPos;
    const Vector3 sun = mvsundir.Vector();
    const u32_t now = RenderTicks();
    if (now - g_sunFlare.lastTest <= kSunFlareTestInterval) {
        if (g_sunFlare.fade == kSunFlareHidden)
            return;
    } else {
        g_sunFlare.lastTest = now;
        if (g_sunFlare.suppress || !SunVisible(viewer, sun)) {
            g_sunFlare.fade = kSunFlareHidden;
            return;
        }
    }
    g_sunFlare.fade += g_frameView.frameTime * 8.5f;
    if (g_sunFlare.fade > 1.0f)
        g_sunFlare.fade = 1.0f;

    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_ZENABLE, 0);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);

    // A camera at the origin with the game camera's angles: the sprites are placed by direction.
    const float yaw = g_camera.yaw, pitch = g_camera.pitch, roll = g_camera.roll, fov = g_camera.fov;
    RenderSetupCamera(0.0f, 0.0f, 0.0f, yaw, pitch, roll, fov, 1);
    const Vector3 toSun = RenderGetSunDirection();
    const D3DXVECTOR3 direction(toSun.x, toSun.y, toSun.z);
    const D3DXVECTOR3 centre = direction * 10.0f;
    D3DXVECTOR3 forward = g_camera.forward;
    D3DXVec3Normalize(&forward, &forward);
    const float facing = D3DXVec3Dot(&forward, &direction);
    g_sunFlare.intensity = facing > 0.0f ? facing : 0.0f;

    // Two axes parallel to the screen: across (to the left) and down.
    D3DXVECTOR3 across, down;
    D3DXVec3Cross(&across, &forward, &g_camera.up);
    D3DXVec3Normalize(&across, &across);
    D3DXVec3Cross(&down, &forward, &across);
    D3DXVec3Normalize(&down, &down);

    if (const SunEffect* effect = RenderGetSunEffect()) {
        for (u32_t i = 0; i < effect->elementCount && effect->elements; ++i) {
            if (effect->elements[i].enabled)
                DrawElement(effect->elements[i], centre, across, down);
        }
    }

    RenderSetupCamera(viewer[0], viewer[1], viewer[2], yaw, pitch, roll, fov, 1);
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
    if (rbwireframe.Bool())
        RenderSetState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
}
