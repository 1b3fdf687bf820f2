// A graphic object's destruction: energy falls with damage; at 0 the object swaps places with its
// destroyed replacement, tells its envelope, raises its destruction effect and sound, and damages
// what stands round it.
#include <cmath>
#include <vector>

#include "actors/actor.h"
#include "ai/soldier/ai_events.h"
#include "ai/envelopes/envelope.h"
#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "core/sound/sound_source.h"
#include "core/sound/sound_system.h"
#include "map/registry/world_registry.h"
#include "platform/win32.h"
#include "scene/plugin_bridges/particle_effects.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

namespace {

// The AI hears a destruction within this radius (in units of 10).
constexpr float kDestructionHearingRadius = 150.0f;
constexpr s32_t kDestructionSoundLevel = 1;

// Objects that take damage from a destruction round them: structures, vehicles, map objects,
// trees, and actors that are not dead.
bool TakesBlastDamage(DynamicObject* object)
{
    switch (object->typeId) {
        case OBJECT_TYPE_ACTOR:
            return !static_cast<Actor*>(object)->isDead;
        case OBJECT_TYPE_STRUCTURE:
        case OBJECT_TYPE_VEHICLE:
        case OBJECT_TYPE_MAP_OBJECT:
        case OBJECT_TYPE_TREE:
            return true;
        default:
            return false;
    }
}

void PlayDestructionSound(DynamicObject& object, const Vector3& position)
{
    if (!object.sound || !object.sound->soundTable)
        return;
    SoundInstance* sound = object.sound->soundTable->Pick(SOUND_DESTROY, false, kDestructionSoundLevel);
    if (!sound)
        return;
    const u32_t delay = SoundTravelDelay(position);
    if (delay == 0)
        sound->PlayOnPath(SoundDefaultPath(), false);
    else
        QueueTempSound(GetTickCount() + delay, sound->segment, position, true);
}

}  // namespace

void GraphObj::ApplyDamage(int, float, float amount)
{
    if (energy <= 0.0f)
        return;
    energy -= amount;
    if (energy > 0.0f)
        return;

    if (DynamicObject* replacement = destroyedReplacement) {
        // The replacement takes this object's place in the world; this one waits in the destroy
        // queue until the map is unloaded.
        DynObjectRemove(this);
        replacement->SetPosition(GetPosition());
        replacement->SetRotation(GetRotation());
        DestroyQueueRemove(replacement);
        DestroyQueueAdd(this);
        DynObjectAdd(replacement);
    }
    if (envelope)
        envelope->FireEvent(nullptr, ENVELOPE_EVENT_ON_DESTROY);
    const Vector3 position = GetPosition();
    ParticleSpawnEffect(destroyEffect, position, {0.0f, 1.0f, 0.0f});
    PlayDestructionSound(*this, position);

    if (damageRadius == 0.0f)
        return;
    const float radius = std::fabs(damageRadius);
    const float radiusSq = radius * radius;
    const Vector3 centre = root->GetPosition();
    // The objects standing when the blast goes off: destructions it causes change the table.
    DynamicObject** table = nullptr;
    s32_t count = 0;
    DynObjectsGet(&table, &count);
    const std::vector<DynamicObject*> standing(table, table + count);
    for (DynamicObject* object : standing) {
        if (!TakesBlastDamage(object))
            continue;
        const Vector3 p = object->GetPosition();
        const float dx = p.x - centre.x, dy = p.y - centre.y, dz = p.z - centre.z;
        const float distanceSq = dx * dx + dy * dy + dz * dz;
        if (distanceSq > radiusSq)
            continue;
        float damage = damageAmount * (1.0f - distanceSq / radiusSq);
        if (object->typeId == OBJECT_TYPE_ACTOR) {
            const Actor* actor = static_cast<Actor*>(object);
            if (actor->prone && !actor->crouched)
                damage *= 0.5f;
        }
        object->ApplyDamage(1, 0.0f, damage);
    }
    AIRaiseEventInRadius(AI_EVENT_EXPLOSION, centre, kDestructionHearingRadius, nullptr, 0);
}
