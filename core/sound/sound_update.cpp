// The per-frame sound update: emitter positions, the listener, follow-the-listener channels,
// repeating spatial sounds and the queue of delayed one-shot sounds, every 50 ms.
#include <cmath>

#include "core/frame_view.h"
#include "core/sound/sound_system.h"
#include "map/registry/world_registry.h"
#include "platform/audio.h"
#include "world/objects/dynamic_object.h"

namespace {

constexpr u32_t kPassInterval = 50;
constexpr float kHearingRangeSquared = 1600.0f;  // 40 units
constexpr u32_t kActiveRecheck = 3000;
constexpr u32_t kInactiveRecheck = 1000;

// The listener faces where the view looks: (0, 0, 1) and (0, 1, 0) turned by the view's rotation
// (pitch about x, then yaw about y, in the engine's left-handed frame; positive pitch looks down).
void ListenerAxes(float yaw, float pitch, Vector3& front, Vector3& top)
{
    const float sy = std::sin(yaw), cy = std::cos(yaw);
    const float sp = std::sin(pitch), cp = std::cos(pitch);
    front = {cp * sy, -sp, cp * cy};
    top = {sp * sy, cp, sp * cy};
}

// A source is active (its position refreshed, its sounds played) while the viewer is within 40 units
// of its owner; it is checked every 1 s while inactive and every 3 s while active.
void CheckActivity(DynamicObject** objects, s32_t count, u32_t now, const Vector3& viewer)
{
    for (s32_t i = 0; i < count; ++i) {
        if (!objects[i] || !objects[i]->sound)
            continue;
        SoundSource& source = *objects[i]->sound;
        const u32_t sinceCheck = now - source.lastActivityCheck;
        if (sinceCheck <= (source.active ? kActiveRecheck : kInactiveRecheck))
            continue;
        const float distanceSquared = SoundDistanceSquared(objects[i]->GetPosition(), viewer);
        if (source.active)
            source.active = !(distanceSquared > kHearingRangeSquared);
        else
            source.active = distanceSquared < kHearingRangeSquared;
        source.lastActivityCheck = now;
    }
}

}  // namespace

void SoundUpdate()
{
    SoundUpdatePlayer();
    if (!g_sound.performance)
        return;

    const u32_t now = SoundNow();
    if (g_sound.firstPassDone && now - g_sound.lastPass < kPassInterval)
        return;
    g_sound.lastPass = now;

    DynamicObject** objects = nullptr;
    s32_t objectCount = 0;
    DynObjectsGet(&objects, &objectCount);
    const Vector3 viewer = SoundViewerPosition();

    if (g_sound.firstPassDone)
        CheckActivity(objects, objectCount, now, viewer);
    g_sound.firstPassDone = true;

    Vector3& front = g_sound.listenerFront;
    Vector3& top = g_sound.listenerTop;
    ListenerAxes(g_frameView.yaw, g_frameView.pitch, front, top);
    const Vector3 movement{viewer.x - g_sound.lastViewPosition.x, viewer.y - g_sound.lastViewPosition.y,
                           viewer.z - g_sound.lastViewPosition.z};
    g_sound.viewMovement = movement;

    for (s32_t i = 0; i < objectCount; ++i) {
        if (!objects[i] || !objects[i]->sound)
            continue;
        SoundSource& source = *objects[i]->sound;
        if (!source.active || !source.HasAudioPath())
            continue;
        const Vector3 position = objects[i]->GetPosition();
        source.SetPosition(position.x, position.y, position.z, SOUND_APPLY_DEFERRED);
    }

    // The listener follows the viewer on every pass, whether or not any source is active.
    if (IDirectSound3DListener* listener = g_sound.listener) {
        listener->SetPosition(viewer.x, viewer.y, viewer.z, DS3D_DEFERRED);
        listener->SetOrientation(front.x, front.y, front.z, top.x, top.y, top.z, DS3D_DEFERRED);
    }

    for (SoundChannel& channel : g_sound.channels) {
        if (now - channel.lastUse > 1000 || !channel.followsListener)
            continue;
        const Vector3& at = channel.source.position;
        channel.source.SetPosition(at.x + movement.x, at.y + movement.y, at.z + movement.z, SOUND_APPLY_DEFERRED);
    }

    for (s32_t i = 0; i < g_sound.spatialCount; ++i)
        if (g_sound.spatial[i])
            g_sound.spatial[i]->UpdateRepeat(now);

    if (g_sound.listener)
        g_sound.listener->CommitDeferredSettings();

    SoundRunTempQueue(now, viewer);
    g_sound.lastViewPosition = viewer;
    g_sound.performance->Service();
}
