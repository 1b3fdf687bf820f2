#include "world/nodes/shadow_overlay.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "core/assert.h"
#include "core/log.h"
#include "map/meshes/polygon_clip.h"
#include "platform/d3dx8_math.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"
#include "world/objects/shader_settings.h"
#include "world/objects/shadow_object.h"

namespace {

// A face turns toward the light when its (unnormalised) normal meets it above this.
constexpr float kLitFace = 0.001f;
// Planes more nearly parallel to the light than this take no shadow.
constexpr float kGrazingLight = 0.1f;
constexpr float kParallel = 0.0001f;
// Two corners lie on opposite sides of the plane when their distances multiply below this.
constexpr float kOppositeSides = -0.0001f;
// The most points the cut of a quad to the lit side gives.
constexpr int kMaxCutPoints = 5;

// The work buffers every build shares; made at the first build.
struct OverlayWork {
    D3DXVECTOR3* positions = nullptr;
    D3DXVECTOR2* texCoords = nullptr;
};

OverlayWork& Work()
{
    static OverlayWork work;
    if (!work.positions) {
        work.positions = new D3DXVECTOR3[OVERLAY_WORK_VERTICES];
        work.texCoords = new D3DXVECTOR2[OVERLAY_WORK_VERTICES];
    }
    return work;
}

D3DXVECTOR3 ToD3DX(const Vector3& v)
{
    return D3DXVECTOR3(v.x, v.y, v.z);
}

D3DXVECTOR3 PlaneNormal(const D3DXPLANE& plane)
{
    return D3DXVECTOR3(plane.a, plane.b, plane.c);
}

// Scales of 2- and 3-component vectors and the plane value of a point.
void Scale2(D3DXVECTOR2* out, const D3DXVECTOR2& v, float s)
{
    *out = D3DXVECTOR2(v.x * s, v.y * s);
}
void Scale3(D3DXVECTOR3* out, const D3DXVECTOR3& v, float s)
{
    *out = D3DXVECTOR3(v.x * s, v.y * s, v.z * s);
}
float PlaneValue(const D3DXPLANE& plane, const D3DXVECTOR3& p)
{
    return plane.a * p.x + plane.b * p.y + plane.c * p.z + plane.d;
}

// The corners moved along the light onto the plane, cut to the part on the light's side (t >= 0).
// t receives each corner's distance along the light. Returns the number of points written
// (at most corners + 1 for a convex polygon), or 0 when no corner lies before the plane.
int CutToLitSide(const D3DXVECTOR3* corners, const D3DXVECTOR2* coords, int count, const D3DXPLANE& plane,
                 const D3DXVECTOR3& light, D3DXVECTOR3* outPositions, D3DXVECTOR2* outCoords)
{
    const D3DXVECTOR3 normal = PlaneNormal(plane);
    const float towardLight = D3DXVec3Dot(&normal, &light);
    float t[kMaxCutPoints] = {};
    bool before = false;
    for (int i = 0; i < count; ++i) {
        if (std::fabs(towardLight) > kParallel)
            t[i] = -PlaneValue(plane, corners[i]) / towardLight;
        before = before || t[i] > 0.0f;
    }
    if (!before)
        return 0;
    int points = 0;
    for (int i = 0; i < count; ++i) {
        const int next = (i + 1) % count;
        if (t[i] >= 0.0f) {
            ENGINE_ASSERT_TEXT(points < kMaxCutPoints + 1, "nNum < 6");
            D3DXVECTOR3 step;
            Scale3(&step, light, t[i]);
            outPositions[points] = corners[i] + step;
            outCoords[points] = coords[i];
            ++points;
        }
        if (t[i] * t[next] < kOppositeSides) {
            ENGINE_ASSERT_TEXT(points < kMaxCutPoints + 1, "nNum < 6");
            const D3DXVECTOR3 edge = corners[next] - corners[i];
            const float s = -PlaneValue(plane, corners[i]) / D3DXVec3Dot(&normal, &edge);
            D3DXVECTOR3 along;
            Scale3(&along, edge, s);
            outPositions[points] = corners[i] + along;
            D3DXVECTOR2 uvStep;
            Scale2(&uvStep, D3DXVECTOR2(coords[next].x - coords[i].x, coords[next].y - coords[i].y), s);
            outCoords[points] = D3DXVECTOR2(coords[i].x + uvStep.x, coords[i].y + uvStep.y);
            ++points;
        }
    }
    return points;
}

// Room for one more clip in the work buffers.
bool RoomForClip(u32_t used)
{
    return used + OVERLAY_CLIP_VERTICES <= OVERLAY_WORK_VERTICES;
}

// A polygon of 3 to 5 points cut to the face's prism into the work buffers at *used. A pentagon
// goes as a quad and the triangle that completes it; each clip is preceded by its room check.
void ClipPolygonToFace(const D3DXVECTOR3* points, const D3DXVECTOR2* coords, int count, const D3DXVECTOR3* face,
                       u32_t* used)
{
    OverlayWork& work = Work();
    if (count == 3 || count == 5) {
        // The first three points, or the pentagon's first, fourth and fifth.
        const D3DXVECTOR3 triangle[3] = {points[0], points[count - 2], points[count - 1]};
        const D3DXVECTOR2 triangleCoords[3] = {coords[0], coords[count - 2], coords[count - 1]};
        if (!RoomForClip(*used))
            return;
        *used += 3 * ClipTriangleToTrianglePrism(work.positions + *used, work.texCoords + *used, face, triangle,
                                                 triangleCoords);
    }
    if (count >= 4) {
        if (!RoomForClip(*used))
            return;
        *used += 3 * ClipQuadToTrianglePrism(work.positions + *used, work.texCoords + *used, face, points, coords);
    }
}

// The quad template: the quad's outer corners projected onto the face, cut, and clipped.
void AddQuadShadow(const Vector3* shadowPositions, const float* shadowTexCoords, const D3DXVECTOR3* face,
                   const D3DXPLANE& facePlane, const D3DXVECTOR3& faceNormal, const D3DXVECTOR3& light, u32_t* used)
{
    const D3DXVECTOR3 planeNormal = PlaneNormal(facePlane);
    if (std::fabs(D3DXVec3Dot(&planeNormal, &light)) <= kGrazingLight)
        return;
    const D3DXVECTOR3 s0 = ToD3DX(shadowPositions[0]), s1 = ToD3DX(shadowPositions[1]), s2 = ToD3DX(shadowPositions[2]);
    D3DXPLANE shadowPlane;
    D3DXPlaneFromPoints(&shadowPlane, &s0, &s1, &s2);
    const D3DXVECTOR3 shadowNormal = PlaneNormal(shadowPlane);
    if (std::fabs(D3DXVec3Dot(&shadowNormal, &light)) <= kGrazingLight)
        return;
    const int order[4] = {0, 1, 5, 3};
    D3DXVECTOR3 corners[4];
    D3DXVECTOR2 coords[4];
    for (int i = 0; i < 4; ++i) {
        corners[i] = ToD3DX(shadowPositions[order[i]]);
        coords[i] = D3DXVECTOR2(shadowTexCoords[order[i] * 2], shadowTexCoords[order[i] * 2 + 1]);
    }
    // The projected quad's winding follows the face's.
    const float towardLight = D3DXVec3Dot(&planeNormal, &light);
    D3DXVECTOR3 projected[3];
    for (int i = 0; i < 3; ++i) {
        D3DXVECTOR3 step;
        Scale3(&step, light, -PlaneValue(facePlane, corners[i]) / towardLight);
        projected[i] = corners[i] + step;
    }
    const D3DXVECTOR3 e1 = projected[1] - projected[0], e2 = projected[2] - projected[0];
    D3DXVECTOR3 winding;
    D3DXVec3Cross(&winding, &e2, &e1);
    if (D3DXVec3Dot(&winding, &faceNormal) < 0.0f) {
        std::swap(corners[1], corners[3]);
        std::swap(coords[1], coords[3]);
    }
    D3DXVECTOR3 points[kMaxCutPoints + 1];
    D3DXVECTOR2 pointCoords[kMaxCutPoints + 1];
    const int count = CutToLitSide(corners, coords, 4, facePlane, light, points, pointCoords);
    if (count >= 3)
        ClipPolygonToFace(points, pointCoords, count, face, used);
}

}  // namespace

