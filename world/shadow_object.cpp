#include "world/shadow_object.h"

#include <algorithm>

#include "map/map_cvars.h"
#include "map/object_grid.h"
#include "platform/d3dx8_math.h"

ShadowObject::ShadowObject(DynamicObject* shadowSource) : source(shadowSource)
{
    SetGridEntry(ObjectGridEntryCreate(OBJECT_GRID_SHADOW, this));
}

ShadowObject::~ShadowObject()
{
    SetGridEntry(nullptr);
}

void ShadowObject::GetGeometryBounds(float* box)
{
    source->GetGeometryBounds(box);
    const float height = box[4] - box[1];
    const Vector3 sun = mvsundir.Vector();
    D3DXVECTOR3 light(sun.x, sun.y, sun.z);
    D3DXVec3Normalize(&light, &light);
    // A sun on the horizon would stretch the shadow without end: the box then stays the source's.
    const float along = light.y != 0.0f ? height / light.y : 0.0f;
    const D3DXVECTOR3 shift = light * along;
    shadowLength = 2.0f * along;
    const float moved[3] = {shift.x, shift.y, shift.z};
    for (int axis = 0; axis < 3; ++axis) {
        box[axis] = std::min(box[axis], box[axis] - moved[axis]);
        box[axis + 3] = std::max(box[axis + 3], box[axis + 3] - moved[axis]);
    }
}
