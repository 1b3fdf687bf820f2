#include "world/objects/dynamic_object.h"

#include <new>

#include "core/sound/sound_source.h"
#include "map/octree/object_grid.h"
#include "world/nodes/object_trace.h"

DynamicObject::DynamicObject() : sound(new (std::nothrow) SoundSource(this)) {}

DynamicObject::~DynamicObject()
{
    destroyedReplacement = nullptr;
    replacedOriginal = nullptr;
    SetGridEntry(nullptr);
    if (sound) {
        if (sound->audioPathMade && !sound->released)
            sound->Release();
        delete sound;
        sound = nullptr;
    }
    infoName.Clear();
    name.Clear();
}

void DynamicObject::SetGridEntry(ObjectGridEntry* entry)
{
    if (entry == gridEntry)
        return;
    // An entry never outlives its links: a link left in a leaf would name freed memory.
    if (gridEntry)
        ObjectGridUnlink(gridEntry);
    delete gridEntry;
    gridEntry = entry;
}

float DynamicObject::TraceRay(const Vector3&, const Vector3&, ObjectTraceBlock*)
{
    return OBJTRACE_NO_HIT;
}

void DynamicObject::GetGeometryBounds(float* box)
{
    const Vector3 p = GetPosition();
    box[0] = box[3] = p.x;
    box[1] = box[4] = p.y;
    box[2] = box[5] = p.z;
}

void DynamicObject::SetBoundingBox(const float* box)
{
    bboxMin = {box[0], box[1], box[2]};
    bboxMax = {box[3], box[4], box[5]};
}

void DynamicObject::GetBoundingBox(float* box)
{
    box[0] = bboxMin.x;
    box[1] = bboxMin.y;
    box[2] = bboxMin.z;
    box[3] = bboxMax.x;
    box[4] = bboxMax.y;
    box[5] = bboxMax.z;
}

bool DynamicObject::SetDrawn(bool draw)
{
    const bool previous = drawn != 0;
    drawn = draw ? 1 : 0;
    return previous;
}
