// What a soldier sees: the view frustum kept in step with its body, the sight test of one object,
// and the collection of the visible actors or structures of a kind, by the registry or, for enemies
// and friends, by the team lists with a chance of overlooking a soldier far away in fog or dark.
#include <cmath>
#include <cstring>

#include "actors/actor.h"
#include "actors/actor_cvars.h"
#include "actors/ai_entity.h"
#include "core/frame_view.h"
#include "core/strings/ptr_ref_array.h"
#include "core/random.h"
#include "map/registry/actor_lists.h"
#include "map/map_cvars.h"
#include "map/trace/map_sight.h"
#include "map/trace/map_trace.h"
#include "map/octree/object_grid.h"
#include "map/octree/octree_query.h"
#include "map/registry/world_registry.h"
#include "render/camera.h"
#include "render/draw2d/debug_primitives.h"

namespace {

constexpr float kPi = 3.1415927f;
// The sight trace: tiled and against objects; alpha-tested object hits within the segment.
constexpr u32_t kSightTraceFlags = TRACE_TILED | TRACE_OBJECTS;
constexpr u32_t kSightObjectOptions = OBJTRACE_ALPHA | OBJTRACE_WITHIN_SEGMENT;
constexpr u8_t kSightAlphaThreshold = 0xA0;
// The look of the frustum's sides under the AI debug drawing.
constexpr u32_t kFrustumFaceColour = 0x3000FF00u;
constexpr u32_t kFrustumFaceMs = 1;
constexpr float kRandScale = 1.0f / 32767.0f;

Vector3 EyeOf(const Actor* actor, float height)
{
    Vector3 eye = actor->GetPosition();
    eye.y += height;
    return eye;
}

bool IsAlive(const Actor* actor)
{
    return actor->GetHealth() > 0.0f;
}

// One sight line from the eye to the point: clear when nothing stops it or when what stops it first
// is the target itself.
bool SightLineClear(const Vector3& eye, const float* point, const Actor* self, const DynamicObject* target)
{
    MapTraceInfo info;
    std::memset(static_cast<void*>(&info), 0, sizeof(info));
    info.flags = kSightTraceFlags;
    info.objOptions = kSightObjectOptions;
    info.objAlphaThreshold = kSightAlphaThreshold;
    info.ignoreObject = const_cast<Actor*>(self);
    const float start[3] = {eye.x, eye.y, eye.z};
    if (!MapTraceWithinSegment(start, point, &info))
        return true;
    return (info.resultKind & TRACE_RESULT_OBJECT_BIT) && info.hitObject == target;
}

// The four top corners of the box in turn; true at the first clear sight line.
bool AnyTopCornerClear(const Vector3& eye, const float* box, const Actor* self, const DynamicObject* target)
{
    const float corners[4][3] = {
        {box[3], box[4], box[2]}, {box[0], box[4], box[2]}, {box[3], box[4], box[5]}, {box[0], box[4], box[5]}};
    for (const float* corner : corners) {
        if (SightLineClear(eye, corner, self, target))
            return true;
    }
    return false;
}

// The registry walk's filter by kind; the relation tests are asked of the other soldier.
bool WantedByKind(s32_t kind, DynamicObject* object, const AIEntity* self)
{
    if (kind == VISIBLE_STRUCTURES)
        return object->typeId == OBJECT_TYPE_STRUCTURE;
    if (kind < VISIBLE_ANY_ACTOR || kind > VISIBLE_CORPSES)
        return true;
    if (object->typeId != OBJECT_TYPE_ACTOR)
        return false;
    Actor* other = static_cast<Actor*>(object);
    switch (kind) {
        case VISIBLE_ENEMIES:
        case VISIBLE_FRIENDS: {
            const AIEntity* entity = other->GetAIEntity();
            if (!entity || !IsAlive(other) || entity->IsNeutral())
                return false;
            return kind == VISIBLE_ENEMIES ? !entity->IsFriendOf(self) : !entity->IsEnemyOf(self);
        }
        case VISIBLE_CORPSES:
            return !IsAlive(other) && !other->sensedFlag;
        default:
            return true;
    }
}

// The chance of noticing a soldier at the distance: the light factor up to the fog start, falling
// to 0 at the view range; negative for a soldier beyond the range, who is not even drawn for.
// Without a band between the two (range at or before the fog start) a soldier within the range is
// noticed with the light factor and one beyond it never.
float DetectionChance(float distance)
{
    const float metres = distance * 0.1f;
    const float fogStart = mffogstart.Float();
    const float range = mfrange.Float();
    const float light = MapSightLightFactor();
    if (!(range > fogStart))
        return metres > range ? -1.0f : light;
    const float t = (metres - fogStart) / (range - fogStart);
    if (t >= 1.0f)
        return -1.0f;
    if (t <= 0.0f)
        return light;
    return light * (1.0f - t) * (1.0f - t);
}

D3DXVECTOR3 Along(const D3DXVECTOR3& from, const D3DXVECTOR3& axis, float amount)
{
    return from + axis * amount;
}

}  // namespace

