// Keeping objects (the player, vehicles) out of the wires.
#include <cmath>

#include "platform/d3dx8_math.h"
#include "world/objects/dynamic_object.h"
#include "world/wires/wire_state.h"

namespace {

// Below this the position lies on the wire and has no direction to be pushed in.
constexpr float kOnWire = 1e-6f;
// A band pushes only a position that reaches into it by more than this.
constexpr float kBandMargin = 0.001f;

bool BoxesTouch(const float* a, const float* b)
{
    for (int axis = 0; axis < 3; ++axis) {
        if (a[axis + 3] < b[axis] || a[axis] > b[axis + 3])
            return false;
    }
    return true;
}

// A thin wire: the position moves away from the nearest point of the segment to the radius,
// along that direction but in x and z only.
void PushFromCross(const D3DXVECTOR3& a, const D3DXVECTOR3& b, D3DXVECTOR3* p, float radius)
{
    const D3DXVECTOR3 along = b - a;
    const D3DXVECTOR3 fromA = *p - a;
    const float lengthSq = D3DXVec3Dot(&along, &along);
    float t = lengthSq > 0.0f ? D3DXVec3Dot(&fromA, &along) / lengthSq : 0.0f;
    t = std::fmin(std::fmax(t, 0.0f), 1.0f);
    const D3DXVECTOR3 away = *p - (a + along * t);
    const float distance = D3DXVec3Length(&away);
    if (distance >= radius || distance < kOnWire)
        return;
    const D3DXVECTOR3 push = away * ((radius - distance) / distance);
    p->x += push.x;
    p->z += push.z;
}

// A flat vertical band through the segment: a position that reaches into it between its ends is
// put back on its own side at the radius.
void PushFromBand(const D3DXVECTOR3& a, const D3DXVECTOR3& b, D3DXVECTOR3* p, float radius)
{
    const D3DXVECTOR3 along = b - a;
    const D3DXVECTOR3 down(0.0f, -1.0f, 0.0f);
    D3DXVECTOR3 normal;
    D3DXVec3Cross(&normal, &along, &down);
    if (D3DXVec3Length(&normal) < kOnWire)
        return;  // a vertical band has no side
    D3DXVec3Normalize(&normal, &normal);
    const D3DXVECTOR3 fromA = *p - a;
    const float s = D3DXVec3Dot(&fromA, &normal);
    if (radius - std::fabs(s) <= kBandMargin)
        return;
    const D3DXVECTOR3 foot = *p - normal * s;
    const D3DXVECTOR3 footFromA = foot - a;
    const D3DXVECTOR3 footFromB = foot - b;
    const D3DXVECTOR3 back = a - b;
    if (!(D3DXVec3Dot(&footFromA, &along) > 0.0f && D3DXVec3Dot(&footFromB, &back) > 0.0f))
        return;
    const float move = s > 0.0f ? radius - s : -(s + radius);
    p->x += normal.x * move;
    p->z += normal.z * move;
}

}  // namespace

void ConObjCollideObject(DynamicObject* object, Vector3* position, float radius)
{
    if (!position)
        return;
    float objectBox[6];
    if (object) {
        object->GetGeometryBounds(objectBox);
    } else {
        const float* p = &position->x;
        for (int axis = 0; axis < 3; ++axis) {
            objectBox[axis] = p[axis] - radius;
            objectBox[axis + 3] = p[axis] + radius;
        }
    }
    D3DXVECTOR3 p(position->x, position->y, position->z);
    for (s32_t g = 0; g < g_conObj.groupCount; ++g) {
        const ConObjGroup* group = g_conObj.groups[g];
        for (const ConObjPointSet* set = group->first; set && set->next; set = set->next) {
            for (s32_t n = 0; n < MAX_WIRE_POINTS; ++n) {
                if (!set->WireIntact(n))
                    continue;
                const Vector3& from = set->minusPoints[n];
                const Vector3& to = set->next->plusPoints[n];
                float wireBox[6] = {std::fmin(from.x, to.x), std::fmin(from.y, to.y), std::fmin(from.z, to.z),
                                    std::fmax(from.x, to.x), std::fmax(from.y, to.y), std::fmax(from.z, to.z)};
                if (group->profile == WIRE_PROFILE_YFLAT) {
                    wireBox[1] -= group->width;
                    wireBox[4] += group->width;
                }
                if (!BoxesTouch(wireBox, objectBox))
                    continue;
                const D3DXVECTOR3 a(from.x, from.y, from.z), b(to.x, to.y, to.z);
                if (group->profile == WIRE_PROFILE_YFLAT)
                    PushFromBand(a, b, &p, radius);
                else
                    PushFromCross(a, b, &p, radius);
            }
        }
    }
    position->x = p.x;
    position->z = p.z;
}
