// A graphic object's per-frame view: its level-of-detail distance and level, the cross-fade into
// its billboard, the drawing of its node tree through the world renderer's mesh paths, the
// billboard that stands in for it far away, and its decals.
#include <algorithm>
#include <cmath>

#include "ai/envelopes/envelope.h"
#include "core/frame_view.h"
#include "platform/d3dx8_math.h"
#include "render/draw2d/debug_primitives.h"
#include "render/render_cvars.h"
#include "scene/draw_records/batch_records.h"
#include "scene/draw_records/draw_records.h"
#include "scene/meshes/object_draw.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"
#include "world/scene_view.h"
#include "world/objects/shader_settings.h"
#include "world/world_cvars.h"
#include "render/draw2d/colour_pack.h"

ConsoleVar rbrs("rbrs", CVAR_BOOL, "true");

namespace {

// The normal field of view; distances scale with the view's share of it (zoomed views see far
// objects nearer).
constexpr float kHalfPi = D3DX_PI * 0.5f;
constexpr u32_t kNodeBoxColour = 0x600000FFu;
// Debug boxes live for one frame.
constexpr u32_t kOneFrameMs = 1;

float Clamp01(float value)
{
    return value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
}

// How far into the fog a distance lies, 0 at the fog start and 1 at the view range (both in units
// of 10). A range not beyond the fog start leaves no fog band: full fog from the start on.
float FogShare(float distance, float fogStart, float range)
{
    const float span = range - fogStart;
    if (!(span > 0.0f))
        return distance > fogStart ? 1.0f : 0.0f;
    return Clamp01((distance - fogStart) / span);
}

// Objects that are not actors draw nothing while their envelope counts them destroyed.
bool HiddenByEnvelope(GraphObj& object)
{
    return object.envelope && object.envelope->IsDestroyedState() && object.typeId != OBJECT_TYPE_ACTOR;
}

void DrawNode(GraphObj& object, GraphNode* node)
{
    AnimMesh* mesh = node->GetAnimMesh();
    D3DXMATRIX world;
    if (rbshowboxes.Bool() && mesh) {
        float box[6] = {1e30f, 1e30f, 1e30f, -1e30f, -1e30f, -1e30f};
        node->GetFrameBounds(box);
        if (box[0] <= box[3]) {
            node->UpdateTransform(&world);
            const Vector3 corners[2] = {{box[0], box[1], box[2]}, {box[3], box[4], box[5]}};
            DebugBoxAddTransformed(corners, &world, kNodeBoxColour, kOneFrameMs);
        }
    }
    if (!mesh)
        return;
    MeshDrawArgs args;
    args.typeId = object.typeId;
    args.mesh = mesh;
    args.textures = node->GetMeshTextures();
    args.fadeAlpha = object.meshFadeAlpha;
    args.decals = node->decals;
    args.decalCount = node->decalCount;
    args.lodRecords = node->GetMeshSettings();
    args.step = object.lodLevel;
    if (const LodLevel* entry = node->FindLodLevel(object.viewDistance)) {
        node->UpdateTransform(&world);
        args.world = &world;
        args.frame = std::trunc(node->GetFrame());
        args.meshList = entry;
        MeshDrawLoopFrame(args);
        return;
    }
    if (!node->GetLodRender(object.lodLevel))
        return;
    node->UpdateTransform(&world);
    args.world = &world;
    args.blendSource = node->GetBlendSourceAnim();
    args.frame = node->GetFrame();
    args.blendSourceFrame = node->GetBlendSourceFrame();
    args.blendWeight = node->GetBlendWeight();
    RenderSetAnimatedFlag(object.IsAnimated());
    if (rbrs.Bool() && node->lodListsBuilt) {
        args.meshList = &node->lodMeshLists[object.lodLevel + 1];
        MeshDrawAnimatedLodList(args);
    } else {
        args.colours = node->GetMeshColors();
        MeshDrawAnimated(args);
    }
}

}  // namespace

void GraphObj::UpdateViewDistance()
{
    const Vector3 p = root->GetPosition();
    Vector3 camera;
    RenderGetCameraPosition(&camera);
    const float dx = p.x - camera.x, dy = p.y - camera.y, dz = p.z - camera.z;
    viewDistanceSq = dx * dx + dy * dy + dz * dz;
    float d = std::sqrt(viewDistanceSq);
    float box[6];
    GetGeometryBounds(box);
    const float bx = box[3] - box[0], by = box[4] - box[1], bz = box[5] - box[2];
    d -= 0.5f * std::sqrt(bx * bx + by * by + bz * bz);
    if (d < 0.0f)
        d = 0.0f;
    const float fov = g_frameView.fieldOfView;
    d = d * (fov / kHalfPi);
    viewDistance = d;

    const float* table = hasOwnLodDistances ? lodDistances : RenderGetLodDistances();
    u8_t level = 0;
    for (u8_t i = 0; i < 3; ++i) {
        if (d >= table[i])
            level = i;
    }
    lodLevel = level;
    if (lodLevel != previousLodLevel) {
        previousLodLevel = lodLevel;
        lodChanged = 1;
    }

    meshFadeAlpha = 0;
    if (billboardMid < d && d < billboardFar)
        meshFadeAlpha =
            static_cast<u8_t>(std::min(255.0f, (d - billboardMid) / ((billboardFar - billboardMid) / 255.0f)));

    billboardOnly = 0;
    meshOnly = 0;
    if (fov != kHalfPi && billboardNear != 0.0f) {
        if (d < billboardFar) {
            meshOnly = 1;
            meshFadeAlpha = 0;
        } else {
            billboardOnly = 1;
            meshFadeAlpha = 255;
        }
    }
    if (shaderSettings)
        shaderSettings->distance = d;
}

