// The envelope of one world object: its class registration, binding to the object and the envelope
// operations that read the object.
#include <cmath>

#include "actors/actor.h"
#include "actors/vehicles/vehicle.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "ai/rules/rules.h"
#include "ai/envelopes/shape_envelopes.h"
#include "map/octree/octree_query.h"
#include "world/objects/dynamic_object.h"

namespace {

struct DOMethodRecord {
    const char* name;
    s32_t returnType;
    ScriptMethodPtr method;
};

#define DO_SLOT(name, code)              \
    {                                    \
#name, code, &ScriptObject::name \
    }

// The methods in the order they are registered; scripts reach the class's overrides through the slots.
const DOMethodRecord kDOMethods[] = {
    DO_SLOT(SetVisible, 1),
    DO_SLOT(Show, 1),
    DO_SLOT(Hide, 1),
    DO_SLOT(IsDestroyed, 2),
    DO_SLOT(LockTarget, 1),
    DO_SLOT(MoveTo, 1),
    DO_SLOT(Hold, 1),
    DO_SLOT(IsPlayer, 2),
    DO_SLOT(ReportHealth, 1),
    DO_SLOT(FollowPlayer, 1),
    DO_SLOT(ReportPosition, 1),
    DO_SLOT(ReportSight, 1),
    DO_SLOT(ReportStatus, 1),
    DO_SLOT(Enable, 1),
    DO_SLOT(Disable, 1),
    DO_SLOT(ExecParticleSet, 1),
    DO_SLOT(ExecMenuItem, 1),
    DO_SLOT(LockTargetOrMoveTo, 1),
    DO_SLOT(IsVisible, 2),
    DO_SLOT(HasItem, 2),
    DO_SLOT(Take, 1),
    DO_SLOT(TakeFixedWeapon, 1),
    DO_SLOT(TakeObject, 1),
    DO_SLOT(SetBehavRecon, 1),
    DO_SLOT(SetBehavAggres, 1),
    DO_SLOT(SetBehavNormal, 1),
    DO_SLOT(RotateToPoint, 1),
    DO_SLOT(MSALSetPos, 1),
    DO_SLOT(MSALMoveTo, 1),
    DO_SLOT(MSALMoveToPt, 1),
    DO_SLOT(MSALSetState, 1),
    DO_SLOT(MSALEliminate, 1),
    DO_SLOT(MSALTake, 1),
    DO_SLOT(MSALUse, 1),
    DO_SLOT(MSALSetPoseMode, 1),
    DO_SLOT(MSALSetMovementMode, 1),
    DO_SLOT(MSALFireObjectEvent, 1),
    DO_SLOT(SetFrame, 1),
    DO_SLOT(SetStandMode, 1),
    DO_SLOT(SetCrouchMode, 1),
    DO_SLOT(SetProneMode, 1),
    DO_SLOT(Destroy, 1),
};

#undef DO_SLOT

}  // namespace

DOEnvelope::DOEnvelope(const char* envelopeName)
{
    kind = ENVELOPE_KIND_OBJECT;
    name.Assign(envelopeName ? envelopeName : "");
    scriptClass = ScriptClassRegistry::RegisterClass("DOEnvelope");
    for (const DOMethodRecord& record : kDOMethods)
        AddMethod(record.method, record.name, record.returnType);
    EnterGlobalObjects();
}

void DOEnvelope::Attach(DynamicObject* target)
{
    object = target;
    if (target)
        target->envelope = this;
    if (!target || target->GetTypeId() != OBJECT_TYPE_VEHICLE)
        return;
    const Vehicle* vehicle = dynamic_cast<const Vehicle*>(target);
    if (!vehicle)
        return;
    for (s32_t i = 0; i < vehicle->seatCount; ++i) {
        const VehicleSeat& seat = vehicle->seats[i];
        EnvelopeSeatRecord record;
        record.seatNumber = i;
        record.data = seat.driver;
        record.seatName = seat.description;
        seatRecords.push_back(record);
    }
}

Actor* DOEnvelope::BoundActor() const
{
    return object && object->GetTypeId() == OBJECT_TYPE_ACTOR ? static_cast<Actor*>(object) : nullptr;
}

void DOEnvelope::SetDisplayName(const char* text)
{
    if ((!text || !*text) && object)
        displayName.Assign(object->name);
    else
        displayName.Assign(text ? text : "");
}

Vector3 DOEnvelope::GetPosition() const
{
    return object ? object->GetPosition() : position;
}

s32_t DOEnvelope::BindHandler()
{
    // The handler's rule words compile against the soldier's own rule set.
    Actor* actor = BoundActor();
    if (actor && actor->ai)
        SetCurrentRuleSet(actor->ai->ruleSet);
    const s32_t bound = Envelope::BindHandler();
    SetCurrentRuleSet(nullptr);
    return bound;
}

s32_t DOEnvelope::TestAgainstPoint(Envelope* other)
{
    if (!object || !other || other->kind != ENVELOPE_KIND_POINT)
        return 0;
    const PointEnvelope* point = static_cast<const PointEnvelope*>(other);
    const Vector3 at = object->GetPosition();
    const float dx = at.x - point->point.x, dy = at.y - point->point.y, dz = at.z - point->point.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz) < point->radius ? ENVELOPE_HIT : 0;
}

s32_t DOEnvelope::OverlapsBox(Envelope* other)
{
    return other ? other->Overlaps(this) : 0;
}

s32_t DOEnvelope::Overlaps(Envelope* other)
{
    if (!object || !other || other->kind != ENVELOPE_KIND_OBJECT)
        return 0;
    DynamicObject* otherObject = static_cast<DOEnvelope*>(other)->object;
    if (!otherObject)
        return 0;
    float a[6] = {}, b[6] = {};
    object->GetGeometryBounds(a);
    otherObject->GetGeometryBounds(b);
    return BoxesOverlap(a, b) ? ENVELOPE_HIT : 0;
}

bool DOEnvelope::IsDestroyedState()
{
    if (!object)
        return false;
    if (const Actor* actor = BoundActor())
        return actor->isDead;
    return destroyed != 0;
}

void DOEnvelope::StoreObjectPose()
{
    if (object)
        object->StorePose();
}

void DOEnvelope::ApplyObjectPose()
{
    if (object)
        object->ApplyStoredPose();
}

void DOEnvelope::RestoreObjectPose()
{
    if (object)
        object->RestorePose();
}
