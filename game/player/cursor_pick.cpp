#include "game/player/cursor_pick.h"

#include <cmath>

#include "actors/actor.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "core/frame_view.h"
#include "render/draw2d/bitmap_font.h"
#include "render/draw2d/hud_input.h"
#include "world/nodes/graph_node.h"
#include "game/game_state.h"
#include "map/trace/map_trace.h"
#include "map/terrain/terrain_height.h"
#include "platform/d3dx8_math.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "scene/views/frustum_ray.h"
#include "scene/meshes/gpu_anim_buffers.h"

namespace {

struct PickState {
    bool filter = false;
    Envelope* forced = nullptr;
};
PickState g_pick;

// How far every candidate's box grows on each side in command-cursor mode: 100 times the value of
// the zone range table at the current index. No mission file carries zone ranges and nothing sets
// the index, so the table's one entry is 0 and the boxes keep their size.
constexpr float kZoneRangeEnlargement = 0.0f;

// A label's box: its text's width in the default font at this GUI scale, and this many pixels above
// and below its point.
constexpr float kLabelTextScale = 0.4f;
constexpr float kLabelHalfHeight = 10.0f;

// A water hit steps this far on along the ray and looks down from this high to this deep.
constexpr float kWaterStepAhead = 15.0f;
constexpr float kWaterProbeAbove = 3.0f;
constexpr float kWaterProbeBelow = 40.0f;

bool CommandCursorMode()
{
    return g_frameView.cursorMode || g_game.satelliteView;
}

struct PickRay {
    D3DXVECTOR3 origin;
    D3DXVECTOR3 direction;
};

// From the camera through the centre of the view, or in command-cursor mode through the cursor on a
// screen of riwidth x riheight pixels.
bool BuildPickRay(PickRay* ray)
{
    if (!CommandCursorMode()) {
        Vector3 eye;
        RenderGetCameraPosition(&eye);
        ray->origin = D3DXVECTOR3(eye.x, eye.y, eye.z);
        FrustumCentreRay(&ray->direction);
        return true;
    }
    IDirect3DDevice8* device = g_render.device;
    const float width = static_cast<float>(riwidth.Int()), height = static_cast<float>(riheight.Int());
    if (!device || width <= 0.0f || height <= 0.0f)
        return false;
    D3DXMATRIX view, projection, inverse;
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    if (projection._11 == 0.0f || projection._22 == 0.0f || !D3DXMatrixInverse(&inverse, nullptr, &view))
        return false;
    const D3DXVECTOR3 local((2.0f * g_game.cursorX / width - 1.0f) / projection._11,
                            -(2.0f * g_game.cursorY / height - 1.0f) / projection._22, 1.0f);
    D3DXVec3TransformNormal(&ray->direction, &local, &inverse);
    ray->origin = D3DXVECTOR3(inverse._41, inverse._42, inverse._43);
    return true;
}

bool IsDeadActor(const DynamicObject* object)
{
    if (!object || object->GetTypeId() != OBJECT_TYPE_ACTOR)
        return false;
    const Actor* actor = static_cast<const Actor*>(object);
    return actor->isDead || actor->GetHealth() <= 0.0f;
}

bool RayMeetsBox(DynamicObject* object, const PickRay& ray)
{
    float box[6];
    object->GetGeometryBounds(box);
    const float grow = CommandCursorMode() ? kZoneRangeEnlargement : 0.0f;
    const D3DXVECTOR3 low(box[0] - grow, box[1] - grow, box[2] - grow);
    const D3DXVECTOR3 high(box[3] + grow, box[4] + grow, box[5] + grow);
    return D3DXBoxBoundProbe(&low, &high, &ray.origin, &ray.direction) != 0;
}

float SquaredDistance(const D3DXVECTOR3& from, const Vector3& to)
{
    const float dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z;
    return dx * dx + dy * dy + dz * dz;
}

// The object an envelope of the table wraps when it may be picked at all: an object envelope, not
// disabled, not the player's, not a dead actor.
DynamicObject* Candidate(Envelope* envelope)
{
    if (envelope->kind != ENVELOPE_KIND_OBJECT || envelope->disabled)
        return nullptr;
    DynamicObject* object = static_cast<DOEnvelope*>(envelope)->object;
    if (!object || object == g_frameView.player || IsDeadActor(object))
        return nullptr;
    return object;
}

bool FilterAccepts(const DynamicObject* object)
{
    const s32_t type = object->GetTypeId();
    return type == OBJECT_TYPE_ACTOR || type == OBJECT_TYPE_VEHICLE || type == OBJECT_TYPE_WEAPON;
}

// The cursor point in whole pixels: the cursor in command-cursor mode, else the middle of the view.
void CursorPoint(int* x, int* y)
{
    if (CommandCursorMode()) {
        *x = static_cast<int>(g_game.cursorX);
        *y = static_cast<int>(g_game.cursorY);
    } else {
        *x = static_cast<int>(static_cast<float>(riwidth.Int()) * 0.5f);
        *y = static_cast<int>(static_cast<float>(riheight.Int()) * 0.5f);
    }
}

// The first of the envelope's labels whose box (half its text's width at the scale 0.4 either
// side, 10 pixels above and below its node's projected origin) holds the cursor point.
void SelectLabelUnderCursor(Envelope* envelope)
{
    envelope->selectedLabel = -1;
    IDirect3DDevice8* device = g_render.device;
    const Font* font = g_hudInput.defaultFont;
    if (!device)
        return;
    int cx = 0, cy = 0;
    CursorPoint(&cx, &cy);
    D3DXMATRIX view, projection;
    D3DVIEWPORT8 viewport = {};
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    device->GetViewport(&viewport);
    const float scale = GuiScaleToScreen(kLabelTextScale);
    for (size_t i = 0; i < envelope->labels.size(); ++i) {
        const EnvelopeLabel& label = envelope->labels[i];
        if (!label.node)
            continue;
        D3DXMATRIX world;
        label.node->UpdateTransform(&world);
        const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f);
        D3DXVECTOR3 screen;
        D3DXVec3Project(&screen, &origin, &viewport, &projection, &view, &world);
        const int halfWidth =
            font ? static_cast<int>(static_cast<float>(font->GetTextWidth(label.text.Text())) * scale) : 0;
        const float x = static_cast<float>(cx), y = static_cast<float>(cy);
        if (screen.x - static_cast<float>(halfWidth) < x && x < screen.x + static_cast<float>(halfWidth) &&
            screen.y - kLabelHalfHeight < y && y < screen.y + kLabelHalfHeight) {
            envelope->selectedLabel = static_cast<s32_t>(i);
            return;
        }
    }
}