int ProjectTriangleOntoFace(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXVECTOR3* triangle,
                            const D3DXVECTOR2* texCoords, const D3DXVECTOR3* faceTriangle, const D3DXPLANE& facePlane,
                            const D3DXVECTOR3&, const D3DXVECTOR3& light)
{
    D3DXPLANE trianglePlane;
    D3DXPlaneFromPoints(&trianglePlane, &faceTriangle[0], &faceTriangle[1], &faceTriangle[2]);
    const D3DXVECTOR3 normal = PlaneNormal(trianglePlane);
    if (std::fabs(D3DXVec3Dot(&normal, &light)) <= kGrazingLight)
        return 0;
    D3DXVECTOR3 points[kMaxCutPoints + 1];
    D3DXVECTOR2 coords[kMaxCutPoints + 1];
    const int count = CutToLitSide(triangle, texCoords, 3, facePlane, light, points, coords);
    if (count == 3)
        return ClipTriangleToTrianglePrism(outPositions, outTexCoords, faceTriangle, points, coords);
    if (count == 4)
        return ClipQuadToTrianglePrism(outPositions, outTexCoords, faceTriangle, points, coords);
    return 0;
}

const Vector3* OverlayPositions(const ShaderSetting& setting)
{
    return reinterpret_cast<const Vector3*>(setting.buffers[0]);
}

