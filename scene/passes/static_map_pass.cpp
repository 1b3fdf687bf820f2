#include "scene/passes/static_map_pass.h"

#include <cstring>

#include "core/frame_view.h"
#include "map/land_maps/fog_textures.h"
#include "map/terrain/map_caches.h"
#include "map/map_cvars.h"
#include "map/octree/octree.h"
#include "map/terrain/world_tiles.h"
#include "render/camera.h"
#include "render/draw2d/colour_pack.h"
#include "render/draw2d/debug_primitives.h"
#include "render/draw2d/hud_input.h"
#include "render/land/map_chunks.h"
#include "render/land/map_render_setup.h"
#include "render/device/pass_timing.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "render/land/visible_nodes.h"
#include "scene/scene_cvars.h"
#include "scene/scene_state.h"
#include "scene/draw_records/stream_emit.h"

namespace {

constexpr u32_t kAllPasses = MAP_CHUNK_PASS_NEAR | MAP_CHUNK_PASS_FAR;
constexpr u32_t kKeep = 0xFFFFFFFFu;
constexpr u32_t kDebugBoxWhite = 0xFFFFFFFFu;
constexpr u32_t kDebugBoxRed = 0xFFFF0000u;
// One frame: removed by the first debug draw after it.
constexpr u32_t kOneFrameMs = 1;

IDirect3DDevice8* Device()
{
    return g_render.device;
}

void SetTransform(D3DTRANSFORMSTATETYPE which, const D3DXMATRIX& matrix)
{
    if (Device())
        Device()->SetTransform(which, &matrix);
}

DWORD FloatBits(float value)
{
    DWORD bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

// Near and far leaves are drawn differently only while both switches are on.
bool LayerDetail()
{
    return rblvi.Bool() && rblayerlod.Bool();
}

bool NightVision()
{
    return g_hudInput.flags.nightVision != 0;
}

void LinearFilters(u32_t stage)
{
    RenderSetStageState(stage, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(stage, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(stage, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
}

// Takes (x, z) of a position to the stage's (u, v): the y and z columns swapped.
D3DXMATRIX XzToUv()
{
    D3DXMATRIX m;
    MatrixSetIdentity(&m);
    m._22 = 0.0f;
    m._33 = 0.0f;
    m._23 = 1.0f;
    m._32 = 1.0f;
    return m;
}

// Camera-space positions to world positions scaled and centred on the texture: the lightmap covers
// the base tile (v runs against z), the distance fog the offsets from the eye.
D3DXMATRIX CameraToTexture(float sx, float sy, float sz, bool fromEye)
{
    D3DXMATRIX inverse;
    D3DXMatrixInverse(&inverse, nullptr, &g_camera.view);
    if (fromEye)
        inverse._41 = inverse._42 = inverse._43 = 0.0f;
    D3DXMATRIX scaling, centring;
    D3DXMatrixScaling(&scaling, sx, sy, sz);
    D3DXMatrixTranslation(&centring, 0.5f, 0.5f, 0.5f);
    return inverse * scaling * centring * XzToUv();
}

void CameraSpaceCoordinates(u32_t stage, D3DTRANSFORMSTATETYPE transform, const D3DXMATRIX& matrix)
{
    RenderSetStageState(stage, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION);
    RenderSetStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    SetTransform(transform, matrix);
}

void IdentityTransform(D3DTRANSFORMSTATETYPE transform)
{
    D3DXMATRIX identity;
    MatrixSetIdentity(&identity);
    SetTransform(transform, identity);
}

void BlendOver()
{
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

void Multiply()
{
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_DESTCOLOR);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
}

void DrawWireframe()
{
    RenderSetState(D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu);
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
    RenderSetState(D3DRS_ZENABLE, 1);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, kKeep);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, kKeep);
    RenderDisableStage(1);
    RenderSetState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    MapChunksDrawWireframe();
    RenderSetState(D3DRS_FILLMODE, D3DFILL_SOLID);
    if (const OctreeNode* root = OctreeGetRoot())
        DebugBoxAdd(&root->boxMin, &root->boxMax, kDebugBoxRed, kOneFrameMs);
}

void DepthPrePass()
{
    RenderSetState(D3DRS_CULLMODE, D3DCULL_CW);
    RenderSetState(D3DRS_LIGHTING, 0);
    LinearFilters(0);
    LinearFilters(1);
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
    RenderSetState(D3DRS_ZENABLE, 1);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderSetState(D3DRS_COLORWRITEENABLE, 0);
    RenderDisableStage(0);
    if (LayerDetail()) {
        MapChunksDraw(false, MAP_CHUNK_PASS_NEAR);
        RenderSetState(D3DRS_COLORWRITEENABLE, 0xF);
        // The far leaves in one texture: the layers already blended (and lit, except in night vision).
        RenderSetStageState(0, D3DTSS_MIPMAPLODBIAS, FloatBits(rflayerbias.Float()));
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep);
        RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep);
        RenderSetTexture(0, NightVision() ? g_mapRender.landCompositePlain : g_mapRender.landCompositeLit);
        RenderDisableStage(1);
        MapChunksDraw(false, MAP_CHUNK_PASS_FAR);
        RenderSetStageState(0, D3DTSS_MIPMAPLODBIAS, 0);
    } else {
        MapChunksDraw(false, kAllPasses);
        RenderSetState(D3DRS_COLORWRITEENABLE, 0xF);
    }
}

// The layer's repetition on u and v; a "reflect" layer also follows the eye, so that what it shows
// stays put on screen.
D3DXMATRIX LayerTransform(int layer)
{
    const float var = MapGetLayerVar(layer);
    D3DXMATRIX m;
    D3DXMatrixScaling(&m, var, var, 1.0f);
    if (g_mapRender.landLayerBorrowed[layer]) {
        const float size = MapGetWorldSize();
        if (size > 0.0f) {
            m._31 = -g_camera.eye.x * var / size;
            m._32 = g_camera.eye.z * var / size;
        }
    }
    return m;
}

void DrawLayers(u32_t layerMask)
{
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    BlendOver();
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep);
    RenderSetColorOp(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetAlphaOp(1, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep);
    RenderDisableStage(2);
    if (layerMask != 0xFFFFFFFFu) {
        RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
        RenderSetColorOp(1, D3DTOP_DISABLE, kKeep, kKeep);
    }
    for (int layer = 0; layer < LAND_LAYER_COUNT; ++layer) {
        const LandTextureSlot& slot = g_mapRender.landTextures[layer];
        if (!slot.layer || !(layerMask & (1u << layer)))
            continue;
        RenderSetTexture(0, slot.layer);
        RenderSetTexture(1, slot.variant);
        RenderSetStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        RenderSetStageState(1, D3DTSS_TEXCOORDINDEX, 0);
        RenderSetStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
        SetTransform(D3DTS_TEXTURE0, LayerTransform(layer));
        if (LayerDetail())
            MapChunksDrawLayer(layer, MAP_CHUNK_PASS_NEAR);
        else if (rblvi.Bool())
            MapChunksDrawLayer(layer, kAllPasses);
        else
            MapChunksDraw(false, kAllPasses);
        RenderSetStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        RenderSetStageState(1, D3DTSS_TEXCOORDINDEX, 1);
        RenderSetStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    }
}

// The lightmap over the listed leaves: in the same draw as the far roads where the single draw
// applies, else as a multiply pass of its own.
void DrawLightmap(IDirect3DTexture8* lightmap, float size)
{
    if (LayerDetail() && !rblm.Bool() && !NightVision()) {
        RenderSetTexture(1, lightmap);
        RenderSetColorOp(1, D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_TEXTURE);
        RenderSetAlphaOp(1, D3DTOP_SELECTARG1, D3DTA_CURRENT, kKeep);
        RenderDisableStage(2);
        CameraSpaceCoordinates(1, D3DTS_TEXTURE1, CameraToTexture(1.0f / size, 1.0f / size, -1.0f / size, false));
        if (rbroads.Bool())
            MapChunksDrawMaterialsPass(MAP_CHUNK_PASS_FAR);
        IdentityTransform(D3DTS_TEXTURE1);
        RenderSetStageState(1, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
        RenderSetStageState(1, D3DTSS_TEXCOORDINDEX, 0);
        RenderDisableStage(1);
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep);
        if (rbroads.Bool())
            MapChunksDrawMaterialsPass(MAP_CHUNK_PASS_NEAR);
        RenderSetTexture(0, lightmap);
        Multiply();
        MapChunksDraw(false, MAP_CHUNK_PASS_NEAR);
        return;
    }
    RenderDisableStage(1);
    if (rbroads.Bool())
        MapChunksDrawMaterials();
    RenderSetTexture(0, lightmap);
    Multiply();
    if (NightVision()) {
        RenderSetState(D3DRS_TEXTUREFACTOR, ColourPackTruncated(rc_nvisioncol.Colour()));
        RenderSetColorOp(0, D3DTOP_MODULATE4X, D3DTA_TEXTURE, D3DTA_TFACTOR);
    }
    MapChunksDraw(false, kAllPasses);
}

void DrawFog(IDirect3DTexture8* fog)
{
    RenderSetTexture(0, fog);
    BlendOver();
    RenderSetColorOp(0, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep);
    RenderSetState(D3DRS_TEXTUREFACTOR, ColourPackRounded(mcfogcolor.Colour()));
    const float scale = 1.0f / (20.0f * mfrange.Float());
    CameraSpaceCoordinates(0, D3DTS_TEXTURE0, CameraToTexture(scale, scale, scale, true));
    LinearFilters(0);
    RenderSetStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    RenderSetStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
    MapChunksDraw(true, kAllPasses);
}

// Under water every leaf is drawn once more, blended towards the under-water colour by the water
// fog texture, addressed by the horizontal offset from the eye as the meshes' under-water stage
// addresses it.
void DrawWaterFog(IDirect3DTexture8* texture)
{
    if (!g_scene.viewUnderWater || !texture)
        return;
    RenderSetTexture(0, texture);
    BlendOver();
    RenderSetColorOp(0, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep);
    const float* colour = rc_uwatercol.Colour();
    RenderSetState(D3DRS_TEXTUREFACTOR, ColourPackTruncated(colour[0], colour[1], colour[2], 1.0f));
    const float scale = 8.0f / mfwaterfog.Float();
    CameraSpaceCoordinates(0, D3DTS_TEXTURE0, CameraToTexture(scale, scale, scale, true));
    RenderSetStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    RenderSetStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
    MapChunksDraw(false, kAllPasses);
}

// Every device of this platform layer draws table fog.
bool DeviceHasFog()
{
    return Device() != nullptr;
}

// Each layer in one draw over the depth pass: the stages of the device take what the two-stage
// sequence lays on in passes of its own. The layer's colour modulated by its alpha map, whose alpha
// the draw is blended over the frame with (the layer pass's two stages), the lightmap multiplied,
// and the distance fog blended towards the fog colour by the fog texture's alpha. Lightmap and fog
// are linear in the colour below, so lighting and fogging each layer before the blend gives the
// picture of lighting and fogging the blended layers.
constexpr u32_t kOneDrawStages = 4;

// The one draw stands in for the passes while every layer is drawn alike over all leaves: not in
// night vision (its lightmap takes the texture factor the fog colour needs), nor with the near and
// far leaves drawn apart, the lightmap kept to a pass of its own, a partial layer mask or without a
// lightmap; then the two-stage sequence draws.
bool OneDrawApplies(const StaticMapTextures& textures)
{
    const float size = MapGetWorldSize();
    return Device() && !rbwireframe.Bool() && !NightVision() && !LayerDetail() && !rblm.Bool() &&
           static_cast<u32_t>(rilayer.Int()) == 0xFFFFFFFFu && textures.lightmap && size > 0.0f;
}

void StageOps(u32_t stage, u32_t colourOp, DWORD colour1, DWORD colour2, DWORD alpha1)
{
    RenderSetColorOp(stage, colourOp, colour1, colour2);
    RenderSetAlphaOp(stage, D3DTOP_SELECTARG1, alpha1, kKeep);
}

void WrapStage(u32_t stage)
{
    LinearFilters(stage);
    RenderSetStageState(stage, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    RenderSetStageState(stage, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
}

// A texture read at coordinate set 0, through the given transform or none.
void MeshCoordinateStage(u32_t stage, IDirect3DTexture8* texture, const D3DXMATRIX* transform)
{
    RenderSetTexture(stage, texture);
    WrapStage(stage);
    RenderSetStageState(stage, D3DTSS_TEXCOORDINDEX, 0);
    const auto which = static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + stage);
    if (transform) {
        RenderSetStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
        SetTransform(which, *transform);
    } else {
        RenderSetStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    }
}

// The lightmap multiplied over the current colour, addressed as its own pass addresses it.
u32_t LightmapStage(u32_t stage, IDirect3DTexture8* lightmap)
{
    const float size = MapGetWorldSize();
    RenderSetTexture(stage, lightmap);
    WrapStage(stage);
    CameraSpaceCoordinates(stage, static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + stage),
                           CameraToTexture(1.0f / size, 1.0f / size, -1.0f / size, false));
    StageOps(stage, D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTA_CURRENT);
    return stage + 1;
}

// The current colour blended towards the fog colour (the texture factor) by the fog texture's
// alpha, addressed as the fog pass addresses it.
u32_t FogStage(u32_t stage, IDirect3DTexture8* fog)
{
    if (!fog)
        return stage;
    RenderSetTexture(stage, fog);
    LinearFilters(stage);
    RenderSetStageState(stage, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    RenderSetStageState(stage, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
    const float scale = 1.0f / (20.0f * mfrange.Float());
    CameraSpaceCoordinates(stage, static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + stage),
                           CameraToTexture(scale, scale, scale, true));
    RenderSetState(D3DRS_TEXTUREFACTOR, ColourPackRounded(mcfogcolor.Colour()));
    StageOps(stage, D3DTOP_BLENDTEXTUREALPHA, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_CURRENT);
    return stage + 1;
}

void DrawLayersLitAndFogged(const StaticMapTextures& textures)
{
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    BlendOver();
    StageOps(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep, D3DTA_TEXTURE);
    StageOps(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEXTURE);
    const u32_t next = FogStage(LightmapStage(2, textures.lightmap), textures.fog);
    if (next < kOneDrawStages)
        RenderDisableStage(next);
    for (int layer = 0; layer < LAND_LAYER_COUNT; ++layer) {
        const LandTextureSlot& slot = g_mapRender.landTextures[layer];
        if (!slot.layer)
            continue;
        const D3DXMATRIX transform = LayerTransform(layer);
        MeshCoordinateStage(0, slot.layer, &transform);
        MeshCoordinateStage(1, slot.variant, nullptr);
        if (rblvi.Bool())
            MapChunksDrawLayer(layer, kAllPasses);
        else
            MapChunksDraw(false, kAllPasses);
    }
}

// The roads over the land, lit and fogged in their own draws (the two-stage sequence lays the
// lightmap and the fog over them with the land's passes).
void DrawRoadsLitAndFogged(const StaticMapTextures& textures)
{
    RenderSetStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    RenderSetStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    RenderSetStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    RenderSetStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    StageOps(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep, D3DTA_TEXTURE);
    u32_t stage = LightmapStage(1, textures.lightmap);
    stage = FogStage(stage, textures.fog);
    RenderDisableStage(stage);
    MapChunksDrawMaterials();
}

// Every stage the one draws used back to coordinate set 0 without a transform, wrapped, and
// disabled from stage 1 on.
void ResetStages(u32_t count)
{
    for (u32_t stage = 0; stage < count; ++stage) {
        RenderSetStageState(stage, D3DTSS_TEXCOORDINDEX, 0);
        RenderSetStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
        RenderSetStageState(stage, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
        RenderSetStageState(stage, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
        IdentityTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + stage));
    }
    RenderDisableStage(1);
}

}  // namespace

void RenderStaticMapDebugBoxes()
{
    for (u32_t i = 0; i < g_visible.nodeCount; ++i) {
        const OctreeNode* node = g_visible.nodes[i];
        if (node->geometry.vertexCount)
            DebugBoxAdd(&node->geometry.boundsMin, &node->geometry.boundsMax, kDebugBoxWhite, kOneFrameMs);
    }
}

StaticMapTextures StaticMapTexturesOfMap()
{
    StaticMapTextures textures;
    textures.lightmap = MapGetLightmapTexture();
    textures.fog = MapGetFogTexture();
    textures.waterFog = MapGetWaterFogTexture();
    return textures;
}

void RenderStaticMapTwoStage()
{
    RenderStaticMapTwoStageWith(StaticMapTexturesOfMap());
}

void RenderStaticMapTwoStageWith(const StaticMapTextures& textures)
{
    if (rbshowboxes.Bool())
        RenderStaticMapDebugBoxes();
    if (rbwireframe.Bool()) {
        DrawWireframe();
        return;
    }
    RenderTimingBegin(TIMED_PASS_MAP_DEPTH);
    DepthPrePass();
    RenderTimingEnd(TIMED_PASS_MAP_DEPTH);
    const u32_t layerMask = static_cast<u32_t>(rilayer.Int());
    RenderTimingBegin(TIMED_PASS_MAP_LAYERS);
    DrawLayers(layerMask);
    RenderTimingEnd(TIMED_PASS_MAP_LAYERS);
    if (layerMask == 0xFFFFFFFFu)
        RenderStaticMapLightmap(OctreeGetRoot(), textures);
}

void RenderStaticMapManyStage()
{
    RenderStaticMapManyStageWith(StaticMapTexturesOfMap());
}

void RenderStaticMapManyStageWith(const StaticMapTextures& textures)
{
    if (!OneDrawApplies(textures)) {
        RenderStaticMapTwoStageWith(textures);
        return;
    }
    if (rbshowboxes.Bool())
        RenderStaticMapDebugBoxes();
    RenderTimingBegin(TIMED_PASS_MAP_DEPTH);
    DepthPrePass();
    RenderTimingEnd(TIMED_PASS_MAP_DEPTH);
    RenderTimingBegin(TIMED_PASS_MAP_LAYERS);
    DrawLayersLitAndFogged(textures);
    RenderTimingEnd(TIMED_PASS_MAP_LAYERS);
    RenderTimingBegin(TIMED_PASS_MAP_LIGHTMAP);
    if (rbroads.Bool())
        DrawRoadsLitAndFogged(textures);
    RenderTimingEnd(TIMED_PASS_MAP_LIGHTMAP);
    RenderTimingBegin(TIMED_PASS_MAP_FOG);
    if (DeviceHasFog() && rbfog.Bool() && !g_frameView.cursorMode)
        DrawWaterFog(textures.waterFog);
    RenderTimingEnd(TIMED_PASS_MAP_FOG);
    ResetStages(kOneDrawStages);
}

void RenderStaticMapLightmap(OctreeNode*, const StaticMapTextures& textures)
{
    BlendOver();
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep);
    const float size = MapGetWorldSize();
    RenderTimingBegin(TIMED_PASS_MAP_LIGHTMAP);
    if (textures.lightmap && size > 0.0f)
        DrawLightmap(textures.lightmap, size);
    RenderTimingEnd(TIMED_PASS_MAP_LIGHTMAP);
    RenderTimingBegin(TIMED_PASS_MAP_FOG);
    if (textures.fog)
        DrawFog(textures.fog);
    if (DeviceHasFog() && rbfog.Bool() && !g_frameView.cursorMode)
        DrawWaterFog(textures.waterFog);
    RenderTimingEnd(TIMED_PASS_MAP_FOG);
    RenderSetStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    RenderSetStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    RenderDisableStage(1);
    RenderSetStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    RenderSetStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
}
