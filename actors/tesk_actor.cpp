#include "actors/tesk_actor.h"

#include <initializer_list>

#include "actors/actor_motion.h"
#include "map/terrain/terrain_height.h"
#include "map/registry/world_registry.h"
#include "platform/win32.h"
#include "render/draw2d/debug_primitives.h"
#include "world/nodes/graph_node.h"

namespace {

constexpr float kMarkerHalfEdge = 10.0f;
constexpr u32_t kMarkerColour = 0xFFFFFFFFu;
constexpr u32_t kMarkerMs = 1;
constexpr float kTicksToSeconds = 0.001f;

}  // namespace

TeskActor::TeskActor()
{
    typeId = OBJECT_TYPE_ACTOR;
}

TeskActor::~TeskActor() = default;

void TeskActor::Render()
{
    const Vector3 p = GetPosition();
    const Vector3 low = {p.x - kMarkerHalfEdge, p.y - kMarkerHalfEdge, p.z - kMarkerHalfEdge};
    const Vector3 high = {p.x + kMarkerHalfEdge, p.y + kMarkerHalfEdge, p.z + kMarkerHalfEdge};
    DebugBoxAdd(&low, &high, kMarkerColour, kMarkerMs);
    GraphObj::Render();
}

void TeskActor::StickToGround()
{
    Vector3 p = GetPosition();
    p.y = MapTerrainHeight(p.x, p.z, nullptr, nullptr);
    SetPosition(p);
    // Every Tesk soldier shows the same legs frame: the seconds since the system started.
    GraphNode* top = GetRootNode();
    if (top && top->GetChildCount() > 0)
        top->GetChild(0)->SetFrame(static_cast<float>(GetTickCount()) * kTicksToSeconds);
    SetMovementMode(ACTOR_MOVE_IDLE);
}

void TeskActor::Update()
{
    StickToGround();
    if (!isDead)
        ActorCollide(this);
    DynObjectUpdateGrid(this);
    if (isDead)
        return;
    for (DynamicObject* companion : {shadowCompanion, shadowVolume}) {
        if (!companion)
            continue;
        companion->InvalidateShadows();
        DynObjectUpdateGrid(companion);
    }
}