void AIEntity::UpdateFrustum(bool force)
{
    if (!actor)
        return;
    const Vector3 position = actor->GetPosition();
    const bool changed = actor->GetHeading() != viewHeading || actor->GetPitch() != viewPitch ||
                         actor->GetActorPose() != viewPose || position.x != viewPosition.x ||
                         position.y != viewPosition.y || position.z != viewPosition.z;
    if (force || changed)
        BuildFrustum();
}

void AIEntity::BuildFrustum()
{
    // Near and far planes and the rectangles' proportions, from the projection as it was built.
    const float m22 = projection._33, m32 = projection._43;
    const float nearPlane = -m32 / m22;
    const float farPlane = nearPlane * m22 / (m22 - 1.0f);
    const float widthPerDepth = 1.0f / projection._11;
    const float heightPerDepth = 1.0f / projection._22;

    const Vector3 eyePoint = EyeOf(actor, AI_ENTITY_EYE_HEIGHT);
    CameraBuildViewMatrix(&view, &viewWorld, eyePoint.x, eyePoint.y, eyePoint.z, actor->GetHeading() + kPi,
                          actor->GetPitch(), 0.0f);
    const D3DXVECTOR3 right(viewWorld._11, viewWorld._12, viewWorld._13);
    const D3DXVECTOR3 up(viewWorld._21, viewWorld._22, viewWorld._23);
    const D3DXVECTOR3 forward(viewWorld._31, viewWorld._32, viewWorld._33);
    const D3DXVECTOR3 eye(eyePoint.x, eyePoint.y, eyePoint.z);

    const D3DXVECTOR3 nearCentre = Along(eye, forward, nearPlane);
    const D3DXVECTOR3 farCentre = Along(eye, forward, farPlane);
    const D3DXVECTOR3 back = -forward;
    D3DXPLANE planes[6];
    D3DXPlaneFromPointNormal(&planes[0], &nearCentre, &forward);
    D3DXPlaneFromPointNormal(&planes[1], &farCentre, &back);
    const float halfWidth = farPlane * widthPerDepth, halfHeight = farPlane * heightPerDepth;
    const D3DXVECTOR3 topRight = farCentre + right * halfWidth + up * halfHeight;
    const D3DXVECTOR3 topLeft = farCentre - right * halfWidth + up * halfHeight;
    const D3DXVECTOR3 bottomLeft = farCentre - right * halfWidth - up * halfHeight;
    const D3DXVECTOR3 bottomRight = farCentre + right * halfWidth - up * halfHeight;
    // Each side through the eye and two far corners, taken so that its normal points inward.
    const D3DXVECTOR3* sides[4][2] = {
        {&topRight, &topLeft}, {&topLeft, &bottomLeft}, {&bottomLeft, &bottomRight}, {&bottomRight, &topRight}};
    for (int i = 0; i < 4; ++i)
        D3DXPlaneFromPoints(&planes[2 + i], &eye, sides[i][0], sides[i][1]);
    for (int i = 0; i < 6; ++i)
        D3DXPlaneNormalize(&frustumPlanes[i], &planes[i]);

    if (gbdebugai.Bool() && actor != g_frameView.player) {
        for (const auto& side : sides) {
            const Vector3 a = {side[0]->x, side[0]->y, side[0]->z}, b = {side[1]->x, side[1]->y, side[1]->z};
            DebugFaceAdd(&eyePoint, &a, &b, kFrustumFaceColour, kFrustumFaceMs);
        }
    }
    SnapshotView();
}

