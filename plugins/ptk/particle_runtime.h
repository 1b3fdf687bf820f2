// The running effects: the three index-aligned running lists (instances, their ages in frame
// milliseconds, their placements), starting and stopping instances, and the frame step that
// starts, places and steps emitters and hands every live particle to the host.
#pragma once
#include <cstdint>

#include "plugins/ptk/effect_sets.h"
#include "plugins/ptk/owned_ptr_list.h"

namespace ptk {

struct Placement {
    float pos[3];
};

struct RunningLists {
    OwnedPtrList<RunningInstance>* instances = nullptr;
    OwnedPtrList<std::int32_t>* ages = nullptr;
    OwnedPtrList<Placement>* placements = nullptr;
};
extern RunningLists g_running;

// Empty lists of capacity 100 (what they held is deleted, pins released).
void RunningCreate();
// Every instance ends (pins released, groups deleted) and the lists are freed.
void RunningDelete();

enum class StartKind { Object, Position, Weapon };
// Starts the named set; the placement index, or -1 when nothing started.
std::int32_t StartSet(const char* name, StartKind kind, void* object, const float position[3],
                      const float direction[3]);
// Every instance ends, last to first.
void StopAll();
// One frame of ms milliseconds.
void FrameStep(std::int32_t ms);

// Releases the instance's pins (each once) and deletes it with its groups and particles.
void EndInstance(RunningInstance* instance);

}  // namespace ptk