const float* OverlayTexCoords(const ShaderSetting& setting)
{
    return reinterpret_cast<const float*>(setting.buffers[1]);
}

u32_t OverlayVertexCount(const ShaderSetting& setting)
{
    return setting.buffers[0] ? static_cast<u32_t>(setting.words[OVERLAY_VERTEX_COUNT_WORD]) : 0;
}

void GraphObj::BuildNodeShadowOverlay(GraphNode* node, const ShaderSetting* shadowTemplate,
                                      const Vector3* shadowPositions, const float* shadowTexCoords,
                                      u32_t shadowTriangleCount)
{
    if (!node || !shadowTemplate || !node->GetAnimMesh())
        return;
    const AnimMesh* mesh = node->GetAnimMesh();
    if (mesh->frames_c == 0)
        return;
    OverlayWork& work = Work();
    u32_t used = 0;
    const Vector3 sun = ShadowLightDirection();
    const D3DXVECTOR3 light(sun.x, sun.y, sun.z);
    D3DXMATRIX world;
    node->UpdateTransform(&world);

    const AnimFrame& frame = mesh->frames[0];
    const MeshSettings* settings = node->GetMeshSettings();
    const u32_t meshCount = node->FrameZeroMeshCount() < frame.meshes_c ? node->FrameZeroMeshCount() : frame.meshes_c;
    for (u32_t i = 0; i < meshCount; ++i) {
        const AnimFrameMesh& record = frame.meshes[i];
        if (record.detailLevel != 0 && record.detailLevel != -1)
            continue;
        if (!settings)
            continue;
        const u32_t mode = settings[i].ModeAt(0);
        if (settings[i].HiddenAt(0) || !(mode & MESH_MODE_COLLIDES) ||
            (mode & (MESH_MODE_NO_OVERLAY | MESH_MODE_NO_OVERLAY_2)))
            continue;
        const AnimVertexData* vertices = mesh->GetMeshVertices(0, i);
        const AnimFaces* faces = mesh->GetMeshFaces(0, i);
        if (!vertices || !faces || !faces->indices)
            continue;
        for (u32_t f = 0; f < faces->count; ++f) {
            D3DXVECTOR3 face[3];
            bool valid = true;
            for (int k = 0; k < 3 && valid; ++k) {
                const u16_t index = faces->indices[f * 3 + k];
                valid = index < vertices->count;
                if (!valid)
                    break;
                const D3DXVECTOR3 local = ToD3DX(vertices->Position(index));
                D3DXVec3TransformCoord(&face[k], &local, &world);
            }
            if (!valid)
                continue;
            // Only faces whose front (the side from which the corners run counter-clockwise)
            // turns to the light take the shadow.
            const D3DXVECTOR3 e1 = face[1] - face[0], e2 = face[2] - face[0];
            D3DXVECTOR3 normal;
            D3DXVec3Cross(&normal, &e2, &e1);
            if (!(D3DXVec3Dot(&normal, &light) > kLitFace))
                continue;
            D3DXVec3Normalize(&normal, &normal);
            D3DXPLANE plane;
            D3DXPlaneFromPoints(&plane, &face[0], &face[1], &face[2]);
            if (shadowTemplate->kind == SHADOW_TEMPLATE_QUAD) {
                if (shadowTriangleCount >= 2)
                    AddQuadShadow(shadowPositions, shadowTexCoords, face, plane, normal, light, &used);
            } else if (shadowTemplate->kind == SHADOW_TEMPLATE_TRIANGLES) {
                const D3DXVECTOR3 planeNormal = PlaneNormal(plane);
                if (std::fabs(D3DXVec3Dot(&planeNormal, &light)) <= kGrazingLight)
                    continue;
                for (u32_t t = 0; t < shadowTriangleCount && RoomForClip(used); ++t) {
                    D3DXVECTOR3 triangle[3];
                    D3DXVECTOR2 coords[3];
                    for (int k = 0; k < 3; ++k) {
                        triangle[k] = ToD3DX(shadowPositions[t * 3 + k]);
                        coords[k] = D3DXVECTOR2(shadowTexCoords[(t * 3 + k) * 2], shadowTexCoords[(t * 3 + k) * 2 + 1]);
                    }
                    used += 3 * ProjectTriangleOntoFace(work.positions + used, work.texCoords + used, triangle, coords,
                                                        face, plane, normal, light);
                    ENGINE_ASSERT_TEXT(used <= OVERLAY_WORK_VERTICES, "vc < 3 * MAX_CLOAK_FACES");
                }
            }
        }
    }
    if (used == 0)
        return;

    ShaderSetting* overlay = new ShaderSetting;
    overlay->kind = SHADER_SETTING_OVERLAY;
    overlay->texture = shadowTemplate->texture;
    overlay->enabled = shadowTemplate->enabled;
    // The setting list frees the buffers as bytes.
    u8_t* positions = new u8_t[size_t(used) * 3 * sizeof(float)];
    u8_t* coords = new u8_t[size_t(used) * 2 * sizeof(float)];
    for (u32_t v = 0; v < used; ++v) {
        const float position[3] = {work.positions[v].x, work.positions[v].y, work.positions[v].z};
        const float uv[2] = {work.texCoords[v].x, work.texCoords[v].y};
        std::memcpy(positions + size_t(v) * sizeof position, position, sizeof position);
        std::memcpy(coords + size_t(v) * sizeof uv, uv, sizeof uv);
    }
    overlay->buffers[0] = positions;
    overlay->buffers[1] = coords;
    overlay->words[OVERLAY_VERTEX_COUNT_WORD] = static_cast<s32_t>(used);
    ShaderSettingListAppend(shaderSettings, overlay);
    DebugPrint("ShadowCloak faces %d\n", static_cast<int>(used / 3));
}

