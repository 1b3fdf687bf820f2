// One-shot sounds at a point: the distance rules, the shared channels and the queue of sounds that
// wait for their travel time.
#include <cmath>

#include "core/console/console.h"
#include "core/sound/sound_system.h"

namespace {

constexpr float kLod0Squared = 10000.0f;       // 100 units
constexpr float kLod1Squared = 250000.0f;      // 500 units: farther sounds wait for their travel time
constexpr float kNoDelaySquared = 40000.0f;    // 200 units
constexpr float kAudibleSquared = 1000000.0f;  // 1000 units
constexpr float kRelativeDistance = 10.0f;

u32_t TravelMilliseconds(float distanceSquared)
{
    return static_cast<u32_t>(std::sqrt(distanceSquared) / SOUND_SPEED * 1000.0f);
}

}  // namespace

s32_t SoundLodForPoint(const Vector3& point)
{
    const float distanceSquared = SoundDistanceSquared(point, SoundViewerPosition());
    if (distanceSquared <= kLod0Squared)
        return 0;
    if (distanceSquared <= kLod1Squared)
        return 1;
    return 2;
}

u32_t SoundTravelDelay(const Vector3& point)
{
    const float distanceSquared = SoundDistanceSquared(point, SoundViewerPosition());
    return distanceSquared < kNoDelaySquared ? 0 : TravelMilliseconds(distanceSquared);
}

void PlayTempSoundAt(const Vector3& point, IDirectMusicSegment8* segment, bool listenerRelative)
{
    if (!segment)
        return;
    const float distanceSquared = SoundDistanceSquared(point, SoundViewerPosition());
    if (distanceSquared > kAudibleSquared)
        return;
    const u32_t now = SoundNow();
    if (distanceSquared > kLod1Squared) {
        QueueTempSound(now + TravelMilliseconds(distanceSquared), segment, point, listenerRelative);
        return;
    }
    SoundChannel* channel = SoundFreeChannel(now);
    if (!channel) {
        ConPrint(0, "Tmp sound buffer overflow!\n");
        return;
    }
    SoundPlayOnChannel(*channel, point, segment, listenerRelative, now);
}

void PlayTempSound(const Vector3& point, SoundInstance* instance, bool listenerRelative)
{
    if (instance)
        PlayTempSoundAt(point, instance->segment, listenerRelative);
}

void QueueTempSound(u32_t startTime, IDirectMusicSegment8* segment, const Vector3& point, bool listenerRelative)
{
    if (!segment)
        return;
    for (TempSoundEntry& entry : g_sound.queue) {
        if (entry.segment)
            continue;
        entry = TempSoundEntry{startTime, segment, point, listenerRelative};
        return;
    }
}

void SoundRunTempQueue(u32_t now, const Vector3& viewer)
{
    for (TempSoundEntry& entry : g_sound.queue) {
        if (!entry.segment || static_cast<s32_t>(now - entry.startTime) < 0)
            continue;
        Vector3 position = entry.position;
        if (entry.listenerRelative) {
            // Heard from its direction, close to the viewer (from the viewer itself when it has none).
            const Vector3 away{position.x - viewer.x, position.y - viewer.y, position.z - viewer.z};
            const float length = std::sqrt(SoundDistanceSquared(position, viewer));
            const float scale = length > 0.0f ? kRelativeDistance / length : 0.0f;
            position = {viewer.x + away.x * scale, viewer.y + away.y * scale, viewer.z + away.z * scale};
        }
        if (SoundDistanceSquared(position, viewer) <= kAudibleSquared) {
            if (SoundChannel* channel = SoundFreeChannel(now))
                SoundPlayOnChannel(*channel, position, entry.segment, entry.listenerRelative, now);
        }
        entry.segment = nullptr;
    }
}
