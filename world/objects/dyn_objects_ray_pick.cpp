// The nearest-object ray pick over the whole registry, for the editor and the on-screen picking.
#include "map/registry/world_registry.h"
#include "platform/d3dx8_math.h"
#include "world/objects/dynamic_object.h"
#include "world/nodes/object_trace.h"

float DynObjectsRayPick(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit, DynamicObject** object,
                        DynamicObject* ignored)
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);

    // What the caller handed in goes back unchanged when nothing is hit.
    const ObjectTraceBlock given = *hit;
    ObjectTraceBlock best = given;
    float bestDistance = OBJTRACE_NO_HIT;
    DynamicObject* bestObject = nullptr;

    const D3DXVECTOR3 rayOrigin(origin.x, origin.y, origin.z);
    const D3DXVECTOR3 rayDirection(direction.x, direction.y, direction.z);
    D3DXPLANE front;
    D3DXPlaneFromPointNormal(&front, &rayOrigin, &rayDirection);

    for (s32_t i = 0; i < count; ++i) {
        DynamicObject* candidate = objects[i];
        if (!candidate || candidate == ignored || candidate->typeId == OBJECT_TYPE_ROOT ||
            candidate->typeId == OBJECT_TYPE_GRAPHIC || !candidate->IsCollidable())
            continue;
        const Vector3 position = candidate->GetPosition();
        const D3DXVECTOR3 at(position.x, position.y, position.z);
        if (D3DXPlaneDotCoord(&front, &at) < 0.0f)
            continue;
        float box[6];
        candidate->GetGeometryBounds(box);
        const D3DXVECTOR3 boxMin(box[0], box[1], box[2]);
        const D3DXVECTOR3 boxMax(box[3], box[4], box[5]);
        if (!D3DXBoxBoundProbe(&boxMin, &boxMax, &rayOrigin, &rayDirection))
            continue;
        const float distance = candidate->TraceRay(origin, direction, hit);
        // Strictly nearer only: of equal hits the earlier object stays.
        if (distance < bestDistance) {
            bestDistance = distance;
            bestObject = candidate;
            for (Vector3& corner : hit->objTriangle)
                corner.y -= 1.0f;
            best = *hit;
        }
    }

    if (object)
        *object = bestObject;
    *hit = bestObject ? best : given;
    return bestDistance;
}