MapTraceInfo GroundTraceRequest()
{
    MapTraceInfo info;
    info.flags = TRACE_TILED | TRACE_WATER;
    info.ignoreObject = g_frameView.player;
    info.hitObject = nullptr;
    info.hitMapMesh = nullptr;
    info.resultKind = TRACE_RESULT_NONE;
    info.hitWater = 0;
    return info;
}

}  // namespace

void GameSetPickFilter(bool on)
{
    g_pick.filter = on;
}

void GameSetPickedObject(Envelope* envelope)
{
    g_pick.forced = envelope;
}

Envelope* GamePickObjectAtCursor(bool nearOnly)
{
    if (g_pick.forced)
        return g_pick.forced;
    PickRay ray;
    if (!BuildPickRay(&ray))
        return nullptr;
    Envelope* best = nullptr;
    float bestDistance = 1e30f;
    bool preferredTaken = false;
    for (Envelope* envelope : g_ai.envelopes) {
        if (!envelope)
            break;
        DynamicObject* object = Candidate(envelope);
        if (!object || (g_pick.filter && !FilterAccepts(object)) || !RayMeetsBox(object, ray))
            continue;
        const float distance = SquaredDistance(ray.origin, object->GetPosition());
        if (!envelope->pickPreferred && (preferredTaken || distance >= bestDistance))
            continue;
        // Things other than soldiers are near below 30 units; a near-only pick leaves far ones.
        if (object->GetTypeId() != OBJECT_TYPE_ACTOR) {
            if (distance < kPickNearDistanceSq) {
                envelope->pickFar = 0;
            } else if (nearOnly) {
                continue;
            } else {
                envelope->pickFar = 1;
            }
        }
        best = envelope;
        bestDistance = distance;
        preferredTaken = preferredTaken || envelope->pickPreferred;
    }
    if (best && g_frameView.zoomView && !best->pickFar)
        SelectLabelUnderCursor(best);
    return best;
}

