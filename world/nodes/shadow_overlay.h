// Shadow overlays: shadows of other objects (the wires) laid onto the lit faces of a graphic
// object's meshes. Each overlay is a setting of kind SHADER_SETTING_OVERLAY in the object's setting
// list, holding its own triangles; GraphObj::BuildShadowOverlays makes them.
#pragma once
#include "core/types.h"

struct D3DXPLANE;
struct D3DXVECTOR2;
struct D3DXVECTOR3;
struct ShaderSetting;

// The kind of an overlay setting, and the kinds of the templates it is built from.
constexpr s32_t SHADER_SETTING_OVERLAY = 2;
constexpr s32_t SHADOW_TEMPLATE_QUAD = 1;       // one quad: shadow positions 0, 1, 5 and 3
constexpr s32_t SHADOW_TEMPLATE_TRIANGLES = 3;  // a list of triangles
// Of an overlay setting: buffers[0] the positions (3 floats each), buffers[1] the texture
// coordinates (2 floats each), words[OVERLAY_VERTEX_COUNT_WORD] the vertex count (3 per triangle).
constexpr int OVERLAY_VERTEX_COUNT_WORD = 2;

// The most faces the shared work buffers of one node's build hold, and their vertices.
constexpr u32_t MAX_CLOAK_FACES = 30000;
constexpr u32_t OVERLAY_WORK_VERTICES = 3 * MAX_CLOAK_FACES;
// The most vertices one clip to a face's prism writes (a quad cut by three planes: a fan of five).
constexpr u32_t OVERLAY_CLIP_VERTICES = 15;

// The shadow triangle (3 positions, 3 coordinate pairs) moved along the light onto the plane of
// the face, cut to the part on the light's side of the plane, then to the face's prism. Writes the
// triangles into the outputs (room for OVERLAY_CLIP_VERTICES) and returns how many.
int ProjectTriangleOntoFace(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXVECTOR3* triangle,
                            const D3DXVECTOR2* texCoords, const D3DXVECTOR3* faceTriangle, const D3DXPLANE& facePlane,
                            const D3DXVECTOR3& faceNormal, const D3DXVECTOR3& light);

// An overlay setting's vertices and their number.
const Vector3* OverlayPositions(const ShaderSetting& setting);
const float* OverlayTexCoords(const ShaderSetting& setting);
u32_t OverlayVertexCount(const ShaderSetting& setting);
