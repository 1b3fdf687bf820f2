#include "ai/envelopes/shape_envelopes.h"

#include "map/octree/octree_query.h"
#include "world/objects/dynamic_object.h"

bool EnvelopeBoxesOverlap(const Vector3& minA, const Vector3& maxA, const Vector3& minB, const Vector3& maxB)
{
    return minA.x <= maxB.x && minB.x <= maxA.x && minA.y <= maxB.y && minB.y <= maxA.y && minA.z <= maxB.z &&
           minB.z <= maxA.z;
}

PointEnvelope::PointEnvelope(const char* envelopeName, const Vector3& at, float pointRadius)
    : point(at), radius(pointRadius)
{
    kind = ENVELOPE_KIND_POINT;
    name.Assign(envelopeName ? envelopeName : "");
    position = at;
    scriptClass = ScriptClassRegistry::RegisterClass("PointEnvelope");
    AddMethod(&ScriptObject::SetVisible, "SetVisible", 1);
    AddMethod(&ScriptObject::Show, "Show", 1);
    AddMethod(&ScriptObject::Hide, "Hide", 1);
    AddMethod(&ScriptObject::IsPlayer, "IsPlayer", 2);
    AddMethod(&ScriptObject::Enable, "Enable", 1);
    AddMethod(&ScriptObject::Disable, "Disable", 1);
    EnterGlobalObjects();
}

s32_t PointEnvelope::Overlaps(Envelope* other)
{
    return other ? other->TestAgainstPoint(this) : 0;
}

AABoxEnvenlope::AABoxEnvenlope(const char* envelopeName, const Vector3& boxMinimum, const Vector3& boxMaximum)
    : minimum(boxMinimum), maximum(boxMaximum)
{
    kind = ENVELOPE_KIND_BOX;
    name.Assign(envelopeName ? envelopeName : "");
}

s32_t AABoxEnvenlope::OverlapsBox(Envelope* other)
{
    if (!other || other->kind != ENVELOPE_KIND_BOX)
        return 0;
    const AABoxEnvenlope* box = static_cast<const AABoxEnvenlope*>(other);
    return EnvelopeBoxesOverlap(minimum, maximum, box->minimum, box->maximum) ? ENVELOPE_HIT : 0;
}

s32_t AABoxEnvenlope::Overlaps(Envelope* other)
{
    if (!other || other->kind != ENVELOPE_KIND_OBJECT)
        return 0;
    DynamicObject* object = static_cast<DOEnvelope*>(other)->object;
    if (!object)
        return 0;
    const float box[6] = {minimum.x, minimum.y, minimum.z, maximum.x, maximum.y, maximum.z};
    float bounds[6] = {};
    object->GetGeometryBounds(bounds);
    return BoxesOverlap(box, bounds) ? ENVELOPE_HIT : 0;
}

namespace {

void RegisterNameOnly(Envelope* envelope, const char* className)
{
    envelope->scriptClass = ScriptClassRegistry::RegisterClass(className);
    envelope->AddMethod(&ScriptObject::IsDestroyed, "IsDestroyed", 2);
    envelope->EnterGlobalObjects();
}

}  // namespace

VirtualEnvelope::VirtualEnvelope(const char* envelopeName)
{
    kind = ENVELOPE_KIND_VIRTUAL;
    name.Assign(envelopeName ? envelopeName : "");
    RegisterNameOnly(this, "VirtualEnvelope");
}

CodeEnvelope::CodeEnvelope(const char* envelopeName)
{
    kind = ENVELOPE_KIND_CODE;
    name.Assign(envelopeName ? envelopeName : "");
    RegisterNameOnly(this, "CodeEnvelope");
}