void GraphObj::BuildShadowOverlays(const ShaderSetting* shadowTemplate, const Vector3* shadowPositions,
                                   const float* shadowTexCoords, u32_t shadowTriangleCount)
{
    if (!shaderSettings)
        shaderSettings = ShaderSettingListCreate(this);
    ForEachNode([&](GraphNode* node) {
        BuildNodeShadowOverlay(node, shadowTemplate, shadowPositions, shadowTexCoords, shadowTriangleCount);
    });
    Vector3 boxMin = {1e30f, 1e30f, 1e30f};
    Vector3 boxMax = {-1e30f, -1e30f, -1e30f};
    for (u32_t i = 0; i < shaderSettings->count; ++i) {
        const ShaderSetting& setting = *shaderSettings->items[i];
        if (setting.kind == SHADER_SETTING_DECLARED)
            continue;
        const Vector3* positions = OverlayPositions(setting);
        const u32_t count = OverlayVertexCount(setting);
        for (u32_t v = 0; v < count; ++v) {
            const Vector3& p = positions[v];
            boxMin = {std::fmin(boxMin.x, p.x), std::fmin(boxMin.y, p.y), std::fmin(boxMin.z, p.z)};
            boxMax = {std::fmax(boxMax.x, p.x), std::fmax(boxMax.y, p.y), std::fmax(boxMax.z, p.z)};
        }
    }
    if (boxMin.x > boxMax.x) {
        boxMin = {-10.0f, -10.0f, -10.0f};
        boxMax = {10.0f, 10.0f, 10.0f};
    }
    shaderSettings->boxMin = boxMin;
    shaderSettings->boxMax = boxMax;
}
