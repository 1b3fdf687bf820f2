// Shadow companions: construction, the estimated shadow box and the ground quad of bounds shadows.
#include "world/objects/shadow_object.h"

#include <algorithm>
#include <cmath>

#include "core/vector_d3dx.h"
#include "map/trace/map_trace.h"
#include "map/octree/object_grid.h"
#include "map/registry/world_registry.h"
#include "platform/d3dx8_math.h"
#include "render/render_cvars.h"

namespace {

constexpr u32_t kBoundsGridSize = 2;
// The quad's corners are dropped along the sun direction with this vertical part.
constexpr float kGroundDropHeight = 0.3f;
constexpr float kGroundLift = 0.1f;

}  // namespace

Vector3 ShadowLightDirection()
{
    const D3DXVECTOR3 sun = ToD3DX(mvsundir.Vector());
    if (D3DXVec3LengthSq(&sun) == 0.0f || !std::isfinite(D3DXVec3LengthSq(&sun)))
        return {0.0f, 1.0f, 0.0f};
    D3DXVECTOR3 unit;
    D3DXVec3Normalize(&unit, &sun);
    return {unit.x, unit.y, unit.z};
}

float ShadowEstimateBox(DynamicObject* source, float* box)
{
    source->GetGeometryBounds(box);
    const float height = box[4] - box[1];
    const Vector3 light = ShadowLightDirection();
    float sunHeight = light.y;
    if (std::fabs(sunHeight) < SHADOW_MIN_SUN_HEIGHT)
        sunHeight = std::copysign(SHADOW_MIN_SUN_HEIGHT, sunHeight);
    const float s = height / sunHeight;
    const float move[3] = {light.x * s, sunHeight * s, light.z * s};
    for (int axis = 0; axis < 3; ++axis) {
        box[axis] = std::min(box[axis], box[axis] - move[axis]);
        box[axis + 3] = std::max(box[axis + 3], box[axis + 3] - move[axis]);
    }
    return 2.0f * s;
}

void ShadowCompanionsInvalidate(DynamicObject* source)
{
    for (DynamicObject* companion : {source->shadowCompanion, source->shadowVolume}) {
        if (ShadowObject* shadow = dynamic_cast<ShadowObject*>(companion)) {
            shadow->Invalidate();
            DynObjectUpdateGrid(shadow);
        }
    }
}

ShadowObject::ShadowObject(DynamicObject* sourceObject) : source(sourceObject)
{
    SetGridEntry(ObjectGridEntryCreate(OBJECT_GRID_SHADOW, this));
}

ShadowObject::~ShadowObject()
{
    SetGridEntry(nullptr);
}

void ShadowObject::GetGeometryBounds(float* box)
{
    shadowLength = ShadowEstimateBox(source, box);
}

// Bounds shadows ----------------------------------------------------------------------------------

BoundsShadowObject::BoundsShadowObject(DynamicObject* sourceObject, IDirect3DTexture8* texture)
    : ShadowObject(sourceObject), shadowTexture(texture)
{
    shadowKind = SHADOW_KIND_BOUNDS;
}

BoundsShadowObject::~BoundsShadowObject()
{
    delete[] groundPoints;
    groundPoints = nullptr;
}

void BoundsShadowObject::Rebuild()
{
    if (!needsRebuild)
        return;
    needsRebuild = 0;
    if (!groundPoints) {
        gridSize = kBoundsGridSize;
        groundPoints = new Vector3[gridSize * gridSize];
    }
    float box[6];
    // The estimate brings the length up to date with the source and the sun.
    shadowLength = ShadowEstimateBox(source, box);
    source->GetGeometryBounds(box);
    const D3DXVECTOR3 extent(box[3] - box[0], box[4] - box[1], box[5] - box[2]);
    const float halfSide = std::max(extent.x, extent.z) * 0.5f;
    const Vector3 light = ShadowLightDirection();
    const D3DXVECTOR3 drop(light.x, kGroundDropHeight, light.z);
    // Forward away from the sun's side and across it, each half the square's side.
    const float horizontal = std::sqrt(light.x * light.x + light.z * light.z);
    const D3DXVECTOR3 forward = horizontal < 0.001f ? D3DXVECTOR3(1.0f, 0.0f, 0.0f)
                                                    : D3DXVECTOR3(light.x / horizontal, 0.0f, light.z / horizontal);
    const D3DXVECTOR3 d = forward * halfSide;
    D3DXVECTOR3 across(d.z, 0.0f, -d.x);
    D3DXVec3Normalize(&across, &across);
    const D3DXVECTOR3 s = across * halfSide;
    const D3DXVECTOR3 p = ToD3DX(source->GetPosition());
    const D3DXVECTOR3 raise(0.0f, extent.y, 0.0f);
    const D3DXVECTOR3 c0 = p - d - s + raise, c1 = p + d - s, c2 = p + d + s, c3 = p - d + s + raise;
    const float last = static_cast<float>(gridSize - 1);
    for (u32_t i = 0; i < gridSize; ++i) {
        for (u32_t j = 0; j < gridSize; ++j) {
            const float t = static_cast<float>(i) / last, u = static_cast<float>(j) / last;
            const D3DXVECTOR3 q = c0 * (1.0f - t) + c1 * t;
            const D3DXVECTOR3 w = c3 * (1.0f - t) + c2 * t;
            const D3DXVECTOR3 g = w * (1.0f - u) + q * u;
            const D3DXVECTOR3 start = g + drop * (0.25f * shadowLength);
            const D3DXVECTOR3 end = g - drop * (2.0f * shadowLength);
            MapTraceInfo trace;
            trace.flags = TRACE_TILED | TRACE_NORMAL;
            trace.ignoreObject = nullptr;
            trace.objOptions = 0;
            D3DXVECTOR3 ground = g, normal(0.0f, 1.0f, 0.0f);
            if (MapTrace(&start.x, &end.x, &trace)) {
                ground = ToD3DX(trace.hitPoint);
                normal = ToD3DX(trace.normal);
            }
            const D3DXVECTOR3 point = ground + normal * kGroundLift;
            groundPoints[i * gridSize + j] = {point.x, point.y, point.z};
        }
    }
}