void AIEntity::SnapshotView()
{
    if (!actor)
        return;
    viewHeading = actor->GetHeading();
    viewPitch = actor->GetPitch();
    viewPosition = actor->GetPosition();
    viewPose = static_cast<u8_t>(actor->GetActorPose());
}

bool AIEntity::CanSee(DynamicObject* target, bool skipFrustum)
{
    if (!actor || !target)
        return false;
    // The eye a soldier looks from by pose (stand 16, crouch 12, prone 2): its eye aim point.
    Vector3 eye;
    actor->GetAimPoint(&eye, ACTOR_AIM_EYE);
    float box[6];
    target->GetGeometryBounds(box);
    if (!skipFrustum) {
        UpdateFrustum(false);
        if (!BoxInsidePlanes(box, frustumPlanes, 6))
            return false;
    }
    return AnyTopCornerClear(eye, box, actor, target);
}

void AIEntity::FindVisibleActors(s32_t kind, DynamicObject** out, s32_t* count, bool acceptOutsideFrustum)
{
    const s32_t capacity = *count;
    *count = 0;
    if (!actor || !out || capacity <= 1)
        return;
    if (!gbvo.Bool() && (kind == VISIBLE_ENEMIES || kind == VISIBLE_FRIENDS)) {
        const AIEntity* playerEntity = PlayerActor() ? PlayerActor()->GetAIEntity() : nullptr;
        const bool playersSide = kind == VISIBLE_ENEMIES ? IsEnemyOf(playerEntity) : IsFriendOf(playerEntity);
        *count = capacity;
        CollectVisibleFromTeamList(ActorTeamList(playersSide ? ACTOR_TEAM_FRIEND : ACTOR_TEAM_ENEMY), out, count,
                                   acceptOutsideFrustum);
        return;
    }

    const Vector3 eye = EyeOf(actor, AI_ENTITY_EYE_HEIGHT);
    UpdateFrustum(false);
    DynamicObject** objects = nullptr;
    s32_t objectCount = 0;
    DynObjectsGet(&objects, &objectCount);
    for (s32_t i = 0; i < objectCount; ++i) {
        DynamicObject* object = objects[i];
        const ObjectGridEntry* entry = object ? object->GetGridEntry() : nullptr;
        if (!entry || entry->kind != OBJECT_GRID_OBJECT || object == actor || object->typeId == OBJECT_TYPE_ROOT ||
            object->typeId == OBJECT_TYPE_GRAPHIC)
            continue;
        if (!WantedByKind(kind, object, this))
            continue;
        float box[6];
        object->GetGeometryBounds(box);
        if (!acceptOutsideFrustum && !BoxInsidePlanes(box, frustumPlanes, 6))
            continue;
        if (!AnyTopCornerClear(eye, box, actor, object))
            continue;
        out[(*count)++] = object;
        if (kind == VISIBLE_CORPSES)
            static_cast<Actor*>(object)->sensedFlag = true;
        if (*count >= capacity - 1)
            return;
    }
}

void AIEntity::CollectVisibleFromTeamList(const PtrRefArray<Actor>* list, DynamicObject** out, s32_t* count,
                                          bool acceptOutsideFrustum)
{
    const s32_t capacity = *count;
    *count = 0;
    if (!actor || !out || !list || list->Count() == 0 || capacity <= 1)
        return;
    if (!acceptOutsideFrustum)
        UpdateFrustum(false);
    const Vector3 eye = EyeOf(actor, AI_ENTITY_EYE_HEIGHT);
    const s32_t listed = list->Count();
    for (s32_t i = 0; i < listed; ++i) {
        Actor* other = list->Get(i);
        // A soldier is not among what it sees.
        if (!other || other == actor || !IsAlive(other))
            continue;
        const Vector3 at = other->GetPosition();
        const float dx = at.x - eye.x, dy = at.y - eye.y, dz = at.z - eye.z;
        const float chance = DetectionChance(std::sqrt(dx * dx + dy * dy + dz * dz));
        if (chance < 0.0f)
            continue;
        const float draw = static_cast<float>(EngineRand()) * kRandScale;
        if (draw >= chance)
            continue;
        float box[6];
        other->GetGeometryBounds(box);
        if (!acceptOutsideFrustum && !BoxInsidePlanes(box, frustumPlanes, 6))
            continue;
        if (!AnyTopCornerClear(eye, box, actor, other))
            continue;
        out[(*count)++] = other;
        if (*count >= capacity - 1)
            return;
    }
}
