// The wire under the crosshair, and cutting it.
#include <cmath>

#include "core/assert.h"
#include "core/frame_view.h"
#include "platform/d3dx8_math.h"
#include "scene/views/frustum_ray.h"
#include "world/wires/wire_state.h"

namespace {

// Only wires whose centre lies within 30 units of the viewer can be sighted.
constexpr float kSightRangeSq = 900.0f;

}  // namespace

void ConObjSightTest()
{
    D3DXVECTOR3 direction;
    FrustumCentreRay(&direction);
    const float* view = g_frameView.viewPos;
    const D3DXVECTOR3 viewer(view[0], view[1], view[2]);
    SightedWire& sighted = g_conObj.sighted;
    sighted = SightedWire();
    float bestKey = 1e30f;
    for (s32_t g = 0; g < g_conObj.groupCount; ++g) {
        for (ConObjPointSet* set = g_conObj.groups[g]->first; set && set->next; set = set->next) {
            for (s32_t n = 0; n < MAX_WIRE_POINTS; ++n) {
                if (!set->WireIntact(n))
                    continue;
                const Vector3& a = set->minusPoints[n];
                const Vector3& b = set->next->plusPoints[n];
                const D3DXVECTOR3 boxMin(std::fmin(a.x, b.x), std::fmin(a.y, b.y), std::fmin(a.z, b.z));
                const D3DXVECTOR3 boxMax(std::fmax(a.x, b.x), std::fmax(a.y, b.y), std::fmax(a.z, b.z));
                const D3DXVECTOR3 toCentre = (boxMin + boxMax) * 0.5f - viewer;
                const float key = D3DXVec3LengthSq(&toCentre);
                if (key > kSightRangeSq)
                    continue;
                if (key < bestKey && D3DXBoxBoundProbe(&boxMin, &boxMax, &viewer, &direction)) {
                    bestKey = key;
                    sighted.pointSet = set;
                    sighted.wire = n;
                    sighted.boxMin = {boxMin.x, boxMin.y, boxMin.z};
                    sighted.boxMax = {boxMax.x, boxMax.y, boxMax.z};
                }
            }
        }
    }
}

void ConObjCutSightedWire()
{
    const SightedWire& sighted = g_conObj.sighted;
    if (!sighted.pointSet || !g_conObj.wireCutEnabled)
        return;
    ENGINE_ASSERT_TEXT(sighted.wire < MAX_WIRE_POINTS, "con_obj_sight_i < MAX_CO_POINTS");
    sighted.pointSet->cut[sighted.wire] = 1;
}

void ConObjClearSightedWire()
{
    g_conObj.sighted = SightedWire();
}