void GraphObj::Render()
{
    if (!drawn || HiddenByEnvelope(*this))
        return;
    bool meshes = true;
    if (g_sceneView.billboardsOn && ((billboardNear != 0.0f && viewDistance >= billboardFar) || billboardOnly))
        meshes = false;
    const u32_t previousSelector = RenderGetPassSelector();
    if (!fullDetail) {
        // Far objects: left out of the indoor passes, drawn with every material term elsewhere.
        if (g_sceneView.indoorPassRunning)
            return;
        RenderSetPassSelector(PASS_SELECTOR_ALL_TERMS);
    }
    if (meshes) {
        WalkNodeTree(root, [this](GraphNode* node) {
            g_sceneView.drawingNode = node;
            DrawNode(*this, node);
            return false;
        });
        g_sceneView.drawingNode = nullptr;
    }
    if (billboardNear != 0.0f && viewDistance >= billboardNear && !meshOnly)
        DrawBillboard();
    if (!fullDetail)
        RenderSetPassSelector(previousSelector);
}

void GraphObj::DrawBillboard()
{
    float box[6];
    GetGeometryBounds(box);
    const Vector3 p = GetPosition();
    const float width = box[3] - box[0];
    const float height = box[4] - box[1];
    const Vector3 at = {p.x, p.y + height * 0.5f, p.z};
    const float u0 = (billboardVariant & 1) * 0.5f;
    const float v0 = ((billboardVariant >> 1) & 1) * 0.25f;

    Vector3 camera;
    RenderGetCameraPosition(&camera);
    const float cx = (box[0] + box[3]) * 0.5f - camera.x;
    const float cy = (box[1] + box[4]) * 0.5f - camera.y;
    const float cz = (box[2] + box[5]) * 0.5f - camera.z;
    const float centreSq = cx * cx + cy * cy + cz * cz;
    const float fogStart = mffogstart.Float();
    if (centreSq * 0.01f > fogStart * fogStart && rbfog.Bool() && !g_frameView.viewModeToggle) {
        DrawRecord* record = DrawRecordAlloc(DRAW_RECORD_UPRIGHT_QUAD, sizeof(BillboardDrawPayload));
        if (!record)
            return;
        D3DXMATRIX move;
        D3DXMatrixTranslation(&move, at.x, at.y, at.z);
        record->world = move;
        record->sortKey = viewDistanceSq;
        const float* fog = mcfogcolor.Colour();
        const float share = FogShare(std::sqrt(centreSq) / 10.0f, fogStart, mfrange.Float());
        const u32_t alpha = 255 - ColourByteTruncated(share);
        BillboardDrawPayload* payload = reinterpret_cast<BillboardDrawPayload*>(record->payload);
        *payload = {billboardTexture, width,
                    height,           u0,
                    u0 + 0.5f,        v0,
                    v0 + 0.5f,        (alpha << 24) | (ColourPackRounded(fog[0], fog[1], fog[2], 0.0f) & 0x00FFFFFFu)};
        return;
    }
    BatchRecord* batch = BatchRecordNext();
    if (!batch)
        return;
    *batch = {billboardTexture, {u0, u0 + 0.5f, v0, v0 + 0.5f}, width, height, at};
    BatchRecordCommit();
}

void GraphObj::UpdateDecals()
{
    const float* view = g_frameView.viewPos;
    const Vector3 p = GetPosition();
    const float dx = p.x - view[0], dy = p.y - view[1], dz = p.z - view[2];
    const float distance = std::sqrt(dx * dx + dy * dy + dz * dz);
    // The base is clamped before it is raised to the power: a base below 0 or a fog band of no
    // width would give no number.
    const float base = FogShare(distance, 10.0f * mffogstart.Float(), 10.0f * mfrange.Float());
    const float fade = Clamp01(std::pow(base, mffogpow.Float()));
    ForEachNode([fade](GraphNode* node) { node->ExpireDecals(fade); });
}

void GraphObj::DrawDecals()
{
    if (HiddenByEnvelope(*this))
        return;
    ForEachNode([](GraphNode* node) { node->DrawDecals(); });
}
