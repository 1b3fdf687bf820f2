#include "scene/meshes/connection_draw.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/frame_view.h"
#include "map/map_cvars.h"
#include "map/octree/octree_query.h"
#include "render/camera.h"
#include "render/draw2d/colour_pack.h"
#include "render/device/dynamic_buffers.h"
#include "render/draw2d/hud_input.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "scene/draw_records/draw_record_replay.h"
#include "scene/meshes/object_draw.h"
#include "scene/vegetation/plant_batch.h"
#include "scene/scene_cvars.h"
#include "scene/draw_records/stream_emit.h"
#include "scene/sky/sun_lights.h"
#include "world/wires/wires.h"

namespace {

constexpr u32_t kAlphaReference = 160;
constexpr float kPi = 3.14159265f;
constexpr u32_t kMaxVertices = MAX_WIRE_SEGMENTS * 8;
constexpr u32_t kMaxIndices = MAX_WIRE_SEGMENTS * 12;

bool NightVision()
{
    return g_hudInput.flags.nightVision != 0;
}

void PutVertex(float* out, const D3DXVECTOR3& p, float u, float v)
{
    EmitPositionUv(out, p.x, p.y, p.z, u, v);
}

// u per unit of length: a texture length of 0 (a file value) keeps u at 0.
float UPerLength(const ConObjGroup& group)
{
    return group.textureLength != 0.0f ? 1.0f / group.textureLength : 0.0f;
}

void SetPassStates()
{
    if (g_drawRecordReplay.plantBatchFlush)
        g_drawRecordReplay.plantBatchFlush();
    RenderSetState(D3DRS_LIGHTING, 1);
    RenderSetState(D3DRS_SPECULARENABLE, 0);
    RenderSetState(D3DRS_ALPHAREF, kAlphaReference);
    RenderSetState(D3DRS_ALPHATESTENABLE, 1);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
    RenderSetState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    for (u32_t stage = 0; stage < 3; ++stage)
        RenderSetStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    RenderSetColorOp(1, D3DTOP_DISABLE, ~0u, ~0u);
    RenderSetAlphaOp(1, D3DTOP_DISABLE, ~0u, ~0u);
    const u32_t filter = rbanisotropic.Bool() ? D3DTEXF_ANISOTROPIC : D3DTEXF_LINEAR;
    RenderSetStageState(0, D3DTSS_MINFILTER, filter);
    RenderSetStageState(0, D3DTSS_MAGFILTER, filter);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    RenderSetStageState(0, D3DTSS_MAXANISOTROPY, 1);
    RenderSetState(D3DRS_ZENABLE, 1);
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
    D3DMATRIX identity;
    MatrixSetIdentity(&identity);
    g_render.device->SetTransform(D3DTS_WORLD, &identity);
    RenderSetState(D3DRS_TEXTUREFACTOR, 0xFFFFFFFF);
    RenderSetState(D3DRS_FILLMODE, rbwireframe.Bool() ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    StaticBufferBind(&g_dynBuffers.texVertices);
    DynIndexBufferSelect(&g_dynBuffers.largeIndices);

    // The sun lights set the mark that says they are in place.
    RenderSetSunLights(0);
    RenderSetPassSelector(15);
    const u32_t selector = RenderGetPassSelector();
    const float grey = 0.588235f;
    D3DMATERIAL8 material = {};
    auto term = [&](bool on, const float* nightColour) {
        if (!on)
            return D3DCOLORVALUE{0.0f, 0.0f, 0.0f, 1.0f};
        if (NightVision())
            return D3DCOLORVALUE{nightColour[0], nightColour[1], nightColour[2], 1.0f};
        return D3DCOLORVALUE{grey, grey, grey, 1.0f};
    };
    material.Ambient = term(selector & 1, rc_nvamb.Colour());
    material.Diffuse = term(selector & 2, rc_nvdif.Colour());
    material.Specular = {0.0f, 0.0f, 0.0f, 1.0f};
    material.Emissive = {0.0f, 0.0f, 0.0f, 1.0f};
    material.Power = 0.0f;
    g_render.device->SetMaterial(&material);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
}

}  // namespace

u32_t WireFogAlpha(float distance)
{
    const float start = mffogstart.Float() * 10.0f;
    const float band = mfrange.Float() * 10.0f - start;
    float t = band > 0.0f ? (distance - start) / band : 1.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    const float a = std::pow(t, mffogpow.Float()) * 255.0f;
    return a >= 255.0f ? 255u : (a > 0.0f ? static_cast<u32_t>(a) : 0u);
}

void WireCullBox(const ConObjGroup& group, const D3DXVECTOR3& a, const D3DXVECTOR3& b, D3DXVECTOR3* boxMin,
                 D3DXVECTOR3* boxMax)
{
    if (group.profile == WIRE_PROFILE_YFLAT) {
        *boxMin = D3DXVECTOR3(std::min(a.x, b.x), std::min(a.y, b.y) - group.width, std::min(a.z, b.z));
        *boxMax = D3DXVECTOR3(std::max(a.x, b.x), std::max(a.y, b.y) + group.width, std::max(a.z, b.z));
        return;
    }
    *boxMin = D3DXVECTOR3(a.x, a.y - group.sag, a.z);
    *boxMax = D3DXVECTOR3(b.x + group.width, b.y, b.z);
}

void WireFlatGeometry(const ConObjGroup& group, const D3DXVECTOR3& a, const D3DXVECTOR3& b, float* vertices,
                      u16_t* indices)
{
    const D3DXVECTOR3 up(0.0f, group.width, 0.0f);
    const D3DXVECTOR3 ab = a - b;
    const float u = D3DXVec3Length(&ab) * UPerLength(group);
    PutVertex(vertices + 0, a - up, 0.0f, 0.0f);
    PutVertex(vertices + 5, a + up, 0.0f, 1.0f);
    PutVertex(vertices + 10, b - up, u, 0.0f);
    PutVertex(vertices + 15, b + up, u, 1.0f);
    const u16_t order[6] = {0, 2, 1, 1, 2, 3};
    std::memcpy(indices, order, sizeof order);
}

u32_t WireCrossGeometry(const ConObjGroup& group, const D3DXVECTOR3& a, const D3DXVECTOR3& b, float sway,
                        float* vertices, u16_t* indices, u32_t* indexCount)
{
    *indexCount = 0;
    const u32_t segments = std::min<u32_t>(group.segments, MAX_WIRE_SEGMENTS);
    if (segments == 0)
        return 0;
    const u32_t n = segments + 1;
    const D3DXVECTOR3 ab = a - b;
    const float length = D3DXVec3Length(&ab);
    D3DXVECTOR3 dir;
    D3DXVec3Normalize(&dir, &ab);
    const D3DXVECTOR3 ba = b - a;
    const D3DXVECTOR3 yAxis(0.0f, 1.0f, 0.0f);
    D3DXVECTOR3 across, side;
    D3DXVec3Cross(&across, &ba, &yAxis);
    D3DXVec3Normalize(&side, &across);
    const Vector3 wind = mvwinddir.Vector();
    const D3DXVECTOR3 windDir(wind.x, wind.y, wind.z);
    const float w = 1.0f - std::fabs(D3DXVec3Dot(&dir, &windDir));
    const D3DXVECTOR3 drop(0.0f, group.sag, 0.0f);
    const D3DXVECTOR3 c1 = a - dir * (0.33f * length) - drop;
    const D3DXVECTOR3 c2 = a - dir * (0.66f * length) - drop;
    const D3DXVECTOR3 tangentA = c1 - a;
    const D3DXVECTOR3 tangentB = b - c2;

    D3DXVECTOR3 points[MAX_WIRE_SEGMENTS + 1];
    points[0] = a;
    points[n - 1] = b;
    for (u32_t i = 1; i + 1 < n; ++i) {
        const float s = static_cast<float>(i) / static_cast<float>(n - 1);
        D3DXVec3Hermite(&points[i], &a, &tangentA, &b, &tangentB, s);
        // The sway bends the middle most, the ends not at all.
        points[i] += side * (sway * (2.0f / 3.0f) * w * std::sin(kPi * s));
    }
    const D3DXVECTOR3 up(0.0f, group.width, 0.0f);
    const D3DXVECTOR3 out = side * group.width;
    const float perLength = UPerLength(group);
    float u = 0.0f;
    for (u32_t s = 0; s < segments; ++s) {
        const D3DXVECTOR3& p0 = points[s];
        const D3DXVECTOR3& p1 = points[s + 1];
        const D3DXVECTOR3 step = p1 - p0;
        const float u1 = u + D3DXVec3Length(&step) * perLength;
        float* v = vertices + s * 8 * 5;
        PutVertex(v + 0, p0 - up, u, 0.0f);
        PutVertex(v + 5, p0 + up, u, 1.0f);
        PutVertex(v + 10, p1 - up, u1, 0.0f);
        PutVertex(v + 15, p1 + up, u1, 1.0f);
        PutVertex(v + 20, p0 - out, u, 0.0f);
        PutVertex(v + 25, p0 + out, u, 1.0f);
        PutVertex(v + 30, p1 - out, u1, 0.0f);
        PutVertex(v + 35, p1 + out, u1, 1.0f);
        const u16_t base = static_cast<u16_t>(s * 8);
        const u16_t order[12] = {0, 2, 1, 1, 2, 3, 4, 6, 5, 5, 6, 7};
        for (int k = 0; k < 12; ++k)
            indices[s * 12 + k] = static_cast<u16_t>(base + order[k]);
        u = u1;
    }
    *indexCount = segments * 12;
    return segments * 8;
}

void RenderConnectionObjects()
{
    // An open plant batch holds the streaming buffers locked and its states set: drawn first.
    PlantBatchFlush();
    if (!rbconobjs.Bool() || !g_render.device)
        return;
    SetPassStates();
    const u32_t fogColour = ColourPackRounded(mcfogcolor.Colour()) & 0x00FFFFFFu;
    const SightedWire& sighted = WireGetSighted();
    const bool nightVision = NightVision();
    bool fogStageOn = false;
    float vertices[kMaxVertices * 5];
    u16_t indices[kMaxIndices];
    for (s32_t g = 0; g < WireGroupCount(); ++g) {
        ConObjGroup& group = *WireGetGroup(g);
        RenderSetTexture(0, rbwireframe.Bool() ? nullptr : group.texture);
        for (ConObjPointSet* p = group.first; p && p->next; p = p->next) {
            p->swayPhase += g_frameView.frameTime * 0.7f;
            const float sway = std::sin(p->swayPhase - 1.0f) * (1.0f / 3.0f);
            for (s32_t k = 0; k < MAX_WIRE_POINTS; ++k) {
                if (!p->WireIntact(k))
                    continue;
                const D3DXVECTOR3 a(p->minusPoints[k].x, p->minusPoints[k].y, p->minusPoints[k].z);
                const D3DXVECTOR3 b(p->next->plusPoints[k].x, p->next->plusPoints[k].y, p->next->plusPoints[k].z);
                D3DXVECTOR3 boxMin, boxMax;
                WireCullBox(group, a, b, &boxMin, &boxMax);
                const float box[6] = {boxMin.x, boxMin.y, boxMin.z, boxMax.x, boxMax.y, boxMax.z};
                if (!BoxInsidePlanes(box, g_camera.frustumPlanes, 6))
                    continue;
                const D3DXVECTOR3 middle = (a + b) * 0.5f;
                const D3DXVECTOR3 toCamera = g_camera.position - middle;
                const float d = D3DXVec3Length(&toCamera);
                const bool fogged = d > mffogstart.Float() * 10.0f && rbfog.Bool() && !nightVision;
                if (!fogged && fogStageOn) {
                    RenderSetColorOp(1, D3DTOP_DISABLE, ~0u, ~0u);
                    RenderSetAlphaOp(1, D3DTOP_DISABLE, ~0u, ~0u);
                    fogStageOn = false;
                }
                if (nightVision) {
                    RenderSetColorOp(0, D3DTOP_MODULATE4X, D3DTA_TEXTURE, D3DTA_CURRENT);
                    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
                } else if (sighted.pointSet == p && sighted.wire == k) {
                    RenderSetState(D3DRS_TEXTUREFACTOR, WIRE_SIGHTED_COLOUR);
                    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TFACTOR, D3DTA_TEXTURE);
                    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TFACTOR, D3DTA_TEXTURE);
                } else {
                    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
                    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
                }
                u32_t vertexCount = 4, indexCount = 6;
                if (group.profile == WIRE_PROFILE_YFLAT) {
                    WireFlatGeometry(group, a, b, vertices, indices);
                } else if (group.profile == WIRE_PROFILE_CROSS) {
                    RenderSetState(D3DRS_ALPHATESTENABLE, 1);
                    RenderSetState(D3DRS_ALPHAREF, kAlphaReference);
                    vertexCount = WireCrossGeometry(group, a, b, sway, vertices, indices, &indexCount);
                } else {
                    continue;
                }
                if (vertexCount == 0)
                    continue;
                if (fogged) {
                    RenderSetState(D3DRS_TEXTUREFACTOR, WireFogAlpha(d) << 24 | fogColour);
                    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
                    if (group.profile == WIRE_PROFILE_CROSS) {
                        RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
                        RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
                    }
                    RenderSetColorOp(1, D3DTOP_BLENDFACTORALPHA, D3DTA_TFACTOR, D3DTA_CURRENT);
                    // The stage has no texture of its own: the wire keeps the alpha stage 0 gave it.
                    RenderSetAlphaOp(1, D3DTOP_SELECTARG1, D3DTA_CURRENT, ~0u);
                    fogStageOn = true;
                }
                DynBuffersLock(vertexCount, indexCount);
                std::memcpy(g_dynBuffers.vertexOut, vertices, size_t(vertexCount) * 5 * sizeof(float));
                DynVertexAdvance(size_t(vertexCount) * 5 * sizeof(float));
                for (u32_t i = 0; i < indexCount; i += 3)
                    EmitTriangle(indices[i], indices[i + 1], indices[i + 2]);
                DynBuffersUnlock();
                DynBuffersDrawIndexed(D3DPT_TRIANGLELIST, vertexCount, indexCount, true);
            }
        }
    }
    StaticBufferBind(nullptr);
    DynIndexBufferSelect(nullptr);
    if (fogStageOn) {
        RenderSetColorOp(1, D3DTOP_DISABLE, ~0u, ~0u);
        RenderSetAlphaOp(1, D3DTOP_DISABLE, ~0u, ~0u);
    }
}