Actor* GamePickActorAtCursor()
{
    PickRay ray;
    if (!BuildPickRay(&ray))
        return nullptr;
    Actor* best = nullptr;
    float bestDistance = 1e30f;
    bool preferredTaken = false;
    for (Envelope* envelope : g_ai.envelopes) {
        if (!envelope)
            break;
        DynamicObject* object = Candidate(envelope);
        if (!object || object->GetTypeId() != OBJECT_TYPE_ACTOR || !RayMeetsBox(object, ray))
            continue;
        const float distance = SquaredDistance(ray.origin, object->GetPosition());
        if (!envelope->pickPreferred && (preferredTaken || distance >= bestDistance))
            continue;
        best = static_cast<Actor*>(object);
        bestDistance = distance;
        preferredTaken = preferredTaken || envelope->pickPreferred;
    }
    return best;
}

bool GameProjectToScreen(float* outScreen, const float* world)
{
    outScreen[0] = outScreen[1] = outScreen[2] = 0.0f;
    IDirect3DDevice8* device = g_render.device;
    if (!device)
        return false;
    D3DXMATRIX worldMatrix, view, projection;
    D3DVIEWPORT8 viewport = {};
    device->GetTransform(D3DTS_WORLD, &worldMatrix);
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    device->GetViewport(&viewport);
    const D3DXVECTOR3 point(world[0], world[1], world[2]);
    D3DXVECTOR3 screen;
    D3DXVec3Project(&screen, &point, &viewport, &projection, &view, &worldMatrix);
    outScreen[0] = screen.x;
    outScreen[1] = screen.y;
    outScreen[2] = screen.z;
    return true;
}

bool GamePickGroundPointAtCursor(float* outPoint)
{
    PickRay ray;
    if (!BuildPickRay(&ray))
        return false;
    const float start[3] = {ray.origin.x, ray.origin.y, ray.origin.z};
    const float end[3] = {ray.origin.x + kPickGroundReach * ray.direction.x,
                          ray.origin.y + kPickGroundReach * ray.direction.y,
                          ray.origin.z + kPickGroundReach * ray.direction.z};
    MapTraceInfo hit = GroundTraceRequest();
    const bool solid = MapTrace(start, end, &hit);
    if (!solid && !hit.hitWater)
        return false;
    if (!hit.hitWater) {
        outPoint[0] = hit.hitPoint.x;
        outPoint[1] = hit.hitPoint.y;
        outPoint[2] = hit.hitPoint.z;
        return true;
    }
    // Water: the ground a little further on, unless that is water too.
    const Vector3 surface = hit.waterPoint;
    float ax = ray.direction.x, az = ray.direction.z;
    const float across = std::sqrt(ax * ax + az * az);
    if (across > 0.0f) {
        ax /= across;
        az /= across;
    }
    const float x = surface.x + kWaterStepAhead * ax, z = surface.z + kWaterStepAhead * az;
    const float from[3] = {x, surface.y + kWaterProbeAbove, z};
    const float to[3] = {x, surface.y - kWaterProbeBelow, z};
    MapTraceInfo below = GroundTraceRequest();
    const bool ground = MapTrace(from, to, &below);
    float y = surface.y;
    if (below.hitWater) {
        // Water again: the surface height stays.
    } else if (ground) {
        y = below.hitPoint.y;
    } else {
        bool found = false;
        Vector3 normal;
        y = MapTerrainHeight(x, z, &found, &normal);
    }
    outPoint[0] = x;
    outPoint[1] = y;
    outPoint[2] = z;
    return true;
}
