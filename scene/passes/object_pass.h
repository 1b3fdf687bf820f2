// The visible-object pass: what the last visibility pass left in the visible-object list (the
// static map meshes with their lightmap and a fog layer, the graphic objects through their own
// draw), then the clustered static meshes. On the way it fills the frame's shadow list, which the
// shadow-volume passes read.
#pragma once
#include "core/types.h"
#include "platform/d3dx8_math.h"
#include "scene/scene_cvars.h"

struct ObjectGridEntry;

constexpr u32_t OBJECT_PASS_SHADOW_LIMIT = 512;

// Debug box colours by kind.
constexpr u32_t OBJECT_BOX_MAP_MESH = 0x60FF0000u;
constexpr u32_t OBJECT_BOX_OBJECT = 0x6000FF00u;
constexpr u32_t OBJECT_BOX_SHADOW = 0x60000000u;
constexpr u32_t OBJECT_BOX_OTHER = 0x60FFFFFFu;

// The shadow companions the last run of the pass met, in list order; the first 512 only.
struct ShadowList {
    ObjectGridEntry* records[OBJECT_PASS_SHADOW_LIMIT] = {};
    u32_t count = 0;
};
extern ShadowList g_shadowList;

// The states of the object pass and the clustered meshes: no blending or alpha test, the wire-frame
// switch's fill mode, clockwise culling, linear filtering with wrapped coordinates on stage 0, the
// material as every colour source.
void ObjectPassSetStates();

// The fog texture matrix: maps a point's map texture coordinates onto the fog texture, which spans
// 20 x range round the camera (cx, cz) over a map of extents dx, dz. False, leaving out alone, when
// no such matrix exists (range or an extent not above 0): no fog layer is drawn then.
bool ObjectPassFogMatrix(float dx, float dz, float cx, float cz, float range, D3DXMATRIX* out);

struct StaticMapTextures;

// Requires the camera of the view and its visibility pass.
void RenderObjectPass();
// The same with the given lightmap and fog textures and fog matrix (null: no fog layer; so is a
// missing fog texture).
void RenderObjectPassWith(const StaticMapTextures& textures, const D3DXMATRIX* fogMatrix);
